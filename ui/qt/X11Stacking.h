#pragma once
// The stacking of windows on an X server, read from the server itself.
//
// Keeping the main window on top used to mean raising it a hundred times a
// second. Here the program listens for what can put another window above one
// of its own (a window of another client mapped, moved, resized or restacked,
// or one of ours moved), and raises only when a window that is not ours
// really stands above one of ours and overlaps it. Our own raise changes only
// the place of our windows, which the listener ignores, so raising never
// wakes the listener again.
//
// Everything here talks to Qt's own X connection (Qt's xcb platform); on any
// other platform it does nothing.

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace ui {

// True when Qt draws on an X server and its connection can be had.
bool OnX11();

// The top-level windows that stand with `window` in the stacking order: the
// window itself and the windows it owns (its dialogs and tool tips: widgets
// that are windows and whose parent chain leads to `window`).
std::vector<QWidget*> WindowFamily(QWidget* window);

// True when some viewable window outside `family` stands above one of the
// family's windows and overlaps it (frames included: with a reparenting
// window manager each window is judged by its frame). False off X11, and for
// a family none of whose windows is mapped.
bool CoveredByOthers(const std::vector<QWidget*>& family);

// Sends what Qt has asked of the X server so far. Qt sends its requests when
// the server's next event comes in, which may be long after a raise.
void SendRequests();

// Listens on the root window for what may bring another client's window
// above ours, for as long as it lives, and calls `changed` from the event
// loop: at most one call waits at a time, however many events come in one
// turn of the loop. `ours` lists the program's windows whose moves and
// restacking are the program's own doing.
class X11StackingWatch final : public QAbstractNativeEventFilter {
  public:
    using Windows = std::function<std::vector<QWidget*>()>;

    X11StackingWatch(Windows ours, std::function<void()> changed);
    ~X11StackingWatch() override;
    X11StackingWatch(const X11StackingWatch&) = delete;
    X11StackingWatch& operator=(const X11StackingWatch&) = delete;

    // False when the root window could not be watched (no X connection).
    bool Active() const;
    // Counts every change of the root's children seen so far (shown,
    // hidden, moved, restacked, gone), ours included: while it stays the
    // same, so does the stacking as far as covering goes.
    std::uint64_t Generation() const { return generation_; }
    // Calls the listener once more after `delay`, as if something had
    // changed then (one such call waits at a time).
    void CallAgainIn(std::chrono::milliseconds delay);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    struct State;

    void Changed();

    std::unique_ptr<State> state_;
    Windows ours_;
    std::function<void()> changed_;
    QObject context_;  // the queued calls of `changed` die with the watch
    bool pending_ = false;
    bool again_ = false;
    std::uint64_t generation_ = 0;
};

}  // namespace ui
