#pragma once
// Everything the command engine reaches that belongs to the main window:
// its windows, scanners, timers, the mp3 file list and the media player.
// Form1 implements it; the engine's tests use a recording fake.

#include <string>

#include "engine/FileList.h"
#include "engine/MediaPlayer.h"
#include "engine/WindowState.h"

namespace engine {

enum class Scanner { NiteScan1, NiteScan2, NiteScan5 };
enum class FormTimer { Timer2, Timer3, Timer4, Timer5, Timer7 };

// The two widths of Form1, in twips, that Form1Width and SetForm1Width deal
// in: the mp3 panel out of view, and in view beside the strip.
inline constexpr int kNarrowWidth = 4230;
inline constexpr int kWideWidth = 7350;

class Host {
  public:
    virtual ~Host() = default;

    // --- windows ---
    virtual void ShowForm1() = 0;
    virtual void HideForm1() = 0;
    virtual void SetForm1WindowState(WindowState state) = 0;
    virtual int Form1Width() const = 0;  // twips
    virtual void SetForm1Width(int twips) = 0;
    virtual void ShowForm5() = 0;  // loads it on first use
    virtual void HideForm5() = 0;  // loads it on first use
    // Unloads Form1 (its unload step sends the logout line) and ends the
    // program. Event loops and waits return as soon as they can afterwards.
    virtual void UnloadAndEnd() = 0;

    // --- scanners and timers ---
    virtual void ScanON(Scanner scanner) = 0;
    virtual void ScanOFF(Scanner scanner) = 0;
    virtual void SetTimerEnabled(FormTimer timer, bool enabled) = 0;

    // --- the mp3 panel ---
    virtual FileList& File1() = 0;
    virtual MediaPlayer& MediaPlayer1() = 0;
    virtual void SetSongCaption(const std::string& text) = 0;  // Label21

    // --- local feedback: a modal box with an OK button, titled with the
    // program's name; it pumps the event loop while open ---
    virtual void MessageBox(const std::string& text) = 0;
};

}  // namespace engine
