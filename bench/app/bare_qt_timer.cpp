// The floor for the windowed program's idle cost: a bare Qt window of the
// main window's size with one 10 ms timer that does nothing. measure.sh runs
// it beside the program, on the same virtual screen.

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setWindowTitle("bare timer");
    window.setFixedSize(282, 145);
    window.show();
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(10);
    return QApplication::exec();
}
