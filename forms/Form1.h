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
// by the progress timer, are not traced.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "aol/NiteScan.h"
#include "engine/AppState.h"
#include "engine/Engine.h"
#include "engine/FolderFileList.h"
#include "engine/Host.h"
#include "forms/Form.h"
#include "forms/Form5.h"
#include "forms/Timers.h"
#include "forms/TracingMediaPlayer.h"
#include "platform/Services.h"

namespace forms {

inline const std::string kAppTitle = "moonrake ruze \u00B2";  // "moonrake ruze ²"

struct Form1Options {
    // Receives the trace lines listed above; nothing is traced when empty.
    TraceSink trace;
    // Never: the fast timers tick every 10 ms whether or not anything they
    // show can change, the reference that the sleeping timers must match.
    Timers::Sleep sleep = Timers::Sleep::WhenNothingChanges;
};

class Form1 final : public Form, public engine::Host {
  public:
    // `player` is the media player behind MediaPlayer1; the caller owns it and
    // keeps it alive as long as the window. The front end learns of the
    // window at once (FormCreated) and of the mini screen when it is made.
    Form1(platform::Services& services, engine::MediaPlayer& player, forms::FrontEnd& frontEnd,
          Form1Options options = {});
    ~Form1() override;

    // The start-up step: prepares the window, asks for the handle, sends the
    // login line, starts the clock and the scanners, and shows the window
    // centred and on top. Runs once.
    void Load();

    // The user closes the window: the unload step runs (once, however the
    // window goes) and the program ends with it.
    void Close() override;
    void SelectItem(std::string_view control, int index) override;

    // --- engine::Host ---
    void ShowForm1() override;
    void HideForm1() override;
    void SetForm1WindowState(engine::WindowState state) override;
    int Form1Width() const override { return WidthTwips(); }
    void SetForm1Width(int twips) override;
    void ShowForm5() override;
    void HideForm5() override;
    void UnloadAndEnd() override;
    void ScanON(engine::Scanner scanner) override;
    void ScanOFF(engine::Scanner scanner) override;
    void SetTimerEnabled(engine::FormTimer timer, bool enabled) override;
    engine::FileList& File1() override;
    engine::MediaPlayer& MediaPlayer1() override { return mediaPlayer1_; }
    void SetSongCaption(const std::string& text) override;
    void MessageBox(const std::string& text) override;

    // --- for the front ends, the console and tests ---
    engine::AppState& State() { return state_; }
    const engine::AppState& State() const { return state_; }
    // The mini screen; nullptr until a command first touches it.
    Form5* MiniScreen() const { return form5_.get(); }
    bool TimerEnabled(engine::FormTimer timer) const;
    engine::WindowState Form1WindowState() const;
    bool ClockRunning() const;
    bool Unloaded() const { return unloaded_; }
    // The caption of a control ("" when there is none).
    std::string CaptionOf(std::string_view control) const;

  protected:
    void OnClick(const Control& control) override;
    void StateFollowed() override;

  private:
    class FileListBox;
    // What the panel's vol and bal labels ask the user for.
    enum class Level { Volume, Balance };

    // The designed layout (Form1Layout.cpp): the window's size and every
    // control as they stand before the load step.
    void BuildControls();
    void BuildLeftPanel();
    void BuildMp3Panel();
    // The height the load step gives the window: the picture strip alone.
    static constexpr int kStripHeightTwips = 2175;

    void Unload();
    void EnsureForm5();
    void ShowCentred();
    void Trace(const std::string& line) const {
        if (options_.trace) options_.trace(line);
    }
    aol::NiteScan& ScannerOf(engine::Scanner scanner);
    Timers::Id TimerOf(engine::FormTimer timer) const;

    // A command, a click or an idle notice under way: the fast timers that
    // read what those change tick at every tick meanwhile, and at their
    // next tick once it is done.
    class Busy {
      public:
        explicit Busy(Form1& form);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

      private:
        Form1& form_;
    };
    void PokeReaders();
    platform::Millis Now() const;
    // When the clock's tick (Timer1) and the bar's (Timer2) can next show
    // something new; see Timers::NextMatters.
    std::optional<platform::Millis> ClockMatters();
    std::optional<platform::Millis> ProgressMatters();

    // Events that enter from the loop; none may let an exception escape.
    void Guarded(const char* where, const std::function<void()>& body);
    void ClockTick();     // Timer1
    void ProgressTick();  // Timer2
    void ScrollTick();    // Timer3
    void StatusTick();    // Timer5
    void CheckTick();     // Timer7
    // Shows `viewName` in Label6 with `listening` the one scanner on.
    void SelectView(const std::string& viewName, engine::Scanner listening);
    void PlaySelected();         // Label19
    void StopSong();             // Label20
    void PauseSong();            // Label26
    void ResumeSong();           // Label10
    void BackASong();            // Label28
    void AskLevel(Level level);  // Label23, Label24
    // Keeps the labels that show AppState fields (Label4, Label7) in step.
    void RefreshStateLabels();

    platform::Services& services_;
    Form1Options options_;
    engine::AppState state_;
    TracingMediaPlayer mediaPlayer1_;
    // The three scanners poll the room together where it must be polled.
    aol::ScanGroup scanners_;
    aol::NiteScan NiteScan1;
    aol::NiteScan NiteScan2;
    aol::NiteScan NiteScan5;
    engine::Engine engine_;
    std::unique_ptr<FileListBox> file1_;
    std::unique_ptr<Form5> form5_;

    Timers timers_;
    Timers::Id timer1_ = 0;
    Timers::Id timer2_ = 0;
    Timers::Id timer3_ = 0;
    Timers::Id timer4_ = 0;
    Timers::Id timer5_ = 0;
    Timers::Id timer7_ = 0;

    Control* label2_ = nullptr;
    Control* label3_ = nullptr;
    Control* label4_ = nullptr;
    Control* label5_ = nullptr;
    Control* label7_ = nullptr;
    Control* label15_ = nullptr;
    Control* label21_ = nullptr;
    Control* dogBar1_ = nullptr;
    int shownCount_ = -1;  // the song count Label15 shows

    int busy_ = 0;  // Busy scopes open
    StackingWatch stacking_ = StackingWatch::None;
    bool playerTells_ = false;
    // Handed to those who call back later (the front end, the player).
    std::shared_ptr<Form1*> self_ = std::make_shared<Form1*>(this);

    bool loaded_ = false;
    bool unloaded_ = false;
    std::tm shownTime_{};
    bool clockShown_ = false;
};

}  // namespace forms
