#pragma once
// Splitting a chat line into its command word and its argument.

#include <string>
#include <string_view>

namespace engine {

struct PreparedLine {
    std::string commandWord;  // the text before the first blank, lower-cased
    std::string argument;     // the text after the first blank, exactly as typed
};

// Only " " (U+0020) counts as the blank. Without one the whole line is the
// command word and the argument is empty. Lines of any length are handled
// alike.
PreparedLine PrepareLine(std::string_view text);

// Lower-cases UTF-8 text over every letter Windows-1252 holds: A-Z, U+00C0 to
// U+00DE except U+00D7, and Š, Œ, Ž, Ÿ. Everything else, invalid UTF-8
// included, is kept byte for byte.
std::string LowerCaseAnsiLetters(std::string_view text);

}  // namespace engine
