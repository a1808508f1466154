#pragma once
// The Qt application of the windowed program: made before any widget and
// set up for the program's windows (their icon, the desktop entry they
// belong to, no quitting when the last one closes), and the event loop that
// draws them and hands back what the user does. An exception that escapes
// an event handler is written to stderr and the loop goes on.

#include <memory>

class QApplication;

namespace ui {

class QtApplication {
  public:
    // Qt reads only its own options from a command line; the program's have
    // been read already, so Qt is given the program's name alone.
    explicit QtApplication(char** argv);
    ~QtApplication();
    QtApplication(const QtApplication&) = delete;
    QtApplication& operator=(const QtApplication&) = delete;

    // Runs the event loop until the program quits; its exit status.
    int Exec();

  private:
    // Qt keeps a reference to the count for as long as the application lives.
    int argc_ = 1;
    std::unique_ptr<QApplication> application_;
};

}  // namespace ui
