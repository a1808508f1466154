#include <utility>

#include "app/Program.h"
#include "app/Run.h"
#include "platform/win32/WideFolder.h"
#include "platform/win32/Win32Runtime.h"
#include "platform/win32/Win32WindowApi.h"
#include "ui/win32/Win32FrontEnd.h"

namespace app {

namespace {

// The longest the loop sleeps with nothing due: long enough to cost nothing,
// short enough that a quit asked from outside the loop is seen.
constexpr platform::Millis kLongestWait{1000};

}  // namespace

int RunWin32(const CommandLine& commandLine) {
    platform::Win32Runtime runtime;
    // Declared before the program: its windows and its player go first.
    ui::Win32FrontEnd frontEnd({&runtime});
    platform::Win32WindowApi windows;
    ProgramOptions options = OptionsFor(commandLine, PrintToStandardOutput);
    options.listFolder = &platform::ListMatchingFilesWide;
    Program program(runtime, windows, frontEnd, std::move(options));
    program.Load();
    while (!runtime.QuitRequested()) runtime.WaitForEvents(kLongestWait);
    return 0;
}

}  // namespace app
