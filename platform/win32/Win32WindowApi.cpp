#include "platform/win32/Win32WindowApi.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

// Window handles are 32 bits wide even in 64-bit processes, which is what
// lets Hwnd hold them; widening sign-extends, as user32 documents.
HWND ToHandle(Hwnd window) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}

Hwnd FromHandle(HWND window) {
    return static_cast<Hwnd>(reinterpret_cast<std::uintptr_t>(window));
}

// A handle the calls below may pass on. 0 must go nowhere rather than to the
// thread's own queue (PostMessage) or the desktop, and the broadcast handle
// would reach every top-level window on the system.
bool Usable(Hwnd window) {
    return window != 0 && ToHandle(window) != HWND_BROADCAST && IsWindow(ToHandle(window));
}

bool RunningOnWine() {
    static const bool wine = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

}  // namespace

Hwnd Win32WindowApi::FindWindowA(std::string_view className,
                                 std::optional<std::string_view> caption) {
    std::string cls(className);
    std::string text = caption ? std::string(*caption) : std::string();
    return FromHandle(::FindWindowA(cls.c_str(), caption ? text.c_str() : nullptr));
}

Hwnd Win32WindowApi::FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                                   std::optional<std::string_view> caption) {
    // A parent that has gone away must not turn the search into one among the
    // top-level windows.
    if (parent != 0 && !Usable(parent)) return 0;
    std::string cls(className);
    std::string text = caption ? std::string(*caption) : std::string();
    return FromHandle(::FindWindowExA(ToHandle(parent), ToHandle(childAfter), cls.c_str(),
                                      caption ? text.c_str() : nullptr));
}

LResult Win32WindowApi::SendMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    if (!Usable(window)) return 0;
    if (message == EM_GETLINE && lParam != 0) {
        return GetLine(window, wParam, reinterpret_cast<char*>(lParam));
    }
    return Send(window, message, wParam, lParam);
}

LResult Win32WindowApi::Send(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    DWORD_PTR result = 0;
    // SMTO_NORMAL keeps answering messages sent to this thread while it
    // waits, as SendMessage does; the timeout is what SendMessage lacks.
    if (!::SendMessageTimeoutA(ToHandle(window), message, wParam, lParam,
                               SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               static_cast<UINT>(sendTimeout_.count()), &result)) {
        return 0;
    }
    return static_cast<LResult>(result);
}

LResult Win32WindowApi::GetLine(Hwnd window, WParam line, char* buffer) {
    if (!RunningOnWine()) return Send(window, EM_GETLINE, line, reinterpret_cast<LParam>(buffer));
    // Wine (8.0) garbles EM_GETLINE between processes: the buffer size in the
    // first word does not reach the other side, and no more of the answer
    // comes back than half the buffer. So under Wine the line is cut out of
    // the window's text instead, read up to the end of that line. That costs
    // more as the text grows, which only matters for the tests run there.
    WORD size = 0;
    std::memcpy(&size, buffer, sizeof size);
    LResult start = Send(window, EM_LINEINDEX, line, 0);
    if (start < 0) return 0;
    LResult length = Send(window, EM_LINELENGTH, static_cast<WParam>(start), 0);
    const LResult wanted = std::clamp<LResult>(length, 0, size);
    if (wanted == 0) return 0;
    std::vector<char> text(static_cast<std::size_t>(start + wanted) + 1, '\0');
    LResult copied = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LParam>(text.data()));
    const LResult got = std::clamp<LResult>(copied - start, 0, wanted);
    std::memcpy(buffer, text.data() + start, static_cast<std::size_t>(got));
    return got;
}

bool Win32WindowApi::PostMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    if (!Usable(window)) return false;
    return ::PostMessageA(ToHandle(window), message, wParam, lParam) != 0;
}

int Win32WindowApi::GetWindowTextLengthA(Hwnd window) {
    if (!Usable(window)) return 0;
    return ::GetWindowTextLengthA(ToHandle(window));
}

int Win32WindowApi::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = '\0';
    if (!Usable(window)) return 0;
    return ::GetWindowTextA(ToHandle(window), buffer, maxCount);
}

}  // namespace platform
