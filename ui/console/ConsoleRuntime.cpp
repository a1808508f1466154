#include "ui/console/ConsoleRuntime.h"

#include <istream>
#include <ostream>

namespace ui {

ConsoleIo::ConsoleIo(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

std::optional<std::string> ConsoleIo::ReadLine() {
    if (inputEnded_) return std::nullopt;
    std::string line;
    if (!std::getline(in_, line)) {
        inputEnded_ = true;
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void ConsoleIo::Print(const std::string& line) {
    if (closed_) return;
    out_ << line << '\n';
    out_.flush();
}

std::string ConsoleRuntime::Prompt(const std::string& text, const std::string& /*title*/,
                                   const std::string& /*defaultAnswer*/) {
    if (QuitRequested()) return "";
    io_.Print("[prompt] " + text);
    // The end of the input cancels the prompt.
    return io_.ReadLine().value_or("");
}

void ConsoleRuntime::MessageBox(const std::string& text, const std::string& /*title*/) {
    if (QuitRequested()) return;
    io_.Print("[msgbox] " + text);
}

}  // namespace ui
