// Whole sessions through the real program: the console front end is fed a
// script on standard input and every line it prints is compared.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ProcessRunner.h"

namespace {

using Lines = std::vector<std::string>;

// The program under test is this build's own, unless MOONRAKE_WINDOWS_PROGRAM
// names a launcher of the Windows build (scripts/test-windows runs these
// very sessions against moonrake.exe under Wine that way). Every session
// must give the same output from both.
#ifndef MOONRAKE_BINARY
#define MOONRAKE_BINARY ""
#endif
const char* WindowsProgram() {
    const char* launcher = std::getenv("MOONRAKE_WINDOWS_PROGRAM");
    return launcher != nullptr && *launcher != '\0' ? launcher : nullptr;
}
const std::string kProgram = WindowsProgram() ? WindowsProgram() : MOONRAKE_BINARY;
const std::string kPrompt = "[prompt] enter your handle";

struct Session {
    Lines out;
    std::string err;
    int status = -1;
};

Session RunConsole(const Lines& input, Lines args = {}) {
    std::string text;
    for (const auto& line : input) text += line + "\n";
    args.insert(args.begin(), "--console");
    e2e::ProcessResult result = e2e::RunProcess(kProgram, args, text);
    EXPECT_FALSE(result.timedOut) << "the program hung";
    return {e2e::Lines(result.out), result.err, result.exitStatus};
}

// The reply format as the room sees it, with the start-up style.
std::string Status(const std::string& handle, const std::string& verb, const std::string& detail) {
    return "< font . face=tahoma>< font . color=#000000>»¸ < font . color=#AAAAAA>" + handle +
           "< font . color=#000000> › < font . color=#AAAAAA>" + verb +
           "< font . color=#000000> (< font . color=#AAAAAA>" + detail +
           "< font . color=#000000>) ";
}

std::string LoginOrOut(const std::string& word, const std::string& handle) {
    return "< font . face=tahoma>< font . color=#000000>»¸ < font . color=#AAAAAA>moonrake "
           "ruze< font . color=#000000>² › < font . color=#AAAAAA>artist< font . "
           "color=#000000> (< font . color=#AAAAAA>zerin< font . color=#000000>) ›< font . "
           "color=#AAAAAA> " +
           word + " < font . color=#000000>(< font . color=#AAAAAA>" + handle +
           "< font . color=#000000>)";
}

std::string Own(const std::string& text) {
    return "Moonraker: " + text;
}
std::string OwnStatus(const std::string& verb, const std::string& detail,
                      const std::string& handle = "bob") {
    return Own(Status(handle, verb, detail));
}

// Far wider than the room's transcript, which wraps it over several lines.
const std::string kLongHandle =
    "a handle so long that the room shows it over three display lines, blanks and all, "
    "and still it is one line to the program";

// A session signed in as "bob": the prompt, the login line, `middle`, and the
// logout line with `finalHandle` when the input ends.
Lines Framed(const Lines& middle, const std::string& finalHandle = "bob") {
    Lines all{kPrompt, Own(LoginOrOut("login", "bob"))};
    all.insert(all.end(), middle.begin(), middle.end());
    all.push_back(Own(LoginOrOut("logout", finalHandle)));
    all.push_back("[exit]");
    return all;
}

TEST(ConsoleSession, LoginLineIsExactAndEndOfInputLogsOut) {
    Session s = RunConsole({"bob"});
    Lines expected{
        kPrompt,
        "Moonraker: < font . face=tahoma>< font . color=#000000>»¸ < font . "
        "color=#AAAAAA>moonrake ruze< font . color=#000000>² › < font . color=#AAAAAA>artist< "
        "font . color=#000000> (< font . color=#AAAAAA>zerin< font . color=#000000>) ›< font . "
        "color=#AAAAAA> login < font . color=#000000>(< font . color=#AAAAAA>bob< font . "
        "color=#000000>)",
        Own(LoginOrOut("logout", "bob")),
        "[exit]",
    };
    EXPECT_EQ(s.out, expected);
    EXPECT_EQ(s.status, 0);
}

TEST(ConsoleSession, InputEndingAtThePromptCancelsIt) {
    Session s = RunConsole({});
    EXPECT_EQ(s.out, (Lines{kPrompt, Own(LoginOrOut("login", "")), Own(LoginOrOut("logout", "")),
                            "[exit]"}));
    EXPECT_EQ(s.status, 0);
}

struct CommandCase {
    const char* name;
    Lines input;  // after the handle "bob"
    Lines expected;
    std::string finalHandle = "bob";
};

class ConsoleCommands : public testing::TestWithParam<CommandCase> {};

TEST_P(ConsoleCommands, RoomSeesExactlyTheseLines) {
    const CommandCase& c = GetParam();
    Lines input{"bob"};
    input.insert(input.end(), c.input.begin(), c.input.end());
    Session s = RunConsole(input);
    EXPECT_EQ(s.out, Framed(c.expected, c.finalHandle));
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.err.find("[error]"), std::string::npos) << s.err;
}

const std::string kTrig = "changed trig to";

INSTANTIATE_TEST_SUITE_P(
    Sessions, ConsoleCommands,
    testing::Values(
        CommandCase{"HandleChanges",
                    {"h bob2"},
                    {Own("h bob2"), OwnStatus("handle changed", "bob2")},
                    "bob2"},
        CommandCase{"SameHandleIsAlreadySet",
                    {"h bob"},
                    {Own("h bob"), OwnStatus("handle already set to", "bob")}},
        CommandCase{"HandleKeepsTrailingBlank",
                    {"h bob "},
                    {Own("h bob "), OwnStatus("handle changed", "bob ")},
                    "bob "},
        CommandCase{"CarriageReturnIsPartOfTheLineBreak",
                    {"h bob2\r"},
                    {Own("h bob2"), OwnStatus("handle changed", "bob2")},
                    "bob2"},
        // UTF-8 in and out; the room holds what its code page (1252) holds.
        CommandCase{"HandleInTheCodePage",
                    {"h Zoë »²"},
                    {Own("h Zoë »²"), OwnStatus("handle changed", "Zoë »²")},
                    "Zoë »²"},
        CommandCase{"CharacterOutsideTheCodePageBecomesAQuestionMark",
                    {"h Zoē"},
                    {Own("h Zo?"), OwnStatus("handle changed", "Zo?")},
                    "Zo?"},
        CommandCase{"NewTriggerIsNeededAfterTr",
                    {"tr !", "h x", "!h x"},
                    {Own("tr !"), OwnStatus(kTrig, "!"), Own("h x"), Own("!h x"),
                     OwnStatus("handle changed", "x")},
                    "x"},
        CommandCase{"ComRepliesThenGoesToTheAddress",
                    {"tr !", "!com example"},
                    {Own("tr !"), OwnStatus(kTrig, "!"), Own("!com example"),
                     OwnStatus("viewing", "www.example.com"), "[keyword] www.example.com"}},
        CommandCase{"PrivateRoomThenAlreadyThere",
                    {"tr !", "!pr secret", "!pr secret"},
                    {Own("tr !"), OwnStatus(kTrig, "!"), Own("!pr secret"),
                     "[keyword] aol://2719:2-2-secret", OwnStatus("enterd pr", "secret"),
                     Own("!pr secret"), OwnStatus("your already in pr", "secret")}},
        CommandCase{"PrivateRoomWithTheCurrentRoom",
                    {"tr !", "!pr Town Square"},
                    {Own("tr !"), OwnStatus(kTrig, "!"), Own("!pr Town Square"),
                     OwnStatus("your already in pr", "Town Square")}},
        CommandCase{"DisableThenEnableThenEnableIsNotHeard",
                    {"dis", "en", "en"},
                    {Own("dis"), OwnStatus("disabled", "ruze"), Own("en"),
                     OwnStatus("enabled", "ruze"), Own("en")}},
        CommandCase{"DisableTwiceThroughTheMainView",
                    {"dis", "/click Label7", "dis"},
                    {Own("dis"), OwnStatus("disabled", "ruze"), Own("dis"),
                     "[msgbox] ruze already disabled"}},
        CommandCase{"Mp3ViewLeavesOnlyEnable",
                    {"/click Label9", "/click Label9", "h z", "en"},
                    {"[msgbox] already viewing mp3 c-ruze", Own("h z"), Own("en"),
                     OwnStatus("enabled", "ruze")}},
        CommandCase{
            "IdleNoticeComesAfterOneMinute",
            {"i lunch", "/wait 59.9", "/wait 0.1", "io"},
            {Own("i lunch"), OwnStatus("is idle", "lunch"), OwnStatus("is idle", "lunch"),
             OwnStatus("has been idle for", "1 min's"), Own("io"), OwnStatus("no longer", "idle")}},
        CommandCase{
            "InstantMessagesOn",
            {"imon"},
            {Own("imon"), "[keyword] aol://9293:$IM_ON", "[im $IM_ON] =)", OwnStatus("ims", "on")}},
        CommandCase{
            "InstantMessagesOnWithTheWelcomeWindowBehindTheRoom",
            {"/front Welcome, Moonraker!", "/front Town Square", "imon"},
            {Own("imon"), "[keyword] aol://9293:$IM_ON", "[im $IM_ON] =)", OwnStatus("ims", "on")}},
        CommandCase{"CommandLongerThanTheRoomIsWideRunsOnceWhole",
                    {"h " + kLongHandle},
                    {Own("h " + kLongHandle), OwnStatus("handle changed", kLongHandle)},
                    kLongHandle},
        CommandCase{"OtherMembersAreNotObeyed",
                    {"/say KarenK h x", "/say slickrick e", "/say KarenK spaced out  "},
                    {"KarenK: h x", "slickrick: e", "KarenK: spaced out  "}},
        CommandCase{"DoubleSlashTypesASlash", {"//x", "// y"}, {Own("/x"), Own("/ y")}},
        CommandCase{"HelpOnlyWordsDoNothing", {"con x", "re"}, {Own("con x"), Own("re")}},
        CommandCase{"FrontOnTheRoomKeepsTyping",
                    {"/front Town Square", "h al"},
                    {Own("h al"), OwnStatus("handle changed", "al")},
                    "al"}),
    [](const testing::TestParamInfo<CommandCase>& info) { return info.param.name; });

TEST(ConsoleSession, ExitSendsOneLogoutLineAndReadsNoFurther) {
    Session s = RunConsole({"bob", "e", "h x", "more"});
    EXPECT_EQ(s.out, (Lines{kPrompt, Own(LoginOrOut("login", "bob")), Own("e"),
                            Own(LoginOrOut("logout", "bob")), "[exit]"}));
    EXPECT_EQ(s.status, 0);
}

TEST(ConsoleSession, QuitClosesTheMainWindow) {
    Session s = RunConsole({"bob", "h al", "/quit", "h x"});
    EXPECT_EQ(s.out, (Lines{kPrompt, Own(LoginOrOut("login", "bob")), Own("h al"),
                            OwnStatus("handle changed", "al"), Own(LoginOrOut("logout", "al")),
                            "[exit]"}));
    EXPECT_EQ(s.status, 0);
}

TEST(ConsoleSession, BadCommandsAreReportedOnStderrAndTheSessionGoesOn) {
    Session s = RunConsole({"bob", "/foo bar", "/wait soon", "/wait -1", "/wait 1e9", "/wait nan",
                            "/click NoSuchLabel", "/front Nowhere", "/say", "/QUIT", "h al"});
    EXPECT_EQ(s.out, Framed({Own("h al"), OwnStatus("handle changed", "al")}, "al"));
    EXPECT_EQ(s.status, 0);
    for (const char* expected :
         {"[error] unknown command: /foo bar\n", "/wait soon\n", "/wait -1\n", "/wait 1e9\n",
          "/wait nan\n", "NoSuchLabel\n", "Nowhere\n", "usage: /say NAME TEXT\n",
          "[error] unknown command: /QUIT\n"}) {
        EXPECT_NE(s.err.find(expected), std::string::npos) << expected << " in\n" << s.err;
    }
}

TEST(ConsoleSession, ScreenNameAndRoomComeFromTheCommandLine) {
    Session s = RunConsole({"bob", "pr Lobby", "/say Moonraker h x"},
                           {"--screen-name", "Zed", "--room=Lobby"});
    EXPECT_EQ(s.out, (Lines{kPrompt, "Zed: " + LoginOrOut("login", "bob"), "Zed: pr Lobby",
                            "Zed: " + Status("bob", "your already in pr", "Lobby"),
                            "Moonraker: h x", "Zed: " + LoginOrOut("logout", "bob"), "[exit]"}));
}

TEST(ConsoleSession, TraceReportsTheScannersOfAViewSwitchInOrder) {
    Session s = RunConsole({"bob", "/click Label9"}, {"--trace"});
    auto login = std::find(s.out.begin(), s.out.end(), Own(LoginOrOut("login", "bob")));
    ASSERT_NE(login, s.out.end());
    Lines click{"[trace] NiteScan1.ScanOFF", "[trace] NiteScan2.ScanON",
                "[trace] NiteScan5.ScanOFF"};
    EXPECT_NE(std::search(login, s.out.end(), click.begin(), click.end()), s.out.end());
    // The load step sends the login line and then makes the start-up
    // switches; the line reaches the room on a later turn, after them, as it
    // does from a client in another process.
    Lines startup{"[trace] NiteScan5.ScanON", "[trace] NiteScan1.ScanON",
                  "[trace] NiteScan2.ScanOFF"};
    auto switches = std::search(s.out.begin(), s.out.end(), startup.begin(), startup.end());
    EXPECT_LT(switches, login);
    EXPECT_EQ(std::search(login, s.out.end(), startup.begin(), startup.end()), s.out.end());
    EXPECT_EQ(s.out.back(), "[exit]");
}

// Arguments whose level is a half in double arithmetic and a hair off it
// with more precision: every build (the 32-bit Windows one included) rounds
// them to the same even neighbour.
TEST(ConsoleSession, LevelsThatAreHalvesRoundAlikeOnEveryBuild) {
    Session s = RunConsole({"bob", "v 0.1", "v 0.3", "b 0.1", "b 0.3"}, {"--trace"});
    for (const char* level :
         {"[trace] MediaPlayer1.Volume -2498", "[trace] MediaPlayer1.Volume -2492",
          "[trace] MediaPlayer1.Balance -2498", "[trace] MediaPlayer1.Balance -2492"}) {
        EXPECT_NE(std::find(s.out.begin(), s.out.end(), level), s.out.end()) << level;
    }
}

TEST(ConsoleSession, SameScriptSameOutput) {
    Lines script{"bob", "i away", "/wait 125", "cr back soon", "/wait 60", "io"};
    Session first = RunConsole(script);
    Session second = RunConsole(script);
    EXPECT_EQ(first.out, second.out);
    // Two ticks, two lines each, and the minute count goes on.
    EXPECT_NE(std::find(first.out.begin(), first.out.end(), OwnStatus("is idle", "back soon")),
              first.out.end());
    EXPECT_NE(
        std::find(first.out.begin(), first.out.end(), OwnStatus("has been idle for", "3 min's")),
        first.out.end());
}

TEST(CommandLine, HelpVersionAndBadArguments) {
    e2e::ProcessResult help = e2e::RunProcess(kProgram, {"--help"}, "");
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("usage: moonrake"), std::string::npos);

    // Byte for byte the same line from every build, the Windows one included.
    e2e::ProcessResult version = e2e::RunProcess(kProgram, {"--version"}, "");
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "moonrake ruze " MOONRAKE_VERSION "\n");
    EXPECT_EQ(version.err, "");

    e2e::ProcessResult bad = e2e::RunProcess(kProgram, {"--console", "--bogus"}, "bob\n");
    EXPECT_EQ(bad.exitStatus, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("unknown argument: --bogus"), std::string::npos);

    e2e::ProcessResult empty = e2e::RunProcess(kProgram, {"--screen-name="}, "");
    EXPECT_EQ(empty.exitStatus, 2);
}

TEST(ConsoleSession, LinesEndingInCarriageReturnAndLineFeedGiveTheSameOutput) {
    Lines script{"bob", "tr !", "!com example", "!i lunch", "/wait 60", "!io", "/quit"};
    std::string unix, dos;
    for (const auto& line : script) {
        unix += line + "\n";
        dos += line + "\r\n";
    }
    e2e::ProcessResult fromUnix = e2e::RunProcess(kProgram, {"--console"}, unix);
    e2e::ProcessResult fromDos = e2e::RunProcess(kProgram, {"--console"}, dos);
    EXPECT_EQ(fromDos.out, fromUnix.out);
    EXPECT_EQ(fromDos.exitStatus, 0);
    // One event a line, each ending in a bare line feed.
    EXPECT_EQ(fromDos.out.find('\r'), std::string::npos);
    Lines out = e2e::Lines(fromDos.out);
    EXPECT_NE(std::find(out.begin(), out.end(), OwnStatus("no longer", "idle")), out.end());
    EXPECT_EQ(out.back(), "[exit]");
}

TEST(ConsoleSession, ArgumentsOutsideAsciiArriveAsTyped) {
    Session s = RunConsole({"bob", "pr Café Zoë"}, {"--screen-name", "Zoë", "--room", "Café Zoë"});
    EXPECT_EQ(s.out, (Lines{kPrompt, "Zoë: " + LoginOrOut("login", "bob"), "Zoë: pr Café Zoë",
                            "Zoë: " + Status("bob", "your already in pr", "Café Zoë"),
                            "Zoë: " + LoginOrOut("logout", "bob"), "[exit]"}));
}

TEST(CommandLine, WithoutADisplayTheConsoleStarts) {
    if (WindowsProgram()) {
        GTEST_SKIP() << "Windows always has a screen: there only --console starts the console";
    }
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    e2e::ProcessResult run = e2e::RunProcess(kProgram, {}, "bob\n");
    EXPECT_EQ(run.exitStatus, 0);
    Lines out = e2e::Lines(run.out);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front(), kPrompt);
    EXPECT_EQ(out.back(), "[exit]");
}

}  // namespace
