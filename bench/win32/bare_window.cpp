// The floor for the Windows program's idle cost: a bare borderless topmost
// window of the main window's size with one 10 ms timer that does nothing,
// on the plain message loop. Runs for SECONDS and prints the CPU it used, in
// the same words as the session bench.
//
//   bare_window [SECONDS]    default 30

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench/dshow/ProcessCpu.h"

namespace {

LRESULT CALLBACK BareProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) return 0;
    return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
    const long seconds = argc > 1 ? std::atol(argv[1]) : 30;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "BareTimerWindow";
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "bare timer", WS_POPUP, 100, 100,
                                  282, 145, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    SetTimer(window, 1, 10, nullptr);

    dshowbench::Measuring();
    const double cpuBefore = dshowbench::ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    MSG msg;
    while (std::chrono::steady_clock::now() < end && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    dshowbench::Report("bare_window", wall, dshowbench::ProcessCpuSeconds() - cpuBefore);
    DestroyWindow(window);
    return 0;
}
