#pragma once
// The whole program on one runtime, one window system and one front end: the
// media player and the main window, and the services the automation runs on.
// Every start-up builds it the same way; only the runtime, the front end and
// the window system it is given differ (the simulated client's on Linux and
// in the console, user32 on Windows).

#include <functional>
#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "engine/Host.h"
#include "forms/Form1.h"
#include "forms/FrontEnd.h"
#include "platform/Random.h"
#include "platform/Runtime.h"
#include "platform/Services.h"
#include "platform/WindowApi.h"

namespace app {

struct ProgramOptions {
    // Receives Form1's trace lines; nothing is traced when empty.
    std::function<void(const std::string&)> trace;
    // How the mp3 panel lists its folder.
    platform::FolderListing listFolder = &platform::ListMatchingFiles;
};

// Prints one line of the program's output, without its line break.
using PrintLine = std::function<void(const std::string&)>;

// The options the command line asks for: with --trace, each of Form1's trace
// lines printed as "[trace] LINE".
ProgramOptions OptionsFor(const CommandLine& commandLine, PrintLine print);

// The windowed program's output: the line on the standard output at once,
// so that a script reading it sees each line as it happens.
void PrintToStandardOutput(const std::string& line);

// The media player of this build: DirectShow on Windows, GStreamer where it
// is built, else one that accepts every call and plays nothing.
std::unique_ptr<engine::MediaPlayer> MakeMediaPlayer(platform::Runtime& runtime);

class Program {
  public:
    // The runtime, the window system and the front end must outlive it.
    Program(platform::Runtime& runtime, platform::WindowApi& windows, forms::FrontEnd& frontEnd,
            ProgramOptions options);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The main window's start-up step (the handle prompt comes first).
    void Load();

    forms::Form1& MainWindow() { return *form1_; }

  private:
    platform::Random random_;
    platform::Services services_;
    std::unique_ptr<engine::MediaPlayer> player_;
    // Last, so it goes first: its scanners and timers use everything above.
    std::unique_ptr<forms::Form1> form1_;
};

}  // namespace app
