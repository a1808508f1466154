#pragma once
// Number conversions shared by the commands and the mp3 panel's prompts.

#include <cstdint>
#include <optional>
#include <string_view>

namespace engine {

// The nearest whole number, halves going to the even neighbour
// (0.5 -> 0, 1.5 -> 2, -1237.5 -> -1238). Infinities and NaN come back as
// they are.
double RoundHalfEven(double value);

// The player level for a user's number n: n * 25 - 2500, rounded halves to
// even. nullopt when `text` is not a decimal number (blanks around it are
// allowed; infinities, NaN and hexadecimal are not) or when the level does
// not fit a 32-bit signed integer. So "100" -> 0, "0" -> -2500,
// "200" -> 2500, "50.5" -> -1238.
std::optional<std::int32_t> LevelFromUserNumber(std::string_view text);

// A decimal number: optional sign, digits with an optional fraction (at
// least one digit in all), an optional exponent; blanks and tabs around it.
std::optional<double> ParseDecimal(std::string_view text);

}  // namespace engine
