#include "platform/Failure.h"

#include <cstdio>
#include <exception>

namespace platform {

void ReportFailure(const char* where, const char* what) noexcept {
    // stdio rather than a stream: it cannot throw, and nothing is buffered
    // away if the program ends soon after.
    if (what && *what) {
        std::fprintf(stderr, "moonrake: %s failed: %s\n", where, what);
    } else {
        std::fprintf(stderr, "moonrake: %s failed\n", where);
    }
    std::fflush(stderr);
}

void ReportCurrentException(const char* where) noexcept {
    try {
        throw;
    } catch (const std::exception& error) {
        ReportFailure(where, error.what());
    } catch (...) {
        ReportFailure(where, nullptr);
    }
}

}  // namespace platform
