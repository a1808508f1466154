// The Qt runtime's event loop rules. Nothing here waits on the clock: every
// event is due at once, so a loop that blocked or spun would show as a hang.

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <stdexcept>

#include "ui/qt/QtRuntime.h"

namespace {

using platform::Millis;

// A quit ends every event loop of the application until it runs its own loop
// again; tests that quit put the application back for the next test.
class QtRuntimeQuit : public testing::Test {
  protected:
    void TearDown() override {
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
};

TEST(QtRuntime, PostedTasksRunInOrderAndSurviveAFailingOne) {
    ui::QtRuntime runtime;
    std::string order;
    runtime.Post([&] { order += "a"; });
    runtime.Post([&] {
        order += "b";
        throw std::runtime_error("handler failed on purpose");
    });
    runtime.Post([&] {
        order += "c";
        runtime.Post([&] { order += "d"; });
    });
    runtime.DoEvents();
    runtime.DoEvents();
    EXPECT_EQ(order, "abcd");
}

TEST(QtRuntime, WaitReturnsAsSoonAsSomethingIsDue) {
    ui::QtRuntime runtime;
    bool ran = false;
    runtime.PostDelayed(Millis{0}, [&] { ran = true; });
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 10 && !ran; ++i) runtime.WaitForEvents(Millis{30'000});
    EXPECT_TRUE(ran);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(QtRuntime, TimerStoppedInsideItsOwnTickTicksNoMore) {
    ui::QtRuntime runtime;
    int ticks = 0;
    platform::TimerId id = 0;
    id = runtime.StartTimer(Millis{0}, [&] {
        ++ticks;
        runtime.StopTimer(id);
    });
    for (int i = 0; i < 20; ++i) runtime.DoEvents();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(runtime.RunningTimers(), 0u);
}

TEST(QtRuntime, TickThatPumpsTheLoopDoesNotNestIntoItself) {
    ui::QtRuntime runtime;
    int depth = 0, deepest = 0, ticks = 0;
    platform::TimerId id = runtime.StartTimer(Millis{0}, [&] {
        ++ticks;
        deepest = std::max(deepest, ++depth);
        for (int i = 0; i < 5; ++i) runtime.DoEvents();
        --depth;
    });
    for (int i = 0; i < 5; ++i) runtime.DoEvents();
    runtime.StopTimer(id);
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(deepest, 1);
}

TEST_F(QtRuntimeQuit, AfterQuitNothingRunsAndWaitsReturn) {
    ui::QtRuntime runtime;
    bool ran = false;
    runtime.Post([&] { ran = true; });
    runtime.RequestQuit();
    EXPECT_TRUE(runtime.QuitRequested());
    runtime.DoEvents();
    auto start = std::chrono::steady_clock::now();
    runtime.WaitForEvents(Millis{30'000});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(ran);
    EXPECT_EQ(runtime.Prompt("text", "title", ""), "");
}

// One wake-up serves every timer: a tick that opens a dialog must not keep
// the others from ticking inside the dialog's own loop.
TEST(QtRuntime, TimersTickInsideADialogThatATickOpened) {
    ui::QtRuntime runtime;
    int ticks = 0;
    bool closedByTick = false, opened = false;
    const platform::TimerId opener = runtime.StartTimer(Millis{0}, [&] {
        if (opened) return;
        opened = true;
        runtime.MessageBox("inside a tick", "moonrake ruze");
    });
    const platform::TimerId counter = runtime.StartTimer(Millis{1}, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && ++ticks == 3) {
            closedByTick = true;
            box->reject();
        }
    });
    // Should the ticks not come, the box is closed all the same.
    QTimer::singleShot(5000, [] {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    auto start = std::chrono::steady_clock::now();
    while (!opened && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        runtime.WaitForEvents(Millis{100});
    }
    runtime.StopTimer(opener);
    runtime.StopTimer(counter);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(closedByTick);
}

TEST(QtRuntime, PromptReturnsTheTypedTextOrNothingWhenCancelled) {
    ui::QtRuntime runtime;
    QString seenTitle, seenLabel;
    auto answerWith = [&](bool accept) {
        QTimer::singleShot(0, [&, accept] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seenTitle = dialog->windowTitle();
            seenLabel = dialog->labelText();
            EXPECT_EQ(dialog->textValue(), "");
            dialog->setTextValue("bob ²");
            accept ? dialog->accept() : dialog->reject();
        });
    };
    answerWith(true);
    EXPECT_EQ(runtime.Prompt("enter your handle", "moonrake ruze ²", ""), "bob ²");
    EXPECT_EQ(seenTitle, "moonrake ruze ²");
    EXPECT_EQ(seenLabel, "enter your handle");
    answerWith(false);
    EXPECT_EQ(runtime.Prompt("enter your handle", "moonrake ruze ²", ""), "");
}

TEST_F(QtRuntimeQuit, QuitEndsAnOpenMessageBox) {
    ui::QtRuntime runtime;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box) text = box->text();
        runtime.RequestQuit();
    });
    runtime.MessageBox("ruze already enabled", "moonrake ruze ²");
    EXPECT_EQ(text, "ruze already enabled");
    EXPECT_TRUE(runtime.QuitRequested());
}

}  // namespace
