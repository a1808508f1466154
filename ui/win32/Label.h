#pragma once
// A label as it is drawn: transparent, that is on whatever is behind it (the
// part of the surface it stands on, and the controls under it there), with
// its caption in its font, colour and alignment on one line, clipped to the
// label. The whole label is drawn off screen and copied in one piece, so a
// changed caption never flickers or leaves the old one behind. A caption in
// the symbol face that the system cannot draw shows as the symbols' shapes
// (Symbols.h).

#include <windows.h>

#include <functional>
#include <string>

#include "forms/Control.h"

namespace ui::win32 {

// Paints what is behind the label into `dc`, the label's corner at (0, 0).
using PaintGround = std::function<void(HDC dc, int width, int height)>;

// `ansiCaption` is the caption in the ANSI code page.
void DrawLabel(HDC dc, const RECT& rect, const forms::Control& label,
               const std::string& ansiCaption, HFONT font, const PaintGround& ground);

// The caption alone, on what `dc` already holds.
void DrawLabelText(HDC dc, const RECT& rect, const forms::Control& label,
                   const std::string& ansiCaption, HFONT font);

}  // namespace ui::win32
