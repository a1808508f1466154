#pragma once
// One shape for every failure caught where an event enters the program (a
// handler, a timer, a window message, a command): "moonrake: WHERE failed:
// WHAT" on the standard error, so that they are easy to find in a log. The
// program goes on after it.

namespace platform {

void ReportFailure(const char* where, const char* what) noexcept;

// Reports the exception being handled; call it only inside a catch block.
void ReportCurrentException(const char* where) noexcept;

// Runs `body`, and reports what it throws instead of letting it through.
template <typename Body>
void Guarded(const char* where, Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        ReportCurrentException(where);
    }
}

}  // namespace platform
