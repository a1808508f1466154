#pragma once
// Small text helpers. Header-only, so that programs built without the
// platform library (the stand-in client) can use them too.

#include <string>
#include <string_view>

namespace platform {

// `text` without the blanks at either end. Only the blank itself counts:
// tabs and line breaks stay.
inline std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace platform
