#include "tests/win32ui/World.h"

namespace win32uitest {

std::string TextOf(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT PlaceOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    if (HWND parent = GetParent(window); parent && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

RECT PlaceInTopLevel(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    RECT top;
    GetWindowRect(GetAncestor(window, GA_ROOT), &top);
    OffsetRect(&rect, -top.left, -top.top);
    return rect;
}

void SendClick(HWND window, int x, int y) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

}  // namespace win32uitest
