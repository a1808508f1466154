#pragma once
// moonrake.exe, started the way Explorer would start it (no arguments, no
// console, in a working folder of its own), and ended for certain when the
// test is done with it: a program the test leaves behind would hold the next
// test's client windows, and a crashing test takes it with it (a job object
// that kills its processes when the test's handle to it goes).

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace e2e {

// Set from the command line before any test runs: the program under test
// and the folder of test songs (Windows paths).
void SetProgramPath(const std::string& path);
void SetSongFolder(const std::string& folder);
// The program: the one named on the command line, else the build tree's
// (app\moonrake.exe two folders above the test program).
std::string ProgramPath();
// "" when none was named.
const std::string& SongFolder();

// An empty folder of its own under the temporary folder, removed (with
// whatever is left in it) when it goes.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; }

  private:
    std::wstring path_;
};

class ProgramProcess {
  public:
    // Throws std::runtime_error when the program cannot be started.
    ProgramProcess(const std::string& program, const std::wstring& workingFolder);
    // Ends the program if it is still running.
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    bool Running() const;
    // The exit code once the program has ended, within `bound`; nothing if
    // it is still running then.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds bound) const;

  private:
    PROCESS_INFORMATION info_{};
    HANDLE job_ = nullptr;
};

}  // namespace e2e
