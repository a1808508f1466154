#pragma once
// The runtime of the windowed program: Qt's event loop, its timers and its
// dialogs, with the clocks of the standard library.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>
#include <random>

#include "platform/Runtime.h"

namespace ui {

class QtRuntime final : public platform::Runtime {
  public:
    QtRuntime();
    ~QtRuntime() override;
    QtRuntime(const QtRuntime&) = delete;
    QtRuntime& operator=(const QtRuntime&) = delete;

    platform::Millis Monotonic() override;
    std::tm LocalTime() override;
    double SecondsSinceMidnight() override;

    void Post(platform::Task task) override;
    void PostDelayed(platform::Millis delay, platform::Task task) override;
    platform::TimerId StartTimer(platform::Millis interval, platform::Task tick) override;
    void StopTimer(platform::TimerId id) override;
    void DoEvents() override;
    void WaitForEvents(platform::Millis maxWait) override;
    void RequestQuit() override;
    bool QuitRequested() const override { return quit_; }

    void Reseed() override;
    double Random() override;

    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void MessageBox(const std::string& text, const std::string& title) override;
    std::optional<std::vector<std::string>> ListFolder(const std::string& folder,
                                                       const std::string& pattern) override;

    std::size_t RunningTimers() const { return timers_.size(); }

    // The window that owns the prompts and message boxes from now on: they
    // open as its dialogs, stay above it while it is kept on top, and take
    // the keyboard focus. Without an owner they stand on their own.
    void SetDialogOwner(QWidget* owner) { dialogOwner_ = owner; }

  private:
    // Runs one task of the loop; an exception is logged and the loop goes on.
    void Run(const platform::Task& task);

    // Owns every timer and is the context of every posted task, so nothing
    // queued outlives the runtime.
    QObject context_;
    std::map<platform::TimerId, QPointer<QTimer>> timers_;
    platform::TimerId nextTimer_ = 1;
    bool quit_ = false;
    std::mt19937 random_;
    QPointer<QWidget> dialogOwner_;
};

// Timers shorter than this run on Qt's precise timers; longer ones may be
// coalesced by a few percent, which saves wake-ups and nobody notices.
inline constexpr platform::Millis kPreciseTimerLimit{2000};

}  // namespace ui
