#include "ui/console/ConsoleFrontEnd.h"

#include <cmath>

namespace ui {

int ConsoleFrontEnd::TextWidth(const forms::Font& font, const std::string& text) {
    // Characters, not bytes: a UTF-8 continuation byte adds nothing.
    int characters = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    }
    const double average = font.points * 0.6 * 96.0 / 72.0;
    return static_cast<int>(std::lround(characters * average));
}

}  // namespace ui
