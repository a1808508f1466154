// What the automation costs on the simulated client: the own-line check the
// engine makes for every scanned line, and the scanner noticing one new line.
#include <benchmark/benchmark.h>

#include "aol/NiteScan.h"
#include "aol/modAolTools.h"
#include "platform/TestRuntime.h"
#include "platform/sim/SimChatClient.h"

namespace {

struct World {
    platform::TestRuntime runtime;
    platform::sim::SimWindowSystem windows{runtime};
    platform::Services services{windows, runtime};
    platform::sim::SimChatClient client{windows, runtime};
    World() { client.SignOn(); }
};

// GetOwnScreenName, then FindChatRoom and GetWindowCaption, with the welcome
// window and the room behind the other client windows (the worst place).
void BM_OwnLineCheck(benchmark::State& state) {
    World world;
    const auto childWindows = state.range(0);
    for (int i = 2; i < childWindows; ++i) {
        world.client.OpenChild("Window " + std::to_string(i), {"RICHCNTL", "_AOL_Icon"});
    }
    world.runtime.RunUntilIdle();
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
    world.runtime.RunUntilIdle();
    aol::NiteScan scan(world.services);
    int64_t heard = 0;
    scan.SetChatLineHandler([&](const std::string&, const std::string&) { ++heard; });
    scan.ScanON();
    for (auto _ : state) {
        world.client.Say("KarenK", "one more line");
        world.runtime.RunUntilIdle();
    }
    if (heard != static_cast<int64_t>(state.iterations())) state.SkipWithError("lines lost");
}
BENCHMARK(BM_ScannerNoticesOneLine)->Arg(10)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
