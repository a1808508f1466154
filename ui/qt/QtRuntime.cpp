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
#include <chrono>
#include <ctime>

#include "platform/EventQueue.h"
#include "platform/Folder.h"

namespace ui {
namespace {

Qt::TimerType TimerTypeFor(platform::Millis interval) {
    return interval < kPreciseTimerLimit ? Qt::PreciseTimer : Qt::CoarseTimer;
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
    Reseed();
}

// The timers are children of context_ and go with it.
QtRuntime::~QtRuntime() = default;

platform::Millis QtRuntime::Monotonic() {
    return std::chrono::duration_cast<platform::Millis>(
        std::chrono::steady_clock::now().time_since_epoch());
}

std::tm QtRuntime::LocalTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

double QtRuntime::SecondsSinceMidnight() {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    auto fraction = now - std::chrono::system_clock::from_time_t(seconds);
    double wholeSeconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    return wholeSeconds + std::chrono::duration<double>(fraction).count();
}

void QtRuntime::Run(const platform::Task& task) {
    if (quit_) return;
    platform::RunGuarded(task);
}

void QtRuntime::Post(platform::Task task) {
    QMetaObject::invokeMethod(
        &context_, [this, task = std::move(task)] { Run(task); }, Qt::QueuedConnection);
}

void QtRuntime::PostDelayed(platform::Millis delay, platform::Task task) {
    QTimer::singleShot(ClampToInt(delay), TimerTypeFor(delay), &context_,
                       [this, task = std::move(task)] { Run(task); });
}

platform::TimerId QtRuntime::StartTimer(platform::Millis interval, platform::Task tick) {
    auto* timer = new QTimer(&context_);
    timer->setTimerType(TimerTypeFor(interval));
    timer->setInterval(ClampToInt(interval));
    // The tick is shared so that a tick which stops its own timer keeps
    // running on a live function object. A tick that pumps the loop (the idle
    // notice's pause) must not nest into itself, so a timeout that comes while
    // the tick still runs is dropped.
    auto shared = std::make_shared<platform::Task>(std::move(tick));
    auto running = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, &context_, [this, shared, running] {
        if (*running) return;
        *running = true;
        auto keep = shared;
        Run(*keep);
        *running = false;
    });
    platform::TimerId id = nextTimer_++;
    timers_.emplace(id, timer);
    timer->start();
    return id;
}

void QtRuntime::StopTimer(platform::TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    if (QTimer* timer = it->second.data()) {
        timer->stop();
        // Possibly inside this timer's own tick: let Qt delete it later.
        timer->deleteLater();
    }
    timers_.erase(it);
}

void QtRuntime::DoEvents() {
    if (quit_) return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtRuntime::WaitForEvents(platform::Millis maxWait) {
    if (quit_) return;
    if (maxWait <= platform::Millis{0}) {
        DoEvents();
        return;
    }
    // The deadline is an event of its own, so the blocking wait below ends by
    // then at the latest; it returns earlier when anything else arrives.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.start(ClampToInt(maxWait));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!quit_) QCoreApplication::sendPostedEvents();
}

void QtRuntime::RequestQuit() {
    if (quit_) return;
    quit_ = true;
    for (auto& [id, timer] : timers_) {
        if (timer) timer->stop();
    }
    // Ends every running event loop of the thread, modal dialogs included.
    QCoreApplication::exit(0);
}

void QtRuntime::Reseed() {
    auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<std::uint32_t>(wall), static_cast<std::uint32_t>(wall >> 32),
                       static_cast<std::uint32_t>(steady)};
    random_.seed(seed);
}

double QtRuntime::Random() {
    // 53 random bits scaled into [0, 1): never 1.0.
    std::uint64_t high = random_() >> 5;  // 27 bits
    std::uint64_t low = random_() >> 6;   // 26 bits
    return static_cast<double>((high << 26) | low) * 0x1.0p-53;
}

std::string QtRuntime::Prompt(const std::string& text, const std::string& title,
                              const std::string& defaultAnswer) {
    if (quit_) return "";
    KeyboardReturn keyboard;
    QInputDialog dialog(dialogOwner_.data());
    dialog.setWindowTitle(FromUtf8(title));
    dialog.setLabelText(FromUtf8(text));
    dialog.setTextValue(FromUtf8(defaultAnswer));
    dialog.setInputMode(QInputDialog::TextInput);
    for (QLabel* label : dialog.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
    PrepareDialog(dialog, "prompt");
    if (dialog.exec() != QDialog::Accepted || quit_) return "";
    return dialog.textValue().toStdString();
}

void QtRuntime::MessageBox(const std::string& text, const std::string& title) {
    if (quit_) return;
    KeyboardReturn keyboard;
    QMessageBox box(QMessageBox::NoIcon, FromUtf8(title), FromUtf8(text), QMessageBox::Ok,
                    dialogOwner_.data());
    box.setTextFormat(Qt::PlainText);
    PrepareDialog(box, "messageBox");
    box.exec();
}

std::optional<std::vector<std::string>> QtRuntime::ListFolder(const std::string& folder,
                                                              const std::string& pattern) {
    return platform::ListMatchingFiles(folder, pattern);
}

}  // namespace ui
