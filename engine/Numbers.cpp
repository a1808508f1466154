#include "engine/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace engine {

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction < 0.5) return lower;
    if (fraction > 0.5) return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::optional<double> ParseDecimal(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Check the grammar by hand, so that from_chars sees only what we allow.
    std::size_t i = 0;
    std::size_t digits = 0;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < text.size() && isDigit(text[j])) ++j, ++expDigits;
        if (expDigits == 0) return std::nullopt;
        i = j;
    }
    if (i != text.size()) return std::nullopt;

    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (end != text.data() + text.size()) return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // Too large gives an infinity (which fits no level); too small is 0.
        value = std::strtod(std::string(text).c_str(), nullptr);
    } else if (error != std::errc()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<std::int32_t> LevelFromUserNumber(std::string_view text) {
    const std::optional<double> n = ParseDecimal(text);
    if (!n) return std::nullopt;
    const double level = RoundHalfEven(*n * 25.0 - 2500.0);
    if (!std::isfinite(level)) return std::nullopt;
    if (level < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        level > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(level);
}

}  // namespace engine
