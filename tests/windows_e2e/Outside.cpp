#include "tests/windows_e2e/Outside.h"

#include <algorithm>

#include "platform/AnsiText.h"

namespace e2e {

namespace {

constexpr UINT kSendBoundMs = 5000;

struct Search {
    DWORD pid;
    std::string className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && ClassOf(window) == search->className) {
        search->found.push_back(window);
    }
    return TRUE;
}

struct IdSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindId(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<IdSearch*>(param);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    search->found = window;
    return FALSE;
}

LRESULT SendBoundedW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             kSendBoundMs, &result)) {
        return 0;
    }
    return static_cast<LRESULT>(result);
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                        nullptr, nullptr);
    return utf8;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const char* className) {
    std::vector<HWND> children;
    for (HWND child = FindWindowExA(parent, nullptr, className, nullptr); child;
         child = FindWindowExA(parent, child, className, nullptr)) {
        children.push_back(child);
    }
    return children;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, const std::string& className) {
    Search search{pid, className, {}};
    EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND TopLevelWindow(DWORD pid, const std::string& className, const std::string& caption) {
    for (HWND window : TopLevelWindows(pid, className)) {
        if (TextOf(window) == caption) return window;
    }
    return nullptr;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             kSendBoundMs, &result)) {
        return 0;
    }
    return static_cast<LRESULT>(result);
}

std::string TextOf(HWND window) {
    const auto length = static_cast<int>(SendBounded(window, WM_GETTEXTLENGTH, 0, 0));
    if (length <= 0) return {};
    std::string ansi(static_cast<std::size_t>(length) + 1, '\0');
    const auto got = static_cast<int>(
        SendBounded(window, WM_GETTEXT, ansi.size(), reinterpret_cast<LPARAM>(ansi.data())));
    ansi.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return platform::FromAnsi(ansi);
}

HWND Descendant(HWND top, int id) {
    IdSearch search{id, nullptr};
    EnumChildWindows(top, &FindId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT PlaceOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

int Width(const RECT& rect) {
    return rect.right - rect.left;
}

int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

LONG StyleOf(HWND window) {
    return GetWindowLongA(window, GWL_STYLE);
}

LONG ExStyleOf(HWND window) {
    return GetWindowLongA(window, GWL_EXSTYLE);
}

std::vector<std::string> ListLines(HWND list) {
    // The wide messages: on the way between processes Wine hands an ANSI
    // LB_GETTEXT back in wide characters, twice what the caller made room
    // for. A list box's text takes no size, so the buffer leaves room to
    // spare as well.
    std::vector<std::string> lines;
    const auto count = static_cast<int>(SendBoundedW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = static_cast<int>(SendBoundedW(list, LB_GETTEXTLEN, i, 0));
        if (length < 0) break;
        std::wstring wide(2 * static_cast<std::size_t>(length) + 2, L'\0');
        const auto got = static_cast<int>(
            SendBoundedW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data())));
        wide.resize(static_cast<std::size_t>(std::clamp(got, 0, length)));
        lines.push_back(Utf8(wide));
    }
    return lines;
}

int ListSelection(HWND list) {
    const LRESULT index = SendBounded(list, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void PostClick(HWND window) {
    const LPARAM at = MAKELPARAM(2, 2);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
}

HWND ShownDialog(DWORD pid, const std::string& title) {
    for (HWND dialog : TopLevelWindows(pid, "#32770")) {
        if (IsWindowVisible(dialog) && TextOf(dialog) == title) return dialog;
    }
    return nullptr;
}

std::vector<std::string> DialogTexts(HWND dialog) {
    std::vector<std::string> texts;
    for (HWND child : ChildrenOfClass(dialog, "Static")) {
        std::string text = TextOf(child);
        if (!text.empty()) texts.push_back(std::move(text));
    }
    return texts;
}

std::vector<std::string> ButtonTexts(HWND dialog) {
    std::vector<std::string> texts;
    for (HWND child : ChildrenOfClass(dialog, "Button")) texts.push_back(TextOf(child));
    return texts;
}

void SetEditText(HWND dialog, const std::string& text) {
    const std::string ansi = platform::ToAnsi(text);
    SendBounded(FindWindowExA(dialog, nullptr, "Edit", nullptr), WM_SETTEXT, 0,
                reinterpret_cast<LPARAM>(ansi.c_str()));
}

void PressButton(HWND dialog, const std::string& text) {
    const std::string ansi = platform::ToAnsi(text);
    SendBounded(FindWindowExA(dialog, nullptr, "Button", ansi.c_str()), BM_CLICK, 0, 0);
}

}  // namespace e2e
