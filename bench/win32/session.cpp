// The Windows program as its user runs it, for figures: the stand-in client
// signed on in a room, moonrake.exe started beside it, its handle prompt
// answered through user32. Prints the time from the start to the login line
// in the room, then the program's CPU over SECONDS idle and, given a song,
// over SECONDS while it plays that song from the mp3 panel.
//
//   session --program=PATH [--folder=FOLDER --song=NAME] [--seconds=N]
//   session --program=PATH --alone [--seconds=N]
//
// --alone runs the program with no client signed on, for the cost of its own
// windows and clock alone: nothing to scan, no login line to wait for.
//
// FOLDER is a Windows path (the program runs with it as its working folder
// and is sent "d FOLDER" and "p NAME").

#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#include "tests/support/ClientDriver.h"

// After the project's headers: windows.h turns MessageBox into a macro.
#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr char kPromptTitle[] = "moonrake ruze \xB2";  // the title in the ANSI code page

std::string Option(int argc, char** argv, const char* name) {
    const std::size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=') {
            return argv[i] + length + 1;
        }
    }
    return {};
}

// The program's handle prompt, once it is up: a dialog of the process with
// our title.
HWND FindPrompt(DWORD processId) {
    for (HWND w = FindWindowA("#32770", kPromptTitle); w;
         w = FindWindowExA(nullptr, w, "#32770", kPromptTitle)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

// Lets `duration` pass while this thread answers the stand-in's replies.
void Pass(testsupport::ClientDriver& client, std::chrono::milliseconds duration) {
    client.Advance(duration);
}

// Waits, turning the client, until the room has at least `lines` lines.
bool WaitForLines(testsupport::ClientDriver& client, std::size_t lines,
                  std::chrono::milliseconds bound) {
    const auto giveUp = Clock::now() + bound;
    while (Clock::now() < giveUp) {
        if (client.Transcript().size() >= lines) return true;
        Pass(client, std::chrono::milliseconds(5));
    }
    return false;
}

// Under Wine, GetProcessTimes knows nothing of another process's time: the
// script reads the program's CPU from outside between these two lines.
void Measure(const char* what, testsupport::ClientDriver& client, long seconds) {
    std::printf("measuring %s\n", what);
    std::fflush(stdout);
    const auto start = Clock::now();
    Pass(client, std::chrono::seconds(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("moonrake.exe %s: %.2f s\n", what, wall);
    std::fflush(stdout);
}

// Types a command as the user and waits for it and its answer in the room.
std::string Command(testsupport::ClientDriver& client, const std::string& line) {
    const std::size_t lines = client.Transcript().size();
    client.Type(line);
    if (!WaitForLines(client, lines + 2, std::chrono::seconds(10))) {
        throw std::runtime_error("no answer to \"" + line + "\"");
    }
    return client.Transcript().back().text;
}

int Run(int argc, char** argv) {
    const std::string program = Option(argc, argv, "--program");
    const std::string folder = Option(argc, argv, "--folder");
    const std::string song = Option(argc, argv, "--song");
    const std::string secondsText = Option(argc, argv, "--seconds");
    const long seconds = secondsText.empty() ? 30 : std::stol(secondsText);
    bool alone = false;
    for (int i = 1; i < argc; ++i) alone = alone || std::strcmp(argv[i], "--alone") == 0;
    if (program.empty()) {
        std::fprintf(stderr, "usage: session --program=PATH [--folder=F --song=S] [--seconds=N]\n");
        return 2;
    }

    auto client = testsupport::MakeClientDriver();
    if (!alone) client->SignOn({});
    client->Settle();
    const std::size_t before = client->Transcript().size();

    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto started = Clock::now();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        std::fprintf(stderr, "session: cannot start %s\n", program.c_str());
        return 1;
    }
    struct Ender {
        PROCESS_INFORMATION& p;
        ~Ender() {
            if (WaitForSingleObject(p.hProcess, 5000) != WAIT_OBJECT_0) {
                TerminateProcess(p.hProcess, 1);
            }
            CloseHandle(p.hThread);
            CloseHandle(p.hProcess);
        }
    } ender{process};

    HWND prompt = nullptr;
    for (const auto giveUp = started + std::chrono::seconds(30);
         !prompt && Clock::now() < giveUp;) {
        prompt = FindPrompt(process.dwProcessId);
        if (!prompt) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!prompt) throw std::runtime_error("the handle prompt did not open");
    const auto prompted = Clock::now();
    SetWindowTextA(FindWindowExA(prompt, nullptr, "Edit", nullptr), "bob");
    SendMessageA(FindWindowExA(prompt, nullptr, "Button", "OK"), BM_CLICK, 0, 0);
    if (alone) {
        Pass(*client, std::chrono::seconds(2));
        Measure("idle with no client", *client, seconds);
        // A moment before it ends, for the script to read its CPU.
        Pass(*client, std::chrono::milliseconds(500));
        TerminateProcess(process.hProcess, 0);
        return 0;
    }
    if (!WaitForLines(*client, before + 1, std::chrono::seconds(30))) {
        throw std::runtime_error("no login line reached the room");
    }
    const auto loggedIn = Clock::now();
    auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("moonrake.exe start to prompt: %.0f ms; prompt answered to login line: %.0f ms\n",
                ms(prompted - started), ms(loggedIn - prompted));

    Pass(*client, std::chrono::seconds(2));  // start-up's own work is done
    Measure("idle", *client, seconds);

    if (!folder.empty() && !song.empty()) {
        Command(*client, "d " + folder);
        std::printf("the room: %s\n", Command(*client, "p " + song).c_str());
        Pass(*client, std::chrono::seconds(2));
        Measure("playing", *client, seconds);
    }
    Command(*client, "e");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "session: %s\n", e.what());
        return 1;
    }
}
