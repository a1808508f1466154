#include "ui/win32/Fonts.h"

#include <cmath>

#include "platform/AnsiText.h"

namespace ui::win32 {

int FontHeight(double points) {
    // Negative: the height of the characters, not of the cell.
    return -static_cast<int>(std::nearbyint(points * 96.0 / 72.0));
}

Fonts::~Fonts() {
    if (measuring_) DeleteDC(measuring_);
    for (auto& [key, font] : fonts_) DeleteObject(font);
}

HFONT Fonts::Get(const forms::Font& font) {
    const Key key{font.face, font.points, font.bold};
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    const std::string face = font.face.empty() ? kDialogFace : platform::ToAnsi(font.face);
    // DEFAULT_CHARSET lets a symbol face (Webdings) be chosen by its name;
    // the mapper falls back to a similar face when the name is unknown.
    HFONT made =
        CreateFontA(FontHeight(font.points), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                    FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    if (!made) made = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts_.emplace(key, made);
    return made;
}

int Fonts::TextWidth(const forms::Font& font, const std::string& text) {
    if (text.empty()) return 0;
    if (!measuring_) measuring_ = CreateCompatibleDC(nullptr);
    if (!measuring_) return 0;
    const std::string ansi = platform::ToAnsi(text);
    HGDIOBJ old = SelectObject(measuring_, Get(font));
    SIZE size{0, 0};
    GetTextExtentPoint32A(measuring_, ansi.data(), static_cast<int>(ansi.size()), &size);
    SelectObject(measuring_, old);
    return size.cx;
}

}  // namespace ui::win32
