#include "forms/Form1.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "aol/modAol7SendChat.h"
#include "engine/FileList.h"
#include "engine/Numbers.h"
#include "engine/StyledLine.h"
#include "forms/Clock.h"
#include "platform/Failure.h"

namespace forms {

namespace {

using engine::FormTimer;
using engine::Scanner;
using platform::Millis;
using Wakeup = Timers::Wakeup;

const char* ScannerName(Scanner scanner) {
    switch (scanner) {
        case Scanner::NiteScan1:
            return "NiteScan1";
        case Scanner::NiteScan2:
            return "NiteScan2";
        case Scanner::NiteScan5:
            return "NiteScan5";
    }
    return "NiteScan?";
}

const char* WindowStateName(WindowState state) {
    switch (state) {
        case WindowState::Normal:
            return "normal";
        case WindowState::Minimized:
            return "minimized";
        case WindowState::Maximized:
            return "maximized";
    }
    return "normal";
}

// Nearest integer of `value` (halves to even) held inside [low, high]; NaN
// gives 0. The player reports seconds, so the range is only left by nonsense.
template <typename Int>
Int RoundInto(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = std::nearbyint(value);
    if (rounded <= static_cast<double>(std::numeric_limits<Int>::min())) {
        return std::numeric_limits<Int>::min();
    }
    if (rounded >= static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::numeric_limits<Int>::max();
    }
    return static_cast<Int>(rounded);
}

// Moves the first character of `text` to its end ("abcd" becomes "bcda"),
// keeping a character of several UTF-8 bytes whole.
std::string RotateLeft(const std::string& text) {
    if (text.empty()) return text;
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 1;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
    }
    if (length > text.size()) length = text.size();
    return text.substr(length) + text.substr(0, length);
}

}  // namespace

// File1: the folder listing and selection of engine::FolderFileList, kept in
// the File1 control so that the front end shows them.
class Form1::FileListBox final : public engine::FileList {
  public:
    FileListBox(Form1& form, platform::FolderListing listFolder)
        : form_(form), list_(listFolder), control_(form.Get("File1")) {
        control_.visible = list_.Visible();
        control_.items = Entries();
    }

    bool SetPath(const std::string& folder) override {
        if (!list_.SetPath(folder)) return false;
        form_.SetItems(control_, Entries());
        form_.SetListIndex(control_, list_.ListIndex());
        return true;
    }
    std::string Path() const override { return list_.Path(); }
    int Count() const override { return list_.Count(); }
    std::string Item(int index) const override { return list_.Item(index); }
    int ListIndex() const override { return list_.ListIndex(); }
    void SetListIndex(int index) override {
        list_.SetListIndex(index);
        form_.SetListIndex(control_, list_.ListIndex());
    }
    std::string FileName() const override { return list_.FileName(); }
    bool Visible() const override { return list_.Visible(); }
    void SetVisible(bool visible) override {
        list_.SetVisible(visible);
        form_.SetVisible(control_, visible);
    }

  private:
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        names.reserve(static_cast<std::size_t>(list_.Count()));
        for (int i = 0; i < list_.Count(); ++i) names.push_back(list_.Item(i));
        return names;
    }

    Form1& form_;
    engine::FolderFileList list_;
    Control& control_;
};

Form1::Form1(platform::Services& services, engine::MediaPlayer& player, forms::FrontEnd& frontEnd,
             Form1Options options)
    : Form(frontEnd, "Form1", kAppTitle),
      services_(services),
      options_(std::move(options)),
      mediaPlayer1_(player, options_.trace),
      scanners_(services),
      NiteScan1(services, &scanners_),
      NiteScan2(services, &scanners_),
      NiteScan5(services, &scanners_),
      engine_(services, *this, state_),
      timers_(services.runtime, Millis{10}, options_.sleep) {
    BuildControls();
    file1_ = std::make_unique<FileListBox>(*this, services_.listFolder);
    // The controls the fast timers write, looked up once.
    label2_ = &Get("Label2");
    label3_ = &Get("Label3");
    label4_ = &Get("Label4");
    label5_ = &Get("Label5");
    label7_ = &Get("Label7");
    label15_ = &Get("Label15");
    label21_ = &Get("Label21");
    dogBar1_ = &Get("DogBar1");

    // One wake-up of the loop serves the fast timers, in this order; each
    // sleeps until what it shows can change.
    timer1_ = timers_.Add(
        Millis{10}, Wakeup::SharedBase, [this] { Guarded("Timer1", [this] { ClockTick(); }); },
        [this] { return ClockMatters(); });
    timer2_ = timers_.Add(
        Millis{10}, Wakeup::SharedBase,
        [this] {
            if (!unloaded_) Guarded("Timer2", [this] { ProgressTick(); });
        },
        [this] { return ProgressMatters(); });
    timer3_ = timers_.Add(Millis{100}, Wakeup::SharedBase, [this] {
        if (!unloaded_) Guarded("Timer3", [this] { ScrollTick(); });
    });
    timer5_ = timers_.Add(
        Millis{10}, Wakeup::SharedBase,
        [this] {
            if (!unloaded_) Guarded("Timer5", [this] { StatusTick(); });
        },
        [this] { return busy_ > 0 ? Now() : std::optional<Millis>(); });
    timer4_ = timers_.Add(Millis{60000}, Wakeup::OwnTimer, [this] {
        if (unloaded_) return;
        const Busy busy(*this);
        engine_.HandleIdleTick();
        RefreshStateLabels();
    });
    timer7_ = timers_.Add(Millis{20000}, Wakeup::OwnTimer, [this] {
        if (!unloaded_) Guarded("Timer7", [this] { CheckTick(); });
    });

    NiteScan1.SetChatLineHandler([this](const std::string& screenName, const std::string& text) {
        if (unloaded_) return;
        const Busy busy(*this);
        engine_.HandleCommandLine(screenName, text);
        RefreshStateLabels();
    });
    NiteScan2.SetChatLineHandler([this](const std::string& screenName, const std::string& text) {
        if (unloaded_) return;
        const Busy busy(*this);
        engine_.HandleReenableLine(screenName, text);
        RefreshStateLabels();
    });
    NiteScan5.SetChatLineHandler([this](const std::string& screenName, const std::string& text) {
        if (unloaded_) return;
        const Busy busy(*this);
        engine_.HandleIdleLine(screenName, text);
        RefreshStateLabels();
    });

    // Who tells us when the clock's and the bar's ticks can change something
    // that no command did: another window coming above ours, the song.
    std::weak_ptr<Form1*> self = self_;
    stacking_ = FrontEnd().WatchStacking([self] {
        if (auto form = self.lock()) (*form)->timers_.Poke((*form)->timer1_);
    });
    playerTells_ = mediaPlayer1_.WatchProgress([self] {
        if (auto form = self.lock()) (*form)->timers_.Poke((*form)->timer2_);
    });

    Announce();
}

// The runtime, the front end and the player outlive the window: nothing may
// reach it afterwards.
Form1::~Form1() {
    self_.reset();
    if (playerTells_) mediaPlayer1_.WatchProgress({});
    timers_.StopAll();
}

// --- when the fast timers can change something ------------------------------

Form1::Busy::Busy(Form1& form) : form_(form) {
    if (form_.busy_++ == 0) form_.PokeReaders();
}

Form1::Busy::~Busy() {
    if (--form_.busy_ == 0) form_.PokeReaders();
}

void Form1::PokeReaders() {
    timers_.Poke(timer1_);
    timers_.Poke(timer2_);
    timers_.Poke(timer5_);
}

Millis Form1::Now() const {
    return services_.runtime.Monotonic();
}

std::optional<Millis> Form1::ClockMatters() {
    const Millis now = Now();
    // While a command or a click is under way anything may change (and it
    // may wait, with the loop turning): tick as often as ever.
    if (busy_ > 0) return now;
    // Nothing tells us of windows coming above ours: look every tick.
    if (stacking_ == StackingWatch::None && Visible() && ShownState() != WindowState::Minimized) {
        return now;
    }
    // Otherwise only the clock moves: the next whole second (rounded down
    // to the millisecond, so that a tick comes at or before it).
    const double seconds = services_.runtime.SecondsSinceMidnight();
    const double toNext = 1.0 - (seconds - std::floor(seconds));
    return now + Millis{static_cast<long long>(std::floor(toNext * 1000.0))};
}

std::optional<Millis> Form1::ProgressMatters() {
    const Millis now = Now();
    if (busy_ > 0 || !playerTells_) return now;
    if (!mediaPlayer1_.PositionMoving()) return std::nullopt;  // until the player says
    // The bar shows whole seconds, rounded: it moves when the position
    // passes the next half second.
    const double position = mediaPlayer1_.Position();
    if (std::isnan(position)) return now + Millis{1000};
    const double toNext = std::nearbyint(position) + 0.5 - position;
    const double millis = std::clamp(std::floor(toNext * 1000.0), 0.0, 1000.0);
    return now + Millis{static_cast<long long>(millis)};
}

void Form1::StateFollowed() {
    timers_.Poke(timer1_);
}

engine::FileList& Form1::File1() {
    return *file1_;
}

void Form1::OnClick(const Control& control) {
    const std::string& name = control.name;
    const Busy busy(*this);
    Guarded(name.c_str(), [this, &name] {
        // The view labels, each with the one scanner its view leaves listening.
        if (name == "Label7") {
            SelectView("main c-ruze", Scanner::NiteScan1);
        } else if (name == "Label9") {
            SelectView("mp3 c-ruze", Scanner::NiteScan2);
        } else if (name == "Label11") {
            SelectView("other c-ruze", Scanner::NiteScan5);
        } else if (name == "Label8") {
            mediaPlayer1_.Stop();
        } else if (name == "Label19") {
            PlaySelected();
        } else if (name == "Label20") {
            StopSong();
        } else if (name == "Label26") {
            PauseSong();
        } else if (name == "Label10") {
            ResumeSong();
        } else if (name == "Label25") {
            mediaPlayer1_.TogglePause();
        } else if (name == "Label27") {
            mediaPlayer1_.NextEntry();
        } else if (name == "Label28") {
            BackASong();
        } else if (name == "Label23") {
            AskLevel(Level::Volume);
        } else if (name == "Label24") {
            AskLevel(Level::Balance);
        }
    });
}

void Form1::SelectItem(std::string_view control, int index) {
    if (control == "File1") file1_->SetListIndex(index);
}

std::string Form1::CaptionOf(std::string_view control) const {
    const Control* found = Find(control);
    return found ? found->caption : std::string();
}

// --- start-up and shut-down ------------------------------------------------

void Form1::Load() {
    if (loaded_) return;
    loaded_ = true;

    SetVisible(Get("Label10"), false);
    SetGradient(Get("Picture1"), true);
    SetSize(WidthTwips(), kStripHeightTwips);
    SetForm1Width(engine::kNarrowWidth);
    file1_->SetVisible(false);

    state_.handle = services_.runtime.Prompt("enter your handle", kAppTitle, "");
    RefreshStateLabels();
    if (services_.runtime.QuitRequested()) return;

    modAol7SendChat::SendChatLine(services_.windows, engine::BuildLoginLine(state_));

    timers_.SetEnabled(timer1_, true);
    ScanON(Scanner::NiteScan5);
    ScanON(Scanner::NiteScan1);
    ScanOFF(Scanner::NiteScan2);

    ShowCentred();
}

void Form1::ShowCentred() {
    const Rect area = FrontEnd().WorkArea();
    const int width = Pixels(WidthTwips());
    const int height = Pixels(HeightTwips());
    // The middle of the area as a rectangle of whole pixels has it.
    const int centreX = (2 * area.left + area.width - 1) / 2;
    const int centreY = (2 * area.top + area.height - 1) / 2;
    SetPosition(PixelsToTwips(centreX - width / 2), PixelsToTwips(centreY - height / 2));
    ShowForm1();
    FrontEnd().SetTopmost(*this);
}

void Form1::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Trace("Form1.Unload");
    modAol7SendChat::SendChatLine(services_.windows, engine::BuildLogoutLine(state_));
}

void Form1::UnloadAndEnd() {
    Unload();
    services_.runtime.RequestQuit();
    if (form5_) form5_->End();
    MarkClosed();
}

void Form1::Close() {
    // However the window is closed, the unload step runs once and the
    // program ends with it.
    Unload();
    services_.runtime.RequestQuit();
    if (form5_) form5_->End();
    MarkClosed();
}

// --- windows ---------------------------------------------------------------------

void Form1::ShowForm1() {
    Trace("Form1.Show");
    SetFormVisible(true);
}

void Form1::HideForm1() {
    Trace("Form1.Hide");
    SetFormVisible(false);
}

void Form1::SetForm1WindowState(engine::WindowState state) {
    Trace(std::string("Form1.WindowState ") + WindowStateName(state));
    // On a hidden window the state waits for the next show.
    SetState(state);
}

void Form1::SetForm1Width(int twips) {
    Trace("Form1.Width " + std::to_string(twips));
    SetSize(twips, HeightTwips());
}

void Form1::EnsureForm5() {
    if (form5_) return;
    form5_ = std::make_unique<Form5>(FrontEnd());
    form5_->Load();
}

void Form1::ShowForm5() {
    EnsureForm5();
    Trace("Form5.Show");
    form5_->Show();
}

void Form1::HideForm5() {
    EnsureForm5();
    Trace("Form5.Hide");
    form5_->Hide();
}

// --- scanners and timers ----------------------------------------------------------

aol::NiteScan& Form1::ScannerOf(Scanner scanner) {
    switch (scanner) {
        case Scanner::NiteScan1:
            return NiteScan1;
        case Scanner::NiteScan2:
            return NiteScan2;
        case Scanner::NiteScan5:
            return NiteScan5;
    }
    return NiteScan1;
}

void Form1::ScanON(Scanner scanner) {
    Trace(std::string(ScannerName(scanner)) + ".ScanON");
    ScannerOf(scanner).ScanON();
}

void Form1::ScanOFF(Scanner scanner) {
    Trace(std::string(ScannerName(scanner)) + ".ScanOFF");
    ScannerOf(scanner).ScanOFF();
}

Timers::Id Form1::TimerOf(FormTimer timer) const {
    switch (timer) {
        case FormTimer::Timer2:
            return timer2_;
        case FormTimer::Timer3:
            return timer3_;
        case FormTimer::Timer4:
            return timer4_;
        case FormTimer::Timer5:
            return timer5_;
        case FormTimer::Timer7:
            return timer7_;
    }
    return timer2_;
}

void Form1::SetTimerEnabled(FormTimer timer, bool enabled) {
    // Enabling a running timer leaves its interval running.
    timers_.SetEnabled(TimerOf(timer), enabled);
}

bool Form1::TimerEnabled(FormTimer timer) const {
    return timers_.Enabled(TimerOf(timer));
}

engine::WindowState Form1::Form1WindowState() const {
    return ShownState();
}

bool Form1::ClockRunning() const {
    return timers_.Enabled(timer1_);
}

void Form1::Guarded(const char* where, const std::function<void()>& body) {
    platform::Guarded(where, body);
}

// --- the clock ----------------------------------------------------------------------

void Form1::ClockTick() {
    if (unloaded_) return;
    const std::tm now = services_.runtime.LocalTime();
    // The texts change once a second; skip the formatting in between.
    if (!clockShown_ || now.tm_sec != shownTime_.tm_sec || now.tm_min != shownTime_.tm_min ||
        now.tm_hour != shownTime_.tm_hour || now.tm_mday != shownTime_.tm_mday ||
        now.tm_mon != shownTime_.tm_mon || now.tm_year != shownTime_.tm_year) {
        clockShown_ = true;
        shownTime_ = now;
        const ClockSeparators separators = FrontEnd().Separators();
        SetCaptionSized(*label3_, FormatClockTime(now, separators));
        SetCaptionSized(*label5_, FormatClockDate(now, separators));
    }

    // A trigger of exactly one blank would make every command need a
    // leading blank that no command word can carry: clear it.
    if (state_.trigger == " ") state_.trigger.clear();
    SetCaption(*label2_, state_.trigger);
    RefreshStateLabels();
    FrontEnd().SetTopmost(*this);
}

void Form1::RefreshStateLabels() {
    SetCaption(*label4_, state_.handle);
    SetCaption(*label7_, state_.ruzeSwitch);
}

// --- views ---------------------------------------------------------------------------

void Form1::SelectView(const std::string& viewName, Scanner listening) {
    for (const Scanner scanner : {Scanner::NiteScan1, Scanner::NiteScan2, Scanner::NiteScan5}) {
        scanner == listening ? ScanON(scanner) : ScanOFF(scanner);
    }
    Control& view = Get("Label6");
    SetVisible(view, true);
    if (view.caption == viewName) {
        MessageBox("already viewing " + viewName);
        return;
    }
    SetCaption(view, viewName);
    SetVisible(Get("Label14"), false);
}

// --- the mp3 panel ----------------------------------------------------------------

void Form1::SetSongCaption(const std::string& text) {
    SetCaption(*label21_, text);
}

void Form1::PlaySelected() {
    const std::string name = file1_->FileName();
    mediaPlayer1_.OpenAndPlay(engine::SongPath(file1_->Path(), name));
    SetSongCaption(name);
    SetTimerEnabled(FormTimer::Timer3, true);
    SetTimerEnabled(FormTimer::Timer2, true);
    SetTimerEnabled(FormTimer::Timer7, true);
}

void Form1::StopSong() {
    SetTimerEnabled(FormTimer::Timer2, false);
    Control& bar = *dogBar1_;
    SetBar(bar, 0, bar.bar.barmax);
    mediaPlayer1_.Stop();
    SetTimerEnabled(FormTimer::Timer3, false);
    SetSongCaption("nothing");
}

void Form1::PauseSong() {
    mediaPlayer1_.TogglePause();
    SetVisible(Get("Label26"), false);
    SetVisible(Get("Label10"), true);
}

void Form1::ResumeSong() {
    mediaPlayer1_.TogglePause();
    SetVisible(Get("Label26"), true);
    SetVisible(Get("Label10"), false);
}

void Form1::BackASong() {
    // Nothing records the songs played before, so "back" plays the list
    // entry above the selected one (the last entry when the first or nothing
    // is selected), leaving the selection and the caption alone. An empty
    // list has no song to go back to.
    const int count = file1_->Count();
    if (count == 0) return;
    const int selected = file1_->ListIndex();
    const int previous = selected > 0 ? selected - 1 : count - 1;
    mediaPlayer1_.OpenAndPlay(engine::SongPath(file1_->Path(), file1_->Item(previous)));
}

void Form1::AskLevel(Level level) {
    const char* prompt = level == Level::Volume ? "set volume" : "set balance";
    const std::string answer = services_.runtime.Prompt(prompt, kAppTitle, "");
    // A cancelled or empty dialog, or an answer that is no number or leaves
    // 32 bits, puts nothing.
    const std::optional<std::int32_t> number = engine::LevelFromUserNumber(answer);
    if (!number) return;
    if (level == Level::Volume) {
        mediaPlayer1_.SetVolume(*number);
    } else {
        mediaPlayer1_.SetBalance(*number);
    }
}

void Form1::ProgressTick() {
    Control& bar = *dogBar1_;
    const auto barmax = RoundInto<std::int32_t>(mediaPlayer1_.Length());
    // A position past 16 bits (a song over nine hours) holds the bar full
    // rather than wrapping to a negative fill.
    const auto barvalue = RoundInto<std::int16_t>(mediaPlayer1_.Position());
    SetBar(bar, barvalue, barmax);
}

void Form1::ScrollTick() {
    SetCaption(*label21_, RotateLeft(label21_->caption));
}

void Form1::StatusTick() {
    // At every tick while a command runs; the text changes only with the list.
    const int count = file1_->Count();
    if (count == shownCount_) return;
    shownCount_ = count;
    SetCaptionSized(*label15_, "mp3s - " + std::to_string(count));
}

void Form1::CheckTick() {
    // By now a file that plays has told the progress timer its length. One
    // that has none played nothing, so the caption stops naming it; a song
    // that plays keeps its name.
    if (dogBar1_->bar.barmax == 0) SetSongCaption("nothing");
    SetTimerEnabled(FormTimer::Timer7, false);
}

void Form1::MessageBox(const std::string& text) {
    services_.runtime.MessageBox(text, kAppTitle);
}

}  // namespace forms
