// Plays one song through GstMediaPlayer and reads Length and Position every
// 10 ms, the way the mp3 panel's progress timer does, so that the player's
// own cost can be measured (see cpu_playback.sh).
//
//   play_driver SONG [SECONDS [TICK_MS]]
//
// Ends when the song ends or after SECONDS (default, or 0: the whole song).
// TICK_MS is the progress timer's interval (default 10; 0 reads nothing, to
// see what the reads cost on top of playback). The
// sound goes to the system's output; MOONRAKE_AUDIO_SINK=fake sends it to a
// null sink that keeps real time.

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "bench/media/StdRuntime.h"
#include "media/gst/GstMediaPlayer.h"

namespace {

// The progress timer's two conversions: nearest integer, halves to even.
std::int32_t ToBarmax(double seconds) {
    const double rounded = std::nearbyint(seconds);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min())) return 0;
    if (rounded > std::numeric_limits<std::int32_t>::max()) return 0;
    return static_cast<std::int32_t>(rounded);
}

std::int16_t ToBarvalue(double seconds) {
    const double rounded = std::nearbyint(seconds);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min())) return 0;
    if (rounded > std::numeric_limits<std::int16_t>::max()) return 0;
    return static_cast<std::int16_t>(rounded);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SONG [SECONDS [TICK_MS]]\n", argv[0]);
        return 2;
    }
    const double limit = argc > 2 ? std::atof(argv[2]) : 0.0;
    const int tickMs = argc > 3 ? std::atoi(argv[3]) : 10;

    bench::StdRuntime runtime;
    media::GstMediaPlayer player(runtime);
    if (!player.Available()) {
        std::fprintf(stderr, "GStreamer is not available\n");
        return 1;
    }
    player.OpenAndPlay(argv[1]);

    std::int64_t ticks = 0;
    std::int64_t barmaxSum = 0;
    std::int64_t barvalueSum = 0;
    if (tickMs > 0) {
        runtime.StartTimer(std::chrono::milliseconds(tickMs), [&] {
            barmaxSum += ToBarmax(player.Length());
            barvalueSum += ToBarvalue(player.Position());
            ++ticks;
        });
    }

    const auto start = runtime.Monotonic();
    using State = media::GstMediaPlayer::PlayState;
    while (player.State() == State::Playing || player.State() == State::Paused) {
        runtime.WaitForEvents(std::chrono::milliseconds(1000));
        const double elapsed = std::chrono::duration<double>(runtime.Monotonic() - start).count();
        if (limit > 0 && elapsed >= limit) break;
    }
    const double elapsed = std::chrono::duration<double>(runtime.Monotonic() - start).count();
    std::printf("played %.1f s, %lld progress ticks (%.1f per second), last length %.2f s\n",
                elapsed, static_cast<long long>(ticks), elapsed > 0 ? ticks / elapsed : 0.0,
                player.Length());
    // Keeps the sums alive so the reads cannot be optimised away.
    return (barmaxSum < 0 || barvalueSum < 0) ? 1 : 0;
}
