#pragma once
// What the stand-in client does in answer to a message runs later, never
// inside the message that caused it. A reaction without a delay runs on a
// later turn of the message loop: a message posted to the client's hidden
// window wakes the loop for it. A delayed one waits until its time has come
// and then queues up the same way.

#include <windows.h>

#include <cstddef>
#include <deque>
#include <functional>
#include <vector>

namespace standin {

// Milliseconds on a clock that never goes back (GetTickCount64 is not on XP).
ULONGLONG NowMs();

class Reactions {
  public:
    // Posted to the wake window once for each reaction that is due: the
    // window's procedure answers it with RunNext.
    static constexpr UINT kRunMessage = WM_APP + 1;

    void SetWakeWindow(HWND window) { wake_ = window; }
    HWND WakeWindow() const { return wake_; }

    void Queue(std::function<void()> reaction, DWORD delayMs = 0);
    // Runs the first reaction that is due. One that cannot finish (out of
    // memory) is dropped, and the next goes on.
    void RunNext();
    // Queues the delayed reactions that have fallen due; the wait until the
    // next one in milliseconds (INFINITE when none waits).
    DWORD PromoteDue();
    std::size_t Pending() const { return due_.size() + delayed_.size(); }

  private:
    struct Delayed {
        ULONGLONG due;
        std::function<void()> reaction;
    };

    HWND wake_ = nullptr;
    std::deque<std::function<void()>> due_;
    std::vector<Delayed> delayed_;
};

}  // namespace standin
