// standinctl: one request to a running stand-in client, from a shell.
//
//   standinctl [--wait SECONDS] TOKEN COMMAND [FIELD...]
//
// Finds the control window of the stand-in started with --token TOKEN
// (waiting up to SECONDS for it to come up, 20 by default), sends COMMAND and
// the fields as one request (see ControlProtocol.h) and prints the fields of
// the answer after its "ok", one a line. Scripts use it to sign a user on,
// type in the room and read the record without a test program around them.
//
// Exit status: 0 answered "ok"; 1 answered "error" (the reason goes to the
// error stream); 2 bad arguments; 3 no stand-in with that token; 4 no answer.

#include <windows.h>
// After windows.h, which it needs.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tools/standin/ControlClient.h"
#include "tools/standin/ControlProtocol.h"

namespace {

constexpr UINT kRequestTimeoutMs = 10000;
constexpr DWORD kDefaultWaitSeconds = 20;

std::string Utf8(const wchar_t* wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return "";
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

// The arguments after the program's name in UTF-8, as the protocol carries
// text (argv holds them in the ANSI code page).
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i) args.push_back(Utf8(wide[i]));
    if (wide) LocalFree(wide);
    return args;
}

void Write(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

int Usage() {
    Write(stderr, "usage: standinctl [--wait SECONDS] TOKEN COMMAND [FIELD...]\n");
    return 2;
}

}  // namespace

int main() {
    // The fields go out as they are: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args = Arguments();
    DWORD waitSeconds = kDefaultWaitSeconds;
    std::size_t next = 0;
    if (args.size() >= 2 && args[0] == "--wait") {
        char* end = nullptr;
        waitSeconds = static_cast<DWORD>(std::strtoul(args[1].c_str(), &end, 10));
        if (!end || *end != '\0' || args[1].empty()) return Usage();
        next = 2;
    }
    if (args.size() < next + 2) return Usage();
    const std::string caption = std::string(standin::kControlClass) + " " + args[next];
    const std::vector<std::string> request(args.begin() + static_cast<std::ptrdiff_t>(next + 1),
                                           args.end());

    HWND control = nullptr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    for (;;) {
        control = FindWindowA(standin::kControlClass, caption.c_str());
        if (control || std::chrono::steady_clock::now() >= deadline) break;
        Sleep(50);
    }
    if (!control) {
        Write(stderr, "standinctl: no stand-in client runs with the token " + args[next] + "\n");
        return 3;
    }

    std::optional<std::vector<std::string>> answer;
    try {
        answer = standin::ControlClient().Call(control, request, kRequestTimeoutMs);
    } catch (const std::exception& e) {
        Write(stderr, std::string("standinctl: ") + e.what() + "\n");
        return 4;
    }
    if (!answer) {
        Write(stderr, "standinctl: the stand-in client did not answer \"" + request[0] + "\"\n");
        return 4;
    }
    if ((*answer)[0] != "ok") {
        Write(stderr, "standinctl: the stand-in client refused \"" + request[0] +
                          "\": " + (answer->size() > 1 ? (*answer)[1] : std::string()) + "\n");
        return 1;
    }
    for (std::size_t i = 1; i < answer->size(); ++i) Write(stdout, (*answer)[i] + "\n");
    return 0;
}
