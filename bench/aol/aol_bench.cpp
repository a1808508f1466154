// What the automation costs on the simulated client: the own-line check the
// engine makes for every scanned line, and the scanner noticing one new line.
#include <benchmark/benchmark.h>

#include "aol/NiteScan.h"
#include "aol/modAolTools.h"
#include "clientsim/SimChatClient.h"
#include "platform/VirtualRuntime.h"

namespace {

// A client that keeps its whole history, so that the history really is as
// long as the benchmark says.
clientsim::ClientOptions KeepEverything(int roomWidth = 60) {
    clientsim::ClientOptions options;
    options.historyLimit = 0;
    options.roomWidth = roomWidth;
    return options;
}

struct World {
    explicit World(clientsim::ClientOptions options = KeepEverything())
        : client(windows, runtime, std::move(options)) {
        client.SignOn();
    }
    platform::VirtualRuntime runtime;
    platform::sim::SimWindowSystem windows{runtime};
    platform::Random random{runtime};
    platform::Services services{windows, runtime, random};
    clientsim::SimChatClient client;
};

// GetOwnScreenName, then FindChatRoom and GetWindowCaption, with the welcome
// window and the room behind the other client windows (the worst place).
void BM_OwnLineCheck(benchmark::State& state) {
    World world;
    const auto childWindows = state.range(0);
    for (int i = 2; i < childWindows; ++i) {
        world.client.OpenChild("Window " + std::to_string(i), {"RICHCNTL", "_AOL_Icon"});
    }
    world.runtime.DoEvents();
    for (auto _ : state) {
        std::string name = modAolTools::GetOwnScreenName(world.windows);
        std::string room =
            modAolTools::GetWindowCaption(world.windows, modAolTools::FindChatRoom(world.windows));
        benchmark::DoNotOptimize(name);
        benchmark::DoNotOptimize(room);
    }
}
BENCHMARK(BM_OwnLineCheck)->Arg(2)->Arg(10)->Arg(100);

// One line said in the room until the scanner has reported it, with a given
// history already in the room.
void BM_ScannerNoticesOneLine(benchmark::State& state) {
    World world;
    for (int64_t i = 0; i < state.range(0); ++i) world.client.Say("KarenK", "line of history");
    world.runtime.DoEvents();
    aol::NiteScan scan(world.services);
    int64_t heard = 0;
    scan.SetChatLineHandler([&](const std::string&, const std::string&) { ++heard; });
    scan.ScanON();
    for (auto _ : state) {
        world.client.Say("KarenK", "one more line");
        world.runtime.DoEvents();
    }
    if (heard != static_cast<int64_t>(state.iterations())) state.SkipWithError("lines lost");
}
BENCHMARK(BM_ScannerNoticesOneLine)->Arg(10)->Arg(100000);

// The same with long lines in a narrow room: every chat line wraps over a
// dozen display lines, which must not make reading dearer per chat line.
void BM_ScannerNoticesOneWrappedLine(benchmark::State& state) {
    World world(KeepEverything(20));
    const std::string longLine =
        "a chat line long enough to wrap over many display lines in a narrow room, which is "
        "what happens when someone pastes a paragraph into the room at once";
    for (int64_t i = 0; i < state.range(0); ++i) world.client.Say("KarenK", longLine);
    world.runtime.DoEvents();
    aol::NiteScan scan(world.services);
    int64_t heard = 0;
    scan.SetChatLineHandler(
        [&](const std::string&, const std::string& text) { heard += text == longLine ? 1 : 0; });
    scan.ScanON();
    for (auto _ : state) {
        world.client.Say("KarenK", longLine);
        world.runtime.DoEvents();
    }
    if (heard != static_cast<int64_t>(state.iterations())) state.SkipWithError("lines lost or cut");
}
BENCHMARK(BM_ScannerNoticesOneWrappedLine)->Arg(10)->Arg(100000);

// A client that trims its history: every new line pushes the oldest out, so
// the scanner finds its place again on every read.
void BM_ScannerNoticesOneLineWhileTrimming(benchmark::State& state) {
    clientsim::ClientOptions options;
    options.historyLimit = static_cast<std::size_t>(state.range(0));
    World world(options);
    for (int64_t i = 0; i < state.range(0); ++i) {
        world.client.Say("KarenK", "line of history " + std::to_string(i));
    }
    world.runtime.DoEvents();
    aol::NiteScan scan(world.services);
    int64_t heard = 0;
    scan.SetChatLineHandler([&](const std::string&, const std::string&) { ++heard; });
    scan.ScanON();
    int64_t n = 0;
    for (auto _ : state) {
        world.client.Say("KarenK", "one more line " + std::to_string(++n));
        world.runtime.DoEvents();
    }
    if (heard != static_cast<int64_t>(state.iterations())) state.SkipWithError("lines lost");
}
BENCHMARK(BM_ScannerNoticesOneLineWhileTrimming)->Arg(100)->Arg(2000);

}  // namespace

BENCHMARK_MAIN();
