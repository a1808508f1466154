// The simulated rich edit's layout and messages: what a reader of the room's
// transcript sees of display lines, offsets, trims and resizes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clientsim/SimRichEdit.h"

using clientsim::SimRichEdit;

namespace {

std::vector<std::string> DisplayLines(const SimRichEdit& edit) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < edit.LineCount(); ++i) {
        auto start = static_cast<std::size_t>(edit.LineIndex(i));
        lines.push_back(edit.Range(start, start + edit.LineLength(start)));
    }
    return lines;
}

struct WrapCase {
    const char* name;
    int width;
    std::string paragraph;
    std::vector<std::string> lines;
};

class Wrap : public ::testing::TestWithParam<WrapCase> {};

TEST_P(Wrap, BreaksAfterTheLastBlankThatFitsAndCutsLongWords) {
    SimRichEdit edit(GetParam().width);
    edit.AppendParagraph(GetParam().paragraph);
    EXPECT_EQ(DisplayLines(edit), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Wrap,
    ::testing::Values(WrapCase{"NoWrap",
                               0,
                               "Bob:\tanything at all, however long",
                               {"Bob:\tanything at all, however long"}},
                      WrapCase{"Fits", 10, "Bob:\tabcd", {"Bob:\tabcd"}},
                      WrapCase{"AtABlank", 10, "Bob:\tab cd ef gh", {"Bob:\tab cd ", "ef gh"}},
                      WrapCase{"RightAfterTheTab", 6, "Bob:\tabcdef", {"Bob:\t", "abcdef"}},
                      WrapCase{"BlanksHangPastTheWidth", 4, "ab      cd", {"ab      ", "cd"}},
                      WrapCase{"LongWordIsCut", 4, "abcdefghij", {"abcd", "efgh", "ij"}},
                      WrapCase{"Empty", 4, "", {""}}),
    [](const ::testing::TestParamInfo<WrapCase>& info) { return info.param.name; });

TEST(RichEdit, LineMessagesWorkOnDisplayLinesAndTellWrapsFromParagraphEnds) {
    SimRichEdit edit(8);
    edit.AppendParagraph("A:\tone two three");  // 3 display lines
    edit.AppendParagraph("B:\tx");
    ASSERT_EQ(edit.LineCount(), 4u);
    bool handled = false;
    EXPECT_EQ(edit.Handle(platform::EM_GETLINECOUNT, 0, 0, handled), 5)
        << "the empty last line too";
    // A wrap adds no character, a paragraph end adds one.
    auto gap = [&](std::size_t n) {
        auto start = static_cast<std::size_t>(edit.LineIndex(n));
        return edit.LineIndex(n + 1) - static_cast<std::int64_t>(start + edit.LineLength(start));
    };
    EXPECT_EQ(gap(0), 0);
    EXPECT_EQ(gap(1), 0);
    EXPECT_EQ(gap(2), 1);
    EXPECT_EQ(edit.LineIndex(4), static_cast<std::int64_t>(edit.Length()));
    EXPECT_EQ(edit.LineIndex(5), -1);
    EXPECT_EQ(edit.LineFromChar(edit.Length()), 4u);
    EXPECT_EQ(edit.Text(), "A:\tone two three\rB:\tx\r");

    char buffer[32] = {};
    platform::TextRangeA range{{3, 10}, buffer};
    EXPECT_EQ(edit.Handle(platform::EM_GETTEXTRANGE, 0, reinterpret_cast<platform::LParam>(&range),
                          handled),
              7);
    EXPECT_STREQ(buffer, "one two");
    platform::GetTextLengthEx crlf{platform::GTL_USECRLF, 0};
    EXPECT_EQ(edit.Handle(platform::EM_GETTEXTLENGTHEX, reinterpret_cast<platform::WParam>(&crlf),
                          0, handled),
              static_cast<platform::LResult>(edit.Length() + 2));
}

TEST(RichEdit, TrimmingMovesOffsetsAndResizingMovesNone) {
    SimRichEdit edit(5);
    for (const char* text : {"first line", "second line", "third"}) edit.AppendParagraph(text);
    const std::string all = edit.Text();
    edit.SetWidth(3);
    EXPECT_EQ(edit.Text(), all) << "a resize changes the layout only";
    EXPECT_GT(edit.LineCount(), 8u);
    edit.SetWidth(0);
    EXPECT_EQ(edit.LineCount(), 3u);

    edit.RemoveFirstParagraphs(1);
    EXPECT_EQ(edit.Text(), "second line\rthird\r");
    EXPECT_EQ(edit.LineIndex(1), 12);
    EXPECT_EQ(DisplayLines(edit), (std::vector<std::string>{"second line", "third"}));
    // Many trims: the characters given back are never read again.
    for (int i = 0; i < 3000; ++i) {
        edit.AppendParagraph("line " + std::to_string(i));
        edit.RemoveFirstParagraphs(1);
    }
    EXPECT_EQ(edit.Text(), "line 2998\rline 2999\r");
}

}  // namespace
