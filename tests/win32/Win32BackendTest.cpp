// The Windows platform layer on its own: user32 calls across processes (with
// the stand-in client on the other side), the event loop on the thread's
// message queue, text in the system's ANSI code page, folder listing.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "aol/modAolTools.h"
#include "platform/AnsiText.h"
#include "platform/Random.h"
#include "platform/win32/WideFolder.h"
#include "platform/win32/Win32Runtime.h"
#include "platform/win32/Win32WindowApi.h"
#include "platform/win32/WindowEvents.h"
#include "tests/support/ClientDriver.h"
#include "tools/standin/ControlClient.h"
#include "tools/standin/ControlProtocol.h"

// After the project's headers: windows.h turns MessageBox into a macro, and its
// message macros (EM_GETLINE, ...) stand in for platform's constants below.
#include <windows.h>
#undef MessageBox

using namespace std::chrono_literals;
using platform::Hwnd;

namespace {

// --- WindowApi across processes ---

class CrossProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        driver = testsupport::MakeClientDriver();
        driver->SignOn({"Bob", "Lobby"});
        driver->Settle();
    }
    platform::WindowApi& windows() { return driver->Services().windows; }
    Hwnd Transcript() {
        Hwnd room = modAolTools::FindChatRoom(windows());
        return room ? modAolTools::FindNthChild(windows(), room, "RICHCNTL", 2) : 0;
    }
    std::unique_ptr<testsupport::ClientDriver> driver;
};

// Both ways of reading another process's rich edit: in its memory (Windows)
// and through WM_GETTEXT (what the program takes under Wine).
using RemoteText = platform::Win32WindowApi::RemoteText;
std::string WayName(const testing::TestParamInfo<RemoteText>& info) {
    return info.param == RemoteText::kProcessMemory ? "ProcessMemory" : "WindowText";
}
class CrossProcessText : public CrossProcess, public testing::WithParamInterface<RemoteText> {};
INSTANTIATE_TEST_SUITE_P(Ways, CrossProcessText,
                         testing::Values(RemoteText::kProcessMemory, RemoteText::kWindowText),
                         WayName);

TEST_P(CrossProcessText, TextRangesOfEveryLengthComeBackWhole) {
    platform::Win32WindowApi reader(std::chrono::seconds(5), GetParam());
    // Lengths around the points where a reply might be cut: the 60 or so
    // characters where EM_GETLINE breaks under Wine, the 16-bit size, beyond.
    const std::size_t lengths[] = {0, 1, 11, 12, 61, 200, 32750, 40000, 70000};
    // Wine's rich edit takes seconds to wrap a word of tens of thousands of
    // characters; no chat line is one, so here nothing wraps.
    driver->SetRoomWidth(0);
    std::string expected;
    for (std::size_t length : lengths) {
        driver->Say("KarenK", std::string(length, 'x') + "\xC2\xBB");
        expected += "KarenK:\t" + std::string(length, 'x') + "\xBB\r";
    }
    driver->Settle();
    Hwnd transcript = Transcript();
    ASSERT_NE(transcript, 0u);
    platform::GetTextLengthEx how{platform::GTL_DEFAULT, 0};
    auto length = reader.SendMessageA(transcript, platform::EM_GETTEXTLENGTHEX,
                                      reinterpret_cast<platform::WParam>(&how), 0);
    ASSERT_EQ(length, static_cast<platform::LResult>(expected.size()));
    std::vector<char> buffer(expected.size() + 16, '#');
    platform::TextRangeA all{{0, static_cast<std::int32_t>(length)}, buffer.data()};
    ASSERT_EQ(reader.SendMessageA(transcript, platform::EM_GETTEXTRANGE, 0,
                                  reinterpret_cast<platform::LParam>(&all)),
              length);
    EXPECT_TRUE(std::string(buffer.data(), expected.size()) == expected);
    EXPECT_EQ(buffer[expected.size()], '\0');
    EXPECT_EQ(buffer[expected.size() + 1], '#') << "nothing written past the terminator";
    // A piece from the middle.
    char piece[8] = {};
    platform::TextRangeA middle{{3, 9}, piece};
    EXPECT_EQ(reader.SendMessageA(transcript, platform::EM_GETTEXTRANGE, 0,
                                  reinterpret_cast<platform::LParam>(&middle)),
              6);
    EXPECT_STREQ(piece, "enK:\t\xBB");

    // A range past the end comes back as far as the text goes: the scanner
    // learns where the text ends from one read.
    std::vector<char> past(static_cast<std::size_t>(length) + 4096, '#');
    platform::TextRangeA beyond{
        {static_cast<std::int32_t>(length) - 2, static_cast<std::int32_t>(length) + 4000},
        past.data()};
    EXPECT_EQ(reader.SendMessageA(transcript, platform::EM_GETTEXTRANGE, 0,
                                  reinterpret_cast<platform::LParam>(&beyond)),
              2);
    EXPECT_STREQ(past.data(), "\xBB\r");

    // EM_GETLINE does not go to another process at all.
    char line[64] = "untouched";
    EXPECT_EQ(
        reader.SendMessageA(transcript, EM_GETLINE, 0, reinterpret_cast<platform::LParam>(line)),
        0);
    EXPECT_STREQ(line, "untouched");
}

TEST_F(CrossProcess, TheTranscriptWrapsIntoDisplayLinesAtTheWindowsWidth) {
    const std::string words = "word word word word word word word word word word word word";
    driver->Say("KarenK", words);
    driver->Settle();
    Hwnd transcript = Transcript();
    auto lines = [&] { return windows().SendMessageA(transcript, EM_GETLINECOUNT, 0, 0); };
    driver->SetRoomWidth(200);
    driver->Settle();
    EXPECT_EQ(lines(), 2) << "one paragraph and the empty line after it";
    driver->SetRoomWidth(15);
    driver->Settle();
    auto wrapped = lines();
    EXPECT_GT(wrapped, 3);
    // A wrap adds no character; the paragraph end adds one.
    for (platform::LResult n = 0; n + 1 < wrapped; ++n) {
        auto start =
            windows().SendMessageA(transcript, EM_LINEINDEX, static_cast<platform::WParam>(n), 0);
        auto length = windows().SendMessageA(transcript, EM_LINELENGTH,
                                             static_cast<platform::WParam>(start), 0);
        auto next = windows().SendMessageA(transcript, EM_LINEINDEX,
                                           static_cast<platform::WParam>(n + 1), 0);
        EXPECT_EQ(next - (start + length), n + 2 < wrapped ? 0 : 1) << "line " << n;
    }
}

TEST_F(CrossProcess, ControlTextIsReadWithWmGetText) {
    const std::string address = "www.\xE2\x80\xBA" + std::string(300, 'a') + ".com";
    modAolTools::GotoKeyword(windows(), address);
    driver->Settle();
    Hwnd edit = windows().FindWindowExA(
        windows().FindWindowExA(
            windows().FindWindowExA(
                windows().FindWindowExA(windows().FindWindowA("AOL Frame25"), 0, "AOL Toolbar"), 0,
                "_AOL_Toolbar"),
            0, "_AOL_Combobox"),
        0, "Edit");
    ASSERT_NE(edit, 0u);
    const std::string ansi = platform::ToAnsi(address) + " ";
    ASSERT_EQ(windows().SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0),
              static_cast<platform::LResult>(ansi.size()));
    for (std::size_t room : {ansi.size() + 1, ansi.size(), std::size_t{5}, std::size_t{1}}) {
        std::vector<char> buffer(room + 8, '#');
        auto got = windows().SendMessageA(edit, WM_GETTEXT, room,
                                          reinterpret_cast<platform::LParam>(buffer.data()));
        std::size_t expected = std::min(ansi.size(), room - 1);
        ASSERT_EQ(got, static_cast<platform::LResult>(expected)) << room;
        EXPECT_EQ(std::string(buffer.data(), expected), ansi.substr(0, expected)) << room;
        EXPECT_EQ(buffer[expected], '\0') << room;
    }
}

TEST_F(CrossProcess, HandlesThatAreNotWindowsDoNothing) {
    Hwnd frame = windows().FindWindowA("AOL Frame25");
    ASSERT_NE(frame, 0u);
    char buffer[16] = "untouched";
    // 0, the broadcast handle (which would reach every top-level window),
    // and a handle that never was a window.
    for (Hwnd bad : {Hwnd{0}, Hwnd{0xFFFF}, Hwnd{0x7FFFFFF0}}) {
        EXPECT_EQ(windows().SendMessageA(bad, WM_CLOSE, 0, 0), 0) << bad;
        EXPECT_FALSE(windows().PostMessageA(bad, WM_CLOSE, 0, 0)) << bad;
        EXPECT_EQ(windows().GetWindowTextLengthA(bad), 0) << bad;
        EXPECT_EQ(windows().GetWindowTextA(bad, buffer, sizeof buffer), 0) << bad;
        EXPECT_EQ(buffer[0], '\0') << bad;
        EXPECT_EQ(windows().FindWindowExA(bad == 0 ? 0x7FFFFFF0 : bad, 0, "MDIClient"), 0u) << bad;
    }
    driver->Settle();
    EXPECT_EQ(windows().FindWindowA("AOL Frame25"), frame) << "the client is still there";

    // A window that has gone: its handle is as dead as 0.
    Hwnd mdi = windows().FindWindowExA(frame, 0, "MDIClient");
    driver->SignOff();
    driver->Settle();
    EXPECT_EQ(windows().FindWindowExA(mdi, 0, "AOL Child"), 0u)
        << "a dead parent does not turn into the desktop";
    EXPECT_FALSE(windows().PostMessageA(frame, WM_CLOSE, 0, 0));
}

// Windows and Wine alike tell an out-of-context hook of the windows another
// process makes: the listeners hear of the client's, until they leave.
TEST_F(CrossProcess, CreationListenersHearOfTheClientsWindowsUntilTheyLeave) {
    platform::Win32WindowApi api;
    int first = 0, second = 0;
    const std::uint64_t one = api.AddCreationListener([&] { ++first; });
    ASSERT_NE(one, 0u);
    const std::uint64_t two = api.AddCreationListener([&] { ++second; });
    driver->OpenChild("Made", {"_AOL_Icon"});
    driver->Settle();
    EXPECT_GE(first, 2) << "the window and its icon";
    EXPECT_EQ(second, first);
    api.RemoveCreationListener(one);
    first = second = 0;
    driver->OpenChild("Again", {"_AOL_Icon"});
    driver->Settle();
    EXPECT_EQ(first, 0);
    EXPECT_GE(second, 2);
    api.RemoveCreationListener(two);
    second = 0;
    driver->OpenChild("Unheard", {"_AOL_Icon"});
    driver->Settle();
    EXPECT_EQ(second, 0);
    // Windows of this process are nobody's news.
    const std::uint64_t three = api.AddCreationListener([&] { ++second; });
    HWND own =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    driver->Settle();
    DestroyWindow(own);
    EXPECT_EQ(second, 0);
    api.RemoveCreationListener(three);
}

// The memory the reads use in the client's process is kept between reads:
// it must follow the client to a new process, and grow for a long read.
class CrossProcessReads : public testing::TestWithParam<RemoteText> {};
INSTANTIATE_TEST_SUITE_P(Ways, CrossProcessReads,
                         testing::Values(RemoteText::kProcessMemory, RemoteText::kWindowText),
                         WayName);

TEST_P(CrossProcessReads, FollowTheClientIntoItsNextProcess) {
    platform::Win32WindowApi windows(std::chrono::seconds(5), GetParam());
    auto readAll = [&windows]() -> std::string {
        Hwnd room = modAolTools::FindChatRoom(windows);
        Hwnd transcript = room ? modAolTools::FindNthChild(windows, room, "RICHCNTL", 2) : 0;
        platform::GetTextLengthEx how{platform::GTL_DEFAULT, 0};
        auto length = windows.SendMessageA(transcript, platform::EM_GETTEXTLENGTHEX,
                                           reinterpret_cast<platform::WParam>(&how), 0);
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '#');
        platform::TextRangeA all{{0, static_cast<std::int32_t>(length)}, buffer.data()};
        auto got = windows.SendMessageA(transcript, platform::EM_GETTEXTRANGE, 0,
                                        reinterpret_cast<platform::LParam>(&all));
        return std::string(buffer.data(),
                           static_cast<std::size_t>(std::max<platform::LResult>(got, 0)));
    };
    for (const char* who : {"First", "Second"}) {
        auto driver = testsupport::MakeClientDriver();
        driver->SignOn({"Bob", "Lobby"});
        driver->SetRoomWidth(0);
        driver->Say(who, "hello");
        driver->Settle();
        EXPECT_EQ(readAll(), std::string(who) + ":\thello\r") << who;
        // Far beyond what the first read needed.
        const std::string long_line(200000, 'y');
        driver->Say(who, long_line);
        driver->Settle();
        EXPECT_EQ(readAll(), std::string(who) + ":\thello\r" + who + ":\t" + long_line + "\r")
            << who;
    }
}

// Under Wine, reading or writing another process's memory stops it for a
// moment, and a client stopped while it writes a large request to the
// wineserver aborts. Here the client sends large messages of its own
// (answers of 500 KB) while a reader, with the program's own choice of way,
// looks at its room ten times as often as the program does.
TEST(CrossProcessReads, AClientSendingLargeMessagesSurvivesBeingRead) {
    auto driver = testsupport::MakeClientDriver();
    driver->SignOn({"Bob", "Lobby"});
    for (int i = 0; i < 40; ++i) driver->Say("KarenK", "line " + std::to_string(i));
    driver->Settle();
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        platform::Win32WindowApi windows;
        std::vector<char> tail(4200);
        while (!done) {
            Hwnd room = modAolTools::FindChatRoom(windows);
            Hwnd transcript = room ? modAolTools::FindNthChild(windows, room, "RICHCNTL", 2) : 0;
            platform::TextRangeA range{{0, 4096}, tail.data()};
            if (windows.SendMessageA(transcript, platform::EM_GETTEXTRANGE, 0,
                                     reinterpret_cast<platform::LParam>(&range)) > 0) {
                ++reads;
            }
            Sleep(10);
        }
    });
    HWND control = FindWindowA(standin::kControlClass, nullptr);
    standin::ControlClient client;
    // At least 300 answers, and on until the reader has looked 100 times.
    int asked = 0, answered = 0;
    while (asked < 300 || (reads < 100 && asked < 3000)) {
        auto answer = client.Call(control, {"ballast", "500000"}, 10000);
        ++asked;
        if (answer && answer->size() == 2 && (*answer)[1].size() == 500000) ++answered;
    }
    done = true;
    reader.join();
    EXPECT_EQ(answered, asked);
    EXPECT_GE(reads.load(), 100);
    driver->Say("KarenK", "still here");
    driver->Settle();
    ASSERT_FALSE(driver->Transcript().empty());
    EXPECT_EQ(driver->Transcript().back().text, "still here");
}

TEST(StandIn, EndsWithItsDriver) {
    auto driver = testsupport::MakeClientDriver();
    driver->SignOn({"Bob", "Lobby"});
    driver->Settle();
    ASSERT_NE(FindWindowA("AOL Frame25", nullptr), nullptr);
    driver.reset();
    auto deadline = std::chrono::steady_clock::now() + 5s;
    while (FindWindowA("AOL Frame25", nullptr) && std::chrono::steady_clock::now() < deadline) {
        Sleep(10);
    }
    EXPECT_EQ(FindWindowA("AOL Frame25", nullptr), nullptr);
    EXPECT_EQ(FindWindowA("StandInControl", nullptr), nullptr);
}

// --- the event loop ---

TEST(Win32Runtime, TimersTickUntilStoppedAndDelayedTasksRunInOrder) {
    platform::Win32Runtime runtime;
    std::vector<std::string> log;
    int ticks = 0;
    platform::TimerId timer = runtime.StartTimer(20ms, [&] { ++ticks; });
    runtime.PostDelayed(60ms, [&] { log.push_back("b"); });
    runtime.PostDelayed(30ms, [&] { log.push_back("a"); });
    runtime.PostDelayed(60ms, [&] { log.push_back("c"); });
    runtime.Post([&] { log.push_back("now"); });
    auto start = runtime.Monotonic();
    while (runtime.Monotonic() - start < 200ms) runtime.WaitForEvents(500ms);
    runtime.StopTimer(timer);
    int stopped = ticks;
    EXPECT_GE(ticks, 4);
    EXPECT_LE(ticks, 11);
    EXPECT_EQ(log, (std::vector<std::string>{"now", "a", "b", "c"}));
    runtime.PostDelayed(50ms, [] {});
    auto again = runtime.Monotonic();
    while (runtime.Monotonic() - again < 60ms) runtime.WaitForEvents(100ms);
    EXPECT_EQ(ticks, stopped);
}

// A window procedure is __stdcall on 32-bit Windows, which no lambda converts to.
bool postedHandled = false;
LRESULT CALLBACK NotePosted(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP) postedHandled = true;
    return DefWindowProcA(w, m, wp, lp);
}

TEST(Win32Runtime, WaitingSleepsUntilTheDeadlineOrAMessage) {
    platform::Win32Runtime runtime;
    auto start = runtime.Monotonic();
    runtime.WaitForEvents(100ms);
    auto waited = runtime.Monotonic() - start;
    EXPECT_GE(waited, 90ms);
    EXPECT_LT(waited, 1000ms);

    // A message that is already waiting ends the wait at once and is handled.
    postedHandled = false;
    WNDCLASSA wc{};
    wc.lpfnWndProc = NotePosted;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Win32RuntimeTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_APP, 0, 0);
    start = runtime.Monotonic();
    runtime.WaitForEvents(5s);
    EXPECT_LT(runtime.Monotonic() - start, 1000ms);
    EXPECT_TRUE(postedHandled);
    DestroyWindow(window);

    runtime.RequestQuit();
    start = runtime.Monotonic();
    runtime.WaitForEvents(5s);
    EXPECT_LT(runtime.Monotonic() - start, 100ms) << "no waiting once the program is ending";
}

// The windows whose creation an out-of-context event hook saw: the system
// queues its events to the hooking thread, which gets them only while it
// takes its messages.
std::vector<HWND> created;
void CALLBACK NoteCreation(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_WINDOW) created.push_back(window);
}

TEST(Win32Runtime, ALongWaitEndsForAWindowEventAndHandsItToTheHook) {
    platform::Win32Runtime runtime;
    created.clear();
    // Window creation: the one such event Wine 8 delivers.
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, &NoteCreation,
                        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNTHREAD);
    ASSERT_NE(hook, nullptr);
    std::atomic<HWND> made{nullptr};
    std::thread other([&] {
        std::this_thread::sleep_for(100ms);
        HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      nullptr, nullptr);
        made = window;
        std::this_thread::sleep_for(300ms);
        DestroyWindow(window);
    });
    const auto start = runtime.Monotonic();
    // Each wait may sleep 30 s, unless an event wakes it.
    while (created.empty() && runtime.Monotonic() - start < 5s) runtime.WaitForEvents(30s);
    const auto waited = runtime.Monotonic() - start;
    other.join();
    runtime.DoEvents();  // the event for ours may come after the input window Wine makes first
    UnhookWinEvent(hook);
    ASSERT_NE(made.load(), nullptr);
    EXPECT_NE(std::find(created.begin(), created.end(), made.load()), created.end());
    EXPECT_LT(waited, 2s) << "the wait ended when the event came, not at its end";
}

// Window creation reaches an out-of-context hook on Windows and under Wine
// alike: a probe that did not take its events would miss it, and keep every
// system on polling.
TEST(WindowEvents, TheProbeTakesTheEventsItWaitsFor) {
    EXPECT_TRUE(platform::SystemDeliversWindowEvent(EVENT_OBJECT_CREATE));
}

TEST(Win32Runtime, ClockAndRandomNumbers) {
    platform::Win32Runtime runtime;
    std::tm now = runtime.LocalTime();
    double seconds = runtime.SecondsSinceMidnight();
    EXPECT_NEAR(seconds, now.tm_hour * 3600 + now.tm_min * 60 + now.tm_sec, 2.0);
    EXPECT_GE(now.tm_yday, 0);
    EXPECT_LE(now.tm_yday, 365);
    platform::Random random(runtime);
    random.Reseed();
    for (int i = 0; i < 1000; ++i) {
        double r = random.Next();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
}

TEST(Win32Runtime, TasksRunWhileAMessageBoxIsOpen) {
    platform::Win32Runtime runtime;
    bool ran = false;
    // The box is closed from a task of the program: that only happens if the
    // program's tasks run inside the box's modal loop.
    runtime.PostDelayed(100ms, [&] {
        ran = true;
        HWND box = FindWindowA("#32770", "moonrake ruze");
        if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    runtime.PostDelayed(3s, [] {
        // Second try, should the first find the box not yet open.
        HWND box = FindWindowA("#32770", "moonrake ruze");
        if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    runtime.MessageBox("commands are already disabled", "moonrake ruze");
    EXPECT_TRUE(ran);
}

TEST(WideFolder, ListingTakesNamesInAnyScriptAndMatchesWithoutCase) {
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / L"moonrake list";
    fs::remove_all(folder);
    fs::create_directories(folder / L"sub.mp3");
    std::vector<std::string> expected{"A.MP3", "b.mp3"};
    for (const wchar_t* name : {L"b.mp3", L"A.MP3", L"c.txt", L"d.mp3x"}) {
        std::ofstream(folder / name) << "x";
    }
    // A name outside the ANSI code page. Wine under LC_ALL=C cannot put such
    // a name on the disk at all; Windows can, and must list it.
    if (std::ofstream(folder / L"\u2603 snow.mp3") << "x") expected.push_back("\u2603 snow.mp3");
    const std::u8string u8 = folder.u8string();
    const std::string utf8Folder(u8.begin(), u8.end());
    auto names = platform::ListMatchingFilesWide(utf8Folder, "*.mp3");
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(*names, expected);
    EXPECT_FALSE(platform::ListMatchingFilesWide(utf8Folder + "\\missing", "*.mp3").has_value());
    EXPECT_FALSE(platform::ListMatchingFilesWide(utf8Folder + "\\c.txt", "*.mp3").has_value());
    fs::remove_all(folder);
}

// --- text in the ANSI code page (1252 here) ---

struct Conversion {
    const char* name;
    std::string utf8;
    std::string ansi;
};

class AnsiText : public ::testing::TestWithParam<Conversion> {};

TEST_P(AnsiText, ToAnsi) {
    ASSERT_EQ(GetACP(), 1252u) << "the tests run under Windows-1252";
    EXPECT_EQ(platform::ToAnsi(GetParam().utf8), GetParam().ansi);
}

INSTANTIATE_TEST_SUITE_P(
    Cp1252, AnsiText,
    ::testing::Values(Conversion{"Ascii", "plain text", "plain text"},
                      Conversion{"Decorations", "\u00BB\u00B8 \u203A \u00B2 \u20AC",
                                 "\xBB\xB8 \x9B \xB2 \x80"},
                      Conversion{"NoAnsiForm", "snow \u2603 man", "snow ? man"},
                      Conversion{"NoBestFit", "\u0100dam", "?dam"},  // not a look-alike "A"
                      Conversion{"Astral", "a\U0001F600b", "a?b"},
                      Conversion{"C1Control", "a\u0081b", "a?b"},
                      Conversion{"StrayContinuation",
                                 "a\x80"
                                 "b",
                                 "a?b"},
                      Conversion{"Overlong",
                                 "a\xC0\xAF"
                                 "b",
                                 "a?b"},
                      Conversion{"Surrogate",
                                 "a\xED\xA0\x80"
                                 "b",
                                 "a?b"},
                      Conversion{"CutShort", "a\xE2\x82", "a??"},
                      Conversion{"BadContinuation",
                                 "\xE2"
                                 "A",
                                 "?A"}),
    [](const ::testing::TestParamInfo<Conversion>& info) { return info.param.name; });

TEST(AnsiText, FromAnsiLeavesTheUndefinedBytesOut) {
    EXPECT_EQ(platform::FromAnsi("\xBB\xB8 \x9B \xB2 \x80"), "\u00BB\u00B8 \u203A \u00B2 \u20AC");
    EXPECT_EQ(platform::FromAnsi("\x81\x8D\x8F\x90\x9D"), "?????");
    std::string all;
    for (int c = 0x20; c < 0x100; ++c) all.push_back(static_cast<char>(c));
    std::string back = platform::ToAnsi(platform::FromAnsi(all));
    for (std::size_t i = 0; i < all.size(); ++i) {
        auto c = static_cast<unsigned char>(all[i]);
        bool undefined = c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
        EXPECT_EQ(back[i], undefined ? '?' : all[i]) << "byte " << int(c);
    }
}

}  // namespace
