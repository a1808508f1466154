#pragma once
// What the two DirectShow bench tools print when they end, so their runs
// compare line by line: wall time, and the CPU time this process spent.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace dshowbench {

inline double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0.0;
    auto seconds = [](const FILETIME& t) {
        const ULONGLONG ticks = (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        return static_cast<double>(ticks) / 1e7;  // 100 ns units
    };
    return seconds(kernel) + seconds(user);
}

// The line a measuring script watches for, to read the CPU of this process
// and of the wineserver from outside as well.
inline void Measuring() {
    std::printf("measuring\n");
    std::fflush(stdout);
}

inline void Report(const char* tool, double wallSeconds, double cpuSeconds) {
    std::printf("%s: %.2f s played, %.3f s CPU, %.2f%% of one core\n", tool, wallSeconds,
                cpuSeconds, wallSeconds > 0 ? 100.0 * cpuSeconds / wallSeconds : 0.0);
    std::fflush(stdout);
    // A moment before the process ends, for the script to read its CPU.
    Sleep(500);
}

// The command line's ANSI argument as the wide path Windows wants.
inline std::wstring WidenAnsi(const char* text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(n - 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    return wide;
}

}  // namespace dshowbench
