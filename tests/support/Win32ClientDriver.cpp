// The client under test as a separate program behind real user32: the
// stand-in client (tools/standin), started next to the test program and
// steered through its control window. The routines under test run on
// Win32WindowApi and Win32Runtime, on a real clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/WideFolder.h"
#include "platform/win32/Win32Runtime.h"
#include "platform/win32/Win32WindowApi.h"
#include "tests/support/ClientDriver.h"
#include "tools/standin/ControlClient.h"
#include "tools/standin/ControlProtocol.h"

// After the project's headers: windows.h turns MessageBox into a macro.
#include <windows.h>
#undef MessageBox

namespace testsupport {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kStartTimeout{15000};
// A request waits behind whatever the stand-in is doing: under Wine on a busy
// machine a flood of several hundred lines into its rich edit alone has taken
// over ten seconds.
constexpr UINT kRequestTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 5000;
// Round trips per Settle: the program's answer to what the client did may
// make the client react again.
constexpr int kSettleRounds = 3;
constexpr milliseconds kSettleBound{15000};

// standin.exe beside the test program, unless MOONRAKE_STANDIN names
// another: a stand-in of the other bitness, for the pairing of a 64-bit
// program with a 32-bit client.
std::wstring StandInPath() {
    if (DWORD n = GetEnvironmentVariableW(L"MOONRAKE_STANDIN", nullptr, 0); n > 1) {
        std::wstring chosen(n, L'\0');
        chosen.resize(GetEnvironmentVariableW(L"MOONRAKE_STANDIN", chosen.data(), n));
        return chosen;
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) throw std::runtime_error("cannot find the test program's own path");
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    auto slash = path.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) +
           L"standin.exe";
}

class Win32ClientDriver final : public ClientDriver {
  public:
    Win32ClientDriver();
    ~Win32ClientDriver() override;
    Win32ClientDriver(const Win32ClientDriver&) = delete;
    Win32ClientDriver& operator=(const Win32ClientDriver&) = delete;

    platform::Services& Services() override { return services_; }
    bool VirtualTime() const override { return false; }
    void Settle() override;
    void Advance(milliseconds duration) override;

    void SignOn(const DriverOptions& options) override {
        const bool first = options.richEdit == RichEditGeneration::First;
        std::vector<std::string> request{"signon", options.screenName, options.roomName,
                                         first ? "richedit1" : ""};
        request.insert(request.end(), options.without.begin(), options.without.end());
        Call(request);
    }
    void SignOff() override { Call({"signoff"}); }
    void Type(const std::string& text) override { Call({"type", text}); }
    void Say(const std::string& sender, const std::string& text) override {
        Call({"say", sender, text});
    }
    bool BringToFront(const std::string& caption) override { return Flag({"front", caption}); }
    void OpenChild(const std::string& caption,
                   const std::vector<std::string>& childClasses) override {
        std::vector<std::string> request{"openchild", caption};
        request.insert(request.end(), childClasses.begin(), childClasses.end());
        Call(request);
    }
    void OpenInstantMessageWindow(const std::string& screenName) override {
        Call({"openim", screenName});
    }
    void SetInstantMessageWindowDelay(std::optional<milliseconds> delay) override {
        Call({"imdelay", delay ? std::to_string(delay->count()) : std::string()});
    }

    void SayTogether(const std::vector<RoomLine>& lines) override {
        std::vector<std::string> request{"saytogether"};
        for (const auto& line : lines) {
            request.push_back(line.sender);
            request.push_back(line.text);
        }
        Call(request);
    }
    void SetRoomWidth(int width) override { Call({"roomwidth", std::to_string(width)}); }
    void SetHistoryLimit(std::size_t lines) override {
        Call({"historylimit", std::to_string(lines)});
    }
    void SetNewWindowPerRoom(bool on, const std::vector<RoomLine>& history) override {
        std::vector<std::string> request{"newwindowperroom", on ? "1" : "0"};
        for (const auto& line : history) {
            request.push_back(line.sender);
            request.push_back(line.text);
        }
        Call(request);
    }
    void CloseRoom() override { Call({"closeroom"}); }

    std::vector<RoomLine> Transcript() override {
        std::vector<RoomLine> lines;
        auto fields = Call({"transcript"});
        for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
            lines.push_back(RoomLine{fields[i], fields[i + 1]});
        }
        return lines;
    }
    std::vector<std::string> VisitedAddresses() override { return Call({"addresses"}); }
    std::vector<InstantMessage> InstantMessagesSent() override {
        std::vector<InstantMessage> ims;
        auto fields = Call({"ims"});
        for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
            ims.push_back(InstantMessage{fields[i], fields[i + 1]});
        }
        return ims;
    }
    std::vector<std::string> MessageBoxesShown() override { return Call({"boxes"}); }
    bool MessageBoxOpen() override { return Flag({"boxopen"}); }
    bool InstantMessagesOn() override { return Flag({"imson"}); }
    std::string RoomName() override { return One({"roomname"}); }
    std::string AddressBoxText() override { return One({"addressbox"}); }
    std::string FrontCaption() override { return One({"frontcaption"}); }
    std::string RoomInputText() override { return One({"roominput"}); }
    std::vector<std::string> ChildCaptions() override { return Call({"children"}); }

  private:
    std::vector<std::string> Call(const std::vector<std::string>& request);
    bool Flag(const std::vector<std::string>& request) {
        auto reply = Call(request);
        return !reply.empty() && reply[0] == "1";
    }
    std::string One(const std::vector<std::string>& request) {
        auto reply = Call(request);
        return reply.empty() ? std::string() : reply[0];
    }

    platform::Win32WindowApi windows_;
    platform::Win32Runtime runtime_;
    platform::Random random_{runtime_};
    platform::Services services_{windows_, runtime_, random_, &platform::ListMatchingFilesWide};

    standin::ControlClient client_;
    HWND control_ = nullptr;
    PROCESS_INFORMATION process_{};
};

Win32ClientDriver::Win32ClientDriver() {
    static std::atomic<unsigned> started{0};
    std::string token = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++started);
    std::wstring path = StandInPath();
    std::wstring commandLine = L"\"" + path + L"\" --token " +
                               std::wstring(token.begin(), token.end()) + L" --parent " +
                               std::to_wstring(GetCurrentProcessId());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process_)) {
        throw std::runtime_error("cannot start standin.exe next to the test program");
    }

    std::string caption = std::string(standin::kControlClass) + " " + token;
    auto deadline = runtime_.Monotonic() + kStartTimeout;
    while (!control_ && runtime_.Monotonic() < deadline) {
        control_ = FindWindowA(standin::kControlClass, caption.c_str());
        if (control_) break;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) break;
        runtime_.WaitForEvents(milliseconds(10));
    }
    if (!control_) {
        TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        throw std::runtime_error("the stand-in client did not come up");
    }
}

Win32ClientDriver::~Win32ClientDriver() {
    // Closing the control window ends the stand-in; posted, so that a client
    // that has already gone costs nothing here.
    PostMessageA(control_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, kExitTimeoutMs);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

std::vector<std::string> Win32ClientDriver::Call(const std::vector<std::string>& request) {
    auto answer = client_.Call(control_, request, kRequestTimeoutMs);
    if (!answer) {
        ADD_FAILURE() << "the stand-in client did not answer \"" << request[0] << "\"";
        return {};
    }
    if ((*answer)[0] != "ok") {
        ADD_FAILURE() << "the stand-in client refused \"" << request[0]
                      << "\": " << (answer->size() > 1 ? (*answer)[1] : "");
        return {};
    }
    answer->erase(answer->begin());
    return std::move(*answer);
}

void Win32ClientDriver::Settle() {
    // The client's reactions take real time: wait, turning this program's
    // loop, until it has none left to come (bounded, for a client that keeps
    // itself busy), then a few round trips for what the program's answers
    // set off in turn.
    auto deadline = runtime_.Monotonic() + kSettleBound;
    int quiet = 0;
    while (quiet < kSettleRounds && runtime_.Monotonic() < deadline) {
        auto reply = Call({"sync"});
        runtime_.DoEvents();
        bool pending = !reply.empty() && reply[0] != "0";
        if (pending) {
            quiet = 0;
            runtime_.WaitForEvents(milliseconds(10));
        } else {
            ++quiet;
        }
    }
}

void Win32ClientDriver::Advance(milliseconds duration) {
    // In slices, looking at the queue between them: a thread that has not
    // for five seconds counts as hung, and the stand-in's answers to it (sent
    // with SMTO_ABORTIFHUNG) would then fail at once.
    constexpr milliseconds kSlice{500};
    auto deadline = runtime_.Monotonic() + duration;
    for (auto now = runtime_.Monotonic(); now < deadline; now = runtime_.Monotonic()) {
        runtime_.WaitForEvents(std::min<milliseconds>(deadline - now, kSlice));
        runtime_.DoEvents();
    }
    Settle();
}

}  // namespace

std::unique_ptr<ClientDriver> MakeClientDriver() {
    return std::make_unique<Win32ClientDriver>();
}

}  // namespace testsupport
