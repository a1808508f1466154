#include "ui/win32/ListBoxes.h"

#include "platform/AnsiText.h"

namespace ui::win32 {

DWORD ListBoxStyle(bool notify) {
    return WS_CHILD | WS_CLIPSIBLINGS | WS_VSCROLL | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT |
           (notify ? LBS_NOTIFY : 0);
}

void ShowListItems(HWND list, const std::vector<std::string>& items) {
    // One repaint for the whole list, not one per line.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) {
        const std::string ansi = platform::ToAnsi(item);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void ShowListIndex(HWND list, int index) {
    if (ListIndexOf(list) == index) return;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ListIndexOf(HWND list) {
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

}  // namespace ui::win32
