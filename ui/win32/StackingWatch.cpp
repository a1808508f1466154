#include "ui/win32/StackingWatch.h"

#include <algorithm>

#include "platform/win32/WindowEvents.h"

namespace ui::win32 {
namespace {

// The watches of this thread: a hook's callback gets only the hook's handle.
thread_local std::vector<EventWatch*> watches;

// The hooks, as narrow as the events they are for: each range costs the
// system a comparison for every event anywhere on the desktop.
struct Range {
    DWORD first, last;
};
constexpr Range kRanges[] = {
    {EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND},
    {EVENT_SYSTEM_MINIMIZEEND, EVENT_SYSTEM_MINIMIZEEND},
    // EVENT_OBJECT_HIDE lies between the two and is passed over.
    {EVENT_OBJECT_SHOW, EVENT_OBJECT_REORDER},
};

bool TopLevel(HWND window) {
    return GetAncestor(window, GA_PARENT) == GetDesktopWindow();
}

// Whether a window other than its own dialogs is shown above `window`.
bool Covered(HWND window) {
    for (HWND above = GetWindow(window, GW_HWNDPREV); above;
         above = GetWindow(above, GW_HWNDPREV)) {
        if (IsWindowVisible(above) && GetWindow(above, GW_OWNER) != window) return true;
    }
    return false;
}

// Nothing to restack while the window is hidden or minimised, or while a
// dialog of its own is open (it is disabled then, and its dialogs stand above
// it anyway). Nor when nothing stands above it: the question is asked up to a
// hundred times a second, and a restack costs a round of messages each time.
bool NeedsPutting(HWND window) {
    return window && IsWindowVisible(window) && !IsIconic(window) && IsWindowEnabled(window) &&
           Covered(window);
}

// How often the looking watch looks: the clock's old tick, within which the
// main window has always been back on top.
constexpr DWORD kLookEveryMs = 10;
constexpr UINT kNoticeMessage = WM_APP + 1;
constexpr char kNoticeClass[] = "MoonrakeStackingNotice";

}  // namespace

bool PutOnTop(HWND window) {
    if (!NeedsPutting(window)) return false;
    // Restacked without activation: the keyboard stays with the chat client.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

bool MayCover(DWORD event, HWND window, LONG object, LONG child) {
    if (!window || child != CHILDID_SELF) return false;
    switch (event) {
        case EVENT_OBJECT_REORDER:
            // Reported for the container whose children changed places: the
            // desktop when top-level windows did. Another program's children
            // (a client's document windows) changing places concern no one
            // else.
            return window == GetDesktopWindow() || TopLevel(window);
        case EVENT_OBJECT_SHOW:
        case EVENT_SYSTEM_FOREGROUND:
        case EVENT_SYSTEM_MINIMIZEEND:
            return object == OBJID_WINDOW && TopLevel(window);
        default:
            return false;
    }
}

bool SystemTellsOfShows() {
    static const bool tells = platform::SystemDeliversWindowEvent(EVENT_OBJECT_SHOW);
    return tells;
}

// --- telling ---------------------------------------------------------------------------

StackingWatch::StackingWatch(platform::Runtime& loop, std::function<void()> changed)
    : loop_(loop), changed_(std::move(changed)), alive_(std::make_shared<StackingWatch*>(this)) {}

StackingWatch::~StackingWatch() {
    alive_.reset();
}

void StackingWatch::Notice() {
    // Events come in bursts (a window shown and activated, a menu of several
    // windows) and from inside any call that waits for messages: take note,
    // and act once when the loop turns.
    if (posted_) return;
    posted_ = true;
    std::weak_ptr<StackingWatch*> alive = alive_;
    loop_.Post([alive] {
        auto self = alive.lock();
        if (!self) return;
        StackingWatch& watch = **self;
        watch.posted_ = false;
        PutOnTop(watch.kept_);
        watch.changed_();
    });
}

// --- from the system's events -----------------------------------------------------------

bool EventWatch::Start() {
    if (!hooks_.empty()) return true;
    for (const Range& range : kRanges) {
        HWINEVENTHOOK hook = SetWinEventHook(range.first, range.last, nullptr, &Hook, 0, 0,
                                             WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
        if (!hook) {
            // All or nothing: a watch that misses some events is no watch.
            for (HWINEVENTHOOK made : hooks_) UnhookWinEvent(made);
            hooks_.clear();
            return false;
        }
        hooks_.push_back(hook);
    }
    watches.push_back(this);
    return true;
}

EventWatch::~EventWatch() {
    for (HWINEVENTHOOK hook : hooks_) UnhookWinEvent(hook);
    watches.erase(std::remove(watches.begin(), watches.end(), this), watches.end());
}

void CALLBACK EventWatch::Hook(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                               LONG child, DWORD, DWORD) {
    for (EventWatch* watch : watches) {
        if (std::find(watch->hooks_.begin(), watch->hooks_.end(), hook) != watch->hooks_.end()) {
            watch->OnEvent(event, window, object, child);
            return;
        }
    }
}

void EventWatch::OnEvent(DWORD event, HWND window, LONG object, LONG child) {
    if (MayCover(event, window, object, child)) Notice();
}

// --- by looking -------------------------------------------------------------------------

LookingWatch::LookingWatch(platform::Runtime& loop, std::function<void()> changed)
    : StackingWatch(loop, std::move(changed)) {
    static const bool registered = [] {
        WNDCLASSA notice{};
        notice.lpfnWndProc = &NoticeProc;
        notice.hInstance = GetModuleHandleA(nullptr);
        notice.lpszClassName = kNoticeClass;
        return RegisterClassA(&notice) != 0;
    }();
    if (!registered) return;
    notice_ = CreateWindowExA(0, kNoticeClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (notice_) SetWindowLongPtrA(notice_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LookingWatch::~LookingWatch() {
    Stop();
    // A notice still on its way goes with the window.
    if (notice_) DestroyWindow(notice_);
}

void LookingWatch::Keep(HWND window) {
    Stop();
    StackingWatch::Keep(window);
    if (!window || !notice_) return;
    stop_ = false;
    told_ = false;
    thread_ = CreateThread(nullptr, 0, &Look, this, 0, nullptr);
}

void LookingWatch::Stop() {
    if (!thread_) return;
    stop_ = true;
    WaitForSingleObject(thread_, INFINITE);  // at most one look away
    CloseHandle(thread_);
    thread_ = nullptr;
}

DWORD WINAPI LookingWatch::Look(LPVOID watch) {
    auto& self = *static_cast<LookingWatch*>(watch);
    const HWND window = self.Kept();  // set before the thread starts, kept while it runs
    while (!self.stop_) {
        // A plain sleep: under Wine it never asks the wineserver.
        Sleep(kLookEveryMs);
        if (self.stop_) break;
        if (!self.told_ && NeedsPutting(window)) {
            self.told_ = true;
            PostMessageA(self.notice_, kNoticeMessage, 0, 0);
        }
    }
    return 0;
}

LRESULT CALLBACK LookingWatch::NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kNoticeMessage) {
        auto* self = reinterpret_cast<LookingWatch*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self) {
            self->told_ = false;
            self->Notice();
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ui::win32
