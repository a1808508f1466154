// The main window's timers sleep until what they show can change. A session
// run with them sleeping must draw exactly what it draws with every timer
// ticking every 10 ms, at the same virtual instants, and wake the loop far
// less often.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clientsim/SimChatClient.h"
#include "engine/MediaPlayer.h"
#include "forms/Form1.h"
#include "platform/sim/SimWindowSystem.h"
#include "tests/support/FakeFrontEnd.h"
#include "tests/support/TestRuntime.h"

using namespace std::chrono_literals;
using platform::Millis;
using Lines = std::vector<std::string>;
using Sleep = forms::Timers::Sleep;

namespace {

// A player on the virtual clock: a song of 3.7 s whose length it learns
// 300 ms after it starts, and that ends by itself. It tells of its changes
// only when asked to (a player that cannot tell is read at every tick).
class ClockPlayer final : public engine::MediaPlayer {
  public:
    ClockPlayer(platform::Runtime& runtime, bool tells) : runtime_(runtime), tells_(tells) {}

    void OpenAndPlay(const std::string&) override {
        ++song_;
        lengthKnown_ = false;
        Play(0.0);
        const int song = song_;
        runtime_.PostDelayed(300ms, [this, song] {
            if (song != song_) return;
            lengthKnown_ = true;
            Changed();
        });
    }
    void TogglePause() override {
        if (state_ == State::Playing) {
            from_ = Position();
            state_ = State::Paused;
            ++leg_;
            Changed();
        } else if (state_ == State::Paused) {
            Play(from_);
        }
    }
    void Stop() override {
        state_ = State::Stopped;
        ++leg_;
        Changed();
    }
    void NextEntry() override {}
    void SetVolume(std::int32_t) override {}
    void SetBalance(std::int32_t) override {}
    void SetMute(bool) override {}
    double Length() override { return state_ != State::Empty && lengthKnown_ ? kLength : 0.0; }
    double Position() override {
        if (state_ == State::Paused) return from_;
        if (state_ != State::Playing) return 0.0;
        return from_ + static_cast<double>((runtime_.Monotonic() - since_).count()) / 1000.0;
    }
    bool WatchProgress(std::function<void()> changed) override {
        changed_ = std::move(changed);
        return tells_;
    }
    bool PositionMoving() override { return state_ == State::Playing; }

  private:
    static constexpr double kLength = 3.7;
    enum class State { Empty, Stopped, Playing, Paused };

    void Play(double from) {
        state_ = State::Playing;
        from_ = from;
        since_ = runtime_.Monotonic();
        const int leg = ++leg_;
        const auto left = Millis{static_cast<long long>((kLength - from) * 1000.0)};
        runtime_.PostDelayed(left, [this, leg] {
            if (leg != leg_) return;
            state_ = State::Stopped;  // the end rewinds the song
            Changed();
        });
        Changed();
    }
    void Changed() const {
        if (changed_) changed_();
    }

    platform::Runtime& runtime_;
    bool tells_;
    std::function<void()> changed_;
    State state_ = State::Empty;
    bool lengthKnown_ = false;
    double from_ = 0.0;
    Millis since_{0};
    int song_ = 0;
    int leg_ = 0;
};

struct SongFolder {
    SongFolder() {
        path = std::filesystem::temp_directory_path() /
               ("wake-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(path);
        for (const char* name : {"a tune.mp3", "b.mp3"}) std::ofstream(path / name).put('x');
    }
    ~SongFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

// One run: the program signed on in a room, its drawing noted with the
// virtual instant of each change.
struct Session {
    Session(Sleep sleep, bool playerTells) : player(runtime, playerTells) {
        frontEnd.stackingWatch = forms::StackingWatch::Notifies;
        client.SignOn();
        runtime.promptAnswers = {"bob"};
        form = std::make_unique<forms::Form1>(services, player, frontEnd,
                                              forms::Form1Options{{}, sleep});
        form->Load();
        runtime.RunUntilIdle();
    }

    // The front end's notes since the last call, each with the instant it
    // was drawn by, and what the controls that changed then showed.
    void Note() {
        for (std::size_t i = noted; i < frontEnd.events.size(); ++i) {
            const std::string& event = frontEnd.events[i];
            std::string line = std::to_string(runtime.Clock().count()) + " " + event;
            const std::string control = event.substr(0, event.find(' '));
            if (control.rfind("Form1.", 0) == 0) {
                const forms::Control* found = form->Find(control.substr(6));
                if (found) {
                    line += " [" + found->caption + "|" + std::to_string(found->bar.barvalue) +
                            "/" + std::to_string(found->bar.barmax) + "]";
                }
            }
            drawn.push_back(line);
        }
        noted = frontEnd.events.size();
    }
    // Lets time pass in steps of 1 ms, noting what is drawn at each instant.
    void Pass(Millis duration) {
        for (Millis t{0}; t < duration; t += 1ms) {
            runtime.Advance(1ms);
            Note();
        }
    }

    testsupport::TestRuntime runtime;
    platform::sim::SimWindowSystem sim{runtime};
    clientsim::SimChatClient client{sim, runtime};
    platform::Services services{sim, runtime, runtime.random()};
    ClockPlayer player;
    testsupport::FakeFrontEnd frontEnd;
    std::unique_ptr<forms::Form1> form;
    Lines drawn;
    std::size_t noted = 0;
};

// A session that touches what every fast timer shows: the trigger, the
// window's state, the song list, a song that plays, pauses, goes on and ends.
void Play(Session& run, const std::string& folder) {
    run.Pass(2345ms);
    run.client.Type("tr !");
    run.Pass(1003ms);
    run.client.Type("!min");
    run.Pass(511ms);
    run.form->FollowState(forms::WindowState::Normal);  // restored from the taskbar
    run.Pass(307ms);
    run.client.Type("!d " + folder);
    run.Pass(200ms);
    run.client.Type("!mp3");
    run.Pass(1001ms);
    run.client.Type("!p a tune.mp3");
    run.Pass(1234ms);
    run.client.Type("!pa");
    run.Pass(777ms);
    run.client.Type("!up");
    run.Pass(4000ms);          // to the song's end and on
    run.client.Type("!tr  ");  // one blank: cleared by the clock's tick
    run.Pass(1500ms);
}

class Sleeping : public ::testing::TestWithParam<bool> {};

TEST_P(Sleeping, DrawsWhatEveryTickDrawsAtTheSameInstants) {
    SongFolder folder;
    Session reference(Sleep::Never, GetParam());
    Play(reference, folder.path.string());
    Session sleeping(Sleep::WhenNothingChanges, GetParam());
    Play(sleeping, folder.path.string());

    EXPECT_EQ(sleeping.drawn, reference.drawn);
    EXPECT_EQ(sleeping.client.Transcript(), reference.client.Transcript());
    // The session did reach every timer.
    const auto drew = [&](const std::string& what) {
        return std::any_of(reference.drawn.begin(), reference.drawn.end(),
                           [&](const std::string& line) { return line.find(what) != line.npos; });
    };
    for (const char* what : {"Label3 caption", "Label2 caption [!", "Label15 caption [mp3s - 2",
                             "DogBar1 bar [|4/4]", "Label21 caption [ tune.mp3a"}) {
        EXPECT_TRUE(drew(what)) << what;
    }
    // A player that cannot tell is read at every tick while a song is on.
    if (GetParam()) {
        EXPECT_LT(sleeping.runtime.Wakeups() * 4, reference.runtime.Wakeups());
    }
}

INSTANTIATE_TEST_SUITE_P(PlayerTellsOrNot, Sleeping, ::testing::Bool());

TEST(Sleeping, AnIdleMinuteWakesOnceASecond) {
    Session run(Sleep::WhenNothingChanges, true);
    run.runtime.Advance(1000ms);
    const long long before = run.runtime.Wakeups();
    run.runtime.Advance(60s);
    EXPECT_LE(run.runtime.Wakeups() - before, 61);
    EXPECT_EQ(run.form->CaptionOf("Label3"), "12:01:01 pm");
}

TEST(Sleeping, AWindowComingAboveOursIsAnsweredAtTheNextTick) {
    Session run(Sleep::WhenNothingChanges, true);
    run.runtime.Advance(1003ms);  // 3 ms past a tick of the clock's grid
    ASSERT_TRUE(run.frontEnd.stackingChanged);
    const int before = run.frontEnd.topmostCalls;
    run.frontEnd.stackingChanged();
    run.runtime.Advance(6ms);
    EXPECT_EQ(run.frontEnd.topmostCalls, before);
    run.runtime.Advance(1ms);
    EXPECT_EQ(run.frontEnd.topmostCalls, before + 1);
    run.runtime.Advance(500ms);
    EXPECT_EQ(run.frontEnd.topmostCalls, before + 1);  // and then sleeps again
}

}  // namespace
