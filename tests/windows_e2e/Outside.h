#pragma once
// Another program's windows as a user, or a tool beside it, reaches them:
// found by process, class, caption and control ID, read with messages that
// cross processes (WM_GETTEXT, the list box's queries), and acted on with
// posted mouse input and the dialogs' own buttons. user32 alone. Texts cross
// in the ANSI code page; here they are UTF-8.

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The top-level windows of process `pid` with this class, shown or not.
std::vector<HWND> TopLevelWindows(DWORD pid, const std::string& className);
// The first of them with this caption; nullptr when there is none.
HWND TopLevelWindow(DWORD pid, const std::string& className, const std::string& caption);

std::string ClassOf(HWND window);
// The window's text as the window itself holds it (WM_GETTEXT: for another
// process's control GetWindowText would read only what the system keeps).
std::string TextOf(HWND window);
// The window below `top`, at any depth, with this control ID.
HWND Descendant(HWND top, int id);
// The window's place in the client area of its parent, or on the screen for
// a top-level window.
RECT PlaceOf(HWND window);
int Width(const RECT& rect);
int Height(const RECT& rect);

LONG StyleOf(HWND window);
LONG ExStyleOf(HWND window);

// A message sent with a bound, for a program that may be busy or gone: 0
// when it is not answered within a few seconds.
LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

std::vector<std::string> ListLines(HWND list);
// The selected line, or -1.
int ListSelection(HWND list);

// A press and release of the left button a few pixels inside the window,
// posted as the mouse's input arrives: whatever the click sets off (a modal
// box) runs in the program's own time, not inside this call.
void PostClick(HWND window);

// The shown dialog (class #32770) of process `pid` with this title, or
// nullptr.
HWND ShownDialog(DWORD pid, const std::string& title);
// The texts of its static children that have any, and of its buttons.
std::vector<std::string> DialogTexts(HWND dialog);
std::vector<std::string> ButtonTexts(HWND dialog);
// Types into its (first) edit box: the text replaced, as a paste would.
void SetEditText(HWND dialog, const std::string& text);
// Presses the button with this text as a click on it would (BM_CLICK).
void PressButton(HWND dialog, const std::string& text);

}  // namespace e2e
