#pragma once
// The runtime on the Windows API alone: the event loop pumps the thread's
// window messages and runs the program's tasks and timers between them, and
// waits in MsgWaitForMultipleObjectsEx, so it sleeps until a message arrives
// or the next task falls due instead of spinning.
//
// The windowed program uses the Qt runtime; this one drives the automation
// where there is no Qt (the Windows tests, tools).

#include <cstdint>

#include "platform/EventQueue.h"
#include "platform/Runtime.h"

namespace platform {

class Win32Runtime final : public Runtime {
  public:
    Win32Runtime();
    ~Win32Runtime() override;
    Win32Runtime(const Win32Runtime&) = delete;
    Win32Runtime& operator=(const Win32Runtime&) = delete;

    Millis Monotonic() override;
    std::tm LocalTime() override;
    double SecondsSinceMidnight() override;

    void Post(Task task) override { queue_.Post(std::move(task)); }
    void PostDelayed(Millis delay, Task task) override;
    TimerId StartTimer(Millis interval, Task tick) override;
    void StopTimer(TimerId id) override { queue_.StopTimer(id); }
    void DoEvents() override;
    void WaitForEvents(Millis maxWait) override;
    void RequestQuit() override { quit_ = true; }
    bool QuitRequested() const override { return quit_; }

    void Reseed() override;
    double Random() override;

    // user32 has no text input box, so this always answers "" (as if the
    // user cancelled). The windowed program asks through the Qt runtime.
    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    // MessageBoxA; the program's tasks and timers keep running while it is open.
    void MessageBox(const std::string& text, const std::string& title) override;
    // Names and folder are UTF-8, whatever the ANSI code page.
    std::optional<std::vector<std::string>> ListFolder(const std::string& folder,
                                                       const std::string& pattern) override;

    // Runs the program's due tasks and timers and leaves window messages
    // alone: what a modal loop that pumps its own messages still needs.
    void RunQueue();

  private:
    void PumpMessages();

    EventQueue queue_;
    bool quit_ = false;
    std::uint64_t seed_ = 1;
};

}  // namespace platform
