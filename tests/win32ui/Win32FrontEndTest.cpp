// The Win32 front end under Wine's null display driver: the forms' controls
// as windows (their places, styles, texts, fonts and pixels), what the mouse
// does reaching the forms, and the windows following the forms' changes. The
// windows' behaviour itself is tested without a toolkit (tests/forms).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// World.h first: windows.h must come after the project's headers.
#include "tests/win32ui/World.h"

#include "tests/win32ui/Capture.h"
#include "ui/win32/LocaleSeparators.h"

// After windows.h (World.h).
#include <commctrl.h>

using namespace std::chrono_literals;
using win32uitest::Capture;
using win32uitest::ClassOf;
using win32uitest::GreyRunsDownColumn;
using win32uitest::Image;
using win32uitest::PlaceInTopLevel;
using win32uitest::PlaceOf;
using win32uitest::SendClick;
using win32uitest::TextOf;
using win32uitest::World;

namespace {

const std::string kAnsiTitle = "moonrake ruze \xB2";

std::vector<int> AllBands() {
    std::vector<int> bands;
    for (int grey = 252; grey >= 0; grey -= 4) bands.push_back(grey);
    return bands;
}

bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

std::string Show(const RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top) + ")";
}

RECT Rect(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

LONG StyleOf(HWND window) {
    return GetWindowLongA(window, GWL_STYLE);
}
LONG ExStyleOf(HWND window) {
    return GetWindowLongA(window, GWL_EXSTYLE);
}

std::vector<std::string> ListLines(HWND list) {
    std::vector<std::string> lines;
    const auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
        std::string line(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        line.resize(static_cast<std::size_t>(length));
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

// --- the windows --------------------------------------------------------------------

TEST(Windows, BorderlessTopmostPopupsOfTheFormsSize) {
    World world;
    forms::Form1& form = world.Start();
    HWND main = world.Window();
    ASSERT_TRUE(main);
    EXPECT_TRUE(StyleOf(main) & WS_POPUP);
    EXPECT_FALSE(StyleOf(main) & WS_CHILD);
    EXPECT_EQ(StyleOf(main) & WS_CAPTION, 0) << "no title bar";
    EXPECT_EQ(StyleOf(main) & (WS_THICKFRAME | WS_BORDER | WS_DLGFRAME), 0) << "no border";
    EXPECT_TRUE(ExStyleOf(main) & WS_EX_TOPMOST);
    EXPECT_EQ(TextOf(main), kAnsiTitle);
    EXPECT_TRUE(IsWindowVisible(main));

    // Cut down to 4230 x 2175 twips, where the form put it.
    RECT place = PlaceOf(main);
    EXPECT_TRUE(SameRect(
        place, Rect(forms::Pixels(form.LeftTwips()), forms::Pixels(form.TopTwips()), 282, 145)))
        << Show(place);
    RECT client;
    GetClientRect(main, &client);
    EXPECT_TRUE(SameRect(client, Rect(0, 0, 282, 145))) << "all of it is client area";

    // The mp3 command's width, and back.
    form.SetForm1Width(engine::kWideWidth);
    place = PlaceOf(main);
    EXPECT_EQ(place.right - place.left, 490);
    form.SetForm1Width(engine::kNarrowWidth);
    place = PlaceOf(main);
    EXPECT_EQ(place.right - place.left, 282);

    // The mini screen, made hidden by the first command that touches it.
    form.HideForm5();
    HWND mini = world.MiniWindow();
    ASSERT_TRUE(mini);
    EXPECT_FALSE(IsWindowVisible(mini));
    EXPECT_TRUE(StyleOf(mini) & WS_POPUP);
    EXPECT_EQ(StyleOf(mini) & WS_CAPTION, 0);
    EXPECT_TRUE(ExStyleOf(mini) & WS_EX_TOPMOST);
    EXPECT_EQ(TextOf(mini), "mini screen");
    place = PlaceOf(mini);
    EXPECT_EQ(place.right - place.left, 209);
    EXPECT_EQ(place.bottom - place.top, 97);
    form.ShowForm5();
    EXPECT_TRUE(IsWindowVisible(mini));
    form.HideForm5();
    EXPECT_FALSE(IsWindowVisible(mini));
}

TEST(Windows, HiddenShownMinimisedAndRestored) {
    World world;
    forms::Form1& form = world.Start();
    HWND main = world.Window();
    form.HideForm1();
    EXPECT_FALSE(IsWindowVisible(main));
    // A state set while hidden waits for the show.
    form.SetForm1WindowState(engine::WindowState::Minimized);
    EXPECT_FALSE(IsWindowVisible(main));
    form.ShowForm1();
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsIconic(main));
    const LONG leftTwips = form.LeftTwips();
    form.SetForm1WindowState(engine::WindowState::Normal);
    EXPECT_FALSE(IsIconic(main));
    // Minimised, the window stood somewhere else; the form kept its place.
    EXPECT_EQ(form.LeftTwips(), leftTwips);
    EXPECT_EQ(PlaceOf(main).left, forms::Pixels(leftTwips));
}

TEST(Windows, RestoredByTheSystemTheMainWindowMinimisesAgainOnTheNextMin) {
    World world;
    forms::Form1& form = world.Start();
    HWND main = world.Window();
    form.SetForm1WindowState(engine::WindowState::Minimized);
    ASSERT_TRUE(IsIconic(main));
    // What a click on the taskbar button sends.
    SendMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_FALSE(IsIconic(main));
    EXPECT_EQ(form.Form1WindowState(), engine::WindowState::Normal);
    form.SetForm1WindowState(engine::WindowState::Minimized);
    EXPECT_TRUE(IsIconic(main));
    // And the other way: minimised by the system, "res" restores it.
    SendMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(main));
    form.SetForm1WindowState(engine::WindowState::Normal);
    EXPECT_FALSE(IsIconic(main));
}

TEST(Windows, TheMiniScreenFirstStandsWhereTheSystemPutsANewWindow) {
    World world;
    forms::Form1& form = world.Start();
    form.ShowForm5();
    const RECT place = PlaceOf(world.MiniWindow());
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_FALSE(place.left == area.left && place.top == area.top) << "not the corner";
    EXPECT_GE(place.left, area.left);
    EXPECT_GE(place.top, area.top);
    EXPECT_LE(place.right, area.right);
    EXPECT_LE(place.bottom, area.bottom);
    // The form knows where that is.
    EXPECT_EQ(forms::Pixels(form.MiniScreen()->LeftTwips()), place.left);
    EXPECT_EQ(forms::Pixels(form.MiniScreen()->TopTwips()), place.top);
}

TEST(Windows, ClosingTheMainWindowUnloadsTheProgram) {
    World world;
    forms::Form1& form = world.Start();
    SendMessageA(world.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form.Unloaded());
    EXPECT_TRUE(world.runtime.QuitRequested());
    EXPECT_FALSE(IsWindowVisible(world.Window()));
    EXPECT_TRUE(IsWindow(world.Window())) << "hidden, not destroyed, while the form lives";
}

TEST(Windows, TheSystemMovingAWindowMovesTheForm) {
    World world;
    forms::Form1& form = world.Start();
    SetWindowPos(world.Window(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(form.LeftTwips(), 750);
    EXPECT_EQ(form.TopTwips(), 900);
}

// --- the controls -------------------------------------------------------------------

struct Placed {
    const char* control;
    RECT pixels;  // in the parent's client area
    const char* parent;
    const char* windowClass;
};

class Layout : public ::testing::TestWithParam<Placed> {};

TEST_P(Layout, EachControlIsAChildWindowAtItsPlace) {
    const Placed& expected = GetParam();
    World world;
    world.Start();
    HWND control = world.Control(expected.control);
    ASSERT_TRUE(control);
    const RECT place = PlaceOf(control);
    EXPECT_TRUE(SameRect(place, expected.pixels)) << Show(place);
    EXPECT_EQ(GetParent(control), world.Control(expected.parent));
    EXPECT_EQ(ClassOf(control), expected.windowClass);
    EXPECT_TRUE(StyleOf(control) & WS_CHILD);
}

INSTANTIATE_TEST_SUITE_P(
    Form1, Layout,
    ::testing::Values(Placed{"Picture1", Rect(0, 0, 489, 145), "Form1", "MoonrakeSurface"},
                      Placed{"Label14", Rect(0, 0, 281, 33), "Picture1", "Static"},
                      Placed{"List6", Rect(48, 32, 185, 80), "Picture1", "ListBox"},
                      Placed{"Label4", Rect(144, 128, 57, 17), "Picture1", "Static"},
                      Placed{"Label8", Rect(200, 128, 25, 17), "Picture1", "Static"},
                      Placed{"Label6", Rect(216, 128, 33, 17), "Picture1", "Static"},
                      Placed{"Label2", Rect(248, 128, 25, 17), "Picture1", "Static"},
                      Placed{"Label9", Rect(272, 128, 9, 17), "Picture1", "Static"},
                      Placed{"Label7", Rect(0, 208, 65, 25), "Form1", "Static"},
                      Placed{"File1", Rect(288, 8, 193, 92), "Form1", "ListBox"},
                      Placed{"Label19", Rect(288, 104, 9, 17), "Picture1", "Static"},
                      Placed{"Label26", Rect(320, 104, 9, 17), "Picture1", "Static"},
                      Placed{"Label10", Rect(320, 104, 11, 17), "Picture1", "Static"},
                      Placed{"Label25", Rect(336, 88, 9, 9), "Picture1", "Static"},
                      Placed{"Label23", Rect(440, 104, 17, 16), "Picture1", "Static"},
                      Placed{"DogBar1", Rect(288, 120, 193, 9), "Picture1", "Static"},
                      Placed{"Label21", Rect(288, 128, 191, 16), "Picture1", "Static"}),
    [](const ::testing::TestParamInfo<Placed>& info) { return std::string(info.param.control); });

TEST(Controls, LaterControlsStandInFrontAndHiddenOnesTakeNoPlace) {
    World world;
    forms::Form1& form = world.Start();
    HWND main = world.Window();
    // The file list stands on the window in front of the surface, over the
    // hotspot label's place.
    form.SetForm1Width(engine::kWideWidth);
    form.File1().SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(world.Control("File1")));
    const POINT hotspot{336 + 4, 88 + 4};
    EXPECT_EQ(ChildWindowFromPointEx(main, hotspot, CWP_SKIPINVISIBLE), world.Control("File1"));
    form.File1().SetVisible(false);
    EXPECT_EQ(ChildWindowFromPointEx(main, hotspot, CWP_SKIPINVISIBLE), world.Control("Picture1"));
    // The resume glyph starts hidden; its twin shows.
    EXPECT_FALSE(IsWindowVisible(world.Control("Label10")));
    EXPECT_TRUE(IsWindowVisible(world.Control("Label26")));
}

TEST(Controls, LabelsSizedToTheirTextGrowFromTheirAnchoredEdge) {
    World world;
    world.Start();
    world.runtime.Advance(10ms);
    HWND date = world.Control("Label5");
    const RECT place = PlaceOf(date);
    EXPECT_EQ(place.right, 251 + 22) << "the date keeps its right edge";
    EXPECT_EQ(place.top, 112);
    EXPECT_EQ(TextOf(date), "01/15/03");
    // As wide as its text in its font, and one pixel more.
    HDC dc = GetDC(date);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(date, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, "01/15/03", 8, &size);
    SelectObject(dc, old);
    ReleaseDC(date, dc);
    EXPECT_EQ(place.right - place.left, size.cx + 1);
    EXPECT_EQ(PlaceOf(world.Control("Label1")).left, 8) << "the strip keeps its left edge";
}

struct Captioned {
    const char* control;
    const char* ansiText;
};

class Captions : public ::testing::TestWithParam<Captioned> {};

TEST_P(Captions, InTheAnsiCodePage) {
    World world;
    world.Start();
    EXPECT_EQ(TextOf(world.Control(GetParam().control)), GetParam().ansiText);
}

INSTANTIATE_TEST_SUITE_P(
    Form1, Captions,
    ::testing::Values(Captioned{"Label14", "moonrake ruze \xB2"},
                      Captioned{"Label1", "moonrake ruze \xB2 \x9B log'd in  -  ("},
                      Captioned{"Label4", "bob"}, Captioned{"Label8", ") \x9B"},
                      Captioned{"Label6", "trig - ("}, Captioned{"Label19", "4"},
                      Captioned{"Label10", "q"}, Captioned{"Label21", "nothing"},
                      Captioned{"Label15", "mp3s"}),
    [](const ::testing::TestParamInfo<Captioned>& info) {
        return std::string(info.param.control);
    });

struct FontOf {
    const char* control;
    const char* face;  // as asked for by name
    LONG height;       // pixels of a 96 dpi screen
    bool bold;
};

class Fonts : public ::testing::TestWithParam<FontOf> {};

TEST_P(Fonts, ByFaceNameAtTheLayoutsSize) {
    const FontOf& expected = GetParam();
    World world;
    world.Start();
    auto font =
        reinterpret_cast<HFONT>(SendMessageA(world.Control(expected.control), WM_GETFONT, 0, 0));
    ASSERT_TRUE(font);
    LOGFONTA logFont{};
    ASSERT_TRUE(GetObjectA(font, sizeof logFont, &logFont));
    EXPECT_STREQ(logFont.lfFaceName, expected.face);
    EXPECT_EQ(logFont.lfHeight, -expected.height);
    EXPECT_EQ(logFont.lfWeight >= FW_BOLD, expected.bold);
}

INSTANTIATE_TEST_SUITE_P(Form1, Fonts,
                         ::testing::Values(FontOf{"Label14", "Porky's", 27, true},
                                           FontOf{"Label4", "Tahoma", 11, false},
                                           FontOf{"List6", "Tahoma", 11, false},
                                           FontOf{"Label19", "Webdings", 11, false},
                                           FontOf{"Label15", "Palatino Linotype", 11, false},
                                           FontOf{"Label21", "Small Fonts", 8, false},
                                           FontOf{"File1", "Small Fonts", 8, false},
                                           FontOf{"Label11", "MS Shell Dlg", 11, false}),
                         [](const ::testing::TestParamInfo<FontOf>& info) {
                             return std::string(info.param.control);
                         });

TEST(Controls, HelpListsAreListBoxesWithTabStops) {
    World world;
    forms::Form1& form = world.Start();
    HWND list6 = world.Control("List6");
    EXPECT_TRUE(StyleOf(list6) & LBS_USETABSTOPS);
    const std::vector<std::string> lines = ListLines(list6);
    ASSERT_EQ(lines.size(), 53u);
    EXPECT_EQ(lines[0], "\t     main ruze");
    EXPECT_EQ(lines[52], "imof - will turn ims off");
    form.HideForm5();
    HWND list1 = world.MiniControl("List1");
    ASSERT_TRUE(list1);
    EXPECT_EQ(ListLines(list1).size(), 63u);
    EXPECT_TRUE(SameRect(PlaceOf(list1), Rect(8, 8, 193, 80))) << Show(PlaceOf(list1));
}

TEST(Controls, ChangesReachTheWindows) {
    World world;
    forms::Form1& form = world.Start();
    world.client.Type("h carl");
    world.runtime.Advance(1s);
    EXPECT_EQ(TextOf(world.Control("Label4")), "carl");
    form.State().trigger = "!";
    world.runtime.Advance(10ms);
    EXPECT_EQ(TextOf(world.Control("Label2")), "!");
    form.SetSongCaption("tone.mp3");
    EXPECT_EQ(TextOf(world.Control("Label21")), "tone.mp3");
    form.File1().SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(world.Control("File1")));
}

TEST(Controls, FileListSelectionGoesBothWays) {
    const auto folder = std::filesystem::temp_directory_path() / "win32ui-files";
    std::filesystem::create_directories(folder);
    for (const char* name : {"a.mp3", "b.mp3"}) std::ofstream(folder / name).put('x');
    World world;
    forms::Form1& form = world.Start();
    ASSERT_TRUE(form.File1().SetPath(folder.string()));
    HWND list = world.Control("File1");
    EXPECT_EQ(ListLines(list), (std::vector<std::string>{"a.mp3", "b.mp3"}));
    form.File1().SetListIndex(1);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    // The user clicks the first line.
    form.File1().SetVisible(true);
    SendClick(list, 5, 2);
    EXPECT_EQ(form.File1().ListIndex(), 0);
    EXPECT_EQ(form.File1().FileName(), "a.mp3");
    std::filesystem::remove_all(folder);
}

// --- pixels -------------------------------------------------------------------------

TEST(Pixels, SixtyFourGreyBandsOnBothWindows) {
    World world;
    forms::Form1& form = world.Start();
    const Image main = Capture(world.Window());
    ASSERT_EQ(main.width, 282);
    ASSERT_EQ(main.height, 145);
    EXPECT_EQ(main.Grey(4, 0), 252);
    EXPECT_EQ(main.Grey(4, 144), 0);
    // Down to the strip's upper line the column shows nothing but bands.
    const std::vector<int> upper = GreyRunsDownColumn(main, 4, 0, 128);
    EXPECT_GT(upper.size(), 50u);
    const std::vector<int> bands = AllBands();
    EXPECT_TRUE(std::equal(upper.begin(), upper.end(), bands.begin()));
    // The lines: above and below the strip, and the divider.
    EXPECT_EQ(main.At(100, 128), 0u);
    EXPECT_EQ(main.At(100, 144), 0u);
    EXPECT_EQ(main.At(280, 60), 0u);

    form.ShowForm5();
    const Image mini = Capture(world.MiniWindow());
    ASSERT_EQ(mini.height, 97);
    EXPECT_EQ(GreyRunsDownColumn(mini, 2, 0, 97), bands);
    EXPECT_EQ(GreyRunsDownColumn(mini, 205, 0, 97), bands);
}

TEST(Pixels, AChangedCaptionLeavesNothingOfTheOldOne) {
    World shown;
    shown.Start("i");
    const RECT label4 = PlaceInTopLevel(shown.Control("Label4"));
    const Image expected = Capture(shown.Window()).Part(label4);

    World changed;
    changed.Start("WWWWWWWW");
    const Image before = Capture(changed.Window()).Part(label4);
    EXPECT_NE(before, expected) << "the text is drawn at all";
    changed.client.Type("h i");
    changed.runtime.Advance(1s);
    ASSERT_EQ(TextOf(changed.Control("Label4")), "i");
    // Only what the window itself asked to have painted.
    const Image after = Capture(changed.Window(), false).Part(label4);
    EXPECT_EQ(after, expected);
}

TEST(Pixels, TheBarFillsFromTheLeftOnItsBackColour) {
    World world;
    forms::Form1& form = world.Start();
    form.SetForm1Width(engine::kWideWidth);
    const RECT bar = PlaceInTopLevel(world.Control("DogBar1"));
    const Image empty = Capture(world.Window()).Part(bar);
    for (int x : {0, 96, 192}) EXPECT_EQ(empty.At(x, 4), 0x808080u) << x;
    world.player.length = 10;
    world.player.position = 5;
    form.SetTimerEnabled(engine::FormTimer::Timer2, true);
    world.runtime.Advance(10ms);
    const Image half = Capture(world.Window(), false).Part(bar);
    // All of it, also the rows the glyph buttons and the song caption in
    // front of it overlap.
    EXPECT_EQ(half.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(half.At(95, 8), 0xFFFFFFu);
    EXPECT_EQ(half.At(96, 0), 0x808080u) << "96.5 pixels, halves to even";
    EXPECT_EQ(half.At(192, 8), 0x808080u);
}

// The bar tells its full scale and fill position as the system's progress
// bars do (PBM_GETRANGE, PBM_GETPOS), following the progress timer.
TEST(Controls, TheBarAnswersTheProgressBarQueries) {
    constexpr UINT kGetRange = WM_USER + 7;
    constexpr UINT kGetPos = WM_USER + 8;
    World world;
    forms::Form1& form = world.Start();
    HWND bar = world.Control("DogBar1");
    EXPECT_EQ(SendMessageA(bar, kGetRange, FALSE, 0), 0);
    EXPECT_EQ(SendMessageA(bar, kGetPos, 0, 0), 0);
    world.player.length = 187.4;
    world.player.position = 42.5;
    form.SetTimerEnabled(engine::FormTimer::Timer2, true);
    world.runtime.Advance(10ms);
    EXPECT_EQ(SendMessageA(bar, kGetRange, FALSE, 0), 187);
    EXPECT_EQ(SendMessageA(bar, kGetRange, TRUE, 0), 0) << "the low end";
    EXPECT_EQ(SendMessageA(bar, kGetPos, 0, 0), 42) << "42.5 halves to even";
    world.player.position = 43.2;
    world.runtime.Advance(10ms);
    EXPECT_EQ(SendMessageA(bar, kGetPos, 0, 0), 43);
}

// Pictures of the windows for people to look at, written where
// WIN32UI_PICTURES names a folder.
TEST(Pixels, PicturesOfTheWindows) {
    const char* folder = std::getenv("WIN32UI_PICTURES");
    if (!folder || !*folder) GTEST_SKIP() << "WIN32UI_PICTURES is not set";
    const auto songs = std::filesystem::temp_directory_path() / "win32ui-songs";
    std::filesystem::create_directories(songs);
    for (const char* name : {"moonlight drive.mp3", "rake it in.mp3", "ruze.mp3"}) {
        std::ofstream(songs / name).put('x');
    }
    World world;
    forms::Form1& form = world.Start();
    world.client.Type("d " + songs.string());
    world.runtime.Advance(1s);
    world.client.Type("mp3");
    world.runtime.Advance(1s);
    form.File1().SetListIndex(1);
    world.player.length = 10;
    world.player.position = 3;
    form.SetTimerEnabled(engine::FormTimer::Timer2, true);
    world.runtime.Advance(10ms);
    EXPECT_TRUE(win32uitest::SaveBmp(Capture(world.Window()), std::string(folder) + "\\form1.bmp"));
    form.ShowForm5();
    EXPECT_TRUE(
        win32uitest::SaveBmp(Capture(world.MiniWindow()), std::string(folder) + "\\form5.bmp"));
    std::filesystem::remove_all(songs);
}

// --- the mouse ----------------------------------------------------------------------

class Drag : public ::testing::TestWithParam<bool> {};

TEST_P(Drag, MovesTheWindowByTheCursorLessTheGrabPoint) {
    const bool mini = GetParam();
    World world;
    forms::Form1& form = world.Start();
    if (mini) form.ShowForm5();
    forms::Form& model = mini ? static_cast<forms::Form&>(*form.MiniScreen()) : form;
    HWND window = mini ? world.MiniWindow() : world.Window();
    HWND handle = mini ? world.MiniControl("List1") : world.Control("Label1");
    const RECT start = PlaceOf(window);

    SetCursorPos(400, 300);
    // A move with no press before it moves nothing.
    SendMessageA(handle, WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
    EXPECT_TRUE(SameRect(PlaceOf(window), start));

    SendMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 5));
    EXPECT_EQ(int(model.Dragging()), 1);
    SendMessageA(handle, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(31, 6));
    EXPECT_EQ(model.LeftTwips(), 5970);
    EXPECT_EQ(model.TopTwips(), 4495);
    const RECT moved = PlaceOf(window);
    EXPECT_EQ(moved.left, 398);
    EXPECT_EQ(moved.top, 300);
    SendMessageA(handle, WM_LBUTTONUP, 0, MAKELPARAM(31, 6));
    EXPECT_EQ(int(model.Dragging()), 0);
    EXPECT_NE(GetCapture(), handle) << "the pointer is let go";
    // After the release a move is only a move.
    SetCursorPos(500, 400);
    SendMessageA(handle, WM_MOUSEMOVE, 0, MAKELPARAM(31, 6));
    EXPECT_EQ(model.LeftTwips(), 5970);
}

INSTANTIATE_TEST_SUITE_P(Forms, Drag, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Form5ByList1" : "Form1ByLabel1");
                         });

TEST(Mouse, ClicksOnLabelsReachTheForm) {
    World world;
    forms::Form1& form = world.Start();
    HWND label9 = world.Control("Label9");
    SendClick(label9);
    EXPECT_EQ(form.CaptionOf("Label6"), "mp3 c-ruze");
    EXPECT_EQ(TextOf(world.Control("Label6")), "mp3 c-ruze");
    EXPECT_FALSE(IsWindowVisible(world.Control("Label14")));
    // A right click is no click, nor a release away from the label.
    SendMessageA(label9, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(2, 2));
    SendMessageA(label9, WM_RBUTTONUP, 0, MAKELPARAM(2, 2));
    SendMessageA(label9, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(label9, WM_LBUTTONUP, 0, MAKELPARAM(40, 2));
    EXPECT_TRUE(world.runtime.messageBoxes.empty());
    SendClick(label9);
    EXPECT_EQ(world.runtime.messageBoxes,
              (std::vector<std::string>{"moonrake ruze \u00B2|already viewing mp3 c-ruze"}));
    // Two quick clicks are two clicks, although the second press comes as a
    // double click.
    SendMessageA(label9, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(label9, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SendMessageA(label9, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(label9, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(world.runtime.messageBoxes.size(), 3u);
    // The glyph buttons.
    SendClick(world.Control("Label26"));
    EXPECT_FALSE(IsWindowVisible(world.Control("Label26")));
    EXPECT_TRUE(IsWindowVisible(world.Control("Label10")));
    EXPECT_EQ(world.player.calls, std::vector<std::string>{"toggle"});
}

TEST(Mouse, LabelsThatActOnNothingLetTheMouseThrough) {
    World world;
    world.Start();
    // Without SS_NOTIFY a static answers HTTRANSPARENT: the press goes to
    // the surface behind it.
    EXPECT_FALSE(StyleOf(world.Control("Label3")) & SS_NOTIFY);
    EXPECT_FALSE(StyleOf(world.Control("Label6")) & SS_NOTIFY);
    EXPECT_TRUE(StyleOf(world.Control("Label9")) & SS_NOTIFY);
    EXPECT_TRUE(StyleOf(world.Control("Label1")) & SS_NOTIFY);
}

// --- tooltips -------------------------------------------------------------------------

struct ToolTipOf {
    const char* control;
    const char* text;  // "" for none
};

class ToolTips : public ::testing::TestWithParam<ToolTipOf> {};

// The tooltip control of the window `owner`, or nullptr.
HWND ToolTipControlOf(HWND owner) {
    HWND found = nullptr;
    HWND candidate = nullptr;
    while ((candidate = FindWindowExA(nullptr, candidate, TOOLTIPS_CLASSA, nullptr)) != nullptr) {
        if (GetWindow(candidate, GW_OWNER) == owner) found = candidate;
    }
    return found;
}

TEST_P(ToolTips, EachControlWithATextHasATool) {
    const ToolTipOf& expected = GetParam();
    World world;
    world.Start();
    HWND tips = ToolTipControlOf(world.Window());
    ASSERT_TRUE(tips);
    EXPECT_TRUE(StyleOf(tips) & TTS_ALWAYSTIP) << "the program's windows are never active";
    HWND control = world.Control(expected.control);
    ASSERT_TRUE(control);

    char text[128] = "";
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = world.Window();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    const bool has = SendMessageA(tips, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(has, *expected.text != '\0');
    if (!has) return;
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, expected.text);
    // The tooltip learns of the pointer only from a control that takes it.
    RECT place;
    GetWindowRect(control, &place);
    const LPARAM middle =
        MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    EXPECT_NE(SendMessageA(control, WM_NCHITTEST, 0, middle), HTTRANSPARENT);
}

INSTANTIATE_TEST_SUITE_P(
    Form1, ToolTips,
    ::testing::Values(
        ToolTipOf{"Label14", "name of progs"}, ToolTipOf{"List6", "list of c-ruze"},
        ToolTipOf{"Label1", "name of c-ruze.(use this label to move the form around the screen)"},
        ToolTipOf{"Label4", "the handle you are loged in under"},
        ToolTipOf{"File1", "list of mp3s"}, ToolTipOf{"Label19", "play"},
        ToolTipOf{"Label20", "stop"}, ToolTipOf{"Label26", "pause\\unpause"},
        ToolTipOf{"Label28", "back a song"}, ToolTipOf{"Label27", "next song"},
        ToolTipOf{"Label15", "number of mp3s"}, ToolTipOf{"Label23", "volume"},
        ToolTipOf{"Label24", "balance"}, ToolTipOf{"DogBar1", "song position how much time left"},
        ToolTipOf{"Label21", "song that is playing"}, ToolTipOf{"Label3", ""},
        ToolTipOf{"Label8", ""}, ToolTipOf{"Label9", ""}, ToolTipOf{"Label10", ""},
        ToolTipOf{"Label25", ""}),
    [](const ::testing::TestParamInfo<ToolTipOf>& info) {
        return std::string(info.param.control);
    });

TEST(ToolTips, TheMiniScreenHasNone) {
    World world;
    forms::Form1& form = world.Start();
    form.ShowForm5();
    HWND tips = ToolTipControlOf(world.MiniWindow());
    if (tips) {
        EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 0);
    }
}

// --- the system's settings -------------------------------------------------------------

TEST(System, LocaleSeparators) {
    const forms::ClockSeparators us = ui::win32::SeparatorsOf(
        MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
    EXPECT_EQ(us.date, "/");
    EXPECT_EQ(us.time, ":");
    const forms::ClockSeparators german =
        ui::win32::SeparatorsOf(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
    EXPECT_EQ(german.date, ".");
    EXPECT_EQ(german.time, ":");
}

TEST(System, WorkAreaAndTopmost) {
    World world;
    forms::Form1& form = world.Start();
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const forms::Rect work = world.frontEnd.WorkArea();
    EXPECT_EQ(work.left, area.left);
    EXPECT_EQ(work.width, area.right - area.left);
    // The main window was centred in it.
    const RECT place = PlaceOf(world.Window());
    EXPECT_NEAR((place.left + place.right) / 2, (area.left + area.right) / 2, 1);
    EXPECT_NEAR((place.top + place.bottom) / 2, (area.top + area.bottom) / 2, 1);

    // An ordinary window brought to the front stays below; another topmost
    // one covers the main window until the next tick of the clock.
    HWND other = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10,
                                 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    const auto above = [](HWND window, HWND than) {
        for (HWND w = GetWindow(than, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
            if (w == window) return true;
        }
        return false;
    };
    EXPECT_TRUE(above(other, world.Window()));
    world.runtime.Advance(10ms);
    EXPECT_TRUE(above(world.Window(), other));
    DestroyWindow(other);
    (void)form;
}

// Keeping the window on top re-asserts its place; it must not take the
// keyboard a hundred times a second from the window the user types into
// (the chat client) while nothing covers the main window.
TEST(System, KeepingOnTopLeavesTheKeyboardWhereItIs) {
    World world;
    world.Start();
    HWND other = CreateWindowExA(0, "STATIC", "the chat client", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    world.runtime.Advance(100ms);
    EXPECT_EQ(GetForegroundWindow(), other);
    EXPECT_TRUE(ExStyleOf(world.Window()) & WS_EX_TOPMOST);
    DestroyWindow(other);
}
