// The prompts and message boxes of Win32Runtime as the Windows program shows
// them: real dialogs owned by the main window, found and answered through
// user32 as a user (or a test driving the program from outside) would, while
// the program's tasks and timers go on.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/win32ui/World.h"

using namespace std::chrono_literals;
using platform::Millis;
using win32uitest::ClassOf;
using win32uitest::RealWorld;
using win32uitest::SendClick;
using win32uitest::TextOf;

namespace {

const std::string kAnsiTitle = "moonrake ruze \xB2";

struct Seen {
    bool opened = false;
    HWND owner = nullptr;
    bool ownerEnabled = true;
    RECT place{};
    std::vector<std::string> texts;  // of its static children
    bool active = false;             // the dialog has the keyboard
};

std::vector<std::string> StaticTexts(HWND dialog) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "Static" && !TextOf(child).empty()) texts.push_back(TextOf(child));
    }
    return texts;
}

HWND ButtonOf(HWND dialog, const char* text) {
    return FindWindowExA(dialog, nullptr, "Button", text);
}

// Polls for our dialog (class #32770, this title) every 10 ms: the runtime's
// tasks run inside a dialog's own loop, or nothing here would ever run. Once
// it is open, and `settle` later, records what it looks like and hands it to
// `answer`.
void WhenDialogOpens(platform::Win32Runtime& runtime, Seen& seen,
                     std::function<void(HWND dialog)> answer, Millis settle = 0ms) {
    auto poll = std::make_shared<std::function<void()>>();
    const Millis giveUp = runtime.Monotonic() + 10s;
    *poll = [&runtime, &seen, answer, settle, poll, giveUp] {
        HWND dialog = FindWindowA("#32770", kAnsiTitle.c_str());
        if (!dialog || !IsWindowVisible(dialog)) {
            if (runtime.Monotonic() < giveUp) runtime.PostDelayed(10ms, *poll);
            return;
        }
        runtime.PostDelayed(settle, [&seen, dialog, answer] {
            seen.opened = true;
            seen.owner = GetWindow(dialog, GW_OWNER);
            seen.ownerEnabled = seen.owner && IsWindowEnabled(seen.owner);
            GetWindowRect(dialog, &seen.place);
            seen.texts = StaticTexts(dialog);
            HWND focus = GetFocus();
            seen.active = GetActiveWindow() == dialog && focus && IsChild(dialog, focus);
            answer(dialog);
        });
    };
    runtime.PostDelayed(10ms, *poll);
}

void Type(HWND dialog, const std::string& ansi) {
    SetWindowTextA(FindWindowExA(dialog, nullptr, "Edit", nullptr), ansi.c_str());
}

void Press(HWND dialog, const char* button) {
    SendMessageA(ButtonOf(dialog, button), BM_CLICK, 0, 0);
}

POINT Centre(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

RECT WorkArea() {
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

}  // namespace

TEST(Dialogs, TheHandlePromptIsOurOwnDialogAnsweredThroughUser32) {
    RealWorld world;
    forms::Form1& form = world.Make();
    Seen seen;
    HWND edit = nullptr;
    bool hasButtons = false;
    WhenDialogOpens(world.runtime, seen, [&](HWND dialog) {
        edit = FindWindowExA(dialog, nullptr, "Edit", nullptr);
        hasButtons = ButtonOf(dialog, "OK") && ButtonOf(dialog, "Cancel");
        // "»" in the ANSI code page: the answer comes back as UTF-8.
        Type(dialog, "bob \xBB");
        Press(dialog, "OK");
    });
    form.Load();

    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.texts, std::vector<std::string>{"enter your handle"});
    EXPECT_TRUE(edit);
    EXPECT_TRUE(hasButtons);
    EXPECT_TRUE(seen.active) << "the edit box has the keyboard";
    EXPECT_EQ(seen.owner, world.Window());
    EXPECT_FALSE(seen.ownerEnabled) << "modal: the main window takes no input meanwhile";
    // The main window is not shown yet: the prompt stands in the middle of
    // the screen.
    const POINT centre = Centre(seen.place);
    const POINT middle = Centre(WorkArea());
    EXPECT_NEAR(centre.x, middle.x, 1);
    EXPECT_NEAR(centre.y, middle.y, 1);

    EXPECT_EQ(form.State().handle, "bob \u00BB");
    EXPECT_EQ(TextOf(world.Control("Label4")), "bob \xBB");
    EXPECT_TRUE(IsWindowVisible(world.Window()));
    EXPECT_TRUE(IsWindowEnabled(world.Window()));
}

TEST(Dialogs, ACancelledPromptAnswersNothing) {
    RealWorld world;
    forms::Form1& form = world.Make();
    Seen seen;
    WhenDialogOpens(world.runtime, seen, [](HWND dialog) {
        Type(dialog, "not this");
        Press(dialog, "Cancel");
    });
    form.Load();
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(form.State().handle, "");
    EXPECT_TRUE(form.ClockRunning()) << "start-up goes on";
}

// Once the main window is up, its boxes and prompts open over it while the
// clock keeps ticking (and keeping the window on top) behind them.
TEST(Dialogs, MessageBoxesAndLevelPromptsOverTheRunningMainWindow) {
    RealWorld world;
    forms::Form1& form = world.Make();
    Seen handle;
    WhenDialogOpens(world.runtime, handle, [](HWND dialog) {
        Type(dialog, "bob");
        Press(dialog, "OK");
    });
    form.Load();
    ASSERT_TRUE(handle.opened);
    HWND main = world.Window();
    HWND label9 = world.Control("Label9");

    SendClick(label9);
    EXPECT_EQ(TextOf(world.Control("Label6")), "mp3 c-ruze");
    Seen box;
    WhenDialogOpens(world.runtime, box, [](HWND dialog) { Press(dialog, "OK"); });
    SendClick(label9);  // already viewing: the box, answered inside its loop
    ASSERT_TRUE(box.opened);
    EXPECT_EQ(box.owner, main);
    EXPECT_FALSE(box.ownerEnabled);
    EXPECT_EQ(box.texts, std::vector<std::string>{"already viewing mp3 c-ruze"});

    int ticks = 0;
    const platform::TimerId counter = world.runtime.StartTimer(10ms, [&ticks] { ++ticks; });
    Seen volume;
    int ticksWhileOpen = 0;
    // A while open: the clock has ticked many times meanwhile.
    WhenDialogOpens(
        world.runtime, volume,
        [&](HWND dialog) {
            ticksWhileOpen = ticks;
            Type(dialog, "100");
            Press(dialog, "OK");
        },
        250ms);
    SendClick(world.Control("Label23"));
    world.runtime.StopTimer(counter);
    ASSERT_TRUE(volume.opened);
    EXPECT_EQ(volume.texts, std::vector<std::string>{"set volume"});
    EXPECT_EQ(volume.owner, main);
    EXPECT_GT(ticksWhileOpen, 10) << "the program's timers run while the prompt is open";
    EXPECT_TRUE(volume.active) << "keeping the main window on top left the prompt the keyboard";
    // Over the main window, which is on the screen now.
    RECT mainPlace;
    GetWindowRect(main, &mainPlace);
    EXPECT_NEAR(Centre(volume.place).x, Centre(mainPlace).x, 1);
    EXPECT_EQ(world.player.calls, std::vector<std::string>{"volume 0"});

    Seen balance;
    WhenDialogOpens(world.runtime, balance, [](HWND dialog) {
        Type(dialog, "40");
        Press(dialog, "Cancel");
    });
    SendClick(world.Control("Label24"));
    ASSERT_TRUE(balance.opened);
    EXPECT_EQ(balance.texts, std::vector<std::string>{"set balance"});
    EXPECT_EQ(world.player.calls, std::vector<std::string>{"volume 0"}) << "cancelled: no level";
}

TEST(Dialogs, WithoutAnOwnerTheyStandOnTheirOwn) {
    platform::Win32Runtime runtime;
    Seen seen;
    WhenDialogOpens(runtime, seen, [](HWND dialog) { Press(dialog, "OK"); });
    runtime.MessageBox("on its own", "moonrake ruze \u00B2");
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_EQ(seen.texts, std::vector<std::string>{"on its own"});
}

// A command that ends the program can run inside a dialog's loop: the
// dialogs close, the prompt answers nothing, and no other opens.
TEST(Dialogs, EndingTheProgramClosesTheOpenDialogs) {
    platform::Win32Runtime runtime;
    Seen prompt;
    bool inner = false;
    WhenDialogOpens(runtime, prompt, [&](HWND dialog) {
        Type(dialog, "typed, never sent");
        // A box on top of the prompt, and the quit asked from inside both.
        runtime.PostDelayed(50ms, [&runtime] { runtime.RequestQuit(); });
        runtime.MessageBox("nested", "other title");
        inner = true;
    });
    const Millis start = runtime.Monotonic();
    EXPECT_EQ(runtime.Prompt("enter your handle", "moonrake ruze \u00B2", ""), "");
    EXPECT_TRUE(prompt.opened);
    EXPECT_TRUE(inner);
    EXPECT_LT(runtime.Monotonic() - start, 3s);
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
    runtime.MessageBox("after the end", "moonrake ruze \u00B2");  // returns at once
}
