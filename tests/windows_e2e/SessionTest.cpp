// moonrake.exe as a user runs it: the windowed program beside the stand-in
// client, each in a process of its own, on the real clock. The test is the
// user: it answers the handle prompt through user32, types the commands into
// the room as the signed-on member, clicks the program's labels, answers its
// message boxes, and reads from outside what came of it: the room's
// transcript line for line, the addresses the client went to, the instant
// messages it sent, and the program's own windows (their places, styles,
// visibility and controls). Every wait polls with a bound and fails with
// what it was waiting for; each test starts the program afresh, so a failure
// does not carry into the next.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/ClientDriver.h"
#include "tests/windows_e2e/Outside.h"
#include "tests/windows_e2e/ProgramProcess.h"

namespace clientsim {
void PrintTo(const RoomLine& line, std::ostream* out) {
    *out << '"' << line.sender << ": " << line.text << '"';
}
void PrintTo(const InstantMessage& im, std::ostream* out) {
    *out << "[im " << im.to << "] " << im.text;
}
}  // namespace clientsim

namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using testsupport::InstantMessage;
using testsupport::RoomLine;
using Lines = std::vector<RoomLine>;
using Clock = std::chrono::steady_clock;

const std::string kScreenName = "Moonraker";
const std::string kRoom = "Town Square";
const std::string kTitle = "moonrake ruze \u00B2";
const std::string kFormClass = "MoonrakeForm";
const std::string kMiniCaption = "mini screen";

// How long one exchange may take: a line reaches the room about 120 ms after
// it is sent, and the program notices it within its poll of 100 ms.
constexpr milliseconds kReplyBound = 10s;
// The first start of a program in the Wine prefix takes longer.
constexpr milliseconds kStartBound = 20s;
constexpr milliseconds kExitBound = 10s;

// Form1's controls in the order the form makes them: the front end gives
// each the control ID 100 + its place in this order.
const char* const kForm1Controls[] = {
    "Picture1", "Label14", "List6",   "Label3",  "Label5",  "Label1",  "Label4",
    "Label8",   "Label6",  "Label2",  "Label9",  "Label11", "Label7",  "Label19",
    "Label20",  "Label26", "Label10", "Label28", "Label27", "Label25", "Label15",
    "Label23",  "Label24", "DogBar1", "Label21", "File1"};
const char* const kForm5Controls[] = {"Picture1", "List1"};

// The progress bar answers the system progress bar's queries.
constexpr UINT kGetRange = WM_USER + 7;  // PBM_GETRANGE
constexpr UINT kGetPos = WM_USER + 8;    // PBM_GETPOS

template <std::size_t N>
int IdIn(const char* const (&controls)[N], const std::string& name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (name == controls[i]) return 100 + static_cast<int>(i);
    }
    ADD_FAILURE() << "no control " << name;
    return -1;
}

RoomLine Own(const std::string& text) {
    return RoomLine{kScreenName, text};
}

// A reply with the start-up style.
RoomLine Status(const std::string& handle, const std::string& verb, const std::string& detail) {
    return Own("< font . face=tahoma>< font . color=#000000>»¸ < font . color=#AAAAAA>" + handle +
               "< font . color=#000000> › < font . color=#AAAAAA>" + verb +
               "< font . color=#000000> (< font . color=#AAAAAA>" + detail +
               "< font . color=#000000>) ");
}

RoomLine LogLine(const std::string& word, const std::string& handle) {
    return Own(
        "< font . face=tahoma>< font . color=#000000>»¸ < font . color=#AAAAAA>moonrake "
        "ruze< font . color=#000000>² › < font . color=#AAAAAA>artist< font . "
        "color=#000000> (< font . color=#AAAAAA>zerin< font . color=#000000>) ›< font . "
        "color=#AAAAAA> " +
        word + " < font . color=#000000>(< font . color=#AAAAAA>" + handle +
        "< font . color=#000000>)");
}

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ") " +
           std::to_string(e2e::Width(r)) + " x " + std::to_string(e2e::Height(r));
}

bool IsRotationOf(const std::string& shown, const std::string& text) {
    return shown.size() == text.size() && (text + text).find(shown) != std::string::npos;
}

// The clock's texts for a moment, the way the main window writes them:
// "h:mm:ss am/pm" and "mm/dd/yy" with the user's separators.
std::string LocaleText(LCTYPE what, const char* fallback) {
    char text[8] = {};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, what, text, sizeof text) > 1 ? text : fallback;
}

std::string ClockTime(const SYSTEMTIME& t) {
    const std::string sep = LocaleText(LOCALE_STIME, ":");
    char text[32];
    const int hour = t.wHour % 12 == 0 ? 12 : t.wHour % 12;
    std::snprintf(text, sizeof text, "%d%s%02d%s%02d %s", hour, sep.c_str(), t.wMinute, sep.c_str(),
                  t.wSecond, t.wHour < 12 ? "am" : "pm");
    return text;
}

std::string ClockDate(const SYSTEMTIME& t) {
    const std::string sep = LocaleText(LOCALE_SDATE, "/");
    char text[32];
    std::snprintf(text, sizeof text, "%02d%s%02d%s%02d", t.wMonth, sep.c_str(), t.wDay, sep.c_str(),
                  t.wYear % 100);
    return text;
}

SYSTEMTIME LocalTimeIn(int seconds) {
    FILETIME file;
    GetSystemTimeAsFileTime(&file);
    ULARGE_INTEGER at{};
    at.LowPart = file.dwLowDateTime;
    at.HighPart = file.dwHighDateTime;
    at.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(seconds) * 10'000'000LL);
    file.dwLowDateTime = at.LowPart;
    file.dwHighDateTime = at.HighPart;
    SYSTEMTIME utc, local;
    FileTimeToSystemTime(&file, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    return local;
}

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// One run of the program beside the client, with the test as its user.
class Session : public ::testing::Test {
  protected:
    void TearDown() override {
        // The program first: its windows go before the client it drives.
        program_.reset();
        client_.reset();
        folder_.reset();
    }

    // Signs the member on and starts moonrake.exe in an empty working
    // folder; its handle prompt, once it is open.
    HWND Launch() {
        client_ = testsupport::MakeClientDriver();
        client_->SignOn({kScreenName, kRoom, richEdit_});
        folder_ = std::make_unique<e2e::ScratchFolder>();
        program_ = std::make_unique<e2e::ProgramProcess>(e2e::ProgramPath(), folder_->Path());
        HWND prompt = AwaitDialog(kStartBound);
        EXPECT_TRUE(prompt) << "the handle prompt did not open";
        return prompt;
    }

    // Launches the program, answers the prompt with `handle` and waits for
    // the login line and the main window.
    void Start(const std::string& handle = "bob") {
        HWND prompt = Launch();
        ASSERT_TRUE(prompt);
        AnswerPrompt(prompt, handle);
        ASSERT_EQ(NewLines(1), Lines{LogLine("login", handle)});
        ASSERT_TRUE(WaitUntil([this] { return Form1() && IsWindowVisible(Form1()); }))
            << "the main window is not shown after the login";
    }

    void AnswerPrompt(HWND prompt, const std::string& handle) {
        e2e::SetEditText(prompt, handle);
        e2e::PressButton(prompt, "OK");
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(prompt); })) << "the prompt stays open";
    }

    // Polls every 20 ms until `done` holds or `bound` has passed.
    template <typename Done>
    bool WaitUntil(Done done, milliseconds bound = kReplyBound) {
        const auto deadline = Clock::now() + bound;
        for (;;) {
            if (done()) return true;
            if (Clock::now() >= deadline) return false;
            client_->Services().runtime.WaitForEvents(20ms);
        }
    }

    // The next `count` lines to reach the room after those already taken;
    // fewer (and a failure saying what came) when they do not come in time.
    Lines NewLines(std::size_t count, milliseconds bound = kReplyBound) {
        Lines all;
        const bool came = WaitUntil(
            [&] {
                all = client_->Transcript();
                return all.size() >= taken_ + count;
            },
            bound);
        const std::size_t end = std::min(all.size(), taken_ + count);
        Lines fresh(all.begin() + static_cast<std::ptrdiff_t>(std::min(taken_, all.size())),
                    all.begin() + static_cast<std::ptrdiff_t>(end));
        if (!came) {
            ADD_FAILURE() << "waited " << bound.count() << " ms for " << count
                          << " new room lines, got " << fresh.size() << ": "
                          << ::testing::PrintToString(fresh);
        }
        taken_ = end;
        return fresh;
    }

    // The member types `text`; the room then has it and `replies` more.
    Lines Command(const std::string& text, std::size_t replies = 1) {
        client_->Type(text);
        return NewLines(1 + replies);
    }

    HWND Form1() { return e2e::TopLevelWindow(program_->Id(), kFormClass, kTitle); }
    HWND Form5() { return e2e::TopLevelWindow(program_->Id(), kFormClass, kMiniCaption); }
    HWND Control1(const std::string& name) {
        return e2e::Descendant(Form1(), IdIn(kForm1Controls, name));
    }
    HWND Control5(const std::string& name) {
        return e2e::Descendant(Form5(), IdIn(kForm5Controls, name));
    }
    std::string Text1(const std::string& name) { return e2e::TextOf(Control1(name)); }

    // The program's shown dialog with its title, or nullptr after `bound`.
    HWND AwaitDialog(milliseconds bound = kReplyBound) {
        HWND dialog = nullptr;
        WaitUntil([&] { return (dialog = e2e::ShownDialog(program_->Id(), kTitle)) != nullptr; },
                  bound);
        return dialog;
    }

    // A message box of the program over the main window: its text, an OK
    // button alone; pressed, it goes.
    void AnswerMessageBox(const std::string& text) {
        HWND box = AwaitDialog();
        ASSERT_TRUE(box) << "no message box \"" << text << "\"";
        EXPECT_EQ(e2e::DialogTexts(box), std::vector<std::string>{text});
        EXPECT_EQ(e2e::ButtonTexts(box), std::vector<std::string>{"OK"});
        EXPECT_EQ(GetWindow(box, GW_OWNER), Form1());
        e2e::PressButton(box, "OK");
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the box stays open";
    }

    // "e": the member's line, the logout line, and the program gone with
    // exit code 0 and its windows with it.
    void ExitWith(const std::string& handle) {
        const DWORD pid = program_->Id();
        ASSERT_EQ(Command("e"), (Lines{Own("e"), LogLine("logout", handle)}));
        ExpectEnded(pid);
    }

    void ExpectEnded(DWORD pid) {
        const std::optional<DWORD> code = program_->WaitForExit(kExitBound);
        ASSERT_TRUE(code) << "the program is still running";
        EXPECT_EQ(*code, 0u);
        EXPECT_TRUE(e2e::TopLevelWindows(pid, kFormClass).empty());
    }

    std::unique_ptr<testsupport::ClientDriver> client_;
    std::unique_ptr<e2e::ScratchFolder> folder_;
    std::unique_ptr<e2e::ProgramProcess> program_;
    std::size_t taken_ = 0;
    testsupport::RichEditGeneration richEdit_ = testsupport::RichEditGeneration::Later;

    // A member floods the room with one line while the client keeps 20
    // lines; the user's commands come amid the repeats, each batch between
    // two looks of the program, and every one is answered once.
    void FloodWithCommandsAmid() {
        ASSERT_NO_FATAL_FAILURE(Start());
        client_->SetHistoryLimit(20);
        const RoomLine lol{"KarenK", "lol"};
        client_->SayTogether(Lines(20, lol));
        ASSERT_EQ(NewLines(20), Lines(20, lol));
        std::string handle = "bob";
        const std::vector<std::vector<int>> batches = {
            {1, 0, 0, 0, 0}, {0, 0, 2, 0, 0, 0}, {3}, {0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0}, {0, 5}};
        for (const auto& batch : batches) {
            Lines lines;
            std::string next;
            for (int n : batch) {
                if (n == 0) {
                    lines.push_back(lol);
                } else {
                    next = "bob" + std::to_string(n);
                    lines.push_back(Own("h " + next));
                }
            }
            client_->SayTogether(lines);
            lines.push_back(Status(handle, "handle changed", next));
            ASSERT_EQ(NewLines(lines.size()), lines);
            handle = next;
        }
        // Nothing answered twice, nothing late.
        client_->Services().runtime.WaitForEvents(500ms);
        ASSERT_NO_FATAL_FAILURE(ExitWith(handle));
    }
};

// --- start-up, the main window, the exit -----------------------------------

struct Shown {
    const char* name;
    const char* windowClass;
    std::string text;
    bool visible;
};

TEST_F(Session, StartUpShowsTheMainWindowAndExitEndsTheProgram) {
    // The prompt comes first, owned by the main window that is not shown yet.
    HWND prompt = Launch();
    ASSERT_TRUE(prompt);
    EXPECT_EQ(e2e::DialogTexts(prompt), std::vector<std::string>{"enter your handle"});
    EXPECT_EQ(e2e::ButtonTexts(prompt), (std::vector<std::string>{"OK", "Cancel"}));
    ASSERT_TRUE(Form1());
    EXPECT_EQ(GetWindow(prompt, GW_OWNER), Form1());
    EXPECT_FALSE(IsWindowVisible(Form1()));
    EXPECT_TRUE(client_->Transcript().empty()) << "nothing is sent before the handle";
    // Outside ASCII: the handle crosses in the ANSI code page both ways.
    AnswerPrompt(prompt, "Zoë");
    ASSERT_EQ(NewLines(1), Lines{LogLine("login", "Zoë")});
    ASSERT_TRUE(WaitUntil([this] { return IsWindowVisible(Form1()); }));

    // A borderless popup above other windows, cut to the strip and centred.
    HWND form = Form1();
    EXPECT_EQ(e2e::TextOf(form), kTitle);
    EXPECT_TRUE(e2e::StyleOf(form) & WS_POPUP);
    EXPECT_EQ(e2e::StyleOf(form) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_TRUE(e2e::ExStyleOf(form) & WS_EX_TOPMOST);
    EXPECT_FALSE(IsIconic(form));
    const RECT place = e2e::PlaceOf(form);
    EXPECT_EQ(e2e::Width(place), 4230 / 15) << Show(place);
    EXPECT_EQ(e2e::Height(place), 2175 / 15) << Show(place);
    const RECT area = WorkArea();
    EXPECT_NEAR((place.left + place.right) / 2.0, (area.left + area.right) / 2.0, 1.0);
    EXPECT_NEAR((place.top + place.bottom) / 2.0, (area.top + area.bottom) / 2.0, 1.0);
    EXPECT_EQ(e2e::TopLevelWindows(program_->Id(), kFormClass).size(), 1u)
        << "no mini screen before a command asks for it";

    // Every control of the main window, as its window tells it.
    const std::vector<Shown> controls{
        {"Picture1", "MoonrakeSurface", "", true},
        {"Label14", "Static", kTitle, true},
        {"List6", "ListBox", "", true},
        {"Label1", "Static", "moonrake ruze ² › log'd in  -  (", true},
        {"Label4", "Static", "Zoë", true},
        {"Label8", "Static", ") ›", true},
        {"Label6", "Static", "trig - (", true},
        {"Label2", "Static", "", true},
        {"Label9", "Static", ")", true},
        {"Label11", "Static", "39", true},
        {"Label7", "Static", "", true},
        {"Label19", "Static", "4", true},
        {"Label20", "Static", "=", true},
        {"Label26", "Static", ";", true},
        {"Label10", "Static", "q", false},
        {"Label28", "Static", "7", true},
        {"Label27", "Static", "8", true},
        {"Label25", "Static", "", true},
        {"Label15", "Static", "mp3s", true},
        {"Label23", "Static", "vol", true},
        {"Label24", "Static", "bal", true},
        {"DogBar1", "Static", "", true},
        {"Label21", "Static", "nothing", true},
        {"File1", "ListBox", "", false},
    };
    for (const Shown& expected : controls) {
        SCOPED_TRACE(expected.name);
        HWND control = Control1(expected.name);
        ASSERT_TRUE(control);
        EXPECT_EQ(e2e::ClassOf(control), expected.windowClass);
        EXPECT_EQ(e2e::TextOf(control), expected.text);
        EXPECT_EQ(IsWindowVisible(control) != FALSE, expected.visible);
    }
    // Where a sample of them stands, in pixels: on the surface, or (the file
    // list and the two view labels below the strip) on the window itself.
    HWND picture = Control1("Picture1");
    struct Placed {
        const char* name;
        RECT place;
        HWND parent;
    };
    for (const Placed& expected : {
             Placed{"Picture1", {0, 0, 489, 145}, form},
             Placed{"Label14", {0, 0, 281, 33}, picture},
             Placed{"List6", {48, 32, 233, 112}, picture},
             Placed{"Label4", {144, 128, 201, 145}, picture},
             Placed{"Label9", {272, 128, 281, 145}, picture},
             Placed{"DogBar1", {288, 120, 481, 129}, picture},
             Placed{"File1", {288, 8, 481, 100}, form},
             Placed{"Label7", {0, 208, 65, 233}, form},
         }) {
        SCOPED_TRACE(expected.name);
        HWND control = Control1(expected.name);
        EXPECT_EQ(GetParent(control), expected.parent);
        const RECT at = e2e::PlaceOf(control);
        EXPECT_TRUE(EqualRect(&at, &expected.place)) << Show(at);
    }
    // Out of the mouse's reach below the strip: only Label9 selects a view.
    EXPECT_GE(e2e::PlaceOf(Control1("Label11")).top, e2e::Height(place));

    const std::vector<std::string> help = e2e::ListLines(Control1("List6"));
    ASSERT_EQ(help.size(), 53u);
    EXPECT_EQ(help[0], "\t     main ruze");
    EXPECT_EQ(help[1], std::string(42, '*'));
    EXPECT_EQ(help[2], "h * - will set handle");
    EXPECT_EQ(help[25], "d * - will set mp3 directory ");
    EXPECT_EQ(help[52], "imof - will turn ims off");

    // The clock shows the time and date of the day, and goes on.
    EXPECT_TRUE(WaitUntil([&] {
        const std::string shown = Text1("Label3");
        for (int s = -2; s <= 1; ++s) {
            if (shown == ClockTime(LocalTimeIn(s))) return true;
        }
        return false;
    })) << "the time label reads \""
        << Text1("Label3") << "\" at " << ClockTime(LocalTimeIn(0));
    const std::string seen = Text1("Label3");
    EXPECT_TRUE(WaitUntil([&] { return Text1("Label3") != seen; }, 3s)) << "the clock stands";
    const std::string date = Text1("Label5");
    EXPECT_TRUE(date == ClockDate(LocalTimeIn(0)) || date == ClockDate(LocalTimeIn(-5))) << date;

    ExitWith("Zoë");
}

// --- the style, the handle and the trigger ---------------------------------

TEST_F(Session, StyleHandleAndTriggerCommands) {
    ASSERT_NO_FATAL_FAILURE(Start());
    // The trigger is empty at start: bare words are commands.
    ASSERT_EQ(Command("tr !"), (Lines{Own("tr !"), Status("bob", "changed trig to", "!")}));
    EXPECT_TRUE(WaitUntil([&] { return Text1("Label2") == "!"; })) << Text1("Label2");

    // Another member's line is never a command; without the trigger, ours
    // no longer is. The reply still names the old handle.
    client_->Say("KarenK", "!h hacker");
    ASSERT_EQ(NewLines(1), (Lines{RoomLine{"KarenK", "!h hacker"}}));
    client_->Type("h rob");
    client_->Type("!h rob");
    ASSERT_EQ(NewLines(3),
              (Lines{Own("h rob"), Own("!h rob"), Status("bob", "handle changed", "rob")}));
    ASSERT_EQ(Command("!h rob"),
              (Lines{Own("!h rob"), Status("rob", "handle already set to", "rob")}));
    // The command word is lower-cased, the handle kept as typed.
    ASSERT_EQ(Command("!H Rob"), (Lines{Own("!H Rob"), Status("rob", "handle changed", "Rob")}));
    EXPECT_TRUE(WaitUntil([&] { return Text1("Label4") == "Rob"; })) << Text1("Label4");

    // Each style reply already wears the new style.
    ASSERT_EQ(Command("!ac ff0000"),
              (Lines{Own("!ac ff0000"),
                     Own("< font . face=tahoma>< font . color=#ff0000>»¸ < font . "
                         "color=#AAAAAA>Rob< font . color=#ff0000> › < font . "
                         "color=#AAAAAA>changed ascii color< font . color=#ff0000> (< font . "
                         "color=#AAAAAA>ff0000< font . color=#ff0000>) ")}));
    ASSERT_EQ(Command("!fc 00ff00"),
              (Lines{Own("!fc 00ff00"),
                     Own("< font . face=tahoma>< font . color=#ff0000>»¸ < font . "
                         "color=#00ff00>Rob< font . color=#ff0000> › < font . "
                         "color=#00ff00>changed font color< font . color=#ff0000> (< font . "
                         "color=#00ff00>00ff00< font . color=#ff0000>) ")}));
    ASSERT_EQ(Command("!ft comic sans ms"),
              (Lines{Own("!ft comic sans ms"),
                     Own("< font . face=comic sans ms>< font . color=#ff0000>»¸ < font . "
                         "color=#00ff00>Rob< font . color=#ff0000> › < font . "
                         "color=#00ff00>changed font type< font . color=#ff0000> (< font . "
                         "color=#00ff00>comic sans ms< font . color=#ff0000>) ")}));
    ASSERT_EQ(Command("!la <<"),
              (Lines{Own("!la <<"),
                     Own("< font . face=comic sans ms>< font . color=#ff0000><<< font . "
                         "color=#00ff00>Rob< font . color=#ff0000> › < font . "
                         "color=#00ff00>changed left ascii< font . color=#ff0000> (< font . "
                         "color=#00ff00><<< font . color=#ff0000>) ")}));
    ASSERT_EQ(Command("!ma ~"),
              (Lines{Own("!ma ~"),
                     Own("< font . face=comic sans ms>< font . color=#ff0000><<< font . "
                         "color=#00ff00>Rob< font . color=#ff0000> ~ < font . "
                         "color=#00ff00>changed middle ascii< font . color=#ff0000> (< font . "
                         "color=#00ff00>~< font . color=#ff0000>) ")}));
    // The defaults: the left decoration without its blank, the face kept.
    ASSERT_EQ(
        Command("!dfa"),
        (Lines{Own("!dfa"), Own("< font . face=comic sans ms>< font . color=#000000>»¸< font . "
                                "color=#AAAAAA>Rob< font . color=#000000> › < font . "
                                "color=#AAAAAA>using default< font . color=#000000> (< font . "
                                "color=#AAAAAA>settings< font . color=#000000>) ")}));

    // A trigger of one blank is cleared by the clock: bare words again.
    ASSERT_EQ(Command("!tr  "),
              (Lines{Own("!tr  "), Own("< font . face=comic sans ms>< font . "
                                       "color=#000000>»¸< font . color=#AAAAAA>Rob< font . "
                                       "color=#000000> › < font . color=#AAAAAA>changed trig "
                                       "to< font . color=#000000> (< font . color=#AAAAAA> "
                                       "< font . color=#000000>) ")}));
    EXPECT_TRUE(WaitUntil([&] { return Text1("Label2").empty(); })) << Text1("Label2");
    const std::string logout =
        "< font . face=comic sans ms>< font . color=#000000>»¸< font . color=#AAAAAA>moonrake "
        "ruze< font . color=#000000>² › < font . color=#AAAAAA>artist< font . "
        "color=#000000> (< font . color=#AAAAAA>zerin< font . color=#000000>) ›< font . "
        "color=#AAAAAA> logout < font . color=#000000>(< font . color=#AAAAAA>Rob< font . "
        "color=#000000>)";
    const DWORD pid = program_->Id();
    ASSERT_EQ(Command("e"), (Lines{Own("e"), Own(logout)}));
    ExpectEnded(pid);
}

// --- a room that repeats itself, on either rich edit generation ------------

TEST_F(Session, AFloodOfOneLineAroundTheUsersCommandsInATrimmingRoom) {
    FloodWithCommandsAmid();
}

TEST_F(Session, AClientOfTheFirstRichEditGenerationInATrimmingFlood) {
    richEdit_ = testsupport::RichEditGeneration::First;
    FloodWithCommandsAmid();
}

// --- rooms and web addresses -------------------------------------------------

TEST_F(Session, PrivateRoomsAndWebAddressesGoThroughTheAddressBox) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_EQ(Command("pr Town Square"),
              (Lines{Own("pr Town Square"), Status("bob", "your already in pr", "Town Square")}));
    ASSERT_EQ(Command("pr Hideout"),
              (Lines{Own("pr Hideout"), Status("bob", "enterd pr", "Hideout")}));
    EXPECT_TRUE(WaitUntil([&] { return client_->RoomName() == "Hideout"; })) << client_->RoomName();
    // The room's name is read afresh for every line: now it is this one.
    ASSERT_EQ(Command("pr Hideout"),
              (Lines{Own("pr Hideout"), Status("bob", "your already in pr", "Hideout")}));
    ASSERT_EQ(Command("com example"),
              (Lines{Own("com example"), Status("bob", "viewing", "www.example.com")}));
    ASSERT_EQ(Command("org wikipedia"),
              (Lines{Own("org wikipedia"), Status("bob", "viewing", "www.wikipedia.org")}));
    ASSERT_EQ(Command("net two words"),
              (Lines{Own("net two words"), Status("bob", "viewing", "www.two words.net")}));
    const std::vector<std::string> visited{"aol://2719:2-2-Hideout", "www.example.com",
                                           "www.wikipedia.org", "www.two words.net"};
    EXPECT_TRUE(WaitUntil([&] { return client_->VisitedAddresses().size() >= visited.size(); }));
    EXPECT_EQ(client_->VisitedAddresses(), visited);
    ExitWith("bob");
}

// --- instant messages --------------------------------------------------------

TEST_F(Session, InstantMessagesOnAndOffAnswerTheClientsBox) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const auto settled = [this] {
        const std::vector<std::string> windows = client_->ChildCaptions();
        return !client_->MessageBoxOpen() &&
               std::find(windows.begin(), windows.end(), "Send Instant Message") == windows.end();
    };
    ASSERT_TRUE(client_->InstantMessagesOn());
    ASSERT_EQ(Command("imof"), (Lines{Own("imof"), Status("bob", "ims", "off")}));
    EXPECT_FALSE(client_->InstantMessagesOn());
    EXPECT_TRUE(WaitUntil(settled)) << "the client's box or message window stays";
    ASSERT_EQ(Command("imon"), (Lines{Own("imon"), Status("bob", "ims", "on")}));
    EXPECT_TRUE(client_->InstantMessagesOn());
    EXPECT_TRUE(WaitUntil(settled)) << "the client's box or message window stays";

    EXPECT_EQ(client_->InstantMessagesSent(),
              (std::vector<InstantMessage>{{"$IM_OFF", "=)"}, {"$IM_ON", "=)"}}));
    EXPECT_EQ(client_->VisitedAddresses(),
              (std::vector<std::string>{"aol://9293:$IM_OFF", "aol://9293:$IM_ON"}));
    EXPECT_EQ(client_->MessageBoxesShown(),
              (std::vector<std::string>{"You are now ignoring Instant Messages.",
                                        "You are now accepting Instant Messages."}));
    ExitWith("bob");
}

// --- disabling, enabling and the views ----------------------------------------

TEST_F(Session, DisableEnableAndTheViewLabels) {
    ASSERT_NO_FATAL_FAILURE(Start());
    // The mp3 view: only "en" is heard, and before any "dis" it turns the
    // commands back on.
    e2e::PostClick(Control1("Label9"));
    EXPECT_TRUE(WaitUntil([&] { return Text1("Label6") == "mp3 c-ruze"; })) << Text1("Label6");
    EXPECT_FALSE(IsWindowVisible(Control1("Label14"))) << "the title goes with the first view";
    client_->Type("h nobody");
    client_->Type("i away");
    client_->Type("en");
    ASSERT_EQ(NewLines(4),
              (Lines{Own("h nobody"), Own("i away"), Own("en"), Status("bob", "enabled", "ruze")}));
    EXPECT_TRUE(WaitUntil([&] { return Text1("Label7") == "on"; })) << Text1("Label7");
    EXPECT_EQ(Text1("Label6"), "mp3 c-ruze");

    ASSERT_EQ(Command("dis"), (Lines{Own("dis"), Status("bob", "disabled", "ruze")}));
    EXPECT_TRUE(WaitUntil([&] { return Text1("Label7") == "off"; })) << Text1("Label7");
    client_->Type("h nobody");
    client_->Type("en");
    ASSERT_EQ(NewLines(3), (Lines{Own("h nobody"), Own("en"), Status("bob", "enabled", "ruze")}));
    // Enabled, "en" is not listened for: the next reply is the handle's.
    client_->Type("en");
    client_->Type("h bob");
    ASSERT_EQ(NewLines(3),
              (Lines{Own("en"), Own("h bob"), Status("bob", "handle already set to", "bob")}));

    // The view again: a box, answered like a user, and the scanners as the
    // view has them whatever the box.
    e2e::PostClick(Control1("Label9"));
    ASSERT_NO_FATAL_FAILURE(AnswerMessageBox("already viewing mp3 c-ruze"));
    // Already enabled: a box and no line.
    client_->Type("en");
    ASSERT_NO_FATAL_FAILURE(AnswerMessageBox("ruze already enabled"));
    client_->Type("h nobody");
    ASSERT_EQ(NewLines(2), (Lines{Own("en"), Own("h nobody")}));

    // Closed from outside, as the taskbar closes it: the logout, the end.
    const DWORD pid = program_->Id();
    PostMessageA(Form1(), WM_CLOSE, 0, 0);
    ASSERT_EQ(NewLines(1), Lines{LogLine("logout", "bob")});
    ExpectEnded(pid);
}

// --- minimise, restore, the mini screen ----------------------------------------

TEST_F(Session, MinimiseRestoreAndTheMiniScreen) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND form = Form1();
    const RECT normal = e2e::PlaceOf(form);
    ASSERT_EQ(Command("min"), (Lines{Own("min"), Status("bob", "minimized", "ruze")}));
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(form) != FALSE; })) << "not minimised";
    ASSERT_EQ(Command("res"), (Lines{Own("res"), Status("bob", "restored", "ruze")}));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(form) && IsWindowVisible(form); }));
    RECT restored = e2e::PlaceOf(form);
    EXPECT_TRUE(EqualRect(&restored, &normal)) << Show(restored) << " was " << Show(normal);

    ASSERT_EQ(Command("minv"), (Lines{Own("minv"), Status("bob", "using", "mini version")}));
    ASSERT_TRUE(WaitUntil([&] { return Form5() && IsWindowVisible(Form5()); })) << "no mini screen";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(form); })) << "the main window stays";
    HWND mini = Form5();
    EXPECT_TRUE(e2e::StyleOf(mini) & WS_POPUP);
    EXPECT_EQ(e2e::StyleOf(mini) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_TRUE(e2e::ExStyleOf(mini) & WS_EX_TOPMOST);
    const RECT miniPlace = e2e::PlaceOf(mini);
    EXPECT_EQ(e2e::Width(miniPlace), 3135 / 15) << Show(miniPlace);
    EXPECT_EQ(e2e::Height(miniPlace), 1455 / 15) << Show(miniPlace);
    EXPECT_EQ(e2e::ClassOf(Control5("Picture1")), "MoonrakeSurface");
    HWND list = Control5("List1");
    EXPECT_EQ(e2e::ClassOf(list), "ListBox");
    EXPECT_EQ(GetParent(list), Control5("Picture1"));
    const RECT listPlace = e2e::PlaceOf(list);
    const RECT expectedList{8, 8, 201, 88};
    EXPECT_TRUE(EqualRect(&listPlace, &expectedList)) << Show(listPlace);
    const std::vector<std::string> help = e2e::ListLines(list);
    ASSERT_EQ(help.size(), 63u);
    EXPECT_EQ(help[0], "\t     main ruze");
    EXPECT_EQ(help[11], "sms - will show main stats");
    EXPECT_EQ(help[62], "-hfas - will hide font ascii stats");

    // Minimised while hidden: it stays hidden, and comes back minimised.
    ASSERT_EQ(Command("min"), (Lines{Own("min"), Status("bob", "minimized", "ruze")}));
    EXPECT_FALSE(IsWindowVisible(form));
    ASSERT_EQ(Command("fulv"), (Lines{Own("fulv"), Status("bob", "using", "full version")}));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(mini) && IsWindowVisible(form); }));
    EXPECT_TRUE(IsIconic(form));
    ASSERT_EQ(Command("res"), (Lines{Own("res"), Status("bob", "restored", "ruze")}));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(form); }));
    restored = e2e::PlaceOf(form);
    EXPECT_TRUE(EqualRect(&restored, &normal)) << Show(restored) << " was " << Show(normal);
    ExitWith("bob");
}

// The commands that show, restore and swap the windows leave the keyboard
// where the user types: the next line must land in the chat.
TEST_F(Session, ShowingTheWindowsLeavesTheKeyboardWithTheClient) {
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND frame = FindWindowA("AOL Frame25", nullptr);
    ASSERT_TRUE(frame);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == frame; }))
        << "the closed prompt gave the keyboard back to the client";
    SetForegroundWindow(frame);
    for (const char* command : {"minv", "fulv", "min", "res", "minv", "min", "fulv", "res"}) {
        ASSERT_EQ(Command(command).size(), 2u) << command;
        client_->Services().runtime.WaitForEvents(100ms);
        EXPECT_EQ(GetForegroundWindow(), frame) << "after " << command;
    }
    ExitWith("bob");
}

// The member sends commands as fast as the client takes them, each as soon
// as the last reached the room, so that the program's replies and the
// member's sends meet in the client: every command is answered once.
TEST_F(Session, CommandsAtFullSpeedAreEachAnsweredOnce) {
    ASSERT_NO_FATAL_FAILURE(Start());
    constexpr int kCommands = 50;
    Lines expected;
    std::string handle = "bob";
    for (int i = 1; i <= kCommands; ++i) {
        const std::string next = "n" + std::to_string(i);
        const RoomLine typed = Own("h " + next);
        client_->Type(typed.text);
        expected.push_back(typed);
        expected.push_back(Status(handle, "handle changed", next));
        handle = next;
        ASSERT_TRUE(WaitUntil([&] {
            const Lines all = client_->Transcript();
            return std::find(all.begin(), all.end(), typed) != all.end();
        })) << typed.text
            << " never reached the room";
    }
    Lines came = NewLines(expected.size());
    auto order = [](const RoomLine& a, const RoomLine& b) { return a.text < b.text; };
    std::sort(came.begin(), came.end(), order);
    std::sort(expected.begin(), expected.end(), order);
    EXPECT_EQ(came, expected);
    client_->Services().runtime.WaitForEvents(300ms);
    EXPECT_EQ(client_->Transcript().size(), taken_) << "nothing came twice";
    ExitWith(handle);
}

// --- idle ------------------------------------------------------------------------

// The notice comes a minute after going idle, on the real clock: this waits
// for one, and then leaves idle mode.
TEST_F(Session, IdleAnnouncesItselfOnceAMinute) {
    ASSERT_NO_FATAL_FAILURE(Start());
    client_->Type("i");  // no reason: nothing
    client_->Type("i lunch");
    ASSERT_EQ(NewLines(3), (Lines{Own("i"), Own("i lunch"), Status("bob", "is idle", "lunch")}));
    const auto idleSince = Clock::now();
    ASSERT_EQ(Command("i dinner"), (Lines{Own("i dinner"), Status("bob", "your already", "idle")}));
    ASSERT_EQ(Command("cr coffee"),
              (Lines{Own("cr coffee"), Status("bob", "changed idle rsn", "coffee")}));

    ASSERT_EQ(NewLines(1, 75s), Lines{Status("bob", "is idle", "coffee")});
    const auto noticeAfter = Clock::now() - idleSince;
    EXPECT_GT(noticeAfter, 58s);
    EXPECT_LT(noticeAfter, 63s);
    // A pause of about a second, then the count.
    ASSERT_EQ(NewLines(1, 5s), Lines{Status("bob", "has been idle for", "1 min's")});

    ASSERT_EQ(Command("io"), (Lines{Own("io"), Status("bob", "no longer", "idle")}));
    ASSERT_EQ(Command("io"), (Lines{Own("io"), Status("bob", "your not", "idle")}));
    ExitWith("bob");
}

// --- the mp3 player --------------------------------------------------------------

TEST_F(Session, Mp3PanelPlaysFromTheSongFolder) {
    if (e2e::SongFolder().empty()) GTEST_SKIP() << "no --songs=FOLDER";
    const std::string songs = e2e::SongFolder();
    const std::vector<std::string> names{"first tone.mp3", "second tone.mp3"};
    ASSERT_NO_FATAL_FAILURE(Start());
    HWND form = Form1();
    HWND bar = Control1("DogBar1");
    const auto position = [&] { return static_cast<int>(e2e::SendBounded(bar, kGetPos, 0, 0)); };

    // The list starts in the working folder, which is empty.
    ASSERT_EQ(Command("mp3"), (Lines{Own("mp3"), Status("bob", "no", "mp3s")}));
    EXPECT_EQ(e2e::Width(e2e::PlaceOf(form)), 4230 / 15);
    ASSERT_EQ(Command("d " + songs),
              (Lines{Own("d " + songs), Status("bob", "set directory", songs)}));
    ASSERT_EQ(Command("mp3"), (Lines{Own("mp3"), Status("bob", "viewing", "mp3s & controls")}));
    EXPECT_TRUE(WaitUntil([&] { return e2e::Width(e2e::PlaceOf(form)) == 7350 / 15; }))
        << Show(e2e::PlaceOf(form));
    HWND files = Control1("File1");
    EXPECT_TRUE(IsWindowVisible(files));
    EXPECT_EQ(e2e::ListLines(files), names);
    EXPECT_TRUE(WaitUntil([&] { return Text1("Label15") == "mp3s - 2"; })) << Text1("Label15");

    // A named song plays: the bar's scale is its length in seconds, its
    // position follows the clock, its name scrolls.
    ASSERT_EQ(Command("p first tone.mp3"),
              (Lines{Own("p first tone.mp3"), Status("bob", "bumpin", "first tone.mp3")}));
    ASSERT_TRUE(WaitUntil([&] { return position() >= 1; }))
        << "the song does not play: position " << position();
    EXPECT_EQ(e2e::SendBounded(bar, kGetRange, FALSE, 0), 8) << "an 8 s song";
    const int early = position();
    EXPECT_TRUE(WaitUntil([&] { return position() > early; }, 3s)) << "stuck at " << early;
    const std::string caption = Text1("Label21");
    EXPECT_TRUE(IsRotationOf(caption, "first tone.mp3")) << caption;
    EXPECT_TRUE(WaitUntil([&] { return Text1("Label21") != caption; }, 1s)) << "no scrolling";
    EXPECT_TRUE(IsRotationOf(Text1("Label21"), "first tone.mp3")) << Text1("Label21");

    // Paused it holds still; unpaused it goes on.
    ASSERT_EQ(Command("pa"), (Lines{Own("pa"), Status("bob", "beat", "paused")}));
    const int held = position();
    EXPECT_FALSE(WaitUntil([&] { return position() != held; }, 1500ms)) << "moved while paused";
    ASSERT_EQ(Command("up"), (Lines{Own("up"), Status("bob", "beat", "unpaused")}));
    EXPECT_TRUE(WaitUntil([&] { return position() > held; }, 3s)) << "stuck after unpausing";

    ASSERT_EQ(Command("v 50.5"), (Lines{Own("v 50.5"), Status("bob", "set volume", "50.5")}));
    ASSERT_EQ(Command("b 120"), (Lines{Own("b 120"), Status("bob", "set balance", "120")}));
    ASSERT_EQ(Command("mu"), (Lines{Own("mu"), Status("bob", "beat", "muted")}));
    ASSERT_EQ(Command("um"), (Lines{Own("um"), Status("bob", "beat", "unmuted")}));
    ASSERT_EQ(Command("stp"), (Lines{Own("stp"), Status("bob", "beat", "stopped")}));
    EXPECT_TRUE(WaitUntil([&] { return position() == 0; })) << "still at " << position();

    // A random song: one of the list, selected there, named in the caption.
    const Lines random = Command("r");
    ASSERT_EQ(random.size(), 2u);
    EXPECT_EQ(random[0], Own("r"));
    const auto chosen = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
        return random[1] == Status("bob", "random beat", name);
    });
    ASSERT_NE(chosen, names.end()) << ::testing::PrintToString(random[1]);
    EXPECT_EQ(e2e::ListSelection(files), chosen - names.begin());
    EXPECT_TRUE(IsRotationOf(Text1("Label21"), *chosen)) << Text1("Label21");
    EXPECT_TRUE(WaitUntil([&] { return position() >= 1; })) << "the random song does not play";

    // The panel's own buttons, clicked: stop empties the bar and the
    // caption, play plays the selected song again.
    e2e::PostClick(Control1("Label20"));
    EXPECT_TRUE(WaitUntil([&] { return Text1("Label21") == "nothing" && position() == 0; }))
        << Text1("Label21") << ", position " << position();
    e2e::PostClick(Control1("Label19"));
    EXPECT_TRUE(WaitUntil([&] { return IsRotationOf(Text1("Label21"), *chosen); }))
        << Text1("Label21");
    EXPECT_TRUE(WaitUntil([&] { return position() >= 1; })) << "play does not play";
    ASSERT_EQ(Command("stp"), (Lines{Own("stp"), Status("bob", "beat", "stopped")}));

    // Hidden once, then already hidden; a folder that is not there keeps the list.
    ASSERT_EQ(Command("3pm"), (Lines{Own("3pm"), Status("bob", "hideing", "mp3s")}));
    EXPECT_TRUE(WaitUntil([&] { return e2e::Width(e2e::PlaceOf(form)) == 4230 / 15; }));
    ASSERT_EQ(Command("3pm"), (Lines{Own("3pm"), Status("bob", "not viewing", "mp3s")}));
    const std::string nowhere = songs + "\\no such folder";
    ASSERT_EQ(Command("d " + nowhere),
              (Lines{Own("d " + nowhere), Status("bob", "directory", "invalid")}));
    ASSERT_EQ(Command("mp3"), (Lines{Own("mp3"), Status("bob", "viewing", "mp3s & controls")}));
    EXPECT_EQ(e2e::ListLines(files), names);
    ExitWith("bob");
}

}  // namespace
