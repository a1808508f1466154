// The floor for the windowed program's idle cost: a bare Qt window of the
// main window's size with one timer that does nothing, every PERIOD ms
// (default 10, the clock's old tick; 1000 is a clock that shows seconds).
// The benchmark scripts run it beside the program, on the same virtual screen.
//
//   bare_qt_timer [PERIOD_MS]

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

int main(int argc, char** argv) {
    const int period = argc > 1 ? std::atoi(argv[1]) : 10;
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setWindowTitle("bare timer");
    window.setFixedSize(282, 145);
    window.show();
    QTimer timer;
    // Precise below two seconds, as the program's own runtime arms its timers.
    timer.setTimerType(period < 2000 ? Qt::PreciseTimer : Qt::CoarseTimer);
    timer.start(period > 0 ? period : 10);
    return QApplication::exec();
}
