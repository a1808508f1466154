#include "engine/PrepareLine.h"

#include <cstdint>

namespace engine {

namespace {

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The lower-case partner of an upper-case letter of Windows-1252, or 0.
std::uint32_t LowerPartner(std::uint32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 0x20;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
    switch (cp) {
        case 0x0160:
            return 0x0161;  // Š
        case 0x0152:
            return 0x0153;  // Œ
        case 0x017D:
            return 0x017E;  // Ž
        case 0x0178:
            return 0x00FF;  // Ÿ
        default:
            return 0;
    }
}

}  // namespace

std::string LowerCaseAnsiLetters(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        if (b0 < 0x80) {
            out += (b0 >= 'A' && b0 <= 'Z') ? static_cast<char>(b0 + 0x20) : static_cast<char>(b0);
            ++i;
            continue;
        }
        // Only the two-byte forms (U+0080..U+07FF) hold letters to lower-case;
        // every other sequence, valid or not, is copied as it is.
        if (b0 >= 0xC2 && b0 <= 0xDF && i + 1 < n) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            if ((b1 & 0xC0) == 0x80) {
                const std::uint32_t cp = ((b0 & 0x1Fu) << 6) | (b1 & 0x3Fu);
                const std::uint32_t lower = LowerPartner(cp);
                if (lower != 0) {
                    AppendUtf8(out, lower);
                } else {
                    out += static_cast<char>(b0);
                    out += static_cast<char>(b1);
                }
                i += 2;
                continue;
            }
        }
        out += static_cast<char>(b0);
        ++i;
    }
    return out;
}

PreparedLine PrepareLine(std::string_view text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return {LowerCaseAnsiLetters(text), std::string()};
    return {LowerCaseAnsiLetters(text.substr(0, blank)), std::string(text.substr(blank + 1))};
}

}  // namespace engine
