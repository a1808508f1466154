#include <gtest/gtest.h>

#include "engine/AppState.h"
#include "engine/StyledLine.h"

namespace {

using engine::AppState;
using engine::BuildLoginLine;
using engine::BuildLogoutLine;
using engine::BuildStatusLine;
using engine::BuildStyledLine;
using engine::Role;

AppState Bob() {
    AppState state;
    state.handle = "bob";
    return state;
}

TEST(StyledLine, StatusLineWithTheInitialStyle) {
    EXPECT_EQ(BuildStatusLine(Bob(), "changed trig to", "!"),
              "< font . face=tahoma>< font . color=#000000>\u00BB\u00B8 < font . color=#AAAAAA>bob"
              "< font . color=#000000> \u203A < font . color=#AAAAAA>changed trig to"
              "< font . color=#000000> (< font . color=#AAAAAA>!< font . color=#000000>) ");
}

TEST(StyledLine, RunsTakeTheColourOfTheirRoleAtBuildTime) {
    AppState state = Bob();
    state.asciiColor = "ff0000";
    state.fontColor = "00ff00";
    state.fontFace = "comic sans ms";
    EXPECT_EQ(
        BuildStyledLine(state, {{Role::Word, "a"}, {Role::Decoration, "b"}, {Role::Word, ""}}),
        "< font . face=comic sans ms>< font . color=#00ff00>a< font . color=#ff0000>b"
        "< font . color=#00ff00>");
    EXPECT_EQ(BuildStyledLine(state, {}), "< font . face=comic sans ms>");
}

TEST(StyledLine, EmptyLeftAsciiStillWritesItsColourTag) {
    AppState state = Bob();
    state.leftAscii = "";
    const std::string line = BuildStatusLine(state, "v", "d");
    EXPECT_EQ(
        line.rfind("< font . face=tahoma>< font . color=#000000>< font . color=#AAAAAA>bob", 0),
        0u);
}

TEST(StyledLine, ColoursAndTextsAreWrittenUnescaped) {
    AppState state = Bob();
    state.asciiColor = "red";
    state.middleAscii = "<b>#";
    const std::string line = BuildStatusLine(state, "verb", "a b) <i>#");
    EXPECT_EQ(line,
              "< font . face=tahoma>< font . color=#red>\u00BB\u00B8 < font . color=#AAAAAA>bob"
              "< font . color=#red> <b># < font . color=#AAAAAA>verb< font . color=#red> ("
              "< font . color=#AAAAAA>a b) <i>#< font . color=#red>) ");
}

TEST(StyledLine, LoginAndLogoutLines) {
    AppState state = Bob();
    EXPECT_EQ(BuildLoginLine(state),
              "< font . face=tahoma>< font . color=#000000>\u00BB\u00B8 < font . color=#AAAAAA>"
              "moonrake ruze< font . color=#000000>\u00B2 \u203A < font . color=#AAAAAA>artist"
              "< font . color=#000000> (< font . color=#AAAAAA>zerin< font . color=#000000>) \u203A"
              "< font . color=#AAAAAA> login < font . color=#000000>(< font . color=#AAAAAA>bob"
              "< font . color=#000000>)");
    state.handle = "";
    state.fontFace = "arial";
    const std::string logout = BuildLogoutLine(state);
    EXPECT_EQ(logout.rfind("< font . face=arial>", 0), 0u);
    EXPECT_NE(logout.find("< font . color=#AAAAAA> logout < font . color=#000000>("),
              std::string::npos);
    const std::string tail = "(< font . color=#AAAAAA>< font . color=#000000>)";
    ASSERT_GE(logout.size(), tail.size());
    EXPECT_EQ(logout.substr(logout.size() - tail.size()), tail);
}

}  // namespace
