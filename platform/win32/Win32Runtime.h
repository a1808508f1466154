#pragma once
// The runtime on the Windows API alone: the event loop pumps the thread's
// window messages and runs the program's tasks and timers between them, and
// waits in MsgWaitForMultipleObjectsEx, so it sleeps until a message arrives
// or the next task falls due instead of spinning. Its prompts and message
// boxes are user32's own dialogs, owned by the window it is told of; the
// program's tasks and timers keep running while one is open.

#include <cstdint>

#include "platform/EventQueue.h"
#include "platform/Runtime.h"

// windows.h's HWND, without windows.h (it turns MessageBox into a macro).
struct HWND__;

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

    // A dialog of our own: the prompt text, an edit box, OK and Cancel; ""
    // when cancelled.
    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    // MessageBoxA with an OK button.
    void MessageBox(const std::string& text, const std::string& title) override;
    // A quit asked while a prompt or box is open closes it (the prompt then
    // answers ""); none opens once the program is ending.
    // Names and folder are UTF-8, whatever the ANSI code page.
    std::optional<std::vector<std::string>> ListFolder(const std::string& folder,
                                                       const std::string& pattern) override;

    // Runs the program's due tasks and timers and leaves window messages
    // alone: what a modal loop that pumps its own messages still needs.
    void RunQueue();

    // The window that owns the prompts and message boxes from now on (the
    // main window): they stand above it and it takes no input while one is
    // open. Without one (or once it is gone) they stand on their own.
    void SetDialogOwner(HWND__* owner) { dialogOwner_ = owner; }

  private:
    class ModalScope;
    class KeyboardReturn;

    void PumpMessages();
    HWND__* DialogOwner() const;

    EventQueue queue_;
    bool quit_ = false;
    std::uint64_t seed_ = 1;
    HWND__* dialogOwner_ = nullptr;
};

}  // namespace platform
