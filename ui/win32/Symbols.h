#pragma once
// The transport buttons' symbols for a system without Webdings.
//
// The buttons are labels in Webdings, a picture face: "4" is the play
// triangle, "=" the stop square, ";" the pause bars, "7" and "8" back and
// next a song, "q" the circling arrows of resume. Windows has the face; Wine
// has none, or one with a handful of its glyphs, and the font mapper then
// draws the plain characters in another face: a "4" and an "=" where the
// buttons should be. Where the face cannot draw a caption, the label draws
// these symbols as shapes of its own instead, in its colour and about the
// size of the face's glyphs.

#include <windows.h>

#include <string>

namespace ui::win32 {

// The face the buttons are drawn in.
inline constexpr const char* kSymbolFace = "Webdings";

// Whether the font selected into `dc` really is `face` (the mapper picked
// no stand-in for it) and has a glyph for every character of `ansiText`.
bool FaceDrawsAll(HDC dc, const std::string& face, const std::string& ansiText);

// Whether every character of `ansiText` is a symbol DrawSymbols knows.
bool KnowsSymbols(const std::string& ansiText);

// The side of a symbol's square for a face whose characters are `em` pixels
// high.
int SymbolSize(int em);

// Draws the symbols of `ansiText` side by side inside `rect` (clipped to
// it), placed as `alignment` (DT_LEFT, DT_CENTER or DT_RIGHT) places a
// caption and as high as a face of `em` pixels holds its glyphs.
void DrawSymbols(HDC dc, const RECT& rect, const std::string& ansiText, int em, UINT alignment,
                 COLORREF color);

}  // namespace ui::win32
