// The main window and the mini screen as the program's own code, without a
// toolkit: driven by the test runtime's virtual clock and the simulated chat
// client, drawn by a front end that only records what it was told.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "clientsim/SimChatClient.h"
#include "engine/Host.h"
#include "forms/Clock.h"
#include "forms/Form1.h"
#include "forms/Form5.h"
#include "forms/Gradient.h"
#include "forms/HelpLines.h"
#include "forms/Timers.h"
#include "platform/AnsiText.h"
#include "platform/sim/SimWindowSystem.h"
#include "tests/support/FakeFrontEnd.h"
#include "tests/support/RecordingPlayer.h"
#include "tests/support/TestRuntime.h"

using namespace std::chrono_literals;
using engine::FormTimer;
using forms::MouseButton;
using forms::Release;
using platform::Millis;
using Wakeup = forms::Timers::Wakeup;
using Lines = std::vector<std::string>;

namespace {

const std::string kTitle = "moonrake ruze \u00B2";

using testsupport::RecordingPlayer;

// The window system as the program sees it, noting each text put into a
// window, so a test can tell when a line was typed relative to other calls.
class NotingWindows final : public platform::WindowApi {
  public:
    NotingWindows(platform::WindowApi& inner, Lines& log) : inner_(inner), log_(log) {}
    platform::Hwnd FindWindowA(std::string_view c, std::optional<std::string_view> t) override {
        return inner_.FindWindowA(c, t);
    }
    platform::Hwnd FindWindowExA(platform::Hwnd p, platform::Hwnd a, std::string_view c,
                                 std::optional<std::string_view> t) override {
        return inner_.FindWindowExA(p, a, c, t);
    }
    platform::LResult SendMessageA(platform::Hwnd w, unsigned m, platform::WParam wp,
                                   platform::LParam lp) override {
        if (m == platform::WM_SETTEXT && w != 0) {
            log_.push_back("text " + platform::FromAnsi(reinterpret_cast<const char*>(lp)));
        }
        return inner_.SendMessageA(w, m, wp, lp);
    }
    bool PostMessageA(platform::Hwnd w, unsigned m, platform::WParam wp,
                      platform::LParam lp) override {
        return inner_.PostMessageA(w, m, wp, lp);
    }
    int GetWindowTextLengthA(platform::Hwnd w) override { return inner_.GetWindowTextLengthA(w); }
    int GetWindowTextA(platform::Hwnd w, char* b, int n) override {
        return inner_.GetWindowTextA(w, b, n);
    }
    std::uint64_t AddChangeListener(std::function<void()> f) override {
        return inner_.AddChangeListener(std::move(f));
    }
    void RemoveChangeListener(std::uint64_t id) override { inner_.RemoveChangeListener(id); }

  private:
    platform::WindowApi& inner_;
    Lines& log_;
};

// One run of the program: the runtime, the simulated client signed on in a
// room, and the main window built on them.
struct World {
    explicit World(Millis startOfDay = Millis{12h}) : runtime(startOfDay) { client.SignOn(); }

    // Builds Form1 and runs its load step with `handle` typed at the prompt.
    forms::Form1& Start(const std::string& handle = "bob") {
        runtime.promptAnswers = {handle};
        form = std::make_unique<forms::Form1>(
            services, player, frontEnd,
            forms::Form1Options{[this](const std::string& line) { log.push_back(line); }});
        form->Load();
        runtime.RunUntilIdle();
        return *form;
    }

    Lines Trace() const {
        Lines trace;
        for (const std::string& line : log) {
            if (line.rfind("text ", 0) != 0) trace.push_back(line);
        }
        return trace;
    }
    Lines RoomTexts() const {
        Lines texts;
        for (const auto& line : client.Transcript()) texts.push_back(line.text);
        return texts;
    }
    std::string Caption(const std::string& control) const { return form->CaptionOf(control); }
    const forms::Control& Control(const std::string& name) const {
        const forms::Control* control = form->Find(name);
        EXPECT_NE(control, nullptr) << name;
        static const forms::Control none;
        return control ? *control : none;
    }
    bool Shown(const std::string& name) const { return Control(name).visible; }

    testsupport::TestRuntime runtime;
    platform::sim::SimWindowSystem sim{runtime};
    clientsim::SimChatClient client{sim, runtime};
    Lines log;  // trace lines and "text ..." window texts, in order
    NotingWindows windows{sim, log};
    platform::Services services{windows, runtime, runtime.random()};
    RecordingPlayer player;
    testsupport::FakeFrontEnd frontEnd;
    std::unique_ptr<forms::Form1> form;
};

std::string LoginLine(const std::string& handle, const char* word = " login ") {
    return "< font . face=tahoma>< font . color=#000000>\u00BB\u00B8 < font . color=#AAAAAA>"
           "moonrake ruze< font . color=#000000>\u00B2 \u203A < font . color=#AAAAAA>artist"
           "< font . color=#000000> (< font . color=#AAAAAA>zerin< font . color=#000000>) "
           "\u203A< font . color=#AAAAAA>" +
           std::string(word) + "< font . color=#000000>(< font . color=#AAAAAA>" + handle +
           "< font . color=#000000>)";
}

// The test runtime, counting the runtime timers that run and the turns of
// the loop on which any of them ticked.
class CountingRuntime final : public platform::Runtime {
  public:
    testsupport::TestRuntime inner;
    int running = 0;
    int wakeUps = 0;

    Millis Monotonic() override { return inner.Monotonic(); }
    std::tm LocalTime() override { return inner.LocalTime(); }
    double SecondsSinceMidnight() override { return inner.SecondsSinceMidnight(); }
    void Post(platform::Task task) override { inner.Post(std::move(task)); }
    void PostDelayed(Millis delay, platform::Task task) override {
        inner.PostDelayed(delay, std::move(task));
    }
    platform::TimerId StartTimer(Millis interval, platform::Task tick) override {
        ++running;
        return inner.StartTimer(interval, [this, tick = std::move(tick)] {
            const Millis now = inner.Monotonic();
            if (now != lastWakeUp_) {
                ++wakeUps;
                lastWakeUp_ = now;
            }
            tick();
        });
    }
    void StopTimer(platform::TimerId id) override {
        --running;
        inner.StopTimer(id);
    }
    void DoEvents() override { inner.DoEvents(); }
    void WaitForEvents(Millis maxWait) override { inner.WaitForEvents(maxWait); }
    void RequestQuit() override { inner.RequestQuit(); }
    bool QuitRequested() const override { return inner.QuitRequested(); }
    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& answer) override {
        return inner.Prompt(text, title, answer);
    }
    void MessageBox(const std::string& text, const std::string& title) override {
        inner.MessageBox(text, title);
    }

  private:
    Millis lastWakeUp_{-1};
};

// A folder of empty files that goes with the test.
struct Folder {
    explicit Folder(const std::vector<std::string>& names) {
        path = std::filesystem::temp_directory_path() /
               ("forms-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + std::to_string(counter++));
        std::filesystem::create_directories(path);
        for (const std::string& name : names) std::ofstream(path / name).put('x');
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string Path() const { return path.string(); }
    std::filesystem::path path;
    static inline int counter = 0;
};

// --- layout ---------------------------------------------------------------------

struct Place {
    const char* control;
    const char* container;
    int left, top, width, height;  // twips
};

class Layout : public ::testing::TestWithParam<Place> {};

TEST_P(Layout, ControlsStandWhereTheLayoutPutsThem) {
    const Place& place = GetParam();
    World world;
    world.Start();
    const forms::Control& control = world.Control(place.control);
    EXPECT_EQ(control.container, place.container);
    EXPECT_EQ(control.left, place.left);
    EXPECT_EQ(control.top, place.top);
    EXPECT_EQ(control.width, place.width);
    EXPECT_EQ(control.height, place.height);
}

INSTANTIATE_TEST_SUITE_P(Form1, Layout,
                         ::testing::Values(Place{"Picture1", "", 0, 0, 7335, 2175},
                                           Place{"Label14", "Picture1", 0, 0, 4215, 495},
                                           Place{"List6", "Picture1", 720, 480, 2775, 1200},
                                           Place{"Label4", "Picture1", 2160, 1920, 855, 255},
                                           Place{"Label8", "Picture1", 3000, 1920, 375, 255},
                                           Place{"Label6", "Picture1", 3240, 1920, 495, 255},
                                           Place{"Label2", "Picture1", 3720, 1920, 375, 255},
                                           Place{"Label9", "Picture1", 4080, 1920, 135, 255},
                                           Place{"Label7", "", 0, 3120, 975, 375},
                                           Place{"File1", "", 4320, 120, 2895, 1380},
                                           Place{"Label19", "Picture1", 4320, 1560, 135, 255},
                                           Place{"Label20", "Picture1", 4560, 1560, 135, 255},
                                           Place{"Label26", "Picture1", 4800, 1560, 135, 255},
                                           Place{"Label10", "Picture1", 4800, 1560, 165, 255},
                                           Place{"Label28", "Picture1", 5040, 1560, 165, 255},
                                           Place{"Label27", "Picture1", 5280, 1560, 165, 255},
                                           Place{"Label25", "Picture1", 5040, 1320, 135, 135},
                                           Place{"Label23", "Picture1", 6600, 1560, 255, 240},
                                           Place{"Label24", "Picture1", 6960, 1560, 210, 240},
                                           Place{"DogBar1", "Picture1", 4320, 1800, 2895, 135},
                                           Place{"Label21", "Picture1", 4320, 1920, 2865, 240}));

TEST(Form1Window, IsCutDownAtLoadCentredAndOnTop) {
    World world;
    forms::Form1& form = world.Start();
    EXPECT_EQ(form.WidthTwips(), 4230);
    EXPECT_EQ(form.HeightTwips(), 2175);
    EXPECT_EQ(form.Caption(), kTitle);
    EXPECT_TRUE(form.Visible());
    // Centred in the work area as a rectangle of whole pixels: its middle
    // pixel (639, 511) less half the window.
    EXPECT_EQ(form.LeftTwips(), 498 * 15);
    EXPECT_EQ(form.TopTwips(), 439 * 15);
    EXPECT_EQ(world.frontEnd.lastTopmost, "Form1");
    // The line under the strip and the divider.
    const auto& lines = world.Control("Picture1").lines;
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3].name, "Line2");
    EXPECT_EQ(lines[3].y2, -120);
}

TEST(Form1Window, LabelsThatSizeToTheirTextKeepTheirEdge) {
    World world;
    forms::Form1& form = world.Start();
    world.frontEnd.pixelsPerCharacter = 10;
    world.runtime.Advance(10ms);  // the clock's first texts
    // Left-aligned labels grow from their left edge, the date from its right.
    const forms::Control& time = world.Control("Label3");
    EXPECT_EQ(time.caption, "12:00:00 pm");
    EXPECT_EQ(time.left, 120);
    EXPECT_EQ(time.width, (11 * 10 + 1) * 15);
    const forms::Control& date = world.Control("Label5");
    EXPECT_EQ(date.caption, "01/15/03");
    EXPECT_EQ(date.left + date.width, 3765 + 330);
    EXPECT_EQ(date.width, (8 * 10 + 1) * 15);
    // Sized at creation: the strip's title and the other view label.
    EXPECT_EQ(world.Control("Label1").width, (32 * 6 + 1) * 15);  // 32 characters
    EXPECT_EQ(world.Control("Label11").width, (2 * 6 + 1) * 15);
    // The view labels other than Label9 lie below the window.
    EXPECT_GE(world.Control("Label7").top, form.HeightTwips());
    EXPECT_GE(world.Control("Label11").top, form.HeightTwips());
}

struct Text {
    const char* control;
    const char* caption;
    const char* toolTip;
};

class Texts : public ::testing::TestWithParam<Text> {};

TEST_P(Texts, CaptionsAndToolTips) {
    World world;
    world.Start();
    const forms::Control& control = world.Control(GetParam().control);
    EXPECT_EQ(control.caption, GetParam().caption);
    EXPECT_EQ(control.toolTip, GetParam().toolTip);
}

INSTANTIATE_TEST_SUITE_P(
    Form1, Texts,
    ::testing::Values(Text{"Label14", "moonrake ruze \u00B2", "name of progs"},
                      Text{"Label1", "moonrake ruze \u00B2 \u203A log'd in  -  (",
                           "name of c-ruze.(use this label to move the form around the screen)"},
                      Text{"Label4", "bob", "the handle you are loged in under"},
                      Text{"Label8", ") \u203A", ""}, Text{"Label6", "trig - (", ""},
                      Text{"Label2", "", ""}, Text{"Label9", ")", ""}, Text{"Label3", "time", ""},
                      Text{"Label5", "date", ""}, Text{"Label11", "39", ""}, Text{"Label7", "", ""},
                      Text{"Label19", "4", "play"}, Text{"Label20", "=", "stop"},
                      Text{"Label26", ";", "pause\\unpause"}, Text{"Label10", "q", ""},
                      Text{"Label28", "7", "back a song"}, Text{"Label27", "8", "next song"},
                      Text{"Label25", "", ""}, Text{"Label15", "mp3s", "number of mp3s"},
                      Text{"Label23", "vol", "volume"}, Text{"Label24", "bal", "balance"},
                      Text{"Label21", "nothing", "song that is playing"},
                      Text{"List6", "", "list of c-ruze"}, Text{"File1", "", "list of mp3s"},
                      Text{"DogBar1", "", "song position how much time left"}));

TEST(Form1Window, FontsAndColoursByFaceName) {
    World world;
    world.Start();
    EXPECT_EQ(world.Control("Label14").font, (forms::Font{"Porky's", 20.25, true}));
    EXPECT_EQ(world.Control("Label14").foreColor,
              forms::Color::System(forms::SystemColor::WindowText));
    EXPECT_EQ(world.Control("Label4").font, (forms::Font{"Tahoma", 8.25, false}));
    EXPECT_EQ(world.Control("Label4").foreColor,
              forms::Color::System(forms::SystemColor::ButtonShadow));
    EXPECT_EQ(world.Control("Label19").font.face, "Webdings");
    EXPECT_EQ(world.Control("Label15").font.face, "Palatino Linotype");
    EXPECT_EQ(world.Control("Label21").font, (forms::Font{"Small Fonts", 6, false}));
    EXPECT_EQ(world.Control("Label7").font.face, "");  // the platform's dialog font
    const forms::ProgressBar& bar = world.Control("DogBar1").bar;
    EXPECT_EQ(bar.barstyle, 0);
    EXPECT_EQ(bar.barcolor1, 0xFFFFFFu);
    EXPECT_EQ(bar.backcolor, 0x808080u);
}

TEST(HelpLists, HoldTheirLinesInOrder) {
    World world;
    forms::Form1& form = world.Start();
    const std::string stars(42, '*');
    const Lines& list6 = world.Control("List6").items;
    ASSERT_EQ(list6.size(), 53u);
    EXPECT_EQ(list6[0], "\t     main ruze");
    EXPECT_EQ(list6[1], stars);
    EXPECT_EQ(list6[23], "\t     mp3  ruze");
    EXPECT_EQ(list6[25], "d * - will set mp3 directory ");
    EXPECT_EQ(list6[39], "                font\\ascii ruze");
    EXPECT_EQ(list6[48], "                im ruze");
    EXPECT_EQ(list6[52], "imof - will turn ims off");
    EXPECT_EQ(std::count(list6.begin(), list6.end(), stars), 9);

    form.HideForm5();
    const forms::Control* list1 = form.MiniScreen()->Find("List1");
    ASSERT_NE(list1, nullptr);
    const Lines& lines = list1->items;
    ASSERT_EQ(lines.size(), 63u);
    EXPECT_EQ(lines[0], "\t     main ruze");
    EXPECT_EQ(lines[8], "-con * - will contact zerin");
    EXPECT_EQ(lines[33], "\t     mp3  ruze");
    EXPECT_EQ(lines[35], "d * - will set mp3 directory ");
    EXPECT_EQ(lines[52], "                font\\ascii ruze");
    EXPECT_EQ(lines[62], "-hfas - will hide font ascii stats");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), stars), 7);
    EXPECT_EQ(list1->container, "Picture1");
    EXPECT_EQ(list1->left, 120);
    EXPECT_EQ(list1->top, 120);
    EXPECT_EQ(list1->width, 2895);
    EXPECT_EQ(list1->height, 1200);
    EXPECT_EQ(form.MiniScreen()->WidthTwips(), 3135);
    EXPECT_EQ(form.MiniScreen()->HeightTwips(), 1455);
}

// --- gradient -------------------------------------------------------------------

class Gradient : public ::testing::TestWithParam<int> {};

TEST_P(Gradient, SixtyFourBandsTileTheSurface) {
    const int height = GetParam();
    const std::vector<forms::GradientBand> bands = forms::GradientBands(height);
    ASSERT_FALSE(bands.empty());
    EXPECT_EQ(bands.front().top, 0);
    EXPECT_EQ(bands.back().bottom, height);
    for (std::size_t i = 1; i < bands.size(); ++i) {
        EXPECT_EQ(bands[i].top, bands[i - 1].bottom);  // no gap, no overlap
        EXPECT_LT(bands[i].grey, bands[i - 1].grey);
    }
    // Lower than 64 rows some bands round to nothing.
    if (height >= 64) {
        EXPECT_EQ(bands.size(), 64u);
        EXPECT_EQ(bands.front().grey, 252);
        EXPECT_EQ(bands.back().grey, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Heights, Gradient, ::testing::Values(1, 32, 64, 97, 145, 200, 1000));

TEST(Gradient, PaintedOnBothWindowsByTheirLoad) {
    World world;
    forms::Form1& form = world.Start();
    EXPECT_TRUE(world.Control("Picture1").gradient);
    form.ShowForm5();
    EXPECT_TRUE(form.MiniScreen()->Find("Picture1")->gradient);
}

// --- drag-to-move ----------------------------------------------------------------

class Drag : public ::testing::TestWithParam<bool> {};

TEST_P(Drag, MovesTheWindowInTheirTwipsArithmetic) {
    const bool mini = GetParam();
    World world;
    forms::Form1& form = world.Start();
    if (mini) form.ShowForm5();
    forms::Form& window = mini ? static_cast<forms::Form&>(*form.MiniScreen()) : form;
    const std::string handle = mini ? "List1" : "Label1";

    window.MouseDown(handle, 30, 5);
    EXPECT_EQ(window.Dragging(), 1);
    world.frontEnd.cursor = {400, 300};
    window.MouseMove(handle);
    EXPECT_EQ(window.LeftTwips(), 400 * 15 - 30);  // 5970
    EXPECT_EQ(window.TopTwips(), 300 * 15 - 5);    // 4495

    world.frontEnd.cursor = {10, 20};
    window.MouseMove(handle);
    EXPECT_EQ(window.LeftTwips(), 150 - 30);
    EXPECT_EQ(window.TopTwips(), 300 - 5);
    window.MouseUp(handle, MouseButton::Left, Release::Over);
    EXPECT_EQ(window.Dragging(), 0);

    // The buttons are not looked at: a right-button press drags too.
    window.MouseDown(handle, 0, 0, MouseButton::Other);
    world.frontEnd.cursor = {1, 1};
    window.MouseMove(handle);
    EXPECT_EQ(window.LeftTwips(), 15);
    window.MouseUp(handle, MouseButton::Other, Release::Over);
}

TEST_P(Drag, AMoveWithoutAPressDoesNotMove) {
    const bool mini = GetParam();
    World world;
    forms::Form1& form = world.Start();
    if (mini) form.ShowForm5();
    forms::Form& window = mini ? static_cast<forms::Form&>(*form.MiniScreen()) : form;
    const std::string handle = mini ? "List1" : "Label1";
    const std::int32_t left = window.LeftTwips();
    const std::int32_t top = window.TopTwips();

    world.frontEnd.cursor = {400, 300};
    window.MouseMove(handle);
    EXPECT_EQ(window.LeftTwips(), left);
    // After a release the next move does not drag either.
    window.MouseDown(handle, 12, 6);
    window.MouseUp(handle, MouseButton::Left, Release::Over);
    window.MouseMove(handle);
    EXPECT_EQ(window.LeftTwips(), left);
    EXPECT_EQ(window.TopTwips(), top);
    // Nor does holding another control.
    if (!mini) {
        window.MouseDown("Label4", 1, 1);
        window.MouseMove("Label4");
        EXPECT_EQ(window.LeftTwips(), left);
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, Drag, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Form5" : "Form1"; });

// --- views ----------------------------------------------------------------------

struct View {
    const char* label;
    const char* view;
    Lines scanners;
};

class Views : public ::testing::TestWithParam<View> {};

TEST_P(Views, SwitchTheScannersAndSayWhenAlreadyShown) {
    const View& v = GetParam();
    World world;
    forms::Form1& form = world.Start();
    world.log.clear();
    ASSERT_TRUE(form.Click(v.label));
    EXPECT_EQ(world.Trace(), v.scanners);
    EXPECT_EQ(world.Caption("Label6"), v.view);
    EXPECT_FALSE(world.Shown("Label14"));
    EXPECT_TRUE(world.runtime.messageBoxes.empty());

    world.log.clear();
    ASSERT_TRUE(form.Click(v.label));
    EXPECT_EQ(world.Trace(), v.scanners);
    EXPECT_EQ(world.Caption("Label6"), v.view);
    EXPECT_EQ(world.runtime.messageBoxes, Lines{kTitle + "|already viewing " + v.view});
}

INSTANTIATE_TEST_SUITE_P(
    Labels, Views,
    ::testing::Values(View{"Label7",
                           "main c-ruze",
                           {"NiteScan1.ScanON", "NiteScan2.ScanOFF", "NiteScan5.ScanOFF"}},
                      View{"Label9",
                           "mp3 c-ruze",
                           {"NiteScan1.ScanOFF", "NiteScan2.ScanON", "NiteScan5.ScanOFF"}},
                      View{"Label11",
                           "other c-ruze",
                           {"NiteScan1.ScanOFF", "NiteScan2.ScanOFF", "NiteScan5.ScanON"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Clicks, ReachOnlyClickableControls) {
    World world;
    forms::Form1& form = world.Start();
    world.log.clear();
    EXPECT_TRUE(form.Click("Label4"));  // a label, but no button
    EXPECT_TRUE(form.Click("List6"));
    EXPECT_FALSE(form.Click("NoSuchLabel"));
    EXPECT_TRUE(world.Trace().empty());
    // A release away from the control, or of another button, is no click.
    form.MouseDown("Label9", 1, 1);
    form.MouseUp("Label9", MouseButton::Left, Release::Outside);
    form.MouseDown("Label9", 1, 1, MouseButton::Other);
    form.MouseUp("Label9", MouseButton::Other, Release::Over);
    // Nor is a press on one control released over another.
    form.MouseDown("Label8", 1, 1);
    form.MouseUp("Label9", MouseButton::Left, Release::Over);
    EXPECT_TRUE(world.Trace().empty());
}

// --- start-up ---------------------------------------------------------------------

class StartUp : public ::testing::TestWithParam<std::string> {};

TEST_P(StartUp, RunsInItsOrder) {
    const std::string answer = GetParam();
    World world;
    forms::Form1& form = world.Start(answer);
    const std::string login = LoginLine(answer);

    EXPECT_EQ(world.runtime.prompts, Lines{kTitle + "|enter your handle"});
    EXPECT_EQ(form.State().handle, answer);
    EXPECT_EQ(world.Caption("Label4"), answer);
    EXPECT_FALSE(world.Shown("Label10"));
    EXPECT_TRUE(world.Shown("Label26"));
    EXPECT_FALSE(world.Shown("File1"));
    EXPECT_FALSE(form.File1().Visible());
    EXPECT_TRUE(form.Visible());

    // The login line is typed before any scanner is switched on, then the
    // scanners in their order, then the window shows.
    EXPECT_EQ(world.log, (Lines{"Form1.Width 4230", "text " + login, "NiteScan5.ScanON",
                                "NiteScan1.ScanON", "NiteScan2.ScanOFF", "Form1.Show"}));
    EXPECT_EQ(world.RoomTexts(), Lines{login});
    // The front end made the window before anything changed on it.
    ASSERT_FALSE(world.frontEnd.events.empty());
    EXPECT_EQ(world.frontEnd.events.front(), "created Form1");

    // The clock starts with the load.
    EXPECT_TRUE(form.ClockRunning());
    world.runtime.Advance(10ms);
    EXPECT_EQ(world.Caption("Label3"), "12:00:00 pm");
    // A line the user types now reaches the command engine.
    world.client.Type("h carl");
    world.runtime.Advance(1s);
    EXPECT_EQ(form.State().handle, "carl");
    EXPECT_EQ(world.Caption("Label4"), "carl");
}

INSTANTIATE_TEST_SUITE_P(Answers, StartUp, ::testing::Values("bob", ""),
                         [](const auto& info) { return info.param.empty() ? "cancelled" : "bob"; });

// --- clock ------------------------------------------------------------------------

struct ClockCase {
    int secondsSinceMidnight;
    forms::ClockSeparators separators;
    const char* time;
    const char* date;
};

class ClockTexts : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ClockTexts, ShowTheTimeAndDateOnTheFirstTick) {
    const ClockCase& c = GetParam();
    World world(Millis{std::int64_t{c.secondsSinceMidnight} * 1000});
    world.frontEnd.separators = c.separators;
    world.Start();
    EXPECT_EQ(world.Caption("Label3"), "time");
    world.runtime.Advance(10ms);
    EXPECT_EQ(world.Caption("Label3"), c.time);
    EXPECT_EQ(world.Caption("Label5"), c.date);
}

const forms::ClockSeparators kUs{"/", ":"};
INSTANTIATE_TEST_SUITE_P(
    Times, ClockTexts,
    ::testing::Values(ClockCase{15 * 3600 + 7 * 60 + 9, kUs, "3:07:09 pm", "01/15/03"},
                      ClockCase{30 * 60, kUs, "12:30:00 am", "01/15/03"},
                      ClockCase{12 * 3600, kUs, "12:00:00 pm", "01/15/03"},
                      ClockCase{9 * 3600 + 5, kUs, "9:00:05 am", "01/15/03"},
                      ClockCase{24 * 3600 - 1, kUs, "11:59:59 pm", "01/15/03"},
                      ClockCase{24 * 3600 + 60, kUs, "12:01:00 am", "01/16/03"},
                      ClockCase{15 * 3600 + 7 * 60 + 9, {".", ":"}, "3:07:09 pm", "01.15.03"},
                      ClockCase{15 * 3600 + 7 * 60 + 9, {".", "."}, "3.07.09 pm", "01.15.03"}));

struct TriggerCase {
    const char* trigger;
    const char* after;
};

class Trigger : public ::testing::TestWithParam<TriggerCase> {};

TEST_P(Trigger, ShowsAndALoneBlankIsCleared) {
    World world;
    forms::Form1& form = world.Start();
    world.runtime.Advance(10ms);
    form.State().trigger = GetParam().trigger;
    world.runtime.Advance(10ms);
    EXPECT_EQ(form.State().trigger, GetParam().after);
    EXPECT_EQ(world.Caption("Label2"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Triggers, Trigger,
                         ::testing::Values(TriggerCase{" ", ""}, TriggerCase{"  ", "  "},
                                           TriggerCase{"-", "-"}, TriggerCase{"", ""}));

TEST(ClockTick, KeepsTheMainWindowOnTopAndRedrawsOnlyWhatChanged) {
    World world;
    world.Start();
    world.runtime.Advance(10ms);
    world.frontEnd.events.clear();
    world.frontEnd.topmostCalls = 0;
    world.runtime.Advance(990ms);
    // 99 ticks, each putting the window on top, and in a second of nothing
    // happening only the time changed (at 12:00:01, as wide as before).
    EXPECT_EQ(world.frontEnd.topmostCalls, 99);
    EXPECT_EQ(world.frontEnd.events, Lines{"Form1.Label3 caption"});
}

// --- windows through the engine ------------------------------------------------------

TEST(RoomCommands, ReachTheWindows) {
    World world;
    forms::Form1& form = world.Start();
    world.log.clear();
    world.client.Type("minv");
    world.runtime.Advance(1s);
    EXPECT_EQ(world.Trace(), (Lines{"Form5.Show", "Form1.Hide"}));
    EXPECT_TRUE(form.MiniScreen()->Visible());
    EXPECT_FALSE(form.Visible());
    // Hidden, the main window keeps listening.
    world.log.clear();
    world.client.Type("fulv");
    world.runtime.Advance(1s);
    EXPECT_EQ(world.Trace(), (Lines{"Form5.Hide", "Form1.Show"}));
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(form.MiniScreen()->Visible());
    // "dis" shows in Label7, which mirrors ruzeSwitch.
    world.client.Type("dis");
    world.runtime.Advance(1s);
    EXPECT_EQ(world.Caption("Label7"), "off");
}

TEST(MiniScreen, LoadsHiddenOnTheFirstHide) {
    World world;
    forms::Form1& form = world.Start();
    EXPECT_EQ(form.MiniScreen(), nullptr);
    world.frontEnd.events.clear();
    form.HideForm5();
    forms::Form5* mini = form.MiniScreen();
    ASSERT_NE(mini, nullptr);
    EXPECT_TRUE(mini->Loaded());
    EXPECT_FALSE(mini->Visible());
    EXPECT_TRUE(mini->Find("Picture1")->gradient);
    EXPECT_EQ(mini->Caption(), "mini screen");
    // Made, put on top once, then painted.
    EXPECT_EQ(world.frontEnd.events, (Lines{"created Form5", "Form5.Picture1 surface"}));
    EXPECT_EQ(world.frontEnd.lastTopmost, "Form5");
    form.ShowForm5();
    EXPECT_EQ(form.MiniScreen(), mini);
    EXPECT_TRUE(mini->Visible());
    const Lines trace = world.Trace();
    EXPECT_EQ(Lines(trace.end() - 2, trace.end()), (Lines{"Form5.Hide", "Form5.Show"}));
}

class Unload : public ::testing::TestWithParam<std::string> {};

TEST_P(Unload, RunsOnceHoweverTheWindowGoes) {
    const std::string how = GetParam();
    World world;
    forms::Form1& form = world.Start();
    form.ShowForm5();
    form.State().handle = "dave";  // read again at unload
    if (how == "close") form.Close();
    if (how == "unload") form.UnloadAndEnd();
    if (how == "e") {
        world.client.Type("e");
        world.runtime.Advance(1s);
    }
    EXPECT_TRUE(world.runtime.QuitRequested());
    EXPECT_TRUE(form.Closed());
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(form.MiniScreen()->Visible());
    // Closing again, by any means, sends nothing more.
    form.Close();
    form.UnloadAndEnd();
    world.sim.Drain();
    const Lines room = world.RoomTexts();
    EXPECT_EQ(room.back(), LoginLine("dave", " logout "));
    EXPECT_EQ(std::count_if(room.begin(), room.end(),
                            [](const std::string& l) { return l.find(" logout ") != l.npos; }),
              1);
    const Lines trace = world.Trace();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "Form1.Unload"), 1);
    EXPECT_EQ(world.frontEnd.Count("Form1 closed"), 1);
}

INSTANTIATE_TEST_SUITE_P(Ways, Unload, ::testing::Values("close", "unload", "e"));

TEST(WindowState, SetWhileHiddenWaitsForTheShow) {
    World world;
    forms::Form1& form = world.Start();
    form.HideForm1();
    form.SetForm1WindowState(engine::WindowState::Minimized);
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(form.Form1WindowState(), engine::WindowState::Minimized);
    form.ShowForm1();
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.ShownState(), forms::WindowState::Minimized);
    form.SetForm1WindowState(engine::WindowState::Normal);
    EXPECT_EQ(form.ShownState(), forms::WindowState::Normal);
    const Lines trace = world.Trace();
    EXPECT_EQ(Lines(trace.end() - 4, trace.end()),
              (Lines{"Form1.Hide", "Form1.WindowState minimized", "Form1.Show",
                     "Form1.WindowState normal"}));
}

// --- timers and the mp3 panel ---------------------------------------------------------

TEST(Timers, RunOnTheRuntimeAtTheirIntervals) {
    World world;
    forms::Form1& form = world.Start();
    form.SetSongCaption("abcd");
    form.SetTimerEnabled(FormTimer::Timer3, true);
    world.runtime.Advance(60ms);
    EXPECT_EQ(world.Caption("Label21"), "abcd");
    // Enabling a running timer does not restart its interval.
    form.SetTimerEnabled(FormTimer::Timer3, true);
    world.runtime.Advance(40ms);
    EXPECT_EQ(world.Caption("Label21"), "bcda");
    form.SetTimerEnabled(FormTimer::Timer3, false);
    world.runtime.Advance(1s);
    EXPECT_EQ(world.Caption("Label21"), "bcda");
    EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer3));

    // The scroll keeps characters whole.
    form.SetSongCaption("\U0001F3B5x\u00E9");
    form.SetTimerEnabled(FormTimer::Timer3, true);
    world.runtime.Advance(100ms);
    EXPECT_EQ(world.Caption("Label21"), "x\u00E9\U0001F3B5");
    world.runtime.Advance(100ms);
    EXPECT_EQ(world.Caption("Label21"), "\u00E9\U0001F3B5x");
    form.SetTimerEnabled(FormTimer::Timer3, false);

    // Timer4 is the idle notice, a whole minute after it was enabled.
    const std::size_t before = world.client.Transcript().size();
    form.SetTimerEnabled(FormTimer::Timer4, true);
    world.runtime.Advance(59s);
    EXPECT_EQ(world.client.Transcript().size(), before);
    world.runtime.Advance(3s);
    ASSERT_GE(world.client.Transcript().size(), before + 2);
    EXPECT_NE(world.RoomTexts()[before].find("is idle"), std::string::npos);
}

TEST(Timers, TheFastOnesShareOneWakeUpOfTheLoop) {
    CountingRuntime runtime;
    forms::Timers timers(runtime, 10ms);
    Lines ticks;
    const auto add = [&](const char* name, Millis interval, Wakeup wakeup) {
        return timers.Add(interval, wakeup, [&ticks, name] { ticks.push_back(name); });
    };
    const auto t1 = add("1", 10ms, Wakeup::SharedBase);
    const auto t2 = add("2", 10ms, Wakeup::SharedBase);
    const auto t3 = add("3", 100ms, Wakeup::SharedBase);
    const auto t5 = add("5", 10ms, Wakeup::SharedBase);
    const auto t7 = add("7", 20000ms, Wakeup::OwnTimer);
    for (auto id : {t5, t3, t2, t1}) timers.SetEnabled(id, true);
    EXPECT_EQ(runtime.running, 1);
    // The slow ones keep their own, so they come exactly on time.
    timers.SetEnabled(t7, true);
    EXPECT_EQ(runtime.running, 2);
    timers.SetEnabled(t7, false);
    EXPECT_EQ(runtime.running, 1);

    // On one wake-up, in the order they were added; each at its own interval.
    runtime.inner.Advance(100ms);
    EXPECT_EQ(std::count(ticks.begin(), ticks.end(), "1"), 10);
    EXPECT_EQ(std::count(ticks.begin(), ticks.end(), "2"), 10);
    EXPECT_EQ(std::count(ticks.begin(), ticks.end(), "5"), 10);
    EXPECT_EQ(std::count(ticks.begin(), ticks.end(), "3"), 1);
    EXPECT_EQ(Lines(ticks.end() - 4, ticks.end()), (Lines{"1", "2", "3", "5"}));
    EXPECT_EQ(runtime.wakeUps, 10);

    // A timer enabled later counts its interval from then on.
    timers.SetEnabled(t3, false);
    runtime.inner.Advance(30ms);
    timers.SetEnabled(t3, true);
    ticks.clear();
    runtime.inner.Advance(90ms);
    EXPECT_EQ(std::count(ticks.begin(), ticks.end(), "3"), 0);
    runtime.inner.Advance(10ms);
    EXPECT_EQ(std::count(ticks.begin(), ticks.end(), "3"), 1);

    // With all of them off, nothing wakes the loop.
    for (auto id : {t1, t2, t3, t5}) timers.SetEnabled(id, false);
    EXPECT_EQ(runtime.running, 0);
}

TEST(Timers, ATickMayStopItselfOrOthersAndTheyDoNotRun) {
    CountingRuntime runtime;
    forms::Timers timers(runtime, 10ms);
    Lines ticks;
    forms::Timers::Id second = 0;
    const auto first = timers.Add(10ms, Wakeup::SharedBase, [&] {
        ticks.push_back("first");
        timers.SetEnabled(second, false);
    });
    second = timers.Add(10ms, Wakeup::SharedBase, [&] { ticks.push_back("second"); });
    timers.SetEnabled(first, true);
    timers.SetEnabled(second, true);
    runtime.inner.Advance(30ms);
    EXPECT_EQ(ticks, (Lines{"first", "first", "first"}));
    timers.StopAll();
    runtime.inner.Advance(30ms);
    EXPECT_EQ(ticks.size(), 3u);
    EXPECT_EQ(runtime.running, 0);
}

TEST(FileList, FollowsTheEngineAndTheUser) {
    Folder folder({"b.mp3", "a.mp3", "c.MP3", "notes.txt"});
    World world;
    forms::Form1& form = world.Start();
    engine::FileList& list = form.File1();
    ASSERT_TRUE(list.SetPath(folder.Path()));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(world.Control("File1").items, (Lines{"a.mp3", "b.mp3", "c.MP3"}));
    list.SetListIndex(1);
    EXPECT_EQ(world.Control("File1").listIndex, 1);
    form.SelectItem("File1", 2);  // the user picks the third
    EXPECT_EQ(list.FileName(), "c.MP3");
    EXPECT_EQ(world.Control("File1").listIndex, 2);
    list.SetVisible(true);
    EXPECT_TRUE(world.Shown("File1"));
    EXPECT_FALSE(list.SetPath(folder.Path() + "/missing"));
    EXPECT_EQ(world.Control("File1").items.size(), 3u);

    form.SetTimerEnabled(FormTimer::Timer5, true);
    world.runtime.Advance(10ms);
    EXPECT_EQ(world.Caption("Label15"), "mp3s - 3");
}

TEST(Panel, ButtonsDriveThePlayer) {
    Folder folder({"a.mp3", "b.mp3", "c.mp3"});
    const std::string dir = folder.Path();
    World world;
    forms::Form1& form = world.Start();
    form.File1().SetPath(dir);
    form.File1().SetListIndex(1);
    form.SetForm1Width(engine::kWideWidth);  // the panel in view
    world.log.clear();

    ASSERT_TRUE(form.Click("Label19"));  // play
    EXPECT_EQ(world.Caption("Label21"), "b.mp3");
    for (FormTimer timer : {FormTimer::Timer2, FormTimer::Timer3, FormTimer::Timer7}) {
        EXPECT_TRUE(form.TimerEnabled(timer));
    }
    form.Click("Label26");  // pause
    EXPECT_FALSE(world.Shown("Label26"));
    EXPECT_TRUE(world.Shown("Label10"));
    form.Click("Label10");  // resume
    EXPECT_TRUE(world.Shown("Label26"));
    EXPECT_FALSE(world.Shown("Label10"));
    form.Click("Label25");  // hotspot: no glyph change
    EXPECT_TRUE(world.Shown("Label26"));
    form.Click("Label27");  // next
    form.Click("Label28");  // back: the entry above the selection
    form.Click("Label8");   // the strip's stop
    EXPECT_EQ(world.Caption("Label21"), "b.mp3");
    EXPECT_TRUE(form.TimerEnabled(FormTimer::Timer2));
    world.player.length = 10;
    world.player.position = 4;
    world.runtime.Advance(10ms);
    EXPECT_EQ(world.Control("DogBar1").bar.barvalue, 4);
    form.Click("Label20");  // stop
    EXPECT_EQ(world.Control("DogBar1").bar.barvalue, 0);
    EXPECT_EQ(world.Caption("Label21"), "nothing");
    EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer2));
    EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer3));

    EXPECT_EQ(world.Trace(),
              (Lines{"MediaPlayer1.OpenAndPlay " + dir + "/b.mp3", "MediaPlayer1.TogglePause",
                     "MediaPlayer1.TogglePause", "MediaPlayer1.TogglePause",
                     "MediaPlayer1.NextEntry", "MediaPlayer1.OpenAndPlay " + dir + "/a.mp3",
                     "MediaPlayer1.Stop", "MediaPlayer1.Stop"}));
    EXPECT_EQ(world.player.calls.size(), 8u);

    // Play with nothing selected asks for the folder itself.
    form.File1().SetListIndex(-1);
    world.log.clear();
    form.Click("Label19");
    EXPECT_EQ(world.Trace(), Lines{"MediaPlayer1.OpenAndPlay " + dir + "/"});
    EXPECT_EQ(world.Caption("Label21"), "");
}

TEST(Panel, BackAtTheTopPlaysTheLastAndAnEmptyListNothing) {
    Folder folder({"a.mp3", "b.mp3", "c.mp3"});
    World world;
    forms::Form1& form = world.Start();
    form.Click("Label28");  // the working folder has no songs
    form.File1().SetPath(folder.Path());
    form.File1().SetListIndex(0);
    form.Click("Label28");
    EXPECT_EQ(world.player.calls, Lines{"open " + folder.Path() + "/c.mp3"});
    EXPECT_EQ(world.Caption("Label21"), "nothing");
    EXPECT_EQ(form.File1().ListIndex(), 0);
}

struct LevelCase {
    const char* label;
    const char* answer;
    Lines trace;
};

class Levels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(Levels, PromptsPutWhatTheNumberGives) {
    const LevelCase& c = GetParam();
    World world;
    forms::Form1& form = world.Start();
    world.log.clear();
    world.runtime.prompts.clear();
    world.runtime.promptAnswers = {c.answer};
    ASSERT_TRUE(form.Click(c.label));
    EXPECT_EQ(world.Trace(), c.trace);
    const std::string prompt = std::string(c.label) == "Label23" ? "set volume" : "set balance";
    EXPECT_EQ(world.runtime.prompts, Lines{kTitle + "|" + prompt});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Levels,
    ::testing::Values(LevelCase{"Label23", "50.5", {"MediaPlayer1.Volume -1238"}},
                      LevelCase{"Label23", "0", {"MediaPlayer1.Volume -2500"}},
                      LevelCase{"Label24", "200", {"MediaPlayer1.Balance 2500"}},
                      LevelCase{"Label24", "100", {"MediaPlayer1.Balance 0"}},
                      LevelCase{"Label23", "", {}}, LevelCase{"Label24", "loud", {}},
                      LevelCase{"Label23", "1e12", {}}));

TEST(Panel, ProgressAndCheckTimers) {
    World world;
    forms::Form1& form = world.Start();
    world.player.length = 183.5;
    world.player.position = 60.5;
    form.SetTimerEnabled(FormTimer::Timer2, true);
    world.runtime.Advance(10ms);
    EXPECT_EQ(world.Control("DogBar1").bar.barmax, 184);  // halves to even
    EXPECT_EQ(world.Control("DogBar1").bar.barvalue, 60);
    world.player.position = 1e6;  // past 16 bits: held full, not wrapped
    world.runtime.Advance(10ms);
    EXPECT_EQ(world.Control("DogBar1").bar.barvalue, 32767);
    EXPECT_EQ(world.Control("DogBar1").bar.FillWidth(193), 193);

    // A song with a length keeps its caption through the check.
    form.Click("Label19");
    EXPECT_TRUE(form.TimerEnabled(FormTimer::Timer7));
    world.runtime.Advance(20010ms);
    EXPECT_NE(world.Caption("Label21"), "nothing");
    EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer7));

    // Nothing with a length: the caption says "nothing" at 20 s, not before.
    world.player.length = 0;
    form.Click("Label19");
    world.runtime.Advance(19990ms);
    EXPECT_NE(world.Caption("Label21"), "nothing");
    world.runtime.Advance(20ms);
    EXPECT_EQ(world.Caption("Label21"), "nothing");
    EXPECT_FALSE(form.TimerEnabled(FormTimer::Timer7));
}

struct FillCase {
    std::int16_t value;
    std::int32_t max;
    int width;
    int fill;
};

class Fill : public ::testing::TestWithParam<FillCase> {};

TEST_P(Fill, InProportionToValueOverMax) {
    forms::ProgressBar bar;
    bar.barvalue = GetParam().value;
    bar.barmax = GetParam().max;
    EXPECT_EQ(bar.FillWidth(GetParam().width), GetParam().fill);
}

INSTANTIATE_TEST_SUITE_P(Bars, Fill,
                         ::testing::Values(FillCase{0, 100, 193, 0}, FillCase{50, 100, 193, 96},
                                           FillCase{100, 100, 193, 193},
                                           FillCase{200, 100, 193, 193}, FillCase{5, 0, 193, 0},
                                           FillCase{5, -3, 193, 0}, FillCase{-5, 10, 193, 0}));

}  // namespace
