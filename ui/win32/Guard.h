#pragma once
// Window procedures are called by user32, which cannot carry a C++ exception
// back through its frames: what the forms throw while handling a message is
// written to stderr here and the message counts as handled.

#include <exception>
#include <iostream>

namespace ui::win32 {

template <typename Body>
void Guard(const char* where, Body&& body) noexcept {
    try {
        body();
    } catch (const std::exception& e) {
        std::cerr << "moonrake: " << where << " failed: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "moonrake: " << where << " failed\n";
    }
}

}  // namespace ui::win32
