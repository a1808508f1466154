#include "aol/modAol7SendChat.h"

#include "aol/modAolTools.h"
#include "platform/AnsiText.h"

namespace modAol7SendChat {

void SendChatLine(platform::WindowApi& windows, const std::string& text) {
    // Whatever client window is in front gets the line: the room is in front
    // while the user types in it.
    platform::Hwnd frame = windows.FindWindowA("AOL Frame25");
    platform::Hwnd mdi = windows.FindWindowExA(frame, 0, "MDIClient");
    platform::Hwnd front = windows.FindWindowExA(mdi, 0, "AOL Child");
    platform::Hwnd input = windows.FindWindowExA(front, 0, "RICHCNTL");
    std::string ansi = platform::ToAnsi(text);
    windows.SendMessageA(input, platform::WM_SETTEXT, 0, reinterpret_cast<platform::LParam>(ansi.c_str()));
    platform::Hwnd send = modAolTools::FindNthChild(windows, front, "_AOL_Icon", 6);
    windows.SendMessageA(send, platform::WM_LBUTTONDOWN, 0, 0);
    windows.SendMessageA(send, platform::WM_KEYUP, platform::VK_SPACE, 0);
}

}  // namespace modAol7SendChat
