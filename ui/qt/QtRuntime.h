#pragma once
// The runtime of the windowed program: the shared queue and timer schedule
// (QueuedRuntime) on Qt's event loop, and Qt's dialogs. The loop that runs is
// Qt's (QApplication::exec, a dialog's exec, or a wait of ours): a posted task
// becomes a queued call that runs the queue, and one single-shot QTimer is
// kept armed for the instant the next timer falls due, so the thread sleeps
// in Qt's loop until then.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "platform/QueuedRuntime.h"

namespace ui {

class QtRuntime final : public platform::QueuedRuntime {
  public:
    QtRuntime();
    ~QtRuntime() override;

    std::string Prompt(const std::string& text, const std::string& title,
                       const std::string& defaultAnswer) override;
    void MessageBox(const std::string& text, const std::string& title) override;

    // The window that owns the prompts and message boxes from now on: they
    // open as its dialogs, stay above it while it is kept on top, and take
    // the keyboard focus. Without an owner they stand on their own.
    void SetDialogOwner(QWidget* owner) { dialogOwner_ = owner; }

  protected:
    // Waits in Qt's loop (which runs our wake-ups too) until the deadline or
    // until any event has been handled.
    bool SleepUntil(platform::Millis deadline) override;
    // Qt's posted events and whatever else has come in.
    void HandleOutside() override;
    // Posts a run of the queue for a waiting task, and re-arms the wake-up
    // for the next due instant.
    void QueueChanged() override;
    // Stops the wake-up and ends every running event loop of the thread,
    // modal dialogs included.
    void QuitAsked() override;

  private:
    // The context of the queued runs of the queue and of the wake-up, so
    // that nothing queued outlives the runtime.
    QObject context_;
    QTimer wake_;
    std::optional<platform::Millis> armedFor_;  // when wake_ is due to fire
    bool runPosted_ = false;                    // a queued run has not started yet
    QPointer<QWidget> dialogOwner_;
};

// A wake-up less than this ahead runs on Qt's precise timers; a later one may
// be coalesced by a few percent, which saves wake-ups and nobody notices.
inline constexpr platform::Millis kPreciseTimerLimit{2000};

}  // namespace ui
