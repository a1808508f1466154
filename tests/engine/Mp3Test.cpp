// The mp3 commands against a recording player and an in-memory file list.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "EngineWorld.h"
#include "engine/FolderFileList.h"
#include "engine/StyledLine.h"

namespace {

using enginetest::CallLog;
using enginetest::World;
using Lines = std::vector<std::string>;

#ifdef _WIN32
const std::string kSep = "\\";
#else
const std::string kSep = "/";
#endif

class Mp3 : public ::testing::Test {
  protected:
    Mp3() {
        w.Files().folders = {{"songs", {"one.mp3", "two.mp3", "three.mp3"}},
                             {"single", {"only.mp3"}},
                             {"empty", {}}};
    }
    std::string Say(const std::string& verb, const std::string& detail) {
        return "SETTEXT RICHCNTL " + w.Status(verb, detail);
    }
    void UseSongs() {
        w.Type("d songs");
        w.calls.clear();
    }
    World w;
};

TEST_F(Mp3, HidingNarrowsAWideWindowAndSaysWhenItIsNarrowAlready) {
    EXPECT_EQ(w.Type("3pm"), Lines{w.Status("not viewing", "mp3s")});
    EXPECT_EQ(w.calls, CallLog{Say("not viewing", "mp3s")});

    w.host.SetForm1Width(engine::kWideWidth);
    w.Files().SetVisible(true);
    w.calls.clear();
    EXPECT_EQ(w.Type("3pm"), Lines{w.Status("hideing", "mp3s")});
    EXPECT_EQ(w.calls,
              (CallLog{"Form1.Width 4230", Say("hideing", "mp3s"), "Timer5.Enabled false"}));
    EXPECT_TRUE(w.Files().Visible());  // the list keeps its flag
    EXPECT_EQ(w.Type("3pm"), Lines{w.Status("not viewing", "mp3s")});
}

TEST_F(Mp3, ShowingNeedsSongsAndWidensTheWindowEveryTime) {
    EXPECT_EQ(w.Type("mp3"), Lines{w.Status("no", "mp3s")});
    EXPECT_EQ(w.calls, CallLog{Say("no", "mp3s")});
    UseSongs();
    for (int i = 0; i < 2; ++i) {
        w.calls.clear();
        EXPECT_EQ(w.Type("mp3"), Lines{w.Status("viewing", "mp3s & controls")});
        EXPECT_EQ(w.calls, (CallLog{"Form1.WindowState Normal", "Form1.Width 7350",
                                    Say("viewing", "mp3s & controls"), "Timer5.Enabled true"}));
        EXPECT_TRUE(w.Files().Visible());
    }
}

TEST_F(Mp3, FolderReplyIsInvalidUnlessTheFolderOpensWithSongs) {
    EXPECT_EQ(w.Type("d songs"), Lines{w.Status("set directory", "songs")});
    EXPECT_EQ(w.Files().Path(), "songs");
    // A folder that cannot be opened: the list keeps its folder and entries.
    EXPECT_EQ(w.Type("d nowhere"), Lines{w.Status("directory", "invalid")});
    EXPECT_EQ(w.Files().Path(), "songs");
    EXPECT_EQ(w.Files().Count(), 3);
    // A folder without mp3s: the list shows it, and "mp3" then has none.
    EXPECT_EQ(w.Type("d empty"), Lines{w.Status("directory", "invalid")});
    EXPECT_EQ(w.Files().Path(), "empty");
    EXPECT_EQ(w.Type("mp3"), Lines{w.Status("no", "mp3s")});
    // A list that breaks while the folder is set.
    w.Files().throwOnSetPath = true;
    EXPECT_EQ(w.Type("d songs"), Lines{w.Status("directory", "invalid")});
}

TEST_F(Mp3, AnyFailureInsideTheFolderCommandGivesTheSameReply) {
    w.Files().throwOnCount = true;
    EXPECT_EQ(w.Type("d songs"), Lines{w.Status("directory", "invalid")});
    w.Files().throwOnCount = false;
    EXPECT_EQ(w.Type("d single"), Lines{w.Status("set directory", "single")});
}

TEST_F(Mp3, RandomPlaysAndSelectsTheDrawnEntry) {
    EXPECT_EQ(w.Type("r"), Lines{w.Status("no", "mp3s")});
    EXPECT_EQ(w.calls, CallLog{Say("no", "mp3s")});  // nothing played, no timer

    UseSongs();
    w.runtime.scriptedRandom = {0.5};  // 3 * 0.5 -> whole part 1, plus 1: the second file
    EXPECT_EQ(w.Type("r ignored"), Lines{w.Status("random beat", "two.mp3")});
    EXPECT_EQ(w.calls, (CallLog{"Timer2.Enabled true", "Timer3.Enabled true",
                                "MediaPlayer1.OpenAndPlay songs" + kSep + "two.mp3",
                                "Label21.Caption two.mp3", Say("random beat", "two.mp3")}));
    EXPECT_EQ(w.Files().ListIndex(), 1);
    EXPECT_GE(w.runtime.reseedCount, 1);

    w.runtime.scriptedRandom = {0.9999};
    EXPECT_EQ(w.Type("r"), Lines{w.Status("random beat", "three.mp3")});
    w.runtime.scriptedRandom = {0.0};
    EXPECT_EQ(w.Type("r"), Lines{w.Status("random beat", "one.mp3")});

    w.runtime.scriptedRandom.clear();
    w.Type("d single");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.Type("r"), Lines{w.Status("random beat", "only.mp3")});
}

TEST_F(Mp3, NamedSongPlaysAsTypedWithoutChangingTheSelection) {
    EXPECT_EQ(w.Type("p song.mp3"), Lines{w.Status("no match for", "song.mp3")});
    EXPECT_EQ(w.calls, CallLog{Say("no match for", "song.mp3")});
    UseSongs();
    w.Files().SetListIndex(2);
    EXPECT_EQ(w.Type("p my song .MP3"), Lines{w.Status("bumpin", "my song .MP3")});
    EXPECT_EQ(w.calls, (CallLog{"MediaPlayer1.OpenAndPlay songs" + kSep + "my song .MP3",
                                "Timer3.Enabled true", "Timer2.Enabled true",
                                "Label21.Caption my song .MP3", Say("bumpin", "my song .MP3")}));
    EXPECT_EQ(w.Files().ListIndex(), 2);  // the selection is not changed
    EXPECT_EQ(w.host.SongCaption(), "my song .MP3");
}

TEST_F(Mp3, PlayerSwitches) {
    struct Case {
        const char* line;
        const char* call;
        const char* detail;
    };
    for (const Case& c : {Case{"stp", "MediaPlayer1.Stop", "stopped"},
                          Case{"mu", "MediaPlayer1.Mute true", "muted"},
                          Case{"um", "MediaPlayer1.Mute false", "unmuted"},
                          Case{"pa", "MediaPlayer1.TogglePause", "paused"},
                          Case{"up x", "MediaPlayer1.TogglePause", "unpaused"}}) {
        w.calls.clear();
        EXPECT_EQ(w.Type(c.line), Lines{w.Status("beat", c.detail)}) << c.line;
        EXPECT_EQ(w.calls, (CallLog{c.call, Say("beat", c.detail)})) << c.line;
    }
}

TEST_F(Mp3, VolumeAndBalanceRoundHalvesToEven) {
    struct Case {
        const char* line;
        const char* call;
        const char* verb;
        const char* detail;
    };
    for (const Case& c : {Case{"v 100", "MediaPlayer1.Volume 0", "set volume", "100"},
                          Case{"v 0", "MediaPlayer1.Volume -2500", "set volume", "0"},
                          Case{"v 50.5", "MediaPlayer1.Volume -1238", "set volume", "50.5"},
                          Case{"v  7 ", "MediaPlayer1.Volume -2325", "set volume", " 7 "},
                          Case{"v 1000", "MediaPlayer1.Volume 22500", "set volume", "1000"},
                          Case{"b 200", "MediaPlayer1.Balance 2500", "set balance", "200"},
                          Case{"b 100", "MediaPlayer1.Balance 0", "set balance", "100"},
                          Case{"b -0.02", "MediaPlayer1.Balance -2500", "set balance", "-0.02"}}) {
        w.calls.clear();
        EXPECT_EQ(w.Type(c.line), Lines{w.Status(c.verb, c.detail)}) << c.line;
        EXPECT_EQ(w.calls, (CallLog{c.call, Say(c.verb, c.detail)})) << c.line;
    }
}

TEST_F(Mp3, VolumeAndBalanceIgnoreWhatIsNoNumber) {
    for (const char* line :
         {"v loud", "v 0x10", "v inf", "b nan", "v 1e300", "b 85899446", "b -85899246", "v 1,5"}) {
        EXPECT_EQ(w.Type(line), Lines{}) << line;
    }
    EXPECT_EQ(w.calls, CallLog{});
    // The walk goes on: with the trigger re-read, a later entry still runs.
    w.Type("tr .");
    w.calls.clear();
    EXPECT_EQ(w.Type(".v x"), Lines{});
    EXPECT_EQ(w.Type(".b 100"), Lines{w.Status("set balance", "100")});
}

}  // namespace

namespace {

TEST(Mp3OnDisk, FolderCommandAndRandomSongOnARealFolder) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() /
        ("engine_mp3_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(folder);
    fs::create_directories(folder / "none");
    std::ofstream(folder / "tune.mp3") << "x";
    std::ofstream(folder / "notes.txt") << "x";

    World w;
    w.host.fileList = std::make_unique<engine::FolderFileList>(w.services.listFolder);
    EXPECT_FALSE(w.host.fileList->Visible());
    EXPECT_EQ(w.Type("d " + folder.string()), Lines{w.Status("set directory", folder.string())});
    w.calls.clear();
    EXPECT_EQ(w.Type("r"), Lines{w.Status("random beat", "tune.mp3")});
    EXPECT_EQ(w.calls[2], "MediaPlayer1.OpenAndPlay " + folder.string() + kSep + "tune.mp3");
    EXPECT_EQ(w.Type("d " + (folder / "none").string()), Lines{w.Status("directory", "invalid")});
    EXPECT_EQ(w.Type("d " + (folder / "missing").string()),
              Lines{w.Status("directory", "invalid")});
    EXPECT_EQ(w.host.fileList->Path(), (folder / "none").string());
    fs::remove_all(folder);
}

}  // namespace
