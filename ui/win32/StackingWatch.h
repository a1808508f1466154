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
// EVENT_OBJECT_SHOW.

#include <windows.h>

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

class StackingWatch {
  public:
    // Calls `changed` on `loop` (once per turn of the loop, however many
    // events came) whenever an event may mean that another program's window
    // came above ours.
    StackingWatch(platform::Runtime& loop, std::function<void()> changed);
    ~StackingWatch();
    StackingWatch(const StackingWatch&) = delete;
    StackingWatch& operator=(const StackingWatch&) = delete;

    // Hooks the events of every other process, until the watch goes; false
    // when the system would not. They come while this thread takes its
    // messages, which the loop must do when it waits.
    bool Start();

    // One event as the system reports it.
    void OnEvent(DWORD event, HWND window, LONG object, LONG child);

  private:
    static void CALLBACK Hook(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                              DWORD thread, DWORD time);

    platform::Runtime& loop_;
    std::function<void()> changed_;
    std::vector<HWINEVENTHOOK> hooks_;
    bool posted_ = false;  // `changed` waits for the loop's next turn
    std::shared_ptr<StackingWatch*> alive_;
};

}  // namespace ui::win32
