// The program's player as the mp3 panel drives it: DShowMediaPlayer on the
// Windows event loop, with the progress timer reading Length and Position
// every 10 ms while the song plays. Prints the same line as bare_graph.
//
//   dshow_player_loop FILE [SECONDS] [--no-progress]
//       plays FILE to its end, or for SECONDS; --no-progress leaves out the
//       progress timer, to tell its cost from the player's own

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "media/dshow/DShowMediaPlayer.h"
#include "platform/win32/Win32Runtime.h"

// After the project's headers: windows.h turns MessageBox into a macro.
#include "ProcessCpu.h"

namespace {

std::string ToUtf8(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string utf8(static_cast<std::size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: dshow_player_loop FILE [SECONDS] [--no-progress]\n");
        return 2;
    }
    const long bound = argc > 2 ? std::atol(argv[2]) : 0;
    const bool progress = !(argc > 3 && std::strcmp(argv[3], "--no-progress") == 0);

    platform::Win32Runtime runtime;
    media::DShowMediaPlayer player(runtime);
    player.OpenAndPlay(ToUtf8(dshowbench::WidenAnsi(argv[1])));
    if (player.State() != media::DShowMediaPlayer::PlayState::Playing) {
        std::fprintf(stderr, "dshow_player_loop: cannot play %s\n", argv[1]);
        return 1;
    }

    dshowbench::Measuring();
    const double cpuBefore = dshowbench::ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    volatile double bar = 0.0;  // what the progress bar would be given
    if (progress) {
        runtime.StartTimer(platform::Millis{10},
                           [&] { bar = player.Length() + player.Position(); });
    }
    const auto deadline = start + std::chrono::seconds(bound > 0 ? bound : 24 * 3600);
    while (player.State() == media::DShowMediaPlayer::PlayState::Playing &&
           std::chrono::steady_clock::now() < deadline) {
        runtime.WaitForEvents(platform::Millis{1000});
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = dshowbench::ProcessCpuSeconds() - cpuBefore;
    player.Stop();

    dshowbench::Report("dshow_player_loop", wall, cpu);
    return 0;
}
