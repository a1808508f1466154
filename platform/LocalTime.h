#pragma once
// The local time of a moment, on every system the program builds on.

#include <ctime>

namespace platform {

inline std::tm LocalTimeOf(std::time_t when) {
    std::tm out{};
#ifdef _WIN32
    // Windows has no localtime_r; its localtime keeps its result per thread.
    if (const std::tm* local = std::localtime(&when)) out = *local;
#else
    localtime_r(&when, &out);
#endif
    return out;
}

}  // namespace platform
