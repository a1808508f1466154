// The floors for the Windows program's idle cost: a bare borderless topmost
// window of the main window's size with one timer that does nothing, on the
// plain message loop. Kept on top as the program keeps its main window where
// nothing tells of other windows, with a hidden window of its own above it as
// the main window's tooltips are: with --keep-on-top by each tick of the timer
// (ui::win32::PutOnTop), with --looking by the front end's thread that looks
// every 10 ms (ui::win32::LookingWatch), on the Win32 runtime's loop. Runs for
// SECONDS and prints the CPU it used, in the same words as the session bench.
//
//   bare_window [SECONDS [PERIOD_MS [--keep-on-top | --looking]]]
//                                            30 s, a 10 ms timer by default

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/dshow/ProcessCpu.h"
#include "platform/win32/Win32Runtime.h"
#include "ui/win32/StackingWatch.h"

namespace {

HWND keptOnTop = nullptr;

LRESULT CALLBACK BareProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        if (keptOnTop) ui::win32::PutOnTop(keptOnTop);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
    const long seconds = argc > 1 ? std::atol(argv[1]) : 30;
    const long period = argc > 2 ? std::atol(argv[2]) : 10;
    const bool keepOnTop = argc > 3 && std::strcmp(argv[3], "--keep-on-top") == 0;
    const bool looking = argc > 3 && std::strcmp(argv[3], "--looking") == 0;
    if (seconds <= 0 || period <= 0) return 2;
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
    if (keepOnTop || looking) {
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 10, 10,
                        window, nullptr, instance, nullptr);
    }
    if (keepOnTop) keptOnTop = window;
    SetTimer(window, 1, static_cast<UINT>(period), nullptr);
    platform::Win32Runtime runtime;
    ui::win32::LookingWatch watch(runtime, [] {});
    if (looking) watch.Keep(window);

    dshowbench::Measuring();
    const double cpuBefore = dshowbench::ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    MSG msg;
    while (std::chrono::steady_clock::now() < end) {
        if (looking) {
            // The watch tells through the runtime's loop.
            runtime.WaitForEvents(std::chrono::milliseconds(period));
        } else if (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageA(&msg);
        } else {
            break;
        }
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    dshowbench::Report("bare_window", wall, dshowbench::ProcessCpuSeconds() - cpuBefore);
    DestroyWindow(window);
    return 0;
}
