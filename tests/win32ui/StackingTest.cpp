// Keeping the main window on top: which of the system's window events may
// mean that another window came above it, one call of the listener per turn
// of the loop however many come, and another program's window (a program of
// the tests' own, stacking_helper) coming above ours in three ways, with what
// the system tells of it. Under Wine 8 nothing is told, the probe says so, and
// a thread looks instead.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

// World.h first: windows.h must come after the project's headers.
#include "tests/win32ui/World.h"

#include "ui/win32/StackingWatch.h"

using namespace std::chrono_literals;
using ui::win32::EventWatch;
using ui::win32::MayCover;

namespace {

// The main window (by its name), topmost as all of the program's windows are.
class Sheet final : public forms::Form {
  public:
    explicit Sheet(forms::FrontEnd& frontEnd) : Form(frontEnd, "Form1", "stacking") {
        SetSize(1500, 1200);
        SetPosition(1500, 1500);
        Announce();
        SetFormVisible(true);
    }

  protected:
    void OnClick(const forms::Control&) override {}
};

// The nearest shown window above `window` that is not one of its own.
HWND Above(HWND window) {
    for (HWND above = GetWindow(window, GW_HWNDPREV); above;
         above = GetWindow(above, GW_HWNDPREV)) {
        if (IsWindowVisible(above) && GetWindow(above, GW_OWNER) != window) return above;
    }
    return nullptr;
}

struct Windows {
    Windows() {
        top = CreateWindowExA(0, "STATIC", "top", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr);
        child = CreateWindowExA(0, "STATIC", "child", WS_CHILD, 0, 0, 5, 5, top, nullptr, nullptr,
                                nullptr);
        messageOnly = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      nullptr, nullptr);
    }
    ~Windows() {
        DestroyWindow(messageOnly);
        DestroyWindow(top);
    }
    HWND top, child, messageOnly;
};

}  // namespace

TEST(Stacking, OnlyEventsThatCanBringAWindowAboveOursCount) {
    Windows w;
    ASSERT_TRUE(w.top && w.child && w.messageOnly);
    const HWND desktop = GetDesktopWindow();
    struct Case {
        const char* what;
        DWORD event;
        HWND window;
        LONG object;
        LONG child;
        bool counts;
    };
    const Case cases[] = {
        {"a window shown", EVENT_OBJECT_SHOW, w.top, OBJID_WINDOW, CHILDID_SELF, true},
        {"a window activated", EVENT_SYSTEM_FOREGROUND, w.top, OBJID_WINDOW, CHILDID_SELF, true},
        {"a window restored", EVENT_SYSTEM_MINIMIZEEND, w.top, OBJID_WINDOW, CHILDID_SELF, true},
        {"top-level windows restacked", EVENT_OBJECT_REORDER, desktop, OBJID_CLIENT, CHILDID_SELF,
         true},
        {"a window's children restacked", EVENT_OBJECT_REORDER, w.top, OBJID_CLIENT, CHILDID_SELF,
         true},
        {"a document window's children restacked", EVENT_OBJECT_REORDER, w.child, OBJID_CLIENT,
         CHILDID_SELF, false},
        {"a child window shown", EVENT_OBJECT_SHOW, w.child, OBJID_WINDOW, CHILDID_SELF, false},
        {"a message-only window", EVENT_OBJECT_SHOW, w.messageOnly, OBJID_WINDOW, CHILDID_SELF,
         false},
        {"a caret shown", EVENT_OBJECT_SHOW, w.top, OBJID_CARET, CHILDID_SELF, false},
        {"the cursor shown", EVENT_OBJECT_SHOW, nullptr, OBJID_CURSOR, CHILDID_SELF, false},
        {"an item of a window shown", EVENT_OBJECT_SHOW, w.top, OBJID_WINDOW, 3, false},
        {"a window hidden", EVENT_OBJECT_HIDE, w.top, OBJID_WINDOW, CHILDID_SELF, false},
        {"a window made", EVENT_OBJECT_CREATE, w.top, OBJID_WINDOW, CHILDID_SELF, false},
        {"a window moved", EVENT_OBJECT_LOCATIONCHANGE, w.top, OBJID_WINDOW, CHILDID_SELF, false},
        {"a window minimised", EVENT_SYSTEM_MINIMIZESTART, w.top, OBJID_WINDOW, CHILDID_SELF,
         false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MayCover(c.event, c.window, c.object, c.child), c.counts) << c.what;
    }
}

TEST(Stacking, ABurstOfEventsCallsTheListenerOnceWhenTheLoopTurns) {
    Windows w;
    platform::Win32Runtime runtime;
    int calls = 0;
    auto watch = std::make_unique<EventWatch>(runtime, [&] { ++calls; });
    for (int i = 0; i < 5; ++i) {
        watch->OnEvent(EVENT_OBJECT_SHOW, w.top, OBJID_WINDOW, CHILDID_SELF);
        watch->OnEvent(EVENT_OBJECT_REORDER, GetDesktopWindow(), OBJID_CLIENT, CHILDID_SELF);
    }
    EXPECT_EQ(calls, 0) << "never from inside the event";
    runtime.DoEvents();
    EXPECT_EQ(calls, 1);
    runtime.DoEvents();
    EXPECT_EQ(calls, 1);

    watch->OnEvent(EVENT_OBJECT_HIDE, w.top, OBJID_WINDOW, CHILDID_SELF);
    runtime.DoEvents();
    EXPECT_EQ(calls, 1) << "an event that cannot cover us";
    watch->OnEvent(EVENT_SYSTEM_FOREGROUND, w.top, OBJID_WINDOW, CHILDID_SELF);
    runtime.DoEvents();
    EXPECT_EQ(calls, 2) << "the next turn's events call again";

    watch->OnEvent(EVENT_OBJECT_SHOW, w.top, OBJID_WINDOW, CHILDID_SELF);
    watch.reset();
    runtime.DoEvents();
    EXPECT_EQ(calls, 2) << "a watch that has gone calls nothing";
}

TEST(Stacking, OnTheVirtualClockNothingTellsAndTheClockAsks) {
    win32uitest::World world;
    EXPECT_EQ(world.frontEnd.WatchStacking([] { FAIL() << "nothing can call"; }),
              forms::StackingWatch::None);
}

// --- another program's window coming above ours ---------------------------------------

namespace {

std::vector<DWORD> told;  // the events the system told the raw hook, that count

void CALLBACK Tell(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (MayCover(event, window, object, child)) told.push_back(event);
}

std::string HelperPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of("\\/") + 1);
    return folder + "stacking_helper.exe";
}

// The helper, started suspended so that hooks on it are in place before it
// acts, and closed at the end.
class Helper {
  public:
    Helper(const std::string& action, HWND ours) {
        char window[32];
        std::snprintf(window, sizeof window, "%lx",
                      static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(ours)));
        const std::string path = HelperPath();
        std::string commandLine = "\"" + path + "\" " + action + " " + window;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                  CREATE_SUSPENDED, nullptr, nullptr, &startup, &process_) != 0;
    }
    ~Helper() {
        if (!started_) return;
        if (HWND window = Window()) PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
            TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return process_.dwProcessId; }
    void Go() { ResumeThread(process_.hThread); }
    // Its window, once it stands where it should.
    HWND Window() const {
        for (HWND w = FindWindowA("MoonrakeStackingHelper", "done"); w;
             w = FindWindowExA(nullptr, w, "MoonrakeStackingHelper", "done")) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == process_.dwProcessId) return w;
        }
        return nullptr;
    }

  private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

class ComingAbove : public ::testing::TestWithParam<const char*> {};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Ways, ComingAbove, ::testing::Values("shown", "raised", "activated"),
                         [](const auto& info) { return std::string(info.param); });

// Whether the system tells of the other window or a thread looks, ours is
// back on top at once, without taking the keyboard, and the listener hears of
// it. The front end is asked to watch before the main window is made, as the
// main window asks.
TEST_P(ComingAbove, OursIsBackOnTopAtOnceAndTheListenerHears) {
    platform::Win32Runtime runtime;
    ui::Win32FrontEnd frontEnd({&runtime});
    int calls = 0;
    EXPECT_EQ(frontEnd.WatchStacking([&] { ++calls; }), forms::StackingWatch::Notifies);
    Sheet sheet(frontEnd);
    HWND ours = frontEnd.Window(sheet);
    ASSERT_TRUE(ours && IsWindowVisible(ours));
    frontEnd.SetTopmost(sheet);
    ASSERT_EQ(Above(ours), nullptr);

    Helper helper(GetParam(), ours);
    ASSERT_TRUE(helper.Started()) << HelperPath();
    told.clear();
    std::vector<HWINEVENTHOOK> hooks;
    for (auto [first, last] : {std::pair{EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
                               std::pair{EVENT_SYSTEM_MINIMIZEEND, EVENT_SYSTEM_MINIMIZEEND},
                               std::pair{EVENT_OBJECT_SHOW, EVENT_OBJECT_REORDER}}) {
        hooks.push_back(
            SetWinEventHook(first, last, nullptr, &Tell, helper.Id(), 0, WINEVENT_OUTOFCONTEXT));
    }
    helper.Go();
    const auto giveUp = runtime.Monotonic() + 20s;
    while (!helper.Window() && runtime.Monotonic() < giveUp) runtime.WaitForEvents(10ms);
    ASSERT_TRUE(helper.Window()) << "the helper's window did not come up";
    const HWND keyboard = GetForegroundWindow();
    // The listener's call says the watch saw the helper's window above ours.
    const auto start = runtime.Monotonic();
    while ((calls == 0 || Above(ours) != nullptr) && runtime.Monotonic() - start < 5s) {
        runtime.WaitForEvents(10ms);
    }
    const auto back = runtime.Monotonic() - start;
    // Whatever the system tells comes at once where it comes at all.
    while (runtime.Monotonic() - start < 300ms) runtime.WaitForEvents(10ms);
    for (HWINEVENTHOOK hook : hooks) UnhookWinEvent(hook);
    std::printf(
        "[ measured ] %s: back on top %lld ms after the other window was seen; the system told "
        "of %zu event(s) that count, and %s of shows\n",
        GetParam(), static_cast<long long>(back.count()), told.size(),
        ui::win32::SystemTellsOfShows() ? "tells" : "does not tell");

    EXPECT_GE(calls, 1);
    EXPECT_EQ(Above(ours), nullptr) << "ours is on top again";
    EXPECT_EQ(GetForegroundWindow(), keyboard);
    if (ui::win32::SystemTellsOfShows()) {
        EXPECT_FALSE(told.empty()) << "a system that tells of shows tells of this too";
    }
}
