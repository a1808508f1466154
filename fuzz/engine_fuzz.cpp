// Arbitrary bytes, split into lines, typed into the simulated room as the
// user's own lines, so that they reach all three listeners of the engine
// through the real chat scanners. Virtual time moves a few seconds after
// every line (so idle ticks, pauses and instant-message waits happen too) and
// stops at a fixed bound. Nothing may crash, hang, or feed back on itself.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "EngineWorld.h"

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMaxLines = 64;
constexpr auto kStepPerLine = 7s;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "engine_fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    enginetest::World w;
    w.Files().folders = {{"songs", {"one.mp3", "two.mp3"}}, {"empty", {}}};
    w.runtime.scriptedRandom = {0.0, 0.5, 0.999};

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    std::size_t lines = 0;
    while (start <= input.size() && lines < kMaxLines && !w.runtime.QuitRequested()) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        const std::string line(input.substr(start, end - start));
        start = end + 1;
        ++lines;

        const std::size_t before = w.client.Transcript().size();
        w.client.Type(line);
        w.Settle();
        w.runtime.Advance(kStepPerLine);
        w.Settle();
        // One typed line gives its own line, at most a reply per matching
        // entry of each listener, the lines of the idle ticks in the step, and
        // the logout line: far below this. A reply that ran a command again
        // would grow without end.
        if (w.client.Transcript().size() - before > 64) Fail("a line fed back on itself");
    }
    if (w.state.idleState != "on" && w.state.idleState != "off") Fail("idleState out of range");
    return 0;
}
