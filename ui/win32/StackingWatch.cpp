#include "ui/win32/StackingWatch.h"

#include <algorithm>

#include "platform/win32/WindowEvents.h"

namespace ui::win32 {
namespace {

// The watches of this thread: a hook's callback gets only the hook's handle.
thread_local std::vector<StackingWatch*> watches;

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

}  // namespace

bool PutOnTop(HWND window) {
    // Nothing to restack while the window is hidden or minimised, or while a
    // dialog of its own is open (it is disabled then, and its dialogs stand
    // above it anyway). Nor when nothing stands above it: where nothing
    // tells of other windows, the clock asks a hundred times a second, and
    // the call costs a round of messages each time.
    if (!window || !IsWindowVisible(window) || IsIconic(window) || !IsWindowEnabled(window) ||
        !Covered(window)) {
        return false;
    }
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

StackingWatch::StackingWatch(platform::Runtime& loop, std::function<void()> changed)
    : loop_(loop), changed_(std::move(changed)), alive_(std::make_shared<StackingWatch*>(this)) {}

bool StackingWatch::Start() {
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

StackingWatch::~StackingWatch() {
    for (HWINEVENTHOOK hook : hooks_) UnhookWinEvent(hook);
    watches.erase(std::remove(watches.begin(), watches.end(), this), watches.end());
    alive_.reset();
}

void CALLBACK StackingWatch::Hook(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                  LONG child, DWORD, DWORD) {
    for (StackingWatch* watch : watches) {
        if (std::find(watch->hooks_.begin(), watch->hooks_.end(), hook) != watch->hooks_.end()) {
            watch->OnEvent(event, window, object, child);
            return;
        }
    }
}

void StackingWatch::OnEvent(DWORD event, HWND window, LONG object, LONG child) {
    // Events come in bursts (a window shown and activated, a menu of several
    // windows) and from inside any call that waits for messages: take note,
    // and tell once when the loop turns.
    if (posted_ || !MayCover(event, window, object, child)) return;
    posted_ = true;
    std::weak_ptr<StackingWatch*> alive = alive_;
    loop_.Post([alive] {
        auto self = alive.lock();
        if (!self) return;
        (*self)->posted_ = false;
        (*self)->changed_();
    });
}

}  // namespace ui::win32
