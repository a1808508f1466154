#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/SimWindowSystem.h"
#include "tests/support/TestRuntime.h"

using namespace std::chrono_literals;
using platform::Hwnd;
using platform::sim::SimWindowSystem;

namespace {

class WindowSystem : public ::testing::Test {
  protected:
    testsupport::TestRuntime runtime;
    SimWindowSystem windows{runtime};
};

TEST_F(WindowSystem, ClassAndCaptionCompareWholeWithoutCase) {
    Hwnd frame = windows.CreateWindow(0, "AOL Frame25", "America Online");
    struct Case {
        const char* cls;
        std::optional<std::string_view> caption;
        bool found;
    };
    const Case cases[] = {
        {"AOL Frame25", std::nullopt, true},
        {"aol frame25", std::nullopt, true},
        {"AOL Frame2", std::nullopt, false},
        {"AOL Frame255", std::nullopt, false},
        {"AOL Frame25", "AMERICA ONLINE", true},
        {"AOL Frame25", "America", false},
        {"AOL Frame25", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(windows.FindWindowA(c.cls, c.caption), c.found ? frame : 0)
            << c.cls << " / " << (c.caption ? *c.caption : "(any)");
    }
}

TEST_F(WindowSystem, ChildLookupWalksFrontToBackAndWrapsAfterZero) {
    Hwnd parent = windows.CreateWindow(0, "Parent", "");
    Hwnd a = windows.CreateWindow(parent, "Kid", "a");
    Hwnd other = windows.CreateWindow(parent, "Other", "");
    Hwnd b = windows.CreateWindow(parent, "Kid", "b");
    EXPECT_EQ(windows.FindWindowExA(parent, 0, "Kid"), a) << "created first, foremost";
    EXPECT_EQ(windows.FindWindowExA(parent, a, "Kid"), b);
    EXPECT_EQ(windows.FindWindowExA(parent, b, "Kid"), 0u) << "after the last";
    EXPECT_EQ(windows.FindWindowExA(parent, 0, "Kid"), a) << "after 0, the first again";
    EXPECT_EQ(windows.FindWindowExA(parent, 0, "Kid", "B"), b);
    EXPECT_EQ(windows.FindWindowExA(parent, other, "Kid"), b) << "after a child of another class";

    windows.BringToFront(b);
    EXPECT_EQ(windows.FindWindowExA(parent, 0, "Kid"), b) << "brought to the front";
    EXPECT_EQ(windows.FindWindowExA(parent, b, "Kid"), a);

    Hwnd stranger = windows.CreateWindow(0, "Kid", "");
    EXPECT_EQ(windows.FindWindowExA(parent, stranger, "Kid"), 0u) << "not a child of this parent";
    EXPECT_EQ(windows.FindWindowExA(0, 0, "Kid"), stranger) << "parent 0: the top-level windows";
}

TEST_F(WindowSystem, EveryCallOnAMissingWindowYieldsZero) {
    Hwnd gone = windows.CreateWindow(0, "Gone", "text");
    Hwnd child = windows.CreateWindow(gone, "Child", "");
    windows.DestroyWindow(gone);
    EXPECT_FALSE(windows.IsWindow(child)) << "children go with their parent";
    char buffer[8] = "xxxxxxx";
    for (Hwnd h : {Hwnd{0}, gone, Hwnd{0xDEAD}}) {
        EXPECT_EQ(windows.FindWindowExA(h, 0, "Child"), 0u);
        EXPECT_EQ(windows.SendMessageA(h, platform::WM_GETTEXTLENGTH, 0, 0), 0);
        EXPECT_FALSE(windows.PostMessageA(h, platform::WM_CLOSE, 0, 0));
        EXPECT_EQ(windows.GetWindowTextLengthA(h), 0);
        EXPECT_EQ(windows.GetWindowTextA(h, buffer, sizeof buffer), 0);
        EXPECT_STREQ(buffer, "");
    }
}

TEST_F(WindowSystem, TextMessagesBehaveLikeUser32) {
    Hwnd w = windows.CreateWindow(0, "Edit", "");
    windows.SendMessageA(w, platform::WM_SETTEXT, 0, reinterpret_cast<platform::LParam>("hello"));
    EXPECT_EQ(windows.SendMessageA(w, platform::WM_GETTEXTLENGTH, 0, 0), 5);
    char small[4];
    EXPECT_EQ(windows.SendMessageA(w, platform::WM_GETTEXT, sizeof small,
                                   reinterpret_cast<platform::LParam>(small)),
              3);
    EXPECT_STREQ(small, "hel") << "cut to the buffer, terminated";
    EXPECT_EQ(windows.GetWindowTextA(w, small, sizeof small), 3);
    windows.SendMessageA(w, platform::WM_SETTEXT, 0, 0);
    EXPECT_EQ(windows.GetWindowTextLengthA(w), 0) << "a null text empties the window";
}

TEST_F(WindowSystem, PostedMessagesWaitForALaterTurnOfTheLoop) {
    Hwnd w = windows.CreateWindow(0, "Box", "");
    ASSERT_TRUE(windows.PostMessageA(w, platform::WM_CLOSE, 0, 0));
    EXPECT_TRUE(windows.IsWindow(w)) << "not closed by the post itself";
    EXPECT_EQ(windows.FindWindowA("Box"), w) << "nor by the program's next call";
    runtime.RunUntilIdle();
    EXPECT_FALSE(windows.IsWindow(w)) << "but when the event loop turns";

    // A busy owner gets to its posted messages later still.
    windows.SetPostLatency(50ms);
    Hwnd v = windows.CreateWindow(0, "Box", "");
    windows.PostMessageA(v, platform::WM_CLOSE, 0, 0);
    runtime.Advance(49ms);
    EXPECT_TRUE(windows.IsWindow(v));
    runtime.Advance(1ms);
    EXPECT_FALSE(windows.IsWindow(v));
}

TEST_F(WindowSystem, TheOwnerHandlesOneItemATurnSoTheProgramGetsTurnsBetween) {
    std::vector<std::string> order;
    for (int i = 0; i < 3; ++i) {
        windows.QueueReaction([&, i] {
            order.push_back("client " + std::to_string(i));
            runtime.Post([&, i] { order.push_back("program " + std::to_string(i)); });
        });
    }
    runtime.RunUntilIdle();
    EXPECT_EQ(order, (std::vector<std::string>{"client 0", "program 0", "client 1", "program 1",
                                               "client 2", "program 2"}));
    EXPECT_FALSE(windows.NextDue().has_value());
}

TEST_F(WindowSystem, ReactionsAreQueuedAndDelayedOnesWaitForTheirTime) {
    std::vector<std::string> order;
    Hwnd w = windows.CreateWindow(
        0, "Button", "",
        [&](Hwnd, unsigned msg, platform::WParam, platform::LParam) -> platform::LResult {
            if (msg == platform::WM_LBUTTONDOWN) {
                windows.QueueReaction([&] { order.push_back("now"); });
                windows.QueueReaction([&] { order.push_back("later"); }, 2s);
            }
            return 0;
        });
    windows.SendMessageA(w, platform::WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(order.empty()) << "never inside the SendMessage that caused it";
    runtime.RunUntilIdle();
    EXPECT_EQ(order, std::vector<std::string>{"now"});
    runtime.Advance(1999ms);
    EXPECT_EQ(order.size(), 1u);
    runtime.Advance(1ms);
    EXPECT_EQ(order, (std::vector<std::string>{"now", "later"}));
}

TEST_F(WindowSystem, ChangeListenersHearOnlyWhileRegistered) {
    int calls = 0;
    auto id = windows.AddChangeListener([&] { ++calls; });
    EXPECT_NE(id, 0u);
    windows.NotifyChanged();
    windows.RemoveChangeListener(id);
    windows.NotifyChanged();
    EXPECT_EQ(calls, 1);
}

}  // namespace
