#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "engine/PrepareLine.h"

namespace {

using engine::LowerCaseAnsiLetters;
using engine::PrepareLine;

struct SplitCase {
    std::string text;
    std::string commandWord;
    std::string argument;
};

void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class PrepareLineSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PrepareLineSplit, SplitsAtTheFirstBlank) {
    const SplitCase& c = GetParam();
    const engine::PreparedLine line = PrepareLine(c.text);
    EXPECT_EQ(line.commandWord, c.commandWord);
    EXPECT_EQ(line.argument, c.argument);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrepareLineSplit,
    ::testing::Values(SplitCase{"!H NewName", "!h", "NewName"},  // argument keeps its case
                      SplitCase{"!dfa", "!dfa", ""},             // no blank
                      SplitCase{"", "", ""},                     // empty line
                      SplitCase{" h bob", "", "h bob"},          // leading blank
                      SplitCase{"!h  x", "!h", " x"},            // further blanks stay
                      SplitCase{"!h ", "!h", ""},                // blank last
                      SplitCase{"h bob  ", "h", "bob  "},        // trailing blanks kept
                      SplitCase{"H\tBOB X", "h\tbob", "X"},      // only U+0020 counts
                      SplitCase{"FT Comic Sans MS", "ft", "Comic Sans MS"},
                      SplitCase{"!TR .T", "!tr", ".T"}));

TEST(PrepareLine, LowerCasesEveryLetterOfTheAnsiCodePage) {
    EXPECT_EQ(LowerCaseAnsiLetters("ABCXYZ abc 09@[`{"), "abcxyz abc 09@[`{");
    // U+00C0..U+00DE except the multiplication sign.
    EXPECT_EQ(LowerCaseAnsiLetters("\u00C0\u00C9\u00D6\u00D7\u00D8\u00DE\u00DF"),
              "\u00E0\u00E9\u00F6\u00D7\u00F8\u00FE\u00DF");
    EXPECT_EQ(LowerCaseAnsiLetters("\u0160\u0152\u017D\u0178"), "\u0161\u0153\u017E\u00FF");
    // Letters outside the code page, symbols and lower case stay.
    EXPECT_EQ(LowerCaseAnsiLetters("\u0391\u00BB\u203A\u00E0\u00FF\u0161"),
              "\u0391\u00BB\u203A\u00E0\u00FF\u0161");
}

TEST(PrepareLine, KeepsInvalidUtf8ByteForByte) {
    const std::string bad = std::string("A\xC3") + "B\xFF\x80\xC3";
    EXPECT_EQ(LowerCaseAnsiLetters(bad), std::string("a\xC3") + "b\xFF\x80\xC3");
    const engine::PreparedLine line = PrepareLine(std::string("\xC0\xC1 x", 4));
    EXPECT_EQ(line.commandWord, std::string("\xC0\xC1", 2));
}

TEST(PrepareLine, LongLinesAreHandledAlike) {
    const std::string longArgument(40000, 'Q');
    const engine::PreparedLine line = PrepareLine("H " + longArgument);
    EXPECT_EQ(line.commandWord, "h");
    EXPECT_EQ(line.argument, longArgument);
    const engine::PreparedLine word = PrepareLine(std::string(40000, 'A') + " x");
    EXPECT_EQ(word.commandWord, std::string(40000, 'a'));
    EXPECT_EQ(word.argument, "x");
}

}  // namespace
