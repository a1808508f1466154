#include "ui/forms/Form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMoveEvent>
#include <QScreen>
#include <cmath>
#include <cstdio>
#include <exception>
#include <limits>

#include "aol/modAol7SendChat.h"
#include "engine/Numbers.h"
#include "engine/StyledLine.h"
#include "ui/forms/ClickableLabel.h"
#include "ui/forms/Fonts.h"
#include "ui/forms/Form5.h"
#include "ui/forms/Gradient.h"
#include "ui/forms/KeepOnTop.h"
#include "ui/forms/ListBoxLook.h"
#include "ui/forms/Twips.h"
#include "ui/media/DogBar.h"

namespace ui {

namespace {

using engine::FormTimer;
using engine::Scanner;
using platform::Millis;

constexpr int kStripHeightTwips = 2175;
constexpr int kPictureWidthTwips = 7335;

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

const QString kStars(42, QLatin1Char('*'));

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QRect TwipRect(int left, int top, int width, int height) {
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

// Text colours of the layout: labels use the platform's button-shadow colour
// (a mid grey), the title and the lines the window-text colour.
QColor ButtonShadowColor() {
    return QApplication::palette().color(QPalette::Dark);
}
QColor WindowTextColor() {
    return QApplication::palette().color(QPalette::WindowText);
}

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

// "Sizes to its text": the label's width follows its text. A left-aligned
// label keeps its left edge, a right-aligned one its right edge, so the date
// grows towards the middle of the window and not out of it.
void SizeToText(QLabel* label) {
    const int width = QFontMetrics(label->font()).horizontalAdvance(label->text()) + 1;
    QRect geometry = label->geometry();
    if (label->alignment() & Qt::AlignRight) {
        geometry.setLeft(geometry.right() + 1 - width);
    } else {
        geometry.setWidth(width);
    }
    label->setGeometry(geometry);
}

void SetTextIfChanged(QLabel* label, const QString& text, bool sizeToText = false) {
    if (label->text() == text) return;
    label->setText(text);
    if (sizeToText) SizeToText(label);
}

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

const char* WindowStateName(engine::WindowState state) {
    switch (state) {
        case engine::WindowState::Normal:
            return "normal";
        case engine::WindowState::Minimized:
            return "minimized";
        case engine::WindowState::Maximized:
            return "maximized";
    }
    return "normal";
}

std::size_t TimerIndex(FormTimer timer) {
    return static_cast<std::size_t>(timer);
}

Millis TimerInterval(FormTimer timer) {
    switch (timer) {
        case FormTimer::Timer2:
            return Millis{10};  // progress
        case FormTimer::Timer3:
            return Millis{100};  // song-caption scroll
        case FormTimer::Timer4:
            return Millis{60000};  // idle notice
        case FormTimer::Timer5:
            return Millis{10};  // song count
        case FormTimer::Timer7:
            return Millis{20000};  // one-shot check after play
    }
    return Millis{1000};
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
// keeping a character outside the Basic Multilingual Plane whole.
QString RotateLeft(const QString& text) {
    if (text.isEmpty()) return text;
    const qsizetype first =
        (text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate()) ? 2 : 1;
    return text.mid(first) + text.left(first);
}

ClickableLabel* MakeLabel(QWidget* parent, const char* name, const QRect& geometry,
                          const QString& text, const QFont& font, Qt::Alignment alignment,
                          const char* toolTip = nullptr) {
    auto* label = new ClickableLabel(text, parent);
    // A caption is the characters it holds: a handle or file name that looks
    // like markup must not be drawn as rich text.
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    if (toolTip) label->setToolTip(toolTip);
    SetTextColor(label, ButtonShadowColor());
    return label;
}

}  // namespace

QStringList Form1::HelpLines() {
    return {
        "\t     main ruze",
        kStars,
        "h * - will set handle",
        "tr * - will set trigger",
        "pr * - will enter private room",
        "com * - will enter a .com site",
        "org * - will enter a .org site",
        "net * - will enter a .net site",
        "con * - will contact zerin",
        "dis - will disable ruze",
        "en - will enable ruze",
        "minv - will show just the ruze",
        "fulv - will show main screen",
        "min - will minimze prog",
        "res - will restore prog",
        "e - will exit program",
        kStars,
        "\t     idler ruze",
        kStars,
        "i * - will set you idle",
        "cr * - will cahnge idle reason",
        "io - will turn idler off",
        kStars,
        "\t     mp3  ruze",
        kStars,
        "d * - will set mp3 directory ",
        "p * - will play a song",
        "b * - will set balance",
        "v * - will set volume",
        "r - will play a random song",
        "stp - will stop beat",
        "re - will repeat current song",
        "pa - will pause song",
        "up - will unpause song",
        "mu - will must song",
        "um - will unmute song",
        "mp3 - will show mp3s",
        "3pm - will hide mp3s",
        kStars,
        "                font\\ascii ruze",
        kStars,
        "ft * - will set font type",
        "fc * - will set font color",
        "ma * - will set middle ascii",
        "la * - will set left ascii",
        "ac * - will set ascii color",
        "dfa - will set default font\\ascii",
        kStars,
        "                im ruze",
        kStars,
        "sim (sn) (message) - will aend im",
        "imon - will turn ims on",
        "imof - will turn ims off",
    };
}

Form1::Form1(platform::Services& services, engine::MediaPlayer& player, Form1Options options)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      services_(services),
      options_(std::move(options)),
      mediaPlayer1_(player, options_.trace),
      NiteScan1(services),
      NiteScan2(services),
      NiteScan5(services),
      engine_(services, *this, state_),
      separators_(SeparatorsOf(QLocale())) {
    setObjectName("Form1");
    setWindowTitle(Q(kAppTitle));
    setFixedSize(Twips(widthTwips_), Twips(heightTwips_));

    BuildLeftPanel();
    BuildMp3Panel();
    WireClicks();

    NiteScan1.SetChatLineHandler([this](const std::string& screenName, const std::string& text) {
        if (unloaded_) return;
        engine_.HandleCommandLine(screenName, text);
        RefreshStateLabels();
    });
    NiteScan2.SetChatLineHandler([this](const std::string& screenName, const std::string& text) {
        if (unloaded_) return;
        engine_.HandleReenableLine(screenName, text);
        RefreshStateLabels();
    });
    NiteScan5.SetChatLineHandler([this](const std::string& screenName, const std::string& text) {
        if (unloaded_) return;
        engine_.HandleIdleLine(screenName, text);
        RefreshStateLabels();
    });
}

Form1::~Form1() {
    // The runtime outlives the window: no tick may reach it afterwards.
    if (timer1_ != 0) services_.runtime.StopTimer(timer1_);
    for (platform::TimerId id : timers_) {
        if (id != 0) services_.runtime.StopTimer(id);
    }
}

void Form1::BuildLeftPanel() {
    const QFont tahoma = fonts::Tahoma(8.25);

    Picture1 = new PictureSurface(this);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(TwipRect(0, 0, kPictureWidthTwips, kStripHeightTwips));
    Picture1->SetLineColor(WindowTextColor());
    Picture1->AddLine({"Line3", {0, 1920}, {4200, 1920}});
    Picture1->AddLine({"Line1", {4200, 1920}, {3600, 1920}});
    Picture1->AddLine({"Line4", {0, 2160}, {4200, 2160}});
    Picture1->AddLine({"Line2", {4200, 2160}, {4200, -120}});
    Picture1->AddLine({"Line5", {4200, 2160}, {7320, 2160}});

    Label14 = MakeLabel(Picture1, "Label14", TwipRect(0, 0, 4215, 495), Q(kAppTitle),
                        fonts::Porkys(20.25, true), Qt::AlignHCenter, "name of progs");
    SetTextColor(Label14, WindowTextColor());

    List6 = new QListWidget(Picture1);
    List6->setObjectName("List6");
    List6->setGeometry(TwipRect(720, 480, 2775, 1200));
    List6->setFont(tahoma);
    List6->setToolTip("list of c-ruze");
    List6->addItems(HelpLines());
    UseListBoxLook(List6);

    Label3 =
        MakeLabel(Picture1, "Label3", TwipRect(120, 1680, 300, 195), "time", tahoma, Qt::AlignLeft);
    Label5 = MakeLabel(Picture1, "Label5", TwipRect(3765, 1680, 330, 195), "date", tahoma,
                       Qt::AlignRight);
    Label1 = MakeLabel(Picture1, "Label1", TwipRect(120, 1920, 2070, 195),
                       "moonrake ruze \u00B2 \u203A log'd in  -  (", tahoma, Qt::AlignLeft,
                       "name of c-ruze.(use this label to move the form around the screen)");
    SizeToText(Label1);
    Label4 = MakeLabel(Picture1, "Label4", TwipRect(2160, 1920, 855, 255), Q(state_.handle), tahoma,
                       Qt::AlignHCenter, "the handle you are loged in under");
    shownHandle_ = state_.handle;
    Label8 = MakeLabel(Picture1, "Label8", TwipRect(3000, 1920, 375, 255), ") \u203A", tahoma,
                       Qt::AlignLeft);
    Label6 = MakeLabel(Picture1, "Label6", TwipRect(3240, 1920, 495, 255), "trig - (", tahoma,
                       Qt::AlignHCenter);
    Label2 =
        MakeLabel(Picture1, "Label2", TwipRect(3720, 1920, 375, 255), "", tahoma, Qt::AlignHCenter);
    Label9 =
        MakeLabel(Picture1, "Label9", TwipRect(4080, 1920, 135, 255), ")", tahoma, Qt::AlignLeft);

    // Below the window's height: never seen, but they are the view labels
    // and Label7 mirrors ruzeSwitch.
    Label11 = MakeLabel(this, "Label11", TwipRect(0, 2400, 180, 195), "39", fonts::DialogFont(),
                        Qt::AlignLeft);
    SizeToText(Label11);
    Label7 = MakeLabel(this, "Label7", TwipRect(0, 3120, 975, 375), Q(state_.ruzeSwitch),
                       fonts::DialogFont(), Qt::AlignLeft);
    shownRuzeSwitch_ = state_.ruzeSwitch;

    drag_ = new DragToMove(
        Label1, options_.cursorPos, [this](std::int32_t top) { SetTopTwips(top); },
        [this](std::int32_t left) { SetLeftTwips(left); });
}

void Form1::BuildMp3Panel() {
    const QFont webdings = fonts::Webdings(8.25);
    const QFont palatino = fonts::PalatinoLinotype(8.25);
    const QFont smallFonts = fonts::SmallFonts(6);
    const auto glyph = [&](const char* name, const QRect& geometry, const char* webdingsText,
                           const char* toolTip) {
        return MakeLabel(Picture1, name, geometry, fonts::WebdingsText(webdingsText), webdings,
                         Qt::AlignHCenter, toolTip);
    };

    Label19 = glyph("Label19", TwipRect(4320, 1560, 135, 255), "4", "play");
    Label20 = glyph("Label20", TwipRect(4560, 1560, 135, 255), "=", "stop");
    Label26 = glyph("Label26", TwipRect(4800, 1560, 135, 255), ";", "pause\\unpause");
    Label10 = glyph("Label10", TwipRect(4800, 1560, 165, 255), "q", nullptr);
    Label28 = glyph("Label28", TwipRect(5040, 1560, 165, 255), "7", "back a song");
    Label27 = glyph("Label27", TwipRect(5280, 1560, 165, 255), "8", "next song");
    Label25 = glyph("Label25", TwipRect(5040, 1320, 135, 135), "", nullptr);

    Label15 = MakeLabel(Picture1, "Label15", TwipRect(5640, 1560, 390, 240), "mp3s", palatino,
                        Qt::AlignLeft, "number of mp3s");
    Label23 = MakeLabel(Picture1, "Label23", TwipRect(6600, 1560, 255, 240), "vol", palatino,
                        Qt::AlignLeft, "volume");
    Label24 = MakeLabel(Picture1, "Label24", TwipRect(6960, 1560, 210, 240), "bal", palatino,
                        Qt::AlignLeft, "balance");

    DogBar1 = new DogBar(Picture1);
    DogBar1->setObjectName("DogBar1");
    DogBar1->setGeometry(TwipRect(4320, 1800, 2895, 135));
    DogBar1->setToolTip("song position how much time left");
    DogBar1->SetBarstyle(0);
    DogBar1->SetBarcolor1(QColor(0xFF, 0xFF, 0xFF));
    DogBar1->SetBackcolor(QColor(0x80, 0x80, 0x80));

    Label21 = MakeLabel(Picture1, "Label21", TwipRect(4320, 1920, 2865, 240), "nothing", smallFonts,
                        Qt::AlignLeft, "song that is playing");

    // The file list sits on the window itself, in front of the surface.
    File1Widget = new QListWidget(this);
    File1Widget->setObjectName("File1");
    File1Widget->setGeometry(TwipRect(4320, 120, 2895, 1380));
    File1Widget->setFont(smallFonts);
    File1Widget->setToolTip("list of mp3s");
    UseListBoxLook(File1Widget);
    file1_ = std::make_unique<FileListView>(services_.runtime, File1Widget);
    File1Widget->raise();
}

void Form1::WireClicks() {
    const auto on = [this](ClickableLabel* label, const char* where, std::function<void()> body) {
        label->SetOnClick([this, where, body = std::move(body)] { Guarded(where, body); });
    };
    // The view labels: which scanners each view leaves listening.
    on(Label7, "Label7", [this] { SelectView("main c-ruze", true, false, false); });
    on(Label9, "Label9", [this] { SelectView("mp3 c-ruze", false, true, false); });
    on(Label11, "Label11", [this] { SelectView("other c-ruze", false, false, true); });
    on(Label8, "Label8", [this] { mediaPlayer1_.Stop(); });

    on(Label19, "Label19", [this] { PlaySelected(); });
    on(Label20, "Label20", [this] { StopSong(); });
    on(Label26, "Label26", [this] { PauseSong(); });
    on(Label10, "Label10", [this] { ResumeSong(); });
    on(Label25, "Label25", [this] { mediaPlayer1_.TogglePause(); });
    on(Label27, "Label27", [this] { mediaPlayer1_.NextEntry(); });
    on(Label28, "Label28", [this] { BackASong(); });
    on(Label23, "Label23", [this] { AskLevel("set volume", true); });
    on(Label24, "Label24", [this] { AskLevel("set balance", false); });
}

// --- start-up and shut-down ------------------------------------------------

void Form1::Load() {
    if (loaded_) return;
    loaded_ = true;

    Label10->hide();
    Picture1->PaintGradientOn();
    Picture1->update();
    heightTwips_ = kStripHeightTwips;
    setFixedSize(Twips(widthTwips_), Twips(heightTwips_));
    SetForm1Width(engine::kNarrowWidth);
    file1_->SetVisible(false);

    state_.handle = services_.runtime.Prompt("enter your handle", kAppTitle, "");
    RefreshStateLabels();
    if (services_.runtime.QuitRequested()) return;

    modAol7SendChat::SendChatLine(services_.windows, engine::BuildLoginLine(state_));

    timer1_ = services_.runtime.StartTimer(Millis{10},
                                           [this] { Guarded("Timer1", [this] { ClockTick(); }); });
    ScanON(Scanner::NiteScan5);
    ScanON(Scanner::NiteScan1);
    ScanOFF(Scanner::NiteScan2);

    ShowCentred();
}

void Form1::ShowCentred() {
    if (const QScreen* screen =
            this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QPoint corner = area.center() - QPoint(width() / 2, height() / 2);
        position_.left = PixelsToTwips(corner.x());
        position_.top = PixelsToTwips(corner.y());
        move(corner);
    }
    ShowForm1();
    KeepOnTop(this);
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
    if (form5_) form5_->close();
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    // However the window is closed, the unload step runs once and the
    // program ends with it.
    Unload();
    services_.runtime.RequestQuit();
    if (form5_) form5_->hide();
    event->accept();
}

// --- windows ---------------------------------------------------------------------

void Form1::ShowForm1() {
    Trace("Form1.Show");
    // A state set while hidden takes effect now.
    switch (windowState_) {
        case engine::WindowState::Minimized:
            showMinimized();
            break;
        case engine::WindowState::Maximized:
            showMaximized();
            break;
        case engine::WindowState::Normal:
            show();
            break;
    }
}

void Form1::HideForm1() {
    Trace("Form1.Hide");
    hide();
}

void Form1::SetForm1WindowState(engine::WindowState state) {
    Trace(std::string("Form1.WindowState ") + WindowStateName(state));
    windowState_ = state;
    Qt::WindowStates qtState = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == engine::WindowState::Minimized) qtState |= Qt::WindowMinimized;
    if (state == engine::WindowState::Maximized) qtState |= Qt::WindowMaximized;
    // On a hidden window Qt keeps the state for the next show and shows
    // nothing now.
    setWindowState(qtState);
}

void Form1::SetForm1Width(int twips) {
    Trace("Form1.Width " + std::to_string(twips));
    widthTwips_ = twips;
    setFixedSize(std::max(1, Twips(widthTwips_)), std::max(1, Twips(heightTwips_)));
}

void Form1::EnsureForm5() {
    if (form5_) return;
    form5_ = std::make_unique<Form5>(Form5Options{options_.cursorPos});
    form5_->Load();
}

void Form1::ShowForm5() {
    EnsureForm5();
    Trace("Form5.Show");
    form5_->show();
    // A box of ours may be open (a command can run while it waits).
    RaiseOwnedWindows(this);
}

void Form1::HideForm5() {
    EnsureForm5();
    Trace("Form5.Hide");
    form5_->hide();
}

void Form1::SetLeftTwips(std::int32_t twips) {
    position_.left = twips;
    move(Twips(position_.left), Twips(position_.top));
}

void Form1::SetTopTwips(std::int32_t twips) {
    position_.top = twips;
    move(Twips(position_.left), Twips(position_.top));
}

void Form1::moveEvent(QMoveEvent* event) {
    position_.Follow(event->pos().x(), event->pos().y());
    QWidget::moveEvent(event);
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

void Form1::SetTimerEnabled(FormTimer timer, bool enabled) {
    platform::TimerId& id = timers_[TimerIndex(timer)];
    if (enabled) {
        // Enabling a running timer leaves its interval running.
        if (id != 0) return;
        id =
            services_.runtime.StartTimer(TimerInterval(timer), [this, timer] { TimerTick(timer); });
    } else if (id != 0) {
        services_.runtime.StopTimer(id);
        id = 0;
    }
}

bool Form1::TimerEnabled(FormTimer timer) const {
    return timers_[TimerIndex(timer)] != 0;
}

void Form1::TimerTick(FormTimer timer) {
    if (unloaded_) return;
    switch (timer) {
        case FormTimer::Timer2:
            Guarded("Timer2", [this] { ProgressTick(); });
            break;
        case FormTimer::Timer3:
            Guarded("Timer3", [this] { ScrollTick(); });
            break;
        case FormTimer::Timer4:
            engine_.HandleIdleTick();
            RefreshStateLabels();
            break;
        case FormTimer::Timer5:
            Guarded("Timer5", [this] { StatusTick(); });
            break;
        case FormTimer::Timer7:
            Guarded("Timer7", [this] { CheckTick(); });
            break;
    }
}

void Form1::Guarded(const char* where, const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "moonrake: %s: %s\n", where, error.what());
    } catch (...) {
        std::fprintf(stderr, "moonrake: %s: unknown exception\n", where);
    }
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
        SetTextIfChanged(Label3, FormatClockTime(now, separators_), true);
        SetTextIfChanged(Label5, FormatClockDate(now, separators_), true);
    }

    // A trigger of exactly one blank would make every command need a
    // leading blank that no command word can carry: clear it.
    if (state_.trigger == " ") state_.trigger.clear();
    if (state_.trigger != shownTrigger_) {
        shownTrigger_ = state_.trigger;
        Label2->setText(Q(shownTrigger_));
    }
    RefreshStateLabels();
    KeepOnTop(this);
}

void Form1::RefreshStateLabels() {
    if (state_.handle != shownHandle_) {
        shownHandle_ = state_.handle;
        Label4->setText(Q(shownHandle_));
    }
    if (state_.ruzeSwitch != shownRuzeSwitch_) {
        shownRuzeSwitch_ = state_.ruzeSwitch;
        Label7->setText(Q(shownRuzeSwitch_));
    }
}

// --- views ---------------------------------------------------------------------------

void Form1::SelectView(const QString& viewName, bool nite1On, bool nite2On, bool nite5On) {
    nite1On ? ScanON(Scanner::NiteScan1) : ScanOFF(Scanner::NiteScan1);
    nite2On ? ScanON(Scanner::NiteScan2) : ScanOFF(Scanner::NiteScan2);
    nite5On ? ScanON(Scanner::NiteScan5) : ScanOFF(Scanner::NiteScan5);
    Label6->setVisible(true);
    if (Label6->text() == viewName) {
        MessageBox("already viewing " + viewName.toStdString());
        return;
    }
    Label6->setText(viewName);
    Label14->hide();
}

// --- the mp3 panel ----------------------------------------------------------------

std::string Form1::SongPath(const std::string& name) const {
    std::string path = file1_->Path();
    path += kPathSeparator;
    path += name;
    return path;
}

void Form1::SetSongCaption(const std::string& text) {
    Label21->setText(Q(text));
}

void Form1::PlaySelected() {
    const std::string name = file1_->FileName();
    mediaPlayer1_.OpenAndPlay(SongPath(name));
    SetSongCaption(name);
    SetTimerEnabled(FormTimer::Timer3, true);
    SetTimerEnabled(FormTimer::Timer2, true);
    SetTimerEnabled(FormTimer::Timer7, true);
}

void Form1::StopSong() {
    SetTimerEnabled(FormTimer::Timer2, false);
    DogBar1->SetBarvalue(0);
    mediaPlayer1_.Stop();
    SetTimerEnabled(FormTimer::Timer3, false);
    SetSongCaption("nothing");
}

void Form1::PauseSong() {
    mediaPlayer1_.TogglePause();
    Label26->hide();
    Label10->show();
}

void Form1::ResumeSong() {
    mediaPlayer1_.TogglePause();
    Label26->show();
    Label10->hide();
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
    mediaPlayer1_.OpenAndPlay(SongPath(file1_->Item(previous)));
}

void Form1::AskLevel(const std::string& prompt, bool volume) {
    const std::string answer = services_.runtime.Prompt(prompt, kAppTitle, "");
    // A cancelled or empty dialog, or an answer that is no number or leaves
    // 32 bits, puts nothing.
    const std::optional<std::int32_t> level = engine::LevelFromUserNumber(answer);
    if (!level) return;
    if (volume) {
        mediaPlayer1_.SetVolume(*level);
    } else {
        mediaPlayer1_.SetBalance(*level);
    }
}

void Form1::ProgressTick() {
    DogBar1->SetBarmax(RoundInto<std::int32_t>(mediaPlayer1_.Length()));
    // A position past 16 bits (a song over nine hours) holds the bar full
    // rather than wrapping to a negative fill.
    DogBar1->SetBarvalue(RoundInto<std::int16_t>(mediaPlayer1_.Position()));
}

void Form1::ScrollTick() {
    Label21->setText(RotateLeft(Label21->text()));
}

void Form1::StatusTick() {
    SetTextIfChanged(Label15, "mp3s - " + QString::number(file1_->Count()), true);
}

void Form1::CheckTick() {
    // By now a file that plays has told the progress timer its length. One
    // that has none played nothing, so the caption stops naming it; a song
    // that plays keeps its name.
    if (DogBar1->Barmax() == 0) SetSongCaption("nothing");
    SetTimerEnabled(FormTimer::Timer7, false);
}

// --- lookups --------------------------------------------------------------------

QWidget* Form1::Control(const QString& objectName) const {
    if (objectName.isEmpty()) return nullptr;
    if (objectName == QLatin1String("Form1")) return const_cast<Form1*>(this);
    return findChild<QWidget*>(objectName);
}

bool Form1::ClickControl(const QString& objectName) {
    auto* label = dynamic_cast<ClickableLabel*>(Control(objectName));
    if (!label || !label->Clickable()) return false;
    label->Click();
    return true;
}

void Form1::MessageBox(const std::string& text) {
    services_.runtime.MessageBox(text, kAppTitle);
}

}  // namespace ui
