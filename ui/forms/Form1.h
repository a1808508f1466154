#pragma once
// The main window: a small borderless panel that stays above other windows.
// It owns everything that lives for the whole run: the application state, the
// command engine, the three chat scanners, the timers, the mp3 file list and
// the media player as the panel uses it, and the mini screen once a command
// has touched it. It is the engine's Host.
//
// Tracing. With Form1Options::trace set, every call on the scanners, the
// windows and the media player is reported as one line, "OBJECT.MEMBER" or
// "OBJECT.MEMBER VALUE". This is the whole list:
//
//   NiteScan1.ScanON            NiteScan1.ScanOFF      (also NiteScan2, NiteScan5)
//   Form1.Show                  Form1.Hide
//   Form1.WindowState normal    Form1.WindowState minimized
//   Form1.WindowState maximized
//   Form1.Width TWIPS           (e.g. "Form1.Width 7350")
//   Form1.Unload                (once, when the unload step runs)
//   Form5.Show                  Form5.Hide
//   MediaPlayer1.OpenAndPlay PATH     (e.g. "MediaPlayer1.OpenAndPlay /music/a.mp3")
//   MediaPlayer1.TogglePause    MediaPlayer1.Stop      MediaPlayer1.NextEntry
//   MediaPlayer1.Volume LEVEL   MediaPlayer1.Balance LEVEL   (e.g. "-1238", "2500")
//   MediaPlayer1.Mute true      MediaPlayer1.Mute false
//
// Calls made by the load step are traced too (the start-up width, the
// scanner switches, the first show). The player's Length and Position, read
// every 10 ms by the progress timer, are not traced.

#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "aol/NiteScan.h"
#include "engine/AppState.h"
#include "engine/Engine.h"
#include "engine/Host.h"
#include "platform/Services.h"
#include "ui/forms/Clock.h"
#include "ui/forms/DragToMove.h"
#include "ui/forms/FileListView.h"
#include "ui/forms/TracingMediaPlayer.h"
#include "ui/forms/Twips.h"

class QLabel;
class QListWidget;

namespace ui {

class ClickableLabel;
class DogBar;
class Form5;
class PictureSurface;

inline const std::string kAppTitle = "moonrake ruze \u00B2";  // "moonrake ruze ²"

struct Form1Options {
    // Receives the trace lines listed above; nothing is traced when empty.
    TraceSink trace;
    // The pointer's screen position in pixels for drag-to-move; QCursor::pos()
    // when empty. Shared with the mini screen.
    CursorSource cursorPos;
};

class Form1 final : public QWidget, public engine::Host {
  public:
    // `player` is the media player behind MediaPlayer1; the caller owns it and
    // keeps it alive as long as the window.
    Form1(platform::Services& services, engine::MediaPlayer& player, Form1Options options = {});
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The start-up step: prepares the window, asks for the handle, sends the
    // login line, starts the clock and the scanners, and shows the window
    // centred and on top. Runs once.
    void Load();

    // --- engine::Host ---
    void ShowForm1() override;
    void HideForm1() override;
    void SetForm1WindowState(engine::WindowState state) override;
    int Form1Width() const override { return widthTwips_; }
    void SetForm1Width(int twips) override;
    void ShowForm5() override;
    void HideForm5() override;
    void UnloadAndEnd() override;
    void ScanON(engine::Scanner scanner) override;
    void ScanOFF(engine::Scanner scanner) override;
    void SetTimerEnabled(engine::FormTimer timer, bool enabled) override;
    engine::FileList& File1() override { return *file1_; }
    engine::MediaPlayer& MediaPlayer1() override { return mediaPlayer1_; }
    void SetSongCaption(const std::string& text) override;
    void MessageBox(const std::string& text) override;

    // --- for the console, the program and tests ---
    // The control with this name ("Label9", "List6", "File1", "Picture1",
    // "DogBar1", ...), or nullptr.
    QWidget* Control(const QString& objectName) const;
    // Clicks a clickable label by name as the mouse would; false when there is
    // no such clickable control.
    bool ClickControl(const QString& objectName);
    engine::AppState& State() { return state_; }
    const engine::AppState& State() const { return state_; }
    // The mini screen; nullptr until a command first touches it.
    Form5* MiniScreen() const { return form5_.get(); }

    std::int32_t LeftTwips() const { return position_.left; }
    std::int32_t TopTwips() const { return position_.top; }
    void SetLeftTwips(std::int32_t twips);
    void SetTopTwips(std::int32_t twips);
    engine::WindowState Form1WindowState() const { return windowState_; }
    bool TimerEnabled(engine::FormTimer timer) const;
    bool Unloaded() const { return unloaded_; }
    const DragToMove& Drag() const { return *drag_; }

    // The 53 help lines of List6.
    static QStringList HelpLines();

    // --- controls, named as the window has always named them ---
    PictureSurface* Picture1 = nullptr;
    QLabel* Label14 = nullptr;  // product title
    QListWidget* List6 = nullptr;
    QLabel* Label3 = nullptr;           // time
    QLabel* Label5 = nullptr;           // date
    QLabel* Label1 = nullptr;           // strip title, drag handle
    QLabel* Label4 = nullptr;           // handle
    ClickableLabel* Label8 = nullptr;   // ") ›", stops the song
    QLabel* Label6 = nullptr;           // "trig - (" or the view name
    QLabel* Label2 = nullptr;           // trigger
    ClickableLabel* Label9 = nullptr;   // ")", mp3 view
    ClickableLabel* Label11 = nullptr;  // "39", other view (outside the window)
    ClickableLabel* Label7 = nullptr;   // ruzeSwitch, main view (outside the window)
    // The mp3 panel.
    QListWidget* File1Widget = nullptr;
    ClickableLabel* Label19 = nullptr;  // play
    ClickableLabel* Label20 = nullptr;  // stop
    ClickableLabel* Label26 = nullptr;  // pause
    ClickableLabel* Label10 = nullptr;  // resume
    ClickableLabel* Label28 = nullptr;  // back a song
    ClickableLabel* Label27 = nullptr;  // next song
    ClickableLabel* Label25 = nullptr;  // hotspot
    QLabel* Label15 = nullptr;          // song count
    ClickableLabel* Label23 = nullptr;  // volume
    ClickableLabel* Label24 = nullptr;  // balance
    DogBar* DogBar1 = nullptr;
    QLabel* Label21 = nullptr;  // song caption

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    void BuildLeftPanel();
    void BuildMp3Panel();
    void WireClicks();

    // The unload step: the logout line, once.
    void Unload();
    void EnsureForm5();
    void Trace(const std::string& line) const {
        if (options_.trace) options_.trace(line);
    }
    aol::NiteScan& ScannerOf(engine::Scanner scanner);
    void ShowCentred();

    // Events that enter from the loop; none may let an exception escape.
    void Guarded(const char* where, const std::function<void()>& body);
    void ClockTick();     // Timer1
    void ProgressTick();  // Timer2
    void ScrollTick();    // Timer3
    void StatusTick();    // Timer5
    void CheckTick();     // Timer7
    void TimerTick(engine::FormTimer timer);
    void SelectView(const QString& viewName, bool nite1On, bool nite2On, bool nite5On);
    void PlaySelected();                                    // Label19
    void StopSong();                                        // Label20
    void PauseSong();                                       // Label26
    void ResumeSong();                                      // Label10
    void BackASong();                                       // Label28
    void AskLevel(const std::string& prompt, bool volume);  // Label23, Label24

    // Keeps the labels that show AppState fields (Label4, Label7) in step,
    // touching them only when a field changed.
    void RefreshStateLabels();
    std::string SongPath(const std::string& name) const;

    platform::Services& services_;
    Form1Options options_;
    engine::AppState state_;
    TracingMediaPlayer mediaPlayer1_;
    aol::NiteScan NiteScan1;
    aol::NiteScan NiteScan2;
    aol::NiteScan NiteScan5;
    engine::Engine engine_;
    std::unique_ptr<FileListView> file1_;
    std::unique_ptr<Form5> form5_;
    DragToMove* drag_ = nullptr;

    ClockSeparators separators_;
    platform::TimerId timer1_ = 0;
    std::array<platform::TimerId, 5> timers_{};  // by engine::FormTimer

    bool loaded_ = false;
    bool unloaded_ = false;
    int widthTwips_ = 7335;
    int heightTwips_ = 5580;
    TwipsPosition position_;
    engine::WindowState windowState_ = engine::WindowState::Normal;

    // What the labels show now, to skip unchanged texts.
    std::string shownHandle_;
    std::string shownRuzeSwitch_;
    std::string shownTrigger_;
    std::tm shownTime_{};
    bool clockShown_ = false;
};

}  // namespace ui
