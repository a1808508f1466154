#pragma once
// The layout's colours as GDI colours: system colours resolved at the moment
// of drawing, so that a change of the user's scheme shows at the next paint.

#include <windows.h>

#include <cstdint>

#include "forms/Control.h"

namespace ui::win32 {

inline COLORREF RgbOf(std::uint32_t rrggbb) {
    return RGB((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF);
}

inline COLORREF ColorOf(const forms::Color& color) {
    if (!color.system) return RgbOf(color.rgb);
    switch (color.systemColor) {
        case forms::SystemColor::ButtonShadow:
            return GetSysColor(COLOR_BTNSHADOW);
        case forms::SystemColor::WindowText:
            return GetSysColor(COLOR_WINDOWTEXT);
    }
    return RGB(0, 0, 0);
}

}  // namespace ui::win32
