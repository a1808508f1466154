// Another program whose window comes above the tests' window, in one of the
// ways a window can, without taking the keyboard where it can help it:
//
//   stacking_helper shown WINDOW      a topmost popup, hidden, then shown
//   stacking_helper raised WINDOW     an ordinary popup, then made topmost
//   stacking_helper activated WINDOW  a topmost popup just below WINDOW, then
//                                     brought forward as a program brings its
//                                     window up (activated and raised: Wine's
//                                     activation alone leaves it where it is)
//
// WINDOW is the tests' window, in hex. Once the window stands where it should,
// its caption becomes "done"; it goes on a WM_CLOSE, or after 30 s.

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr char kClass[] = "MoonrakeStackingHelper";

LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND Make(DWORD exStyle) {
    return CreateWindowExA(exStyle, kClass, "", WS_POPUP, 0, 0, 120, 80, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const char* action = argv[1];
    HWND theirs = reinterpret_cast<HWND>(
        static_cast<INT_PTR>(static_cast<int>(std::strtoul(argv[2], nullptr, 16))));
    WNDCLASSA wc{};
    wc.lpfnWndProc = HelperProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc)) return 1;

    HWND window = nullptr;
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (std::strcmp(action, "shown") == 0) {
        window = Make(WS_EX_TOPMOST);
        if (window) ShowWindow(window, SW_SHOWNOACTIVATE);
    } else if (std::strcmp(action, "raised") == 0) {
        window = Make(0);
        if (window) {
            ShowWindow(window, SW_SHOWNOACTIVATE);
            SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, keep);
        }
    } else if (std::strcmp(action, "activated") == 0) {
        window = Make(WS_EX_TOPMOST);
        if (window) {
            SetWindowPos(window, theirs, 0, 0, 0, 0, keep | SWP_SHOWWINDOW);
            SetForegroundWindow(window);
            BringWindowToTop(window);
        }
    }
    if (!window) return 1;
    SetWindowTextA(window, "done");
    SetTimer(window, 1, 30000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        DispatchMessageA(&msg);
    }
    return 0;
}
