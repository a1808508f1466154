#pragma once
// The modal text prompt of the Windows program: a dialog of our own made
// from a template in memory (the prompt text, an edit box, OK and Cancel),
// so that it needs nothing but user32. Texts are UTF-8 and are shown and read
// in the ANSI code page.

#include <windows.h>

#include <optional>
#include <string>

namespace platform {

// Shows the prompt owned by `owner` (over it when it is on the screen, in
// the middle of the screen otherwise) and waits for it in the dialog's own
// loop. The typed text on OK; nothing on Cancel, Escape, a close of the
// dialog or when it cannot be shown.
std::optional<std::string> RunPromptDialog(HWND owner, const std::string& text,
                                           const std::string& title,
                                           const std::string& defaultAnswer);

}  // namespace platform
