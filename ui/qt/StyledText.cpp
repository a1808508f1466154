#include "ui/qt/StyledText.h"

#include <cctype>

namespace ui {
namespace {

constexpr std::string_view kFaceTag = "< font . face=";
constexpr std::string_view kColorTag = "< font . color=";
constexpr std::uint32_t kBlack = 0x000000;

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix) {
    if (text.size() - at < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        auto a = std::tolower(static_cast<unsigned char>(text[at + i]));
        auto b = std::tolower(static_cast<unsigned char>(prefix[i]));
        if (a != b) return false;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::uint32_t> ParseHexColor(std::string_view value) {
    if (value.size() != 7 || value[0] != '#') return std::nullopt;
    std::uint32_t color = 0;
    for (char c : value.substr(1)) {
        int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        color = color * 16 + static_cast<std::uint32_t>(digit);
    }
    return color;
}

std::vector<StyledSpan> ParseStyledText(std::string_view line) {
    std::vector<StyledSpan> spans;
    StyledSpan current;
    auto flush = [&] {
        if (!current.text.empty()) spans.push_back(current);
        current.text.clear();
    };
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == '<') {
            bool face = StartsWithNoCase(line, i, kFaceTag);
            bool color = !face && StartsWithNoCase(line, i, kColorTag);
            std::size_t valueStart = i + (face ? kFaceTag.size() : kColorTag.size());
            std::size_t end = (face || color) ? line.find('>', valueStart) : std::string_view::npos;
            if (end != std::string_view::npos) {
                std::string_view value = line.substr(valueStart, end - valueStart);
                flush();
                if (face) {
                    current.face = std::string(value);
                } else {
                    current.color = ParseHexColor(value).value_or(kBlack);
                }
                i = end + 1;
                continue;
            }
        }
        current.text += line[i];
        ++i;
    }
    flush();
    return spans;
}

}  // namespace ui
