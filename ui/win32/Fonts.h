#pragma once
// The layout's fonts as GDI fonts: made once per face, size and weight and
// kept for the run, so that drawing a label a hundred times a second makes
// no font.

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "forms/Control.h"

namespace ui::win32 {

// The face the layout names for the platform's dialog font (an empty face).
inline constexpr const char* kDialogFace = "MS Shell Dlg";

// The font's height in pixels for CreateFont: the layout is in pixels of a
// 96 dpi screen, 15 twips each, so the points are turned at that scale
// whatever the screen's setting (8.25 pt is 11 pixels).
int FontHeight(double points);

class Fonts {
  public:
    Fonts() = default;
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    // The GDI font for `font`, by face name; Windows picks its own stand-in
    // for a face that is not installed.
    HFONT Get(const forms::Font& font);

    // The width in pixels of `text` (UTF-8) in `font`, as a label draws it.
    int TextWidth(const forms::Font& font, const std::string& text);

  private:
    using Key = std::tuple<std::string, double, bool>;
    std::map<Key, HFONT> fonts_;
    HDC measuring_ = nullptr;
};

}  // namespace ui::win32
