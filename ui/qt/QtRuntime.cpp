#include "ui/qt/QtRuntime.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QString>
#include <algorithm>

namespace ui {
namespace {

Qt::TimerType TimerTypeFor(platform::Millis ahead) {
    return ahead < kPreciseTimerLimit ? Qt::PreciseTimer : Qt::CoarseTimer;
}

int ClampToInt(platform::Millis duration) {
    // QTimer takes an int of milliseconds; a longer delay waits about 24 days.
    auto count = std::clamp<std::int64_t>(duration.count(), 0, 0x7fffffff);
    return static_cast<int>(count);
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A dialog of the program: owned by the main window (so it stays above it),
// on top of other windows like its owner, and given the keyboard as soon as
// it is shown.
void PrepareDialog(QDialog& dialog, const char* name) {
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.setObjectName(name);
    // Over its owner when the owner is on the screen; in the middle of the
    // screen otherwise (the handle prompt comes before the main window shows).
    const QWidget* owner = dialog.parentWidget();
    if (!owner || !owner->isVisible()) {
        const QScreen* screen =
            owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            dialog.adjustSize();
            const QRect area = screen->availableGeometry();
            dialog.move(area.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
        }
    }
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.raise();
        dialog.activateWindow();
    });
}

// A dialog takes the keyboard while it waits for its answer; when it closes,
// the window that had the keyboard before (the chat client's, as a rule) gets
// it back rather than the dialog's owner.
class KeyboardReturn {
  public:
    KeyboardReturn() : before_(QApplication::activeWindow()) {}
    ~KeyboardReturn() {
        if (before_ && before_->isVisible() && QApplication::activeWindow() != before_) {
            before_->activateWindow();
        }
    }
    KeyboardReturn(const KeyboardReturn&) = delete;
    KeyboardReturn& operator=(const KeyboardReturn&) = delete;

  private:
    QPointer<QWidget> before_;
};

}  // namespace

QtRuntime::QtRuntime() {
    wake_.setSingleShot(true);
    // A single-shot timer that fired is stopped before its slot runs: armed
    // again inside the slot (from a tick that opens a dialog, say), it is a
    // new timer to Qt and fires inside that dialog's loop too.
    QObject::connect(&wake_, &QTimer::timeout, &context_, [this] {
        armedFor_.reset();
        RunQueue();
    });
}

QtRuntime::~QtRuntime() = default;

void QtRuntime::QueueChanged() {
    if (QuitRequested()) return;
    if (HasReady() && !runPosted_) {
        runPosted_ = true;
        QMetaObject::invokeMethod(
            &context_,
            [this] {
                runPosted_ = false;
                RunQueue();
            },
            Qt::QueuedConnection);
    }
    const std::optional<platform::Millis> due = NextDue();
    if (due == armedFor_ && (!due || wake_.isActive())) return;
    armedFor_ = due;
    if (!due) {
        wake_.stop();
        return;
    }
    const platform::Millis left = std::max(*due - Monotonic(), platform::Millis{0});
    wake_.setTimerType(TimerTypeFor(left));
    wake_.start(ClampToInt(left));
}

void QtRuntime::HandleOutside() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool QtRuntime::SleepUntil(platform::Millis deadline) {
    const platform::Millis left = deadline - Monotonic();
    // Nothing to wait for: what is there is handled at once.
    if (left <= platform::Millis{0}) return true;
    // The deadline is an event of its own, so the blocking wait below ends by
    // then at the latest; it returns earlier when anything else arrives.
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(ClampToInt(left));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!QuitRequested()) QCoreApplication::sendPostedEvents();
    return false;
}

void QtRuntime::QuitAsked() {
    armedFor_.reset();
    wake_.stop();
    // Ends every running event loop of the thread, modal dialogs included.
    QCoreApplication::exit(0);
}

std::string QtRuntime::Prompt(const std::string& text, const std::string& title,
                              const std::string& defaultAnswer) {
    if (QuitRequested()) return "";
    KeyboardReturn keyboard;
    QInputDialog dialog(dialogOwner_.data());
    dialog.setWindowTitle(FromUtf8(title));
    dialog.setLabelText(FromUtf8(text));
    dialog.setTextValue(FromUtf8(defaultAnswer));
    dialog.setInputMode(QInputDialog::TextInput);
    for (QLabel* label : dialog.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    PrepareDialog(dialog, "prompt");
    if (dialog.exec() != QDialog::Accepted || QuitRequested()) return "";
    return dialog.textValue().toStdString();
}

void QtRuntime::MessageBox(const std::string& text, const std::string& title) {
    if (QuitRequested()) return;
    KeyboardReturn keyboard;
    QMessageBox box(QMessageBox::NoIcon, FromUtf8(title), FromUtf8(text), QMessageBox::Ok,
                    dialogOwner_.data());
    box.setTextFormat(Qt::PlainText);
    PrepareDialog(box, "messageBox");
    box.exec();
}

}  // namespace ui
