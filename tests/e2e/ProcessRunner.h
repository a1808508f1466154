#pragma once
// Runs a program with the given standard input and collects what it writes.

#include <chrono>
#include <string>
#include <vector>

namespace e2e {

struct ProcessResult {
    std::string out;
    std::string err;
    int exitStatus = -1;    // the exit code, or -1 when it did not exit normally
    bool timedOut = false;  // it had to be killed
};

// Feeds `input` to the program's standard input and closes it, reading its
// output meanwhile so that neither side can block the other. A program that
// has not ended after `limit` is killed: a hang fails the test instead of
// stopping the test run.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input,
                         std::chrono::milliseconds limit = std::chrono::seconds(60));

// The lines of `text` (split at "\n"; a last line without one counts too).
std::vector<std::string> Lines(const std::string& text);

}  // namespace e2e
