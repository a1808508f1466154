#pragma once
// The runtime on the Windows API alone: the event loop pumps the thread's
// window messages and runs the program's tasks and timers between them, and
// waits in MsgWaitForMultipleObjectsEx, so it sleeps until a message arrives
// or the next task falls due instead of spinning. Its prompts and message
// boxes are user32's own dialogs, owned by the window it is told of; the
// program's tasks and timers keep running while one is open.

#include "platform/QueuedRuntime.h"

// windows.h's HWND, without windows.h (it turns MessageBox into a macro).
struct HWND__;

namespace platform {

class Win32Runtime final : public QueuedRuntime {
  public:
    Win32Runtime() = default;
    ~Win32Runtime() override;

    // The local time as the system keeps it (GetLocalTime).
    std::tm LocalTime() override;
    double SecondsSinceMidnight() override;

    // A dialog of our own: the prompt text, an edit box, OK and Cancel; ""
    // when cancelled.
    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    // MessageBoxA with an OK button.
    void MessageBox(const std::string& text, const std::string& title) override;
    // A quit asked while a prompt or box is open closes it (the prompt then
    // answers ""); none opens once the program is ending. The program's tasks
    // and timers run inside their modal loops (RunQueue, every 10 ms).

    // The window that owns the prompts and message boxes from now on (the
    // main window): they stand above it and it takes no input while one is
    // open. Without one (or once it is gone) they stand on their own.
    void SetDialogOwner(HWND__* owner) { dialogOwner_ = owner; }

  protected:
    // Sleeps in MsgWaitForMultipleObjectsEx until the deadline or a message.
    bool SleepUntil(Millis deadline) override;
    // Dispatches the thread's window messages (a WM_QUIT asks for the quit).
    void HandleOutside() override;

  private:
    class ModalScope;
    class KeyboardReturn;

    HWND__* DialogOwner() const;

    HWND__* dialogOwner_ = nullptr;
};

}  // namespace platform
