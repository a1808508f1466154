// The command table end to end: a line typed into the simulated room comes
// back as the exact reply in the room's transcript.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EngineWorld.h"
#include "engine/StyledLine.h"

namespace {

using enginetest::World;
using Lines = std::vector<std::string>;

const std::string kFace = "< font . face=tahoma>";
const std::string kDeco = "< font . color=#000000>";
const std::string kWord = "< font . color=#AAAAAA>";

// A reply in the initial style for handle bob.
std::string Initial(const std::string& verb, const std::string& detail,
                    const std::string& left = "\u00BB\u00B8 ") {
    return kFace + kDeco + left + kWord + "bob" + kDeco + " \u203A " + kWord + verb + kDeco + " (" +
           kWord + detail + kDeco + ") ";
}

class Commands : public ::testing::Test {
  protected:
    World w;
};

TEST_F(Commands, InitialStyleReplyIsExact) {
    EXPECT_EQ(
        w.Type("tr !"),
        Lines{"< font . face=tahoma>< font . color=#000000>\u00BB\u00B8 < font . color=#AAAAAA>bob"
              "< font . color=#000000> \u203A < font . color=#AAAAAA>changed trig to"
              "< font . color=#000000> (< font . color=#AAAAAA>!< font . color=#000000>) "});
    EXPECT_EQ(w.state.trigger, "!");
}

TEST_F(Commands, DefaultStyleDropsTheBlankOfTheLeftDecoration) {
    w.state.fontFace = "arial";  // "dfa" leaves the face alone
    w.state.fontColor = "123456";
    EXPECT_EQ(
        w.Type("dfa with anything"),
        Lines{"< font . face=arial>" + kDeco + "\u00BB\u00B8" + kWord + "bob" + kDeco + " \u203A " +
              kWord + "using default" + kDeco + " (" + kWord + "settings" + kDeco + ") "});
    EXPECT_EQ(w.state.leftAscii, "\u00BB\u00B8");
    EXPECT_EQ(w.state.fontFace, "arial");
}

TEST_F(Commands, StyleCommandsShowTheNewStyleInTheirOwnReply) {
    EXPECT_EQ(w.Type("ac red"),
              Lines{kFace + "< font . color=#red>\u00BB\u00B8 " + kWord + "bob" +
                    "< font . color=#red> \u203A " + kWord + "changed ascii color" +
                    "< font . color=#red> (" + kWord + "red" + "< font . color=#red>) "});
    w.Type("ac 000000");
    EXPECT_EQ(w.Type("fc ff0000"),
              Lines{kFace + kDeco + "\u00BB\u00B8 < font . color=#ff0000>bob" + kDeco +
                    " \u203A < font . color=#ff0000>changed font color" + kDeco +
                    " (< font . color=#ff0000>ff0000" + kDeco + ") "});
    w.Type("fc AAAAAA");
    EXPECT_EQ(w.Type("ft comic sans ms"),
              Lines{"< font . face=comic sans ms>" + kDeco + "\u00BB\u00B8 " + kWord + "bob" +
                    kDeco + " \u203A " + kWord + "changed font type" + kDeco + " (" + kWord +
                    "comic sans ms" + kDeco + ") "});
    EXPECT_EQ(w.Type("la <b>#"), Lines{"< font . face=comic sans ms>" + kDeco + "<b>#" + kWord +
                                       "bob" + kDeco + " \u203A " + kWord + "changed left ascii" +
                                       kDeco + " (" + kWord + "<b>#" + kDeco + ") "});
    EXPECT_EQ(w.Type("ma ) x ("), Lines{"< font . face=comic sans ms>" + kDeco + "<b>#" + kWord +
                                        "bob" + kDeco + " ) x ( " + kWord + "changed middle ascii" +
                                        kDeco + " (" + kWord + ") x (" + kDeco + ") "});
}

TEST_F(Commands, EmptyLeftDecorationStillWritesItsColourTag) {
    w.state.leftAscii = "";
    EXPECT_EQ(w.Type("tr !"), Lines{Initial("changed trig to", "!", "")});
    EXPECT_NE(w.RoomTexts().back().find(kDeco + kWord + "bob"), std::string::npos);
}

TEST_F(Commands, RequiredArgumentsMissingDoNothing) {
    for (const char* line : {"ac", "la ", "ma", "ft ", "fc", "tr", "com ", "org", "net", "pr ", "h",
                             "h ", "d", "p ", "v", "b ", "i", "cr ", "sim"}) {
        EXPECT_EQ(w.Type(line), Lines{}) << line;
    }
    EXPECT_EQ(w.calls, enginetest::CallLog{});
    EXPECT_EQ(w.state.trigger, "");
}

TEST_F(Commands, UnknownAndHelpOnlyWordsDoNothing) {
    for (const char* line : {"hello there", "con x", "sms", "re", "fas", "en", " h bob", "<b>"}) {
        EXPECT_EQ(w.Type(line), Lines{}) << line;
    }
    EXPECT_EQ(w.calls, enginetest::CallLog{});
}

TEST_F(Commands, TheCommandWordIsLowerCasedAndTheArgumentKept) {
    w.Type("tr !");
    EXPECT_EQ(w.Type("!H NewName"), Lines{Initial("handle changed", "NewName")});
    EXPECT_EQ(w.state.handle, "NewName");
    // Letters of the ANSI code page beyond A-Z are lower-cased too.
    w.Type("!tr \u00E9");
    EXPECT_EQ(w.state.trigger, "\u00E9");
    w.Type("\u00C9H \u00C9mile");
    EXPECT_EQ(w.state.handle, "\u00C9mile");
}

TEST_F(Commands, TriggerWithUpperCaseOrBlankMatchesNothing) {
    w.Type("tr X");
    EXPECT_EQ(w.Type("Xh bob2"), Lines{});
    EXPECT_EQ(w.Type("xh bob2"), Lines{});
    EXPECT_EQ(w.Type("Xtr !"), Lines{});
    EXPECT_EQ(w.state.trigger, "X");
    EXPECT_EQ(w.state.handle, "bob");

    World blank;
    blank.Type("tr  ");  // one blank as the whole argument
    EXPECT_EQ(blank.state.trigger, " ");
    EXPECT_EQ(blank.Type(" h x"), Lines{});
    EXPECT_EQ(blank.state.handle, "bob");
}

TEST_F(Commands, TheTriggerIsReadAgainForEveryEntry) {
    w.Type("tr .");
    // ".tr .t" sets the trigger to ".t"; the later entry "r" then matches
    // ".t" + "r" == ".tr" in the same walk. The list is empty: ("no", "mp3s").
    EXPECT_EQ(w.Type(".tr .t"), (Lines{Initial("changed trig to", ".t"), Initial("no", "mp3s")}));
    EXPECT_EQ(w.state.trigger, ".t");
}

TEST_F(Commands, LinesFromOthersChangeNothingRoomNameIncluded) {
    // The login line was the user's own and has refreshed it already.
    w.state.roomName = "room";
    w.client.Say("KarenK", "h zed");
    w.client.Say("moonraker", "h zed");  // the screen name compares case-sensitively
    w.client.Say("Moonraker ", "h zed");
    w.Settle();
    EXPECT_EQ(w.RoomTexts(), (Lines{"h zed", "h zed", "h zed"}));
    EXPECT_EQ(w.state.handle, "bob");
    EXPECT_EQ(w.state.roomName, "room");
    EXPECT_EQ(w.calls, enginetest::CallLog{});

    // Any own line refreshes the room name, command or not.
    w.Type("just talking");
    EXPECT_EQ(w.state.roomName, "Town Square");
}

TEST_F(Commands, HandleRepliesWithTheOldHandle) {
    EXPECT_EQ(w.Type("h  x"), Lines{Initial("handle changed", " x")});
    EXPECT_EQ(w.state.handle, " x");
    w.Type("h bob");
    EXPECT_EQ(w.Type("h bob"), Lines{Initial("handle already set to", "bob")});
    EXPECT_EQ(w.Type("h Bob"), Lines{Initial("handle changed", "Bob")});
    EXPECT_EQ(w.state.handle, "Bob");
}

TEST_F(Commands, PrivateRoomComparesWithTheCurrentRoom) {
    EXPECT_EQ(w.Type("pr Town Square"), Lines{Initial("your already in pr", "Town Square")});
    EXPECT_EQ(w.client.VisitedAddresses(), Lines{});
    w.calls.clear();
    EXPECT_EQ(w.Type("pr town square"), Lines{Initial("enterd pr", "town square")});
    EXPECT_EQ(w.client.VisitedAddresses(), Lines{"aol://2719:2-2-town square"});
    // Navigation first, then the reply.
    EXPECT_EQ(w.calls,
              (enginetest::CallLog{"SETTEXT Edit aol://2719:2-2-town square",
                                   "SETTEXT RICHCNTL " + Initial("enterd pr", "town square")}));
    EXPECT_EQ(w.client.RoomName(), "town square");
    // The next own line refreshes the room name from the new room.
    EXPECT_EQ(w.Type("pr town square"), Lines{Initial("your already in pr", "town square")});
}

TEST_F(Commands, WebSitesReplyFirstAndThenNavigate) {
    struct Site {
        const char* line;
        const char* address;
    };
    for (const Site& site : {Site{"com my site", "www.my site.com"}, Site{"org x", "www.x.org"},
                             Site{"net a.b", "www.a.b.net"}}) {
        w.calls.clear();
        EXPECT_EQ(w.Type(site.line), Lines{Initial("viewing", site.address)});
        EXPECT_EQ(w.calls,
                  (enginetest::CallLog{"SETTEXT RICHCNTL " + Initial("viewing", site.address),
                                       std::string("SETTEXT Edit ") + site.address}));
        EXPECT_EQ(w.client.VisitedAddresses().back(), site.address);
    }
}

TEST_F(Commands, WindowCommands) {
    EXPECT_EQ(w.Type("minv"), Lines{Initial("using", "mini version")});
    EXPECT_EQ(w.Type("min"), Lines{Initial("minimized", "ruze")});
    EXPECT_EQ(w.Type("res"), Lines{Initial("restored", "ruze")});
    EXPECT_EQ(w.Type("fulv"), Lines{Initial("using", "full version")});
    EXPECT_EQ(
        w.calls,
        (enginetest::CallLog{
            "Form5.Show", "Form1.Hide", "SETTEXT RICHCNTL " + Initial("using", "mini version"),
            "Form1.WindowState Minimized", "SETTEXT RICHCNTL " + Initial("minimized", "ruze"),
            "Form1.WindowState Normal", "SETTEXT RICHCNTL " + Initial("restored", "ruze"),
            "Form5.Hide", "Form1.Show", "SETTEXT RICHCNTL " + Initial("using", "full version")}));
}

TEST_F(Commands, InstantMessagesOnAndOffReplyAfterTheMessageWent) {
    EXPECT_EQ(w.Type("imof"), Lines{Initial("ims", "off")});
    EXPECT_FALSE(w.client.InstantMessagesOn());
    EXPECT_EQ(w.Type("imon"), Lines{Initial("ims", "on")});
    EXPECT_TRUE(w.client.InstantMessagesOn());
    EXPECT_EQ(w.client.InstantMessagesSent(),
              (std::vector<clientsim::InstantMessage>{{"$IM_OFF", "=)"}, {"$IM_ON", "=)"}}));
    const auto& log = w.clientLog;
    const auto im = std::find(log.begin(), log.end(), "im $IM_ON|=)");
    const auto reply = std::find(log.begin(), log.end(), "line " + Initial("ims", "on"));
    ASSERT_NE(im, log.end());
    ASSERT_NE(reply, log.end());
    EXPECT_LT(im - log.begin(), reply - log.begin());
}

TEST_F(Commands, SendInstantMessageNeedsANameAndAMessage) {
    EXPECT_EQ(w.Type("sim KarenK hi there  "), Lines{Initial("writing im to", "KarenK")});
    EXPECT_EQ(w.client.InstantMessagesSent(),
              (std::vector<clientsim::InstantMessage>{{"KarenK", "hi there  "}}));
    for (const char* line : {"sim KarenK", "sim KarenK ", "sim  hi", "sim   "}) {
        EXPECT_EQ(w.Type(line), Lines{}) << line;
    }
    EXPECT_EQ(w.client.InstantMessagesSent().size(), 1u);
}

TEST_F(Commands, DisableAndEnableSwitchTheScanners) {
    EXPECT_EQ(w.Type("en"), Lines{});  // NiteScan2 is not scanning yet
    EXPECT_EQ(w.Type("dis"), Lines{Initial("disabled", "ruze")});
    EXPECT_EQ(w.calls,
              (enginetest::CallLog{"SETTEXT RICHCNTL " + Initial("disabled", "ruze"),
                                   "ScanOFF NiteScan1", "ScanOFF NiteScan5", "ScanON NiteScan2"}));
    EXPECT_EQ(w.state.ruzeSwitch, "off");
    EXPECT_FALSE(w.nite1.Scanning());
    EXPECT_FALSE(w.nite5.Scanning());
    EXPECT_TRUE(w.nite2.Scanning());

    // Only "en" is heard now.
    EXPECT_EQ(w.Type("h zed"), Lines{});
    EXPECT_EQ(w.Type("i lunch"), Lines{});
    EXPECT_EQ(w.Type("dis"), Lines{});
    EXPECT_EQ(w.state.handle, "bob");
    EXPECT_EQ(w.state.idleState, "off");

    w.calls.clear();
    EXPECT_EQ(w.Type("EN whatever"), Lines{Initial("enabled", "ruze")});
    EXPECT_EQ(w.calls,
              (enginetest::CallLog{"SETTEXT RICHCNTL " + Initial("enabled", "ruze"),
                                   "ScanON NiteScan1", "ScanON NiteScan5", "ScanOFF NiteScan2"}));
    EXPECT_EQ(w.state.ruzeSwitch, "on");
    EXPECT_EQ(w.Type("en"), Lines{});
    EXPECT_EQ(w.Type("h zed"), Lines{Initial("handle changed", "zed")});
}

TEST_F(Commands, DisableAndEnableAlreadyShowAMessageBoxOnly) {
    // A view of the main window switched the scanners without touching the switch.
    w.state.ruzeSwitch = "off";
    EXPECT_EQ(w.Type("dis"), Lines{});
    EXPECT_EQ(w.calls, enginetest::CallLog{"MessageBox ruze already disabled"});
    EXPECT_EQ(w.runtime.messageBoxes, Lines{"moonrake ruze \u00B2|ruze already disabled"});
    EXPECT_TRUE(w.nite1.Scanning());

    w.calls.clear();
    w.state.ruzeSwitch = "on";
    w.host.ScanON(engine::Scanner::NiteScan2);
    w.calls.clear();
    EXPECT_EQ(w.Type("en"), Lines{});
    EXPECT_EQ(w.calls, enginetest::CallLog{"MessageBox ruze already enabled"});
}

TEST_F(Commands, TheTriggerPrefixesEveryWord) {
    w.Type("tr ::");
    EXPECT_EQ(w.Type("h zed"), Lines{});
    EXPECT_EQ(w.Type("::h zed"), Lines{Initial("handle changed", "zed")});
    EXPECT_EQ(w.Type("::tr  "), Lines{w.Status("changed trig to", " ")});
    EXPECT_EQ(w.state.trigger, " ");
}

TEST_F(Commands, ExitSendsOnlyTheLogoutLineAndEndsEverything) {
    w.Type("h zed");
    EXPECT_EQ(w.Type("e"), Lines{engine::BuildLogoutLine(w.state)});
    EXPECT_NE(w.RoomTexts().back().find(" logout "), std::string::npos);
    EXPECT_NE(w.RoomTexts().back().find("zed"), std::string::npos);
    EXPECT_TRUE(w.runtime.QuitRequested());
    EXPECT_EQ(w.calls.back(), "SETTEXT RICHCNTL " + engine::BuildLogoutLine(w.state));
    // Nothing is handled any more.
    w.engine.HandleCommandLine(w.ScreenName(), "h again");
    w.Settle();
    EXPECT_EQ(w.state.handle, "zed");
}

}  // namespace
