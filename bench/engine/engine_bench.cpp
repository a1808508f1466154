// The cost of one own line, end to end on the simulated client (the scanner
// noticing it, the own-line check, the room refresh, the walk, the reply
// reaching the transcript), and of the bare walk of the command table.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "EngineWorld.h"
#include "engine/Engine.h"
#include "engine/PrepareLine.h"
#include "tests/support/TestRuntime.h"

namespace {

// A world is rebuilt after this many lines so the room's history stays small
// (the scanner's cost must not depend on it anyway).
constexpr int kLinesPerWorld = 20000;

void TypeLines(benchmark::State& state, const std::string& first, const std::string& second) {
    auto world = std::make_unique<enginetest::World>();
    int lines = 0;
    bool flip = false;
    for (auto _ : state) {
        world->client.Type(flip ? second : first);
        world->Settle();
        flip = !flip;
        if (++lines == kLinesPerWorld) {
            state.PauseTiming();
            world = std::make_unique<enginetest::World>();
            lines = 0;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_OwnLineMatchingNothing(benchmark::State& state) {
    TypeLines(state, "just talking in the room", "just talking in the room");
}
BENCHMARK(BM_OwnLineMatchingNothing);

// Alternates the handle so that every line changes it and replies; the reply
// also comes back from the room as an own line and is walked in turn.
void BM_OwnLineRunningHandle(benchmark::State& state) {
    TypeLines(state, "h zed", "h bob");
}
BENCHMARK(BM_OwnLineRunningHandle);

// --- the bare walk ---

class NullWindows final : public platform::WindowApi {
  public:
    platform::Hwnd FindWindowA(std::string_view, std::optional<std::string_view>) override {
        return 0;
    }
    platform::Hwnd FindWindowExA(platform::Hwnd, platform::Hwnd, std::string_view,
                                 std::optional<std::string_view>) override {
        return 0;
    }
    platform::LResult SendMessageA(platform::Hwnd, unsigned, platform::WParam,
                                   platform::LParam) override {
        return 0;
    }
    bool PostMessageA(platform::Hwnd, unsigned, platform::WParam, platform::LParam) override {
        return false;
    }
    int GetWindowTextLengthA(platform::Hwnd) override { return 0; }
    int GetWindowTextA(platform::Hwnd, char*, int) override { return 0; }
};

class NoOpPlayer final : public engine::MediaPlayer {
  public:
    void OpenAndPlay(const std::string&) override {}
    void TogglePause() override {}
    void Stop() override {}
    void NextEntry() override {}
    void SetVolume(std::int32_t) override {}
    void SetBalance(std::int32_t) override {}
    void SetMute(bool) override {}
    double Length() override { return 0; }
    double Position() override { return 0; }
};

class NoOpHost final : public engine::Host {
  public:
    void ShowForm1() override {}
    void HideForm1() override {}
    void SetForm1WindowState(engine::WindowState) override {}
    int Form1Width() const override { return engine::kNarrowWidth; }
    void SetForm1Width(int) override {}
    void ShowForm5() override {}
    void HideForm5() override {}
    void UnloadAndEnd() override {}
    void ScanON(engine::Scanner) override {}
    void ScanOFF(engine::Scanner) override {}
    void SetTimerEnabled(engine::FormTimer, bool) override {}
    engine::FileList& File1() override { return files_; }
    engine::MediaPlayer& MediaPlayer1() override { return player_; }
    void SetSongCaption(const std::string&) override {}
    void MessageBox(const std::string&) override {}

  private:
    enginetest::MemoryFileList files_;
    NoOpPlayer player_;
};

void BareWalk(benchmark::State& state, const std::string& text) {
    testsupport::TestRuntime runtime;
    NullWindows windows;
    platform::Services services{windows, runtime, runtime.random()};
    NoOpHost host;
    engine::AppState appState;
    engine::Engine engine(services, host, appState);
    for (auto _ : state) {
        engine.WalkCommandTable(engine::PrepareLine(text));
        benchmark::DoNotOptimize(appState.handle.data());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_BareWalkMatchingNothing(benchmark::State& state) {
    BareWalk(state, "just talking in the room");
}
BENCHMARK(BM_BareWalkMatchingNothing);

// "h" with the current handle: the walk, the reply built and sent to no window.
void BM_BareWalkRunningHandle(benchmark::State& state) {
    BareWalk(state, "h zerin");
}
BENCHMARK(BM_BareWalkRunningHandle);

}  // namespace

BENCHMARK_MAIN();
