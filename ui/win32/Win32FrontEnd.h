#pragma once
// The windows drawn with user32 and gdi32 alone: one popup window per form,
// one child window per control (see FormWindow.h), the services the forms
// ask of the system, and the main window as the owner of the program's
// dialogs.
//
// No windows.h here (it turns MessageBox and the automation's FindWindowA
// into macros): a window is windows.h's HWND__*, that is HWND.

#include <map>
#include <memory>
#include <string>

#include "forms/Form.h"
#include "forms/FrontEnd.h"

struct HWND__;

namespace platform {
class Win32Runtime;
}

namespace ui {

namespace win32 {
class Fonts;
class FormWindow;
class StackingWatch;
}  // namespace win32

struct Win32FrontEndOptions {
    // Its prompts and message boxes become the main window's dialogs.
    platform::Win32Runtime* runtime = nullptr;
};

class Win32FrontEnd final : public forms::FrontEnd {
  public:
    explicit Win32FrontEnd(Win32FrontEndOptions options = {});
    ~Win32FrontEnd() override;
    Win32FrontEnd(const Win32FrontEnd&) = delete;
    Win32FrontEnd& operator=(const Win32FrontEnd&) = delete;

    // The window of a form, and the window of one of its controls (the form's
    // own for "Form1" or "Form5"); nullptr when there is none.
    HWND__* Window(const forms::Form& form) const;
    HWND__* Control(const forms::Form& form, const std::string& control) const;

    // --- forms::FrontEnd ---
    void FormCreated(forms::Form& form) override;
    void FormChanged(forms::Form& form, unsigned what) override;
    void ControlChanged(forms::Form& form, const forms::Control& control, unsigned what) override;
    forms::Point CursorPos() override;
    void SetTopmost(forms::Form& form) override;
    // Notifies, with a Win32Runtime to tell through: the main window is put
    // back on top at once whenever another window may have come above it,
    // learnt from the system's window events where it delivers them, or by a
    // thread that looks every 10 ms (under Wine). None without a Win32Runtime
    // (the tests' virtual clock), and the clock asks.
    forms::StackingWatch WatchStacking(std::function<void()> changed) override;
    forms::Rect WorkArea() override;
    int TextWidth(const forms::Font& font, const std::string& text) override;
    forms::ClockSeparators Separators() override;

  private:
    win32::FormWindow* WindowOf(const forms::Form& form) const;

    Win32FrontEndOptions options_;
    // Before the windows: they draw with its fonts until they are gone.
    std::unique_ptr<win32::Fonts> fonts_;
    std::map<const forms::Form*, std::unique_ptr<win32::FormWindow>> windows_;
    forms::ClockSeparators separators_;
    HWND__* mainWindow_ = nullptr;  // Form1's
    // After the windows: it goes first, and stops looking at them.
    std::unique_ptr<win32::StackingWatch> stacking_;
};

}  // namespace ui
