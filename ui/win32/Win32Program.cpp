#include "ui/win32/Win32Program.h"

#include <iostream>
#include <memory>
#include <string>

#include "app/Program.h"
#include "forms/Form1.h"
#include "platform/Services.h"
#include "platform/win32/WideFolder.h"
#include "platform/win32/Win32Runtime.h"
#include "platform/win32/Win32WindowApi.h"
#include "ui/win32/Win32FrontEnd.h"

namespace ui {

namespace {

void PrintTrace(const std::string& line) {
    std::cout << "[trace] " << line << '\n' << std::flush;
}

// The longest the loop sleeps with nothing due: long enough to cost nothing,
// short enough that a quit asked from outside the loop is seen.
constexpr platform::Millis kLongestWait{1000};

}  // namespace

int RunWin32Program(const app::CommandLine& commandLine) {
    platform::Win32Runtime runtime;
    // Declared before the window and the player: they go first.
    Win32FrontEnd frontEnd({&runtime});
    platform::Win32WindowApi windows;
    platform::Random random(runtime);
    platform::Services services{windows, runtime, random, &platform::ListMatchingFilesWide};
    std::unique_ptr<engine::MediaPlayer> player = app::MakeMediaPlayer(runtime);
    forms::Form1Options options;
    if (commandLine.trace) options.trace = PrintTrace;
    forms::Form1 form1(services, *player, frontEnd, options);
    form1.Load();
    while (!runtime.QuitRequested()) runtime.WaitForEvents(kLongestWait);
    return 0;
}

}  // namespace ui
