// Keeping the main window on top on a real X server (on_x_server.sh starts
// one, with or without openbox): another client's window that comes above
// ours is reported, SetTopmost puts ours back above it, and our own raise
// reports nothing, so there is no loop. Time here is real: the server and
// the window manager answer when they answer.

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clientsim/SimChatClient.h"
#include "forms/Form1.h"
#include "platform/sim/SimWindowSystem.h"
#include "tests/support/RecordingPlayer.h"
#include "tests/support/TestRuntime.h"
#include "ui/qt/QtFrontEnd.h"

namespace {

bool UnderWindowManager() {
    const char* manager = std::getenv("MOONRAKE_WINDOW_MANAGER");
    return manager != nullptr && *manager != '\0';
}

// Runs Qt's events until `done` holds or `seconds` have passed.
bool Within(double seconds, const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > static_cast<qint64>(seconds * 1000)) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(5);
    }
    return true;
}

// Lets `seconds` of real time pass with Qt's events running.
void Pause(double seconds) {
    Within(seconds, [] { return false; });
}

// Another program on the same display, with its own connection.
class OtherClient {
  public:
    OtherClient() : c_(xcb_connect(nullptr, nullptr)) {
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    }
    ~OtherClient() { xcb_disconnect(c_); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    bool Connected() const { return xcb_connection_has_error(c_) == 0; }
    xcb_window_t Root() const { return screen_->root; }

    xcb_atom_t Atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
        std::free(reply);
        return atom;
    }

    // A topmost window of its own at the given place (asked of the window
    // manager, if there is one, as placed by the user).
    xcb_window_t Open(int x, int y, int width, int height) {
        const xcb_window_t window = xcb_generate_id(c_);
        const std::uint32_t values[] = {screen_->white_pixel};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, Root(), static_cast<std::int16_t>(x),
                          static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                          static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen_->root_visual, XCB_CW_BACK_PIXEL, values);
        const xcb_atom_t above = Atom("_NET_WM_STATE_ABOVE");
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, Atom("_NET_WM_STATE"), XCB_ATOM_ATOM,
                            32, 1, &above);
        // WM_NORMAL_HINTS: USPosition | USSize, then x, y, width, height.
        std::uint32_t hints[18] = {1 | 2, static_cast<std::uint32_t>(x),
                                   static_cast<std::uint32_t>(y), static_cast<std::uint32_t>(width),
                                   static_cast<std::uint32_t>(height)};
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
        const char title[] = "another client";
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            sizeof title - 1, title);
        xcb_map_window(c_, window);
        xcb_flush(c_);
        return window;
    }

    // Asks for the window to go above its siblings, as a program raising
    // its own window does (the window manager, if any, decides).
    void Raise(xcb_window_t window) {
        const std::uint32_t values[] = {XCB_STACK_MODE_ABOVE};
        xcb_configure_window(c_, window, XCB_CONFIG_WINDOW_STACK_MODE, values);
        xcb_flush(c_);
    }

    // From now on counts the restacking of `window`'s top-level window (its
    // frame under a window manager), as this client sees it.
    void WatchRestacks(xcb_window_t window) {
        watched_ = TopLevel(window);
        const std::uint32_t mask[] = {XCB_EVENT_MASK_STRUCTURE_NOTIFY};
        xcb_change_window_attributes(c_, watched_, XCB_CW_EVENT_MASK, mask);
        xcb_flush(c_);
    }
    // The restacks of the watched window that came in since the last call.
    int TakeRestacks() {
        int restacks = 0;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
            if ((event->response_type & 0x7F) == XCB_CONFIGURE_NOTIFY &&
                reinterpret_cast<xcb_configure_notify_event_t*>(event)->window == watched_) {
                ++restacks;
            }
            std::free(event);
        }
        return restacks;
    }

    void Close(xcb_window_t window) {
        xcb_destroy_window(c_, window);
        xcb_flush(c_);
    }

    // The child of the root that holds `window` (its frame, under a window
    // manager).
    xcb_window_t TopLevel(xcb_window_t window) {
        for (int depth = 0; depth < 32; ++depth) {
            auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, window), nullptr);
            if (tree == nullptr) return XCB_NONE;
            const xcb_window_t parent = tree->parent, root = tree->root;
            std::free(tree);
            if (parent == root || parent == XCB_NONE) return window;
            window = parent;
        }
        return XCB_NONE;
    }

    bool Viewable(xcb_window_t window) {
        auto* attributes = xcb_get_window_attributes_reply(
            c_, xcb_get_window_attributes(c_, TopLevel(window)), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        return viewable;
    }

    // True when `upper` stands above `lower` in the root's stacking order.
    bool Above(xcb_window_t upper, xcb_window_t lower) {
        const xcb_window_t up = TopLevel(upper), low = TopLevel(lower);
        auto* tree = xcb_query_tree_reply(c_, xcb_query_tree(c_, Root()), nullptr);
        if (tree == nullptr) return false;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        int upAt = -1, lowAt = -1;
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
            if (children[i] == up) upAt = i;
            if (children[i] == low) lowAt = i;
        }
        std::free(tree);
        return upAt >= 0 && lowAt >= 0 && upAt > lowAt;
    }

    // The window manager has claimed the screen and manages what is mapped
    // now: a window mapped while openbox is still starting up, though after
    // it has claimed the screen, may be left unmapped for good.
    bool ManagerManages() {
        auto* reply =
            xcb_get_property_reply(c_,
                                   xcb_get_property(c_, 0, Root(), Atom("_NET_SUPPORTING_WM_CHECK"),
                                                    XCB_ATOM_WINDOW, 0, 1),
                                   nullptr);
        const bool up = reply && xcb_get_property_value_length(reply) == 4;
        std::free(reply);
        if (!up) return false;
        const xcb_window_t probe = Open(0, 0, 10, 10);
        QElapsedTimer waited;
        waited.start();
        bool framed = false;
        while (!framed && waited.elapsed() < 2000) {
            framed = TopLevel(probe) != probe;
            if (!framed) QTest::qWait(20);
        }
        Close(probe);
        return framed;
    }

  private:
    xcb_connection_t* c_;
    xcb_screen_t* screen_ = nullptr;
    xcb_window_t watched_ = XCB_NONE;
};

// The program's windows drawn by the Qt front end on the X server; the
// program runs on the virtual clock, so nothing of its own ticks here.
class X11Stacking : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        ASSERT_TRUE(other.Connected());
        static bool managerReady = false;
        if (UnderWindowManager() && !managerReady) {
            ASSERT_TRUE(managerReady = Within(20, [&] { return other.ManagerManages(); }));
        }
        client.SignOn();
        runtime.promptAnswers = {"bob"};
        form = std::make_unique<forms::Form1>(services, player, frontEnd);
        form->Load();
        runtime.RunUntilIdle();
        main = frontEnd.Window(*form);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main));
        ours = static_cast<xcb_window_t>(main->winId());
        ASSERT_TRUE(Within(10, [&] { return other.Viewable(ours); }));
        // Under a window manager ours is judged by its frame.
        if (UnderWindowManager()) {
            ASSERT_NE(other.TopLevel(ours), ours);
        }
        ASSERT_EQ(frontEnd.WatchStacking([this] { Notified(); }), forms::StackingWatch::Notifies);
    }

    void TearDown() override {
        for (xcb_window_t window : opened) other.Close(window);
        form.reset();
        QCoreApplication::processEvents();
    }

    void Notified() {
        ++calls;
        // As the main window answers: SetTopmost on the next turn of the loop.
        if (answer) QTimer::singleShot(0, main, [this] { frontEnd.SetTopmost(*form); });
    }

    // Another client's topmost window over the middle of ours.
    xcb_window_t OpenOverOurs() {
        const QRect frame = main->frameGeometry();
        const xcb_window_t window =
            other.Open(frame.x() + 20, frame.y() + 20, frame.width(), frame.height());
        opened.push_back(window);
        EXPECT_TRUE(Within(10, [&] { return other.Viewable(window); }));
        return window;
    }

    testsupport::TestRuntime runtime;
    platform::sim::SimWindowSystem sim{runtime};
    clientsim::SimChatClient client{sim, runtime};
    platform::Services services{sim, runtime, runtime.random()};
    testsupport::RecordingPlayer player;
    ui::QtFrontEnd frontEnd;
    std::unique_ptr<forms::Form1> form;
    QWidget* main = nullptr;
    xcb_window_t ours = XCB_NONE;
    OtherClient other;
    std::vector<xcb_window_t> opened;
    int calls = 0;
    bool answer = false;
};

TEST_F(X11Stacking, AnotherClientsWindowMappedOverOursIsReportedAndSetTopmostLiftsOursAgain) {
    const xcb_window_t theirs = OpenOverOurs();
    ASSERT_TRUE(Within(5, [&] { return calls > 0; }));
    EXPECT_TRUE(other.Above(theirs, ours));
    frontEnd.SetTopmost(*form);
    EXPECT_TRUE(Within(5, [&] { return other.Above(ours, theirs); }));
}

TEST_F(X11Stacking, AnotherClientRaisingItsWindowOverOursIsReported) {
    const xcb_window_t theirs = OpenOverOurs();
    ASSERT_TRUE(Within(5, [&] { return calls > 0; }));
    frontEnd.SetTopmost(*form);
    ASSERT_TRUE(Within(5, [&] { return other.Above(ours, theirs); }));
    Pause(0.5);  // what the map set off has come in
    calls = 0;
    other.Raise(theirs);
    ASSERT_TRUE(Within(5, [&] { return other.Above(theirs, ours); }));
    EXPECT_TRUE(Within(5, [&] { return calls > 0; }));
    frontEnd.SetTopmost(*form);
    EXPECT_TRUE(Within(5, [&] { return other.Above(ours, theirs); }));
}

// The main window answers every report with SetTopmost, as it does in the
// program. Its raise and the window manager's restacking of our frame are
// our own doing: once ours is back on top, nothing more is reported.
TEST_F(X11Stacking, AnsweringReportsWithSetTopmostSettlesWithoutALoop) {
    answer = true;
    const xcb_window_t theirs = OpenOverOurs();
    ASSERT_TRUE(Within(5, [&] { return calls > 0 && other.Above(ours, theirs); }));
    Pause(0.5);  // the raise's own events come in
    const int settled = calls;
    Pause(1.5);
    EXPECT_EQ(calls, settled) << "reports went on with nothing happening";
    EXPECT_LE(settled, 4) << "a handful of reports for one window mapped";
    EXPECT_TRUE(other.Above(ours, theirs));
}

// Another program that raises its window again whenever ours comes above it
// (as a second copy of this one would): ours still takes its turns, but a
// few a second, not as fast as the server can restack.
TEST_F(X11Stacking, AWindowThatTakesTheTopBackEveryTimeGetsAFewTurnsASecond) {
    answer = true;
    const xcb_window_t theirs = OpenOverOurs();
    ASSERT_TRUE(Within(5, [&] { return other.Above(ours, theirs); }));
    Pause(0.5);
    other.WatchRestacks(ours);
    other.Raise(theirs);
    int ourRaises = 0;
    Within(2, [&] {
        if (const int restacks = other.TakeRestacks(); restacks > 0) {
            ourRaises += restacks;
            other.Raise(theirs);
        }
        return false;
    });
    EXPECT_GE(ourRaises, 3);
    EXPECT_LE(ourRaises, 15);
}

// A window above ours that does not overlap it covers nothing: SetTopmost
// leaves the stacking as it is.
TEST_F(X11Stacking, SetTopmostLeavesAWindowAboveThatCoversNothing) {
    const QRect frame = main->frameGeometry();
    const int x = frame.right() + 40 < 1200 ? frame.right() + 40 : frame.left() - 240;
    const xcb_window_t theirs = other.Open(x, frame.top(), 200, 100);
    opened.push_back(theirs);
    ASSERT_TRUE(Within(10, [&] { return other.Viewable(theirs); }));
    ASSERT_TRUE(other.Above(theirs, ours));
    frontEnd.SetTopmost(*form);
    Pause(0.5);
    EXPECT_TRUE(other.Above(theirs, ours));
}

}  // namespace
