// Keeping the main window on top: which of the system's window events may
// mean that another window came above it, one call of the listener per turn
// of the loop however many come, and what the system really tells when
// another program's window comes above ours (a program of the tests'
// own, stacking_helper). Under Wine 8 nothing is told, the probe says so, and
// the clock keeps asking.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

// World.h first: windows.h must come after the project's headers.
#include "tests/win32ui/World.h"

#include "ui/win32/StackingWatch.h"

using namespace std::chrono_literals;
using ui::win32::MayCover;
using ui::win32::StackingWatch;

namespace {

// A window of the program's own, topmost as all of them are.
class Sheet final : public forms::Form {
  public:
    explicit Sheet(forms::FrontEnd& frontEnd) : Form(frontEnd, "Sheet", "stacking") {
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
    auto watch = std::make_unique<StackingWatch>(runtime, [&] { ++calls; });
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

// The front end either tells of the other window (and then the system told)
// or leaves the asking to the clock (and then the system did not tell); either
// way one SetTopmost, as the next tick makes it, puts ours back on top, and
// without taking the keyboard.
TEST_P(ComingAbove, TheWatchTellsWhenTheSystemDoesAndOneSetTopmostPutsOursBack) {
    platform::Win32Runtime runtime;
    ui::Win32FrontEnd frontEnd({&runtime});
    Sheet sheet(frontEnd);
    HWND ours = frontEnd.Window(sheet);
    ASSERT_TRUE(ours && IsWindowVisible(ours));
    frontEnd.SetTopmost(sheet);
    ASSERT_EQ(Above(ours), nullptr);

    int calls = 0;
    const forms::StackingWatch watch = frontEnd.WatchStacking([&] { ++calls; });

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
    EXPECT_NE(Above(ours), nullptr) << "the helper's window came above ours";
    // What the system tells comes at once where it comes at all: half a
    // second, and longer only while the front end promised a call.
    const auto start = runtime.Monotonic();
    while (runtime.Monotonic() - start < 500ms ||
           (watch == forms::StackingWatch::Notifies && calls == 0 &&
            runtime.Monotonic() - start < 5s)) {
        runtime.WaitForEvents(10ms);
    }
    for (HWINEVENTHOOK hook : hooks) UnhookWinEvent(hook);
    std::printf("[ measured ] %s: the system told of %zu event(s); the watch: %s\n", GetParam(),
                told.size(), watch == forms::StackingWatch::Notifies ? "Notifies" : "None");

    EXPECT_EQ(watch == forms::StackingWatch::Notifies, !told.empty())
        << "the probe and what the system tells disagree";
    if (watch == forms::StackingWatch::Notifies) {
        EXPECT_GE(calls, 1);
    } else {
        EXPECT_EQ(calls, 0) << "a front end that does not watch never calls";
    }

    const HWND keyboard = GetForegroundWindow();
    frontEnd.SetTopmost(sheet);
    EXPECT_EQ(Above(ours), nullptr) << "ours is on top again";
    EXPECT_EQ(GetForegroundWindow(), keyboard);
}
