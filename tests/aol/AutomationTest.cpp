// The automation routines against a chat client: the simulated one here, the
// stand-in behind real user32 in the Windows build. Only the ClientDriver
// knows which.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <utility>

#include "aol/NiteScan.h"
#include "aol/modAol7SendChat.h"
#include "aol/modAolTools.h"
#include "tests/support/ClientDriver.h"

namespace clientsim {
void PrintTo(const RoomLine& line, std::ostream* out) {
    *out << line.sender << ": " << line.text;
}
}  // namespace clientsim

using namespace std::chrono_literals;
using platform::Hwnd;
using testsupport::ClientDriver;
using testsupport::RoomLine;

namespace {

class Automation : public ::testing::Test {
  protected:
    void SetUp() override { driver = testsupport::MakeClientDriver(); }
    void SignOn(const std::string& name = "Moonraker", const std::string& room = "Town Square") {
        driver->SignOn({name, room, richEdit});
        driver->Settle();
    }
    platform::WindowApi& windows() { return driver->Services().windows; }
    platform::Runtime& runtime() { return driver->Services().runtime; }
    platform::Random& random() { return driver->Services().random; }
    // Long enough for the client (and a polling scanner) to catch up.
    void Catchup() {
        driver->Settle();
        driver->Advance(300ms);
        driver->Settle();
    }
    std::vector<std::string> RoomTexts() {
        std::vector<std::string> texts;
        for (const auto& line : driver->Transcript()) texts.push_back(line.text);
        return texts;
    }

    std::unique_ptr<ClientDriver> driver;
    testsupport::RichEditGeneration richEdit = testsupport::RichEditGeneration::Later;
};

// --- with no client running, nothing is found and nothing fails ---

TEST_F(Automation, EveryRoutineReturnsQuietlyWithoutAClient) {
    EXPECT_EQ(modAolTools::FindChatRoom(windows()), 0u);
    EXPECT_EQ(modAolTools::GetWindowCaption(windows(), 0), "");
    EXPECT_EQ(modAolTools::GetOwnScreenName(windows()), "");
    modAol7SendChat::SendChatLine(windows(), "hello");
    modAolTools::GotoKeyword(windows(), "www.example.com");
    auto before = runtime().Monotonic();
    modAolTools::SendInstantMessage(driver->Services(), "$IM_ON", "=)");
    auto waited = runtime().Monotonic() - before;
    EXPECT_GE(waited, 9900ms) << "gives up only after its bound";
    EXPECT_LE(waited, 11000ms) << "but does give up";
}

// --- window discovery ---

TEST_F(Automation, OwnScreenNameComesFromTheWelcomeWindow) {
    SignOn("Bob");
    EXPECT_EQ(modAolTools::GetOwnScreenName(windows()), "Bob");
    // Behind other windows, and behind a caption that only looks like it.
    driver->OpenChild("welcome, Zed!", {"_AOL_Icon"});
    driver->OpenChild("Buddy List", {"_AOL_Listbox"});
    EXPECT_EQ(modAolTools::GetOwnScreenName(windows()), "Bob");
}

TEST_F(Automation, OwnScreenNameEdgeCaptions) {
    SignOn("");  // "Welcome, !"
    EXPECT_EQ(modAolTools::GetOwnScreenName(windows()), "");
    driver->OpenChild("Welcome, Stray", {});  // no "!": the rest of the caption
    EXPECT_EQ(modAolTools::GetOwnScreenName(windows()), "Stray");
}

TEST_F(Automation, ChatRoomIsTheForemostWindowWithAllFourKindsOfControl) {
    SignOn("Bob", "Lobby");
    Hwnd room = modAolTools::FindChatRoom(windows());
    ASSERT_NE(room, 0u);
    EXPECT_EQ(modAolTools::GetWindowCaption(windows(), room), "Lobby");

    // Windows in front that lack one kind are passed over.
    driver->OpenChild("No list", {"RICHCNTL", "_AOL_Icon", "_AOL_Static"});
    driver->OpenChild("No static", {"RICHCNTL", "_AOL_Listbox", "_AOL_Icon"});
    EXPECT_EQ(modAolTools::FindChatRoom(windows()), room);

    // Two that carry all four: the one in front wins.
    driver->OpenChild("Look-alike", {"_AOL_Static", "_AOL_Icon", "_AOL_Listbox", "RICHCNTL"});
    EXPECT_EQ(modAolTools::GetWindowCaption(windows(), modAolTools::FindChatRoom(windows())),
              "Look-alike");
    ASSERT_TRUE(driver->BringToFront("Lobby"));
    EXPECT_EQ(modAolTools::FindChatRoom(windows()), room);
}

TEST_F(Automation, CountingToTheNthChildWrapsAroundAsUser32Does) {
    SignOn();
    struct Case {
        int icons;
        int n;
        int expected;  // 1-based icon, 0 = none
    };
    const Case cases[] = {{1, 6, 0}, {2, 6, 0}, {3, 6, 2},  {4, 6, 1}, {5, 6, 0}, {6, 6, 6},
                          {8, 6, 6}, {9, 9, 9}, {10, 9, 9}, {4, 9, 4}, {3, 9, 1}};
    for (const Case& c : cases) {
        std::string caption = "Icons " + std::to_string(c.icons) + "/" + std::to_string(c.n);
        driver->OpenChild(caption, std::vector<std::string>(c.icons, "_AOL_Icon"));
        Hwnd mdi = windows().FindWindowExA(windows().FindWindowA("AOL Frame25"), 0, "MDIClient");
        Hwnd parent = windows().FindWindowExA(mdi, 0, "AOL Child", caption);
        ASSERT_NE(parent, 0u);
        std::vector<Hwnd> icons;
        for (Hwnd h = windows().FindWindowExA(parent, 0, "_AOL_Icon"); h;
             h = windows().FindWindowExA(parent, h, "_AOL_Icon")) {
            icons.push_back(h);
        }
        ASSERT_EQ(icons.size(), static_cast<std::size_t>(c.icons));
        Hwnd expected = c.expected ? icons[static_cast<std::size_t>(c.expected - 1)] : 0;
        EXPECT_EQ(modAolTools::FindNthChild(windows(), parent, "_AOL_Icon", c.n), expected)
            << caption;
    }
}

// --- the chat sender ---

TEST_F(Automation, ChatLineReachesTheRoomOnceWhenTheRoomIsInFront) {
    SignOn("Bob");
    modAol7SendChat::SendChatLine(windows(), "first");
    modAol7SendChat::SendChatLine(windows(), "second");
    driver->Settle();
    EXPECT_EQ(driver->Transcript(), (std::vector<RoomLine>{{"Bob", "first"}, {"Bob", "second"}}));
    EXPECT_EQ(driver->RoomInputText(), "") << "the client took the text out of the box";
}

TEST_F(Automation, ChatLineGoesToWhateverWindowIsInFront) {
    SignOn("Bob");
    driver->OpenInstantMessageWindow("Pal");
    driver->Settle();
    modAol7SendChat::SendChatLine(windows(), "not for the room");
    driver->Settle();
    EXPECT_TRUE(driver->Transcript().empty());
    EXPECT_TRUE(driver->InstantMessagesSent().empty())
        << "the sixth icon of a message window sends nothing";
    ASSERT_TRUE(driver->BringToFront("Welcome, Bob!"));
    modAol7SendChat::SendChatLine(windows(), "nor this");
    driver->Settle();
    EXPECT_TRUE(driver->Transcript().empty());
}

TEST_F(Automation, EmptyChatLineEmptiesTheBoxAndSendsNothing) {
    SignOn("Bob");
    modAol7SendChat::SendChatLine(windows(), "");
    driver->Settle();
    EXPECT_TRUE(driver->Transcript().empty());
    EXPECT_EQ(driver->RoomInputText(), "");
}

// The client's windows behind a window system of a test's own, which cannot
// tell of changes (so that scanners poll) and may meddle with messages.
class ThroughWindows : public platform::WindowApi {
  public:
    explicit ThroughWindows(platform::WindowApi& inner) : inner_(inner) {}
    Hwnd FindWindowA(std::string_view className, std::optional<std::string_view> caption) override {
        return inner_.FindWindowA(className, caption);
    }
    Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                       std::optional<std::string_view> caption) override {
        return inner_.FindWindowExA(parent, childAfter, className, caption);
    }
    platform::LResult SendMessageA(Hwnd window, unsigned message, platform::WParam wParam,
                                   platform::LParam lParam) override {
        return inner_.SendMessageA(window, message, wParam, lParam);
    }
    bool PostMessageA(Hwnd window, unsigned message, platform::WParam wParam,
                      platform::LParam lParam) override {
        return inner_.PostMessageA(window, message, wParam, lParam);
    }
    int GetWindowTextLengthA(Hwnd window) override { return inner_.GetWindowTextLengthA(window); }
    int GetWindowTextA(Hwnd window, char* buffer, int maxCount) override {
        return inner_.GetWindowTextA(window, buffer, maxCount);
    }

  protected:
    platform::WindowApi& inner_;
};

// The client's windows as they stand, with the controls of one class of one
// window not made yet (a client may make a window's controls after the
// window), and the lookups counted.
class LateControls final : public ThroughWindows {
  public:
    using ThroughWindows::ThroughWindows;
    Hwnd FindWindowA(std::string_view className, std::optional<std::string_view> caption) override {
        ++lookups;
        return inner_.FindWindowA(className, caption);
    }
    Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                       std::optional<std::string_view> caption) override {
        ++lookups;
        if (parent != 0 && parent == lateWindow && className == lateClass) return 0;
        return inner_.FindWindowExA(parent, childAfter, className, caption);
    }
    Hwnd lateWindow = 0;
    std::string lateClass;
    int lookups = 0;
};

TEST_F(Automation, TheWayToTheRoomHoldsWhileTheClientsWindowsStandAsTheyDid) {
    SignOn("Bob", "Lobby");
    LateControls late(windows());
    modAolTools::RoomWay way;
    ASSERT_NE(modAolTools::FindChatRoom(late, way), 0u);
    late.lookups = 0;
    EXPECT_TRUE(modAolTools::SameWay(late, way));
    EXPECT_EQ(late.lookups, 3) << "the frame, the MDI client and the room in front";
    driver->Say("KarenK", "talk");
    driver->Settle();
    EXPECT_TRUE(modAolTools::SameWay(late, way)) << "what the room says moves no window";

    auto front = [&] { return windows().FindWindowExA(way.mdi, 0, "AOL Child"); };
    struct Change {
        const char* what;
        std::function<void()> make;
        const char* room;  // the room after it
    };
    const Change changes[] = {
        {"a window opened in front",
         [&] {
             driver->OpenChild("No list", {"RICHCNTL", "_AOL_Icon", "_AOL_Static"});
         },
         "Lobby"},
        {"the room brought to the front", [&] { ASSERT_TRUE(driver->BringToFront("Lobby")); },
         "Lobby"},
        {"a room opened in front, its list not made yet",
         [&] {
             driver->OpenChild(
                 "Late", {"RICHCNTL", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"});
             late.lateWindow = front();
             late.lateClass = "_AOL_Listbox";
         },
         "Lobby"},
        {"its list made", [&] { late.lateWindow = 0; }, "Late"},
        {"the welcome window brought to the front",
         [&] { ASSERT_TRUE(driver->BringToFront("Welcome, Bob!")); }, "Late"},
    };
    for (const Change& change : changes) {
        change.make();
        driver->Settle();
        EXPECT_FALSE(modAolTools::SameWay(late, way)) << change.what;
        const Hwnd room = modAolTools::FindChatRoom(late, way);
        EXPECT_EQ(room, modAolTools::FindChatRoom(late)) << change.what;
        EXPECT_EQ(modAolTools::GetWindowCaption(late, room), change.room) << change.what;
        EXPECT_TRUE(modAolTools::SameWay(late, way)) << change.what;
    }
}

// The window calls of the routine under test, with the user's own hand on
// the client coming in just before one of them, as it can between any two
// messages to a client in another process.
class UserBetween final : public ThroughWindows {
  public:
    UserBetween(platform::WindowApi& inner, unsigned beforeMessage, std::function<void()> user)
        : ThroughWindows(inner), before_(beforeMessage), user_(std::move(user)) {}
    platform::LResult SendMessageA(Hwnd w, unsigned m, platform::WParam wp,
                                   platform::LParam lp) override {
        if (m == platform::WM_SETTEXT) armed_ = true;
        if (armed_ && m == before_ && user_) std::exchange(user_, nullptr)();
        return inner_.SendMessageA(w, m, wp, lp);
    }

  private:
    unsigned before_;
    bool armed_ = false;  // our line has been placed
    std::function<void()> user_;
};

struct UserMove {
    const char* name;
    unsigned before;  // the message of ours it comes just before
    bool sends;       // the user sends "mine" (else types "x" into the box)
};

void PrintTo(const UserMove& move, std::ostream* os) {
    *os << move.name;
}

class ChatLineBesideTheUser : public Automation, public ::testing::WithParamInterface<UserMove> {};

TEST_P(ChatLineBesideTheUser, ReplyReachesTheRoomAndTheUsersLineSurvives) {
    const UserMove move = GetParam();
    SignOn("Bob");
    Hwnd input = windows().FindWindowExA(modAolTools::FindChatRoom(windows()), 0, "RICHCNTL");
    const std::string half = "half typed";
    windows().SendMessageA(input, platform::WM_SETTEXT, 0,
                           reinterpret_cast<platform::LParam>(half.c_str()));
    UserBetween hand(windows(), move.before, [&] {
        if (move.sends) {
            driver->Type("mine");
        } else {
            const std::string typed = driver->RoomInputText() + "x";
            windows().SendMessageA(input, platform::WM_SETTEXT, 0,
                                   reinterpret_cast<platform::LParam>(typed.c_str()));
        }
    });
    modAol7SendChat::SendChatLine(hand, "the reply");
    EXPECT_EQ(driver->RoomInputText(), move.sends ? half : half + "x")
        << "what the user typed and did not send is back in the box";
    Catchup();
    auto texts = RoomTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "the reply"), 1) << move.name;
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "mine"), move.sends ? 1 : 0) << move.name;
    EXPECT_EQ(texts.size(), move.sends ? 2u : 1u) << move.name;
}

INSTANTIATE_TEST_SUITE_P(
    Moves, ChatLineBesideTheUser,
    ::testing::Values(UserMove{"sends before the press", platform::WM_LBUTTONDOWN, true},
                      UserMove{"sends during the press", platform::WM_GETTEXTLENGTH, true},
                      UserMove{"types before the press", platform::WM_LBUTTONDOWN, false},
                      UserMove{"types during the press", platform::WM_GETTEXTLENGTH, false}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(Automation, TextCrossesInTheAnsiCodePage) {
    SignOn("Bob");
    const std::string decorated = "\u00BB\u00B8 \u203A \u00B2 \u20AC";  // "»¸ › ² €"
    modAol7SendChat::SendChatLine(windows(), decorated);
    modAol7SendChat::SendChatLine(windows(), "snow \u2603 man");  // no ANSI form
    driver->Settle();
    EXPECT_EQ(RoomTexts(), (std::vector<std::string>{decorated, "snow ? man"}));
}

TEST_F(Automation, TheSendIconActsOnlyOnButtonDownThenSpaceKeyUp) {
    SignOn("Bob");
    Hwnd room = modAolTools::FindChatRoom(windows());
    Hwnd input = windows().FindWindowExA(room, 0, "RICHCNTL");
    Hwnd send = modAolTools::FindNthChild(windows(), room, "_AOL_Icon", 6);
    ASSERT_NE(send, 0u);
    struct Message {
        unsigned message;
        platform::WParam wParam;
    };
    const Message down{platform::WM_LBUTTONDOWN, 0}, up{platform::WM_LBUTTONUP, 0},
        spaceUp{platform::WM_KEYUP, platform::VK_SPACE}, otherUp{platform::WM_KEYUP, 'A'};
    struct Case {
        const char* text;
        std::vector<Message> messages;
        bool sends;
    };
    const Case cases[] = {
        {"down only", {down}, false},
        {"key-up only", {spaceUp}, false},
        {"a click", {down, up}, false},
        {"click then key-up", {down, up, spaceUp}, false},
        {"another key", {down, otherUp}, false},
        {"down then key-up", {down, spaceUp}, true},
    };
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        windows().SendMessageA(input, platform::WM_SETTEXT, 0,
                               reinterpret_cast<platform::LParam>(c.text));
        for (const Message& m : c.messages) windows().SendMessageA(send, m.message, m.wParam, 0);
        windows().SendMessageA(send, platform::WM_LBUTTONUP, 0, 0);  // no press carries over
        driver->Settle();
        if (c.sends) expected.push_back(c.text);
        EXPECT_EQ(RoomTexts(), expected) << c.text;
    }
}

TEST_F(Automation, OwnLineReachesTheRoomOnlyAfterTheRoundTrip) {
    SignOn("Bob");
    modAol7SendChat::SendChatLine(windows(), "on its way");
    EXPECT_TRUE(driver->Transcript().empty()) << "not inside the call";
    driver->Settle();
    EXPECT_EQ(RoomTexts(), std::vector<std::string>{"on its way"});
}

// --- keywords and instant messages ---

TEST_F(Automation, GotoKeywordLeavesTheAddressAndTypesBlankAndReturn) {
    SignOn();
    modAolTools::GotoKeyword(windows(), "www.example.com");
    driver->Settle();
    EXPECT_EQ(driver->AddressBoxText(), "www.example.com ");
    EXPECT_EQ(driver->VisitedAddresses(), std::vector<std::string>{"www.example.com"});

    modAolTools::GotoKeyword(windows(), "aol://2719:2-2-secret place");
    driver->Settle();
    EXPECT_EQ(driver->RoomName(), "secret place");
    EXPECT_EQ(modAolTools::GetWindowCaption(windows(), modAolTools::FindChatRoom(windows())),
              "secret place");
}

TEST_F(Automation, InstantMessageSwitchAnswersTheClientsBoxAndClosesTheWindow) {
    SignOn();
    for (const char* name : {"$IM_OFF", "$IM_ON"}) {
        modAolTools::SendInstantMessage(driver->Services(), name, "=)");
        driver->Settle();
        EXPECT_FALSE(driver->MessageBoxOpen()) << name;
        for (const auto& caption : driver->ChildCaptions()) {
            EXPECT_NE(caption, "Send Instant Message") << name;
        }
        EXPECT_EQ(driver->InstantMessagesOn(), std::string(name) == "$IM_ON");
    }
    EXPECT_EQ(driver->VisitedAddresses(),
              (std::vector<std::string>{"aol://9293:$IM_OFF", "aol://9293:$IM_ON"}));
    EXPECT_EQ(driver->InstantMessagesSent(),
              (std::vector<testsupport::InstantMessage>{{"$IM_OFF", "=)"}, {"$IM_ON", "=)"}}));
    EXPECT_EQ(driver->MessageBoxesShown().size(), 2u);
}

TEST_F(Automation, ChatLineRightAfterTheInstantMessageSwitchReachesTheRoom) {
    // The welcome window behind the room, as after signing on.
    SignOn("Bob");
    ASSERT_TRUE(driver->BringToFront("Town Square"));
    modAolTools::SendInstantMessage(driver->Services(), "$IM_ON", "=)");
    // What the command does next, at once: its reply goes to the foremost
    // window, which must be the room again and not the message window.
    modAol7SendChat::SendChatLine(windows(), "ims on");
    driver->Settle();
    EXPECT_EQ(RoomTexts(), std::vector<std::string>{"ims on"});
    EXPECT_EQ(driver->FrontCaption(), "Town Square");
}

TEST_F(Automation, InstantMessageToAPersonGoesAndItsWindowCloses) {
    SignOn();
    modAolTools::SendInstantMessage(driver->Services(), "Pal", "hi \u00B2");
    driver->Settle();
    EXPECT_EQ(driver->InstantMessagesSent(),
              (std::vector<testsupport::InstantMessage>{{"Pal", "hi \u00B2"}}));
    EXPECT_TRUE(driver->MessageBoxesShown().empty());
    EXPECT_EQ(driver->FrontCaption(), "Town Square");
}

TEST_F(Automation, InstantMessageReusesAWindowThatIsAlreadyOpen) {
    SignOn();
    driver->SetInstantMessageWindowDelay(std::nullopt);  // the address opens nothing
    driver->OpenInstantMessageWindow("Already");
    driver->Settle();
    modAolTools::SendInstantMessage(driver->Services(), "Other", "hello");
    driver->Settle();
    EXPECT_EQ(driver->InstantMessagesSent(),
              (std::vector<testsupport::InstantMessage>{{"Already", "hello"}}));
}

TEST_F(Automation, InstantMessageWaitsForASlowClientAndGivesUpOnOneThatNeverAnswers) {
    SignOn();
    driver->SetInstantMessageWindowDelay(2s);
    modAolTools::SendInstantMessage(driver->Services(), "Slow", "late");
    driver->Settle();
    EXPECT_EQ(driver->InstantMessagesSent(),
              (std::vector<testsupport::InstantMessage>{{"Slow", "late"}}));

    driver->SetInstantMessageWindowDelay(std::nullopt);
    auto before = runtime().Monotonic();
    modAolTools::SendInstantMessage(driver->Services(), "Nobody", "lost");
    auto waited = runtime().Monotonic() - before;
    EXPECT_GE(waited, 9900ms);
    EXPECT_LE(waited, 11000ms);
    EXPECT_EQ(driver->InstantMessagesSent().size(), 1u);
}

TEST_F(Automation, InstantMessageWaitKeepsTheProgramResponsive) {
    SignOn("Bob");
    driver->SetInstantMessageWindowDelay(1s);
    aol::NiteScan scan(driver->Services());
    std::vector<std::string> heard;
    scan.SetChatLineHandler(
        [&](const std::string&, const std::string& text) { heard.push_back(text); });
    scan.ScanON();
    driver->Say("KarenK", "said while we wait");
    modAolTools::SendInstantMessage(driver->Services(), "Pal", "x");
    EXPECT_EQ(heard, std::vector<std::string>{"said while we wait"})
        << "the line was handled inside the wait";
}

// --- random numbers ---

TEST_F(Automation, RandomNumberStaysInRange) {
    struct Case {
        const char* max;
        int low, high;
    };
    for (const Case& c : {Case{"1", 1, 1}, Case{"0", 1, 1}, Case{"5", 1, 5}, Case{"", 1, 1},
                          Case{"x", 1, 1}, Case{"-3", 1, 1}}) {
        std::set<int> seen;
        for (int i = 0; i < 200; ++i) {
            driver->Advance(7ms);  // it reseeds from the clock on every call
            double r = modAolTools::RandomNumber(random(), c.max);
            ASSERT_EQ(r, static_cast<int>(r)) << c.max;
            seen.insert(static_cast<int>(r));
        }
        EXPECT_EQ(*seen.begin(), c.low) << c.max;
        EXPECT_EQ(*seen.rbegin(), c.high) << c.max;
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(c.high - c.low + 1)) << c.max;
    }
}

// --- the chat scanner ---

class ScannerBase : public Automation {
  protected:
    struct Heard {
        std::string sender, text;
        bool operator==(const Heard&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const Heard& h) {
            return out << h.sender << ": " << h.text;
        }
    };
    void Attach(aol::NiteScan& scan, std::vector<Heard>& into) {
        scan.SetChatLineHandler([&into](const std::string& s, const std::string& t) {
            into.push_back({s, t});
        });
    }
};

// Every scanner test runs on a transcript of either rich edit generation:
// the scanner reports the same lines from both.
class Scanner : public ScannerBase,
                public ::testing::WithParamInterface<testsupport::RichEditGeneration> {
  protected:
    void SetUp() override {
        ScannerBase::SetUp();
        richEdit = GetParam();
    }
};

INSTANTIATE_TEST_SUITE_P(RichEdit, Scanner,
                         ::testing::Values(testsupport::RichEditGeneration::Later,
                                           testsupport::RichEditGeneration::First),
                         [](const auto& info) {
                             return info.param == testsupport::RichEditGeneration::First
                                        ? std::string("First")
                                        : std::string("Later");
                         });

TEST_P(Scanner, TheTranscriptEndsItsParagraphsAsItsGenerationDoes) {
    SignOn("Bob");
    driver->Say("KarenK", "hi");
    Catchup();
    Hwnd transcript =
        modAolTools::FindNthChild(windows(), modAolTools::FindChatRoom(windows()), "RICHCNTL", 2);
    // The second line starts past "KarenK:\thi" and its end: CR LF in the
    // first generation, CR in later ones. (Its text may come through a
    // window system that gives every paragraph end as CR.)
    const bool first = richEdit == testsupport::RichEditGeneration::First;
    EXPECT_EQ(windows().SendMessageA(transcript, platform::EM_LINEINDEX, 1, 0), first ? 12 : 11);
}

TEST_P(Scanner, ReportsEveryNewLineOnceThroughTheEventLoop) {
    SignOn("Bob");
    aol::NiteScan one(driver->Services()), two(driver->Services());
    std::vector<Heard> a, b;
    Attach(one, a);
    Attach(two, b);
    one.ScanON();
    two.ScanON();
    modAol7SendChat::SendChatLine(windows(), "mine");
    EXPECT_TRUE(a.empty()) << "never from inside the call that sent the line";
    Catchup();
    driver->Say("KarenK", "hers");
    Catchup();
    const std::vector<Heard> expected{{"Bob", "mine"}, {"KarenK", "hers"}};
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, expected);
    Catchup();
    EXPECT_EQ(a.size(), 2u) << "nothing twice";
}

TEST_P(Scanner, SwitchesCountForLinesThatReachTheRoomAfterThem) {
    SignOn("Bob");
    driver->Say("KarenK", "before");
    Catchup();
    aol::NiteScan scan(driver->Services());
    std::vector<Heard> heard;
    Attach(scan, heard);
    scan.ScanON();
    driver->Say("KarenK", "while on");
    Catchup();
    scan.ScanOFF();
    driver->Say("KarenK", "while off");
    Catchup();
    scan.ScanON();
    scan.ScanON();  // twice is once
    driver->Say("KarenK", "on again");
    Catchup();
    EXPECT_EQ(heard, (std::vector<Heard>{{"KarenK", "while on"}, {"KarenK", "on again"}}));
}

TEST_P(Scanner, ScanOffDropsLinesReadButNotYetDelivered) {
    SignOn("Bob");
    aol::NiteScan scan(driver->Services());
    std::vector<Heard> heard;
    scan.SetChatLineHandler([&](const std::string& s, const std::string& t) {
        heard.push_back({s, t});
        if (t == "dis") scan.ScanOFF();  // as the command that disables commands does
    });
    scan.ScanON();
    driver->Say("KarenK", "before");
    Catchup();
    // Arriving together, they are read in one go.
    driver->SayTogether({{"Bob", "dis"}, {"Bob", "h zed"}, {"KarenK", "after"}});
    Catchup();
    EXPECT_EQ(heard, (std::vector<Heard>{{"KarenK", "before"}, {"Bob", "dis"}}));
    scan.ScanON();
    driver->Say("KarenK", "on again");
    Catchup();
    EXPECT_EQ(heard.back(), (Heard{"KarenK", "on again"})) << "nothing held over from before";
    EXPECT_EQ(heard.size(), 3u);
}

TEST_P(Scanner, WrappedLinesArriveWholeAndAResizeReportsNothingAgain) {
    SignOn("Bob");
    driver->SetRoomWidth(20);
    aol::NiteScan scan(driver->Services());
    std::vector<Heard> heard;
    Attach(scan, heard);
    scan.ScanON();
    const std::string longLine =
        "a line that is much longer than the room is wide, with\ta tab and   blanks  ";
    driver->Say("KarenK", longLine);
    driver->Say("slickrick", "short");
    Catchup();
    Hwnd room = modAolTools::FindChatRoom(windows());
    Hwnd transcript = modAolTools::FindNthChild(windows(), room, "RICHCNTL", 2);
    EXPECT_GT(windows().SendMessageA(transcript, platform::EM_GETLINECOUNT, 0, 0), 4)
        << "the line did wrap into display lines";
    for (int width : {7, 200, 33}) {
        driver->SetRoomWidth(width);
        Catchup();
    }
    driver->Say("KarenK", "after the resizes");
    Catchup();
    EXPECT_EQ(heard,
              (std::vector<Heard>{
                  {"KarenK", longLine}, {"slickrick", "short"}, {"KarenK", "after the resizes"}}));
}

TEST_P(Scanner, TrimmedHistoryReportsEachLineOnceInOrder) {
    SignOn("Bob");
    driver->SetHistoryLimit(3);
    aol::NiteScan scan(driver->Services());
    std::vector<Heard> heard;
    Attach(scan, heard);
    scan.ScanON();
    std::vector<Heard> expected;
    int n = 0;
    // One at a time, then in bursts that trim more than was read since.
    for (int burst : {1, 1, 1, 1, 2, 3, 1, 5, 2}) {
        std::vector<RoomLine> lines;
        for (int i = 0; i < burst; ++i) {
            std::string text = "line " + std::to_string(++n);
            lines.push_back({"KarenK", text});
            if (burst <= 3) expected.push_back({"KarenK", text});
        }
        if (burst > 3) {
            // More than the client keeps: only the last three are still there to read.
            for (int i = burst - 3; i < burst; ++i) expected.push_back({"KarenK", lines[i].text});
        }
        driver->SayTogether(lines);
        Catchup();
    }
    EXPECT_EQ(heard, expected);
}

TEST_P(Scanner, ANewRoomWindowsHistoryIsNotNews) {
    SignOn("Bob", "Lobby");
    driver->SetNewWindowPerRoom(true, {{"OnlineHost", "earlier talk"}, {"Zed", "old news"}});
    aol::NiteScan scan(driver->Services());
    std::vector<Heard> heard;
    Attach(scan, heard);
    scan.ScanON();
    driver->Say("KarenK", "in the lobby");
    Catchup();
    Hwnd lobby = modAolTools::FindChatRoom(windows());
    modAolTools::GotoKeyword(windows(), "aol://2719:2-2-elsewhere");
    Catchup();
    Hwnd elsewhere = modAolTools::FindChatRoom(windows());
    ASSERT_NE(elsewhere, lobby) << "a new room window";
    EXPECT_EQ(modAolTools::GetWindowCaption(windows(), elsewhere), "elsewhere");
    driver->Say("KarenK", "in the new room");
    Catchup();
    EXPECT_EQ(heard,
              (std::vector<Heard>{{"KarenK", "in the lobby"}, {"KarenK", "in the new room"}}));
}

TEST_P(Scanner, ChangingRoomsDoesNotReplayHistoryAndLongLinesArriveWhole) {
    SignOn("Bob", "Lobby");
    aol::NiteScan scan(driver->Services());
    std::vector<Heard> heard;
    Attach(scan, heard);
    scan.ScanON();
    driver->Say("KarenK", "one");
    Catchup();
    modAolTools::GotoKeyword(windows(), "aol://2719:2-2-elsewhere");
    Catchup();
    // A rich edit takes long to wrap a word this long (seconds under Wine);
    // the room shows it unwrapped.
    driver->SetRoomWidth(0);
    std::string longLine(40000, 'x');
    driver->Say("KarenK", longLine);
    Catchup();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1].text, longLine);
}

TEST_P(Scanner, ScanningWithoutAClientIsQuiet) {
    aol::NiteScan scan(driver->Services());
    scan.ScanON();
    Catchup();
    scan.ScanOFF();
    SUCCEED();
}

// The heard lines, in order, are lines said in that order (none said once
// and heard twice, none made up).
bool InOrderAmong(const std::vector<RoomLine>& heard, const std::vector<RoomLine>& said) {
    std::size_t at = 0;
    for (const auto& line : heard) {
        while (at < said.size() && !(said[at] == line)) ++at;
        if (at == said.size()) return false;
        ++at;
    }
    return true;
}

TEST_P(Scanner, AFloodOfOneLineWhileTheClientTrimsLosesNoneOfTheUsersLines) {
    SignOn("Bob");
    driver->SetHistoryLimit(20);
    const RoomLine lol{"KarenK", "lol"};
    driver->SayTogether(std::vector<RoomLine>(20, lol));
    Catchup();
    aol::NiteScan scan(driver->Services());
    std::vector<RoomLine> heard;
    scan.SetChatLineHandler([&](const std::string& s, const std::string& t) {
        heard.push_back({s, t});
    });
    scan.ScanON();
    // Each batch reaches the room between two looks: 0 is "lol", n the
    // user's command n. The user's lines at the front of a batch, behind
    // it, alone, after more repeats than the client keeps, and one command
    // said twice in a pattern that repeats.
    const std::vector<std::vector<int>> batches = {
        {1, 0, 0, 0, 0},
        {0, 0, 2, 0, 0, 0, 0, 0},
        std::vector<int>(25, 0),
        {3},
        std::vector<int>(19, 0),
        {4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {0, 5},
        {6, 0, 0, 6, 0, 0},
        {0, 0, 0, 7}};
    std::vector<RoomLine> said, commands;
    for (const auto& batch : batches) {
        std::vector<RoomLine> lines;
        for (int n : batch) {
            lines.push_back(n == 0 ? lol : RoomLine{"Bob", "!h bob" + std::to_string(n)});
            if (n != 0) commands.push_back(lines.back());
        }
        said.insert(said.end(), lines.begin(), lines.end());
        driver->SayTogether(lines);
        Catchup();
    }
    std::vector<RoomLine> own;
    for (const auto& line : heard) {
        if (line.sender == "Bob") own.push_back(line);
    }
    EXPECT_EQ(own, commands);
    EXPECT_TRUE(InOrderAmong(heard, said)) << ::testing::PrintToString(heard);
}

// A transcript control that answers some messages with 0, as a control does
// with a message it does not know (the first rich edit generation with
// EM_GETTEXTLENGTHEX) or a read that fails; `deaf` switches it.
class DeafWindows final : public ThroughWindows {
  public:
    DeafWindows(platform::WindowApi& inner, std::vector<unsigned> messages)
        : ThroughWindows(inner), messages_(std::move(messages)) {}
    platform::LResult SendMessageA(Hwnd window, unsigned message, platform::WParam wParam,
                                   platform::LParam lParam) override {
        if (deaf && std::find(messages_.begin(), messages_.end(), message) != messages_.end()) {
            return 0;
        }
        return inner_.SendMessageA(window, message, wParam, lParam);
    }
    bool deaf = true;

  private:
    std::vector<unsigned> messages_;
};

TEST_P(Scanner, WhateverTheControlAnswersNoOldLineIsReportedAndNoneTwice) {
    using platform::EM_GETLINECOUNT;
    using platform::EM_GETTEXTLENGTHEX;
    using platform::EM_GETTEXTRANGE;
    using platform::WM_GETTEXTLENGTH;
    struct Case {
        std::vector<unsigned> unknown;
        bool deafForever;  // false: only until after ScanON
        bool hearsNews;    // the lines after ScanON are heard
    };
    const Case cases[] = {
        {{EM_GETTEXTLENGTHEX}, true, true},
        {{EM_GETTEXTLENGTHEX, WM_GETTEXTLENGTH}, true, true},
        {{EM_GETTEXTRANGE}, true, false},
        {{EM_GETTEXTRANGE, EM_GETTEXTLENGTHEX, WM_GETTEXTLENGTH, EM_GETLINECOUNT}, true, false},
        {{EM_GETTEXTRANGE}, false, true},
        {{EM_GETTEXTRANGE, EM_GETTEXTLENGTHEX, WM_GETTEXTLENGTH, EM_GETLINECOUNT}, false, true},
    };
    SignOn("Bob");
    driver->SetHistoryLimit(6);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.unknown) +
                     (c.deafForever ? " always" : " at first"));
        for (int i = 0; i < 8; ++i) driver->Say("KarenK", "old " + std::to_string(++n));
        Catchup();
        DeafWindows deaf(windows(), c.unknown);
        platform::Services services{deaf, runtime(), random()};
        aol::NiteScan scan(services);
        std::vector<std::string> heard;
        scan.SetChatLineHandler(
            [&](const std::string&, const std::string& t) { heard.push_back(t); });
        scan.ScanON();
        Catchup();
        deaf.deaf = c.deafForever;
        Catchup();
        std::vector<std::string> news;
        for (int i = 0; i < 9; ++i) {
            news.push_back("new " + std::to_string(++n));
            driver->Say("KarenK", news.back());
            if (i % 3 == 2) Catchup();
        }
        EXPECT_EQ(heard, c.hearsNews ? news : std::vector<std::string>{});
    }
}

// The room changes between two reads of one look, as the room of a client
// in another process can: it drops its two oldest lines and gains one.
class ChangingWindows final : public ThroughWindows {
  public:
    using ThroughWindows::ThroughWindows;
    platform::LResult SendMessageA(Hwnd window, unsigned message, platform::WParam wParam,
                                   platform::LParam lParam) override {
        if (message == platform::EM_GETTEXTRANGE && !sneak_.empty() && ++reads_ == at_) {
            Change(window);
        }
        return inner_.SendMessageA(window, message, wParam, lParam);
    }
    // `line` comes in just before the read `at` from now.
    void Arm(std::string line, int at) {
        sneak_ = std::move(line);
        at_ = at;
        reads_ = 0;
    }
    bool Fired() const { return sneak_.empty(); }

  private:
    void Change(Hwnd transcript) {
        std::vector<char> buffer(1 << 16);
        inner_.SendMessageA(transcript, platform::WM_GETTEXT, buffer.size(),
                            reinterpret_cast<platform::LParam>(buffer.data()));
        std::vector<std::string> lines;
        std::string all(buffer.data()), line;
        for (char c : all) {
            if (c == '\n') continue;
            if (c != '\r') {
                line += c;
                continue;
            }
            lines.push_back(line);
            line.clear();
        }
        std::string text;
        for (std::size_t i = std::min<std::size_t>(2, lines.size()); i < lines.size(); ++i) {
            text += lines[i] + "\r";
        }
        text += "Zed:\t" + sneak_ + "\r";
        inner_.SendMessageA(transcript, platform::WM_SETTEXT, 0,
                            reinterpret_cast<platform::LParam>(text.c_str()));
        sneak_.clear();
    }
    std::string sneak_;
    int at_ = 0, reads_ = 0;
};

TEST_P(Scanner, ALookThatSeesTheRoomChangeBetweenItsReadsTakesEachLineOnce) {
    // The simulated client's room is changed from here; the stand-in keeps
    // its own count of what it trims, which a change from outside would upset.
    if (!driver->VirtualTime()) GTEST_SKIP();
    SignOn("Bob");
    driver->SetHistoryLimit(6);
    for (int i = 0; i < 6; ++i) driver->Say("KarenK", "before " + std::to_string(i));
    Catchup();
    ChangingWindows changing(windows());
    platform::Services services{changing, runtime(), random()};
    aol::NiteScan scan(services);
    std::vector<std::string> heard, expected;
    scan.SetChatLineHandler([&](const std::string&, const std::string& t) { heard.push_back(t); });
    scan.ScanON();
    for (int i = 0; i < 12; ++i) {
        expected.push_back("said " + std::to_string(i));
        expected.push_back("sneaked " + std::to_string(i));
        driver->Say("KarenK", expected[expected.size() - 2]);
        driver->Settle();
        changing.Arm(expected.back(), 2 + i % 3);
        Catchup();
        Catchup();
        ASSERT_TRUE(changing.Fired());
    }
    EXPECT_EQ(heard, expected);
}

// The window system as it is, listeners and all, with its lookups counted.
class CountingWindows final : public ThroughWindows {
  public:
    using ThroughWindows::ThroughWindows;
    Hwnd FindWindowA(std::string_view className, std::optional<std::string_view> caption) override {
        ++finds;
        return inner_.FindWindowA(className, caption);
    }
    Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                       std::optional<std::string_view> caption) override {
        ++finds;
        return inner_.FindWindowExA(parent, childAfter, className, caption);
    }
    std::uint64_t AddChangeListener(std::function<void()> onChange) override {
        return inner_.AddChangeListener(std::move(onChange));
    }
    void RemoveChangeListener(std::uint64_t id) override { inner_.RemoveChangeListener(id); }
    std::uint64_t AddCreationListener(std::function<void()> onCreate) override {
        return inner_.AddCreationListener(std::move(onCreate));
    }
    void RemoveCreationListener(std::uint64_t id) override { inner_.RemoveCreationListener(id); }
    int finds = 0;
};

// Until the client is started there is nothing to find; the scanner looks
// again once it has made its windows.
TEST_F(ScannerBase, WithNoRoomToFindItLooksAgainOnlyWhenAWindowIsMade) {
    CountingWindows counting(windows());
    platform::Services services{counting, runtime(), random()};
    aol::NiteScan scan(services);
    std::vector<Heard> heard;
    Attach(scan, heard);
    scan.ScanON();
    Catchup();
    counting.finds = 0;
    driver->Advance(1s);
    EXPECT_LE(counting.finds, 3) << "not ten looks a second for a client that is not there";
    SignOn("Bob");
    Catchup();
    driver->Say("KarenK", "hello");
    Catchup();
    EXPECT_EQ(heard, (std::vector<Heard>{{"KarenK", "hello"}}));
}

// --- scanners that poll together ---

// The reads that cross to the client, counted.
class PollingWindows final : public ThroughWindows {
  public:
    using ThroughWindows::ThroughWindows;
    Hwnd FindWindowA(std::string_view className, std::optional<std::string_view> caption) override {
        ++finds;
        return inner_.FindWindowA(className, caption);
    }
    Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                       std::optional<std::string_view> caption) override {
        ++finds;
        return inner_.FindWindowExA(parent, childAfter, className, caption);
    }
    platform::LResult SendMessageA(Hwnd window, unsigned message, platform::WParam wParam,
                                   platform::LParam lParam) override {
        if (message == platform::EM_GETTEXTLENGTHEX) ++lengths;
        if (message == platform::EM_GETTEXTRANGE) ++ranges;
        return inner_.SendMessageA(window, message, wParam, lParam);
    }
    void Reset() { finds = lengths = ranges = 0; }

    int finds = 0, lengths = 0, ranges = 0;
};

class PollingScanners : public ScannerBase {
  protected:
    void SetUp() override {
        ScannerBase::SetUp();
        polling = std::make_unique<PollingWindows>(windows());
        services = std::make_unique<platform::Services>(
            platform::Services{*polling, driver->Services().runtime, driver->Services().random});
        group = std::make_unique<aol::ScanGroup>(*services);
    }
    void TearDown() override {
        group.reset();
        services.reset();
        polling.reset();
    }
    std::unique_ptr<PollingWindows> polling;
    std::unique_ptr<platform::Services> services;
    std::unique_ptr<aol::ScanGroup> group;
};

TEST_F(PollingScanners, ShareOneLookAtTheRoomAndEachHearsEveryLine) {
    SignOn("Bob");
    aol::NiteScan one(*services, group.get()), two(*services, group.get());
    aol::NiteScan apart(*services);  // a group of its own
    std::vector<Heard> a, b, c;
    Attach(one, a);
    Attach(two, b);
    Attach(apart, c);
    one.ScanON();
    two.ScanON();
    driver->Say("KarenK", "first");
    Catchup();
    apart.ScanON();  // starts after "first"
    driver->Say("KarenK", "second");
    modAol7SendChat::SendChatLine(windows(), "mine");
    Catchup();
    const std::vector<Heard> all{{"KarenK", "first"}, {"KarenK", "second"}, {"Bob", "mine"}};
    EXPECT_EQ(a, all);
    EXPECT_EQ(b, all);
    EXPECT_EQ(c, (std::vector<Heard>{{"KarenK", "second"}, {"Bob", "mine"}}));

    // In a quiet room each poll of the pair sends the client one message,
    // like the scanner that polls alone: the pair costs what one scanner
    // costs, and that is one read a poll (10 a second).
    apart.ScanOFF();
    driver->Settle();
    polling->Reset();
    driver->Advance(1s);
    const int pairReads = polling->ranges;
    EXPECT_GE(pairReads, 5);
    EXPECT_LE(pairReads, 12);
    EXPECT_EQ(polling->lengths, 0) << "the read tells where the text ends";
    one.ScanOFF();
    two.ScanOFF();
    apart.ScanON();
    driver->Settle();
    polling->Reset();
    driver->Advance(1s);
    EXPECT_NEAR(polling->ranges, pairReads, 3);
    EXPECT_EQ(polling->lengths, 0);

    // Once no member scans, nothing polls.
    apart.ScanOFF();
    driver->Settle();
    polling->Reset();
    driver->Advance(1s);
    EXPECT_EQ(polling->finds + polling->lengths + polling->ranges, 0);
}

TEST_F(PollingScanners, AQuietLookAfterAFloodIsStillOneRead) {
    SignOn("Bob");
    aol::NiteScan scan(*services, group.get());
    std::vector<Heard> heard;
    Attach(scan, heard);
    scan.ScanON();
    // More repeats than the scanner keeps of what it read.
    driver->SayTogether(std::vector<RoomLine>(600, RoomLine{"KarenK", "lol"}));
    Catchup();
    polling->Reset();
    driver->Advance(1s);
    EXPECT_GE(polling->ranges, 5);
    EXPECT_LE(polling->ranges, 12);
    EXPECT_EQ(polling->lengths, 0);
    driver->Say("Bob", "still heard");
    Catchup();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back(), (Heard{"Bob", "still heard"}));
}

TEST_F(PollingScanners, FollowTheRoomInFrontAndLookItUpAfreshOnlyWhenTheWindowsChange) {
    SignOn("Bob", "Lobby");
    aol::NiteScan scan(*services, group.get());
    std::vector<Heard> heard;
    Attach(scan, heard);
    scan.ScanON();
    driver->Say("KarenK", "first");
    Catchup();
    // In a quiet room a poll checks the way to the room, and reads once.
    driver->Settle();
    polling->Reset();
    driver->Advance(1s);
    EXPECT_GE(polling->ranges, 5);
    EXPECT_LE(polling->finds, 3 * polling->ranges);
    // Another room in front is the room now; the Lobby's lines go unheard,
    // and are history once the Lobby is in front again.
    driver->OpenChild("Elsewhere",
                      {"RICHCNTL", "RICHCNTL", "_AOL_Listbox", "_AOL_Icon", "_AOL_Static"});
    Catchup();
    driver->Say("KarenK", "unheard");
    Catchup();
    ASSERT_TRUE(driver->BringToFront("Lobby"));
    Catchup();
    driver->Say("KarenK", "back");
    Catchup();
    EXPECT_EQ(heard, (std::vector<Heard>{{"KarenK", "first"}, {"KarenK", "back"}}));
}

TEST_F(PollingScanners, AMemberSwitchedOffOrGoneLeavesTheOthersHearing) {
    SignOn("Bob");
    auto one = std::make_unique<aol::NiteScan>(*services, group.get());
    aol::NiteScan two(*services, group.get());
    std::vector<Heard> a, b;
    // The first member's handler ends the second's scanning and then the
    // first member itself, with the second's lines still to come.
    auto three = std::make_unique<aol::NiteScan>(*services, group.get());
    one->SetChatLineHandler([&](const std::string& s, const std::string& t) {
        a.push_back({s, t});
        if (t == "stop") {
            two.ScanOFF();
            three.reset();
        }
    });
    Attach(two, b);
    one->ScanON();
    two.ScanON();
    three->ScanON();
    driver->Say("KarenK", "hello");
    Catchup();
    driver->Say("KarenK", "stop");
    Catchup();
    driver->Say("KarenK", "after");
    Catchup();
    EXPECT_EQ(a,
              (std::vector<Heard>{{"KarenK", "hello"}, {"KarenK", "stop"}, {"KarenK", "after"}}));
    EXPECT_EQ(b, (std::vector<Heard>{{"KarenK", "hello"}})) << "switched off before its turn";
    one.reset();
    driver->Say("KarenK", "to nobody");
    Catchup();
    two.ScanON();
    driver->Say("KarenK", "back");
    Catchup();
    EXPECT_EQ(b, (std::vector<Heard>{{"KarenK", "hello"}, {"KarenK", "back"}}));
}

}  // namespace
