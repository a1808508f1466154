#pragma once
// Everything the command engine reaches that belongs to the main window:
// its windows, scanners, timers, the mp3 file list and the media player.
// Form1 implements it; the engine's tests use a recording fake.

#include <cstdint>
#include <string>

namespace engine {

// The media player control. Its own scales: Volume in hundredths of a
// decibel (0 full, -10000 silence, above 0 full), Balance from -10000 (left
// only) to 10000 (right only), Length and Position in seconds (0 when nothing
// is loaded). No call fails or waits; a path that names nothing playable is
// simply not played.
class MediaPlayer {
  public:
    virtual ~MediaPlayer() = default;
    virtual void OpenAndPlay(const std::string& path) = 0;
    virtual void TogglePause() = 0;
    virtual void Stop() = 0;
    virtual void NextEntry() = 0;
    virtual void SetVolume(std::int32_t volume) = 0;
    virtual void SetBalance(std::int32_t balance) = 0;
    virtual void SetMute(bool mute) = 0;
    virtual double Length() = 0;
    virtual double Position() = 0;
};

// The mp3 file list: the "*.mp3" names of one folder, in the list's order.
class FileList {
  public:
    virtual ~FileList() = default;
    // Re-reads the entries of `folder`. False when it cannot be opened; the
    // list then keeps its previous folder and entries.
    virtual bool SetPath(const std::string& folder) = 0;
    virtual std::string Path() const = 0;
    virtual int Count() const = 0;                  // 16-bit in the original; never more than 32767
    virtual std::string Item(int index) const = 0;  // 0-based; "" out of range
    virtual int ListIndex() const = 0;              // -1 when nothing is selected
    virtual void SetListIndex(int index) = 0;
    virtual std::string FileName() const = 0;  // the selected name, "" when none
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
};

enum class Scanner { NiteScan1, NiteScan2, NiteScan5 };
enum class FormTimer { Timer2, Timer3, Timer4, Timer5, Timer7 };
enum class WindowState { Normal, Minimized, Maximized };

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

// The window widths of the mp3 panel, in twips.
inline constexpr int kNarrowWidth = 4230;
inline constexpr int kWideWidth = 7350;

}  // namespace engine
