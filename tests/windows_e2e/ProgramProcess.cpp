#include "tests/windows_e2e/ProgramProcess.h"

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace e2e {

namespace {

constexpr DWORD kEndBoundMs = 5000;

std::string& ProgramSetting() {
    static std::string path;
    return path;
}

std::string& SongSetting() {
    static std::string folder;
    return folder;
}

std::wstring Widen(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return wide;
}

std::filesystem::path OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

}  // namespace

void SetProgramPath(const std::string& path) {
    ProgramSetting() = path;
}

void SetSongFolder(const std::string& folder) {
    SongSetting() = folder;
}

std::string ProgramPath() {
    if (!ProgramSetting().empty()) return ProgramSetting();
    return (OwnFolder().parent_path().parent_path() / "app" / "moonrake.exe").string();
}

const std::string& SongFolder() {
    return SongSetting();
}

ScratchFolder::ScratchFolder() {
    static std::atomic<unsigned> made{0};
    wchar_t temp[MAX_PATH + 1] = {};
    if (!GetTempPathW(MAX_PATH + 1, temp)) throw std::runtime_error("no temporary folder");
    path_ = std::wstring(temp) + L"moonrake-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++made);
    std::error_code error;
    std::filesystem::remove_all(path_, error);
    if (!CreateDirectoryW(path_.c_str(), nullptr)) {
        throw std::runtime_error("cannot make a working folder under the temporary folder");
    }
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

ProgramProcess::ProgramProcess(const std::string& program, const std::wstring& workingFolder) {
    const std::wstring path = Widen(program);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        throw std::runtime_error("no program at " + program + " (pass --moonrake=PATH)");
    }
    job_ = CreateJobObjectW(nullptr, nullptr);
    if (job_) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Nothing inherited: the program holds none of the test's pipes open.
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, workingFolder.c_str(), &startup, &info_)) {
        if (job_) CloseHandle(job_);
        throw std::runtime_error("cannot start " + program + ": error " +
                                 std::to_string(GetLastError()));
    }
    if (job_) AssignProcessToJobObject(job_, info_.hProcess);
    ResumeThread(info_.hThread);
}

ProgramProcess::~ProgramProcess() {
    if (Running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, kEndBoundMs);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    if (job_) CloseHandle(job_);
}

bool ProgramProcess::Running() const {
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ProgramProcess::WaitForExit(std::chrono::milliseconds bound) const {
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(bound.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

}  // namespace e2e
