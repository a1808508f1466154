#pragma once
// Keeping the main window on top: putting it back above other windows
// (PutOnTop), and learning, without asking every tick, that another
// program's window may now stand above ours: the system's window events,
// taken out of context (the system queues them to this thread, which handles
// them whenever it takes its messages), for the events after which a window
// can stand above a topmost one of ours:
//
//   EVENT_OBJECT_SHOW          a window appears; a topmost one comes out on top
//   EVENT_OBJECT_REORDER       top-level windows changed places (one made
//                              topmost, or raised, without being activated)
//   EVENT_SYSTEM_FOREGROUND    a window was activated, which raises it
//   EVENT_SYSTEM_MINIMIZEEND   a window came back from the taskbar
//
// Hidden, destroyed, moved or resized windows are left out: none of them can
// put a window above ours that was not there before (being above is a place in
// the order of windows, wherever on the screen they stand). So are our own
// process's windows: our dialogs belong above the main window, and the main
// window restacking itself must not wake it again.
//
// Not every system delivers these events: Wine 8 delivers none of them (see
// platform/win32/WindowEvents.h). Whether this one does is found once, by a
// probe: a window of ours shown for a moment while a hook looks for its
// EVENT_OBJECT_SHOW. Where none come, a thread looks instead (LookingWatch).

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Runtime.h"

namespace ui::win32 {

// Puts `window` back above every other window but its own (its tooltips and
// dialogs), without activating it, when another stands above it and it is
// shown, not minimised and enabled; true when it restacked it. What keeping
// the main window on top does each time it is asked.
bool PutOnTop(HWND window);

// Whether `event`, as the system reports it, may mean that a window now stands
// above ours: a top-level window shown, activated or restored, or top-level
// windows restacked. Events for the parts of a window (its caret, cursor,
// scroll bars), for child windows and for message-only windows are not.
bool MayCover(DWORD event, HWND window, LONG object, LONG child);

// Whether this system tells an out-of-context hook of a window shown
// (platform::SystemDeliversWindowEvent), probed once; later calls give its
// answer.
bool SystemTellsOfShows();

// Keeps the main window on top: whenever another window may have come above
// it, puts it back (PutOnTop) and calls `changed`, on `loop` and once per
// turn of the loop however often it was told. How it learns of other windows
// is its subclass's.
class StackingWatch {
  public:
    StackingWatch(platform::Runtime& loop, std::function<void()> changed);
    virtual ~StackingWatch();
    StackingWatch(const StackingWatch&) = delete;
    StackingWatch& operator=(const StackingWatch&) = delete;

    // The window to keep on top, once it is made.
    virtual void Keep(HWND window) { kept_ = window; }

  protected:
    // Another window may have come above the kept one. On this thread only.
    void Notice();
    HWND Kept() const { return kept_; }

  private:
    platform::Runtime& loop_;
    std::function<void()> changed_;
    HWND kept_ = nullptr;
    bool posted_ = false;  // the loop's next turn puts it back and tells
    std::shared_ptr<StackingWatch*> alive_;
};

// Learns of other windows from the system's events (where it delivers them;
// see SystemTellsOfShows).
class EventWatch final : public StackingWatch {
  public:
    using StackingWatch::StackingWatch;
    ~EventWatch() override;

    // Hooks the events of every other process, until the watch goes; false
    // when the system would not. They come while this thread takes its
    // messages, which the loop must do when it waits.
    bool Start();

    // One event as the system reports it.
    void OnEvent(DWORD event, HWND window, LONG object, LONG child);

  private:
    static void CALLBACK Hook(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                              DWORD thread, DWORD time);

    std::vector<HWINEVENTHOOK> hooks_;
};

// Where nothing tells (Wine): a thread of its own looks every 10 ms whether
// another window stands above the kept one, and tells this thread through a
// message of its own when one does. It only reads the order of windows; the
// window is put back on this thread. A thread that sleeps in between costs
// the process about what a 10 ms timer of this thread would, and the
// wineserver next to nothing: a timer wakes through it, a sleep does not.
class LookingWatch final : public StackingWatch {
  public:
    LookingWatch(platform::Runtime& loop, std::function<void()> changed);
    ~LookingWatch() override;

    // Starts looking (again) at `window`.
    void Keep(HWND window) override;

  private:
    static DWORD WINAPI Look(LPVOID watch);
    static LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Stop();

    HWND notice_ = nullptr;  // a message-only window of this thread
    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
    std::atomic<bool> told_{false};  // a notice is on its way
};

}  // namespace ui::win32
