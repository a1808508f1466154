#include <gtest/gtest.h>

#include "ui/qt/StyledText.h"

namespace {

using ui::ParseStyledText;
using ui::StyledSpan;
using Spans = std::vector<StyledSpan>;

struct StyledCase {
    const char* name;
    std::string line;
    Spans expected;
};

class StyledText : public testing::TestWithParam<StyledCase> {};

TEST_P(StyledText, Spans) {
    EXPECT_EQ(ParseStyledText(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StyledText,
    testing::Values(
        StyledCase{"Plain", "hello there ", {{"", std::nullopt, "hello there "}}},
        StyledCase{"Empty", "", {}},
        StyledCase{"StatusLine",
                   "< font . face=tahoma>< font . color=#000000>»¸ < font . color=#AAAAAA>bob",
                   {{"tahoma", 0x000000, "»¸ "}, {"tahoma", 0xAAAAAA, "bob"}}},
        StyledCase{"LowerCaseHex", "< font . color=#a0b1c2>x", {{"", 0xA0B1C2, "x"}}},
        StyledCase{"BadColoursShowBlack",
                   "< font . color=#FF0000>a< font . color=#red>b< font . color=#12345>c"
                   "< font . color=123456>d< font . color=#1234567>e",
                   {{"", 0xFF0000, "a"}, {"", 0, "b"}, {"", 0, "c"}, {"", 0, "d"}, {"", 0, "e"}}},
        StyledCase{"OtherMarkupIsText",
                   "<b>bold</b> & <font color=red>x",
                   {{"", std::nullopt, "<b>bold</b> & <font color=red>x"}}},
        StyledCase{"UnclosedTagIsText",
                   "a< font . face=arial",
                   {{"", std::nullopt, "a< font . face=arial"}}},
        StyledCase{"TagsInAnyCase", "< FONT . Face=Arial>x", {{"Arial", std::nullopt, "x"}}},
        StyledCase{"FaceKeepsColourAndColourKeepsFace",
                   "< font . color=#00FF00>a< font . face=Webdings>b< font . face=>c",
                   {{"", 0x00FF00, "a"}, {"Webdings", 0x00FF00, "b"}, {"", 0x00FF00, "c"}}}),
    [](const testing::TestParamInfo<StyledCase>& info) { return info.param.name; });

}  // namespace
