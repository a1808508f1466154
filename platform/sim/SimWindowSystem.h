#pragma once
// A small in-process window system with user32's lookup and message rules.
//
// Windows have a class, a caption (stored as Windows-1252 bytes, as a real
// window holds it), a parent, an order among their siblings (the first child
// a lookup finds is the foremost) and a window procedure. Sent messages run
// the procedure at once, as a SendMessage to another process does. Posted
// messages and the window owner's own reactions wait in the owner's queue
// and are handled on later turns of the event loop, one item a turn, once
// they are due: never inside the call that caused them and never because
// the program made another call, so a program that does not wait for the
// client sees what a real client in another process would show it.
//
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Runtime.h"
#include "platform/WindowApi.h"

namespace platform::sim {

using WndProc = std::function<LResult(Hwnd, unsigned, WParam, LParam)>;

class SimWindowSystem final : public WindowApi {
  public:
    explicit SimWindowSystem(Runtime& runtime);
    ~SimWindowSystem() override;
    SimWindowSystem(const SimWindowSystem&) = delete;
    SimWindowSystem& operator=(const SimWindowSystem&) = delete;

    // --- WindowApi ---
    Hwnd FindWindowA(std::string_view className,
                     std::optional<std::string_view> caption = std::nullopt) override;
    Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                       std::optional<std::string_view> caption = std::nullopt) override;
    LResult SendMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) override;
    bool PostMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) override;
    int GetWindowTextLengthA(Hwnd window) override;
    // The simulated client lives in this program.
    int ProcessBits(Hwnd window) override {
        return IsWindow(window) ? static_cast<int>(sizeof(void*) * 8) : 0;
    }
    int GetWindowTextA(Hwnd window, char* buffer, int maxCount) override;
    std::uint64_t AddChangeListener(std::function<void()> onChange) override;
    void RemoveChangeListener(std::uint64_t id) override;

    // --- the owner's side (the simulated client builds and drives its windows) ---
    // A new window, placed behind its existing siblings (parent 0: top level).
    // Without a procedure it gets the default one (text, close).
    Hwnd CreateWindow(Hwnd parent, std::string className, std::string caption, WndProc proc = {});
    void DestroyWindow(Hwnd window);  // with its children
    void BringToFront(Hwnd window);   // first among its siblings
    bool IsWindow(Hwnd window) const;
    Hwnd Parent(Hwnd window) const;
    std::string ClassName(Hwnd window) const;
    const std::string& Text(Hwnd window) const;  // Windows-1252 bytes
    void SetText(Hwnd window, std::string ansi);
    std::vector<Hwnd> Children(Hwnd parent) const;  // foremost first

    // The default procedure: WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, WM_CLOSE.
    LResult DefWindowProc(Hwnd window, unsigned message, WParam wParam, LParam lParam);

    // Queues a reaction of the window owner, to run on a turn of the event
    // loop once `delay` has passed on the runtime's clock.
    void QueueReaction(Task reaction, Millis delay = Millis{0});
    // How long a posted message waits before the owner gets to it (0: the
    // next turn of the loop).
    void SetPostLatency(Millis latency) { postLatency_ = latency; }
    // Works off at once everything queued that is due (the owner catching up,
    // for instance after the program stopped turning its loop). Not
    // re-entrant: a call from inside a reaction returns at once.
    void Drain();
    // Works off everything queued, due or not, in order: the owner carrying
    // on by itself once the program has stopped turning its loop.
    void Finish();
    // When the earliest queued item falls due; nothing when the queue is empty.
    std::optional<Millis> NextDue() const;
    std::size_t QueuedCount() const { return queue_.size(); }

    // Tells the change listeners that content changed.
    void NotifyChanged();

    std::size_t WindowCount() const { return windows_.size(); }

  private:
    struct Window {
        Hwnd handle = 0;
        Hwnd parent = 0;
        std::string className;
        std::string text;
        WndProc proc;
        std::vector<Hwnd> children;  // foremost first
    };
    struct Posted {
        Hwnd window;
        unsigned message;
        WParam wParam;
        LParam lParam;
        Task reaction;  // set for reactions, empty for posted messages
    };
    using QueueKey = std::pair<Millis, std::uint64_t>;  // due, then order of queueing

    Window* Find(Hwnd handle);
    const Window* Find(Hwnd handle) const;
    std::vector<Hwnd>& SiblingsOf(Hwnd parent);
    LResult Dispatch(Hwnd window, unsigned message, WParam wParam, LParam lParam);
    void Enqueue(Posted item, Millis delay);
    void ScheduleWake();
    void Wake(std::uint64_t generation);
    bool RunOne(bool dueOrNot = false);  // the earliest item, when it is due

    Runtime& runtime_;
    std::map<Hwnd, Window> windows_;
    std::vector<Hwnd> topLevel_;  // foremost first
    Hwnd nextHandle_ = 0x10010;
    std::map<QueueKey, Posted> queue_;
    std::uint64_t order_ = 0;
    Millis postLatency_{0};
    // One wake-up is scheduled on the runtime at a time, for the earliest
    // item; one that a newer schedule replaced finds its generation stale.
    std::optional<Millis> wakeAt_;
    std::uint64_t wakeGeneration_ = 0;
    bool draining_ = false;
    std::map<std::uint64_t, std::function<void()>> listeners_;
    std::uint64_t nextListener_ = 1;
    // Reactions and drains still scheduled on the runtime hold this, so a
    // window system that is gone is never touched.
    std::shared_ptr<SimWindowSystem*> alive_;
};

}  // namespace platform::sim
