#pragma once
// Hands the mouse as it reaches a control's window to the form: a press (the
// second press of a double click is a press like any other) with its place
// inside the control in pixels, every move, and the release with whether the
// pointer is still over the control. The control's own handling goes on
// afterwards (a list still moves its selection).

#include <windows.h>

#include <string>

#include "forms/Form.h"

namespace ui::win32 {

class MouseForwarder {
  public:
    // `holdPointer`: the control keeps the pointer from a press to the
    // release, so that a drag goes on when the pointer leaves it (a list
    // box does this by itself; a static does not).
    MouseForwarder(HWND window, forms::Form& form, std::string control, bool holdPointer);
    ~MouseForwarder();
    MouseForwarder(const MouseForwarder&) = delete;
    MouseForwarder& operator=(const MouseForwarder&) = delete;

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_;
    forms::Form& form_;
    std::string control_;
    bool holdPointer_;
    WNDPROC original_ = nullptr;
};

}  // namespace ui::win32
