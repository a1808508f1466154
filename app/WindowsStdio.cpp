#include "app/WindowsStdio.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include <cstdio>
#include <iostream>

#include "platform/win32/Utf16.h"

namespace app {
namespace {

// How many bytes at the end of `text` begin a UTF-8 sequence that has not
// yet arrived in full: they wait for the rest instead of becoming U+FFFD.
std::size_t IncompleteTail(const std::string& text) {
    const std::size_t size = text.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        auto c = static_cast<unsigned char>(text[size - back]);
        if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// UTF-8 out, UTF-16 into the console.
class ConsoleOutBuf final : public std::streambuf {
  public:
    explicit ConsoleOutBuf(HANDLE console) : console_(console) {}
    ~ConsoleOutBuf() override { Write(); }

  protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            pending_.push_back(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        return count;
    }
    int sync() override { return Write() ? 0 : -1; }

  private:
    bool Write() {
        const std::size_t keep = IncompleteTail(pending_);
        std::wstring wide = platform::Utf16FromUtf8(pending_.substr(0, pending_.size() - keep));
        pending_.erase(0, pending_.size() - keep);
        const wchar_t* at = wide.data();
        std::size_t left = wide.size();
        while (left > 0) {
            DWORD written = 0;
            // Old consoles take at most some 32 KB in one call.
            DWORD chunk = static_cast<DWORD>(left < 8192 ? left : 8192);
            if (!WriteConsoleW(console_, at, chunk, &written, nullptr) || written == 0) {
                return false;
            }
            at += written;
            left -= written;
        }
        return true;
    }

    HANDLE console_;
    std::string pending_;
};

// UTF-16 typed into the console, UTF-8 in. A line that starts with Ctrl+Z
// ends the input, as it does for the console's own programs.
class ConsoleInBuf final : public std::streambuf {
  public:
    explicit ConsoleInBuf(HANDLE console) : console_(console) {}

  protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (ended_) return traits_type::eof();
        wchar_t wide[1024];
        DWORD got = 0;
        std::size_t carried = carry_ ? 1 : 0;
        if (carry_) wide[0] = carry_;
        carry_ = 0;
        if (!ReadConsoleW(console_, wide + carried, static_cast<DWORD>(1024 - carried), &got,
                          nullptr)) {
            ended_ = true;
            return traits_type::eof();
        }
        std::size_t length = carried + got;
        if (got == 0 || (atLineStart_ && wide[carried] == 0x1A)) {
            ended_ = true;
            return traits_type::eof();
        }
        // Half of a surrogate pair waits for its other half.
        if (wide[length - 1] >= 0xD800 && wide[length - 1] <= 0xDBFF) carry_ = wide[--length];
        atLineStart_ = length > 0 && wide[length - 1] == L'\n';
        buffer_ = platform::Utf8FromUtf16(wide, length);
        setg(buffer_.data(), buffer_.data(), buffer_.data() + buffer_.size());
        if (buffer_.empty()) return underflow();
        return traits_type::to_int_type(*gptr());
    }

  private:
    HANDLE console_;
    std::string buffer_;
    wchar_t carry_ = 0;
    bool atLineStart_ = true;
    bool ended_ = false;
};

}  // namespace

std::vector<std::string> Utf8Arguments() {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr) return args;
    for (int i = 1; i < count; ++i) {
        args.push_back(platform::Utf8FromUtf16(argv[i], wcslen(argv[i])));
    }
    LocalFree(argv);
    return args;
}

StandardStreams::StandardStreams() {
    const DWORD ids[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    bool missing = false;
    for (DWORD id : ids) missing = missing || !Usable(GetStdHandle(id));
    // What it was not given comes from the console of the process that
    // started it. The C runtime cannot take such a stream over (its streams
    // for the missing handles are dead from the start), so the console is
    // reached through its handles alone, below.
    if (missing && AttachConsole(ATTACH_PARENT_PROCESS)) {
        for (DWORD id : ids) {
            if (Usable(GetStdHandle(id))) continue;
            HANDLE console = CreateFileW(
                id == STD_INPUT_HANDLE ? L"CONIN$" : L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
            if (console != INVALID_HANDLE_VALUE) SetStdHandle(id, console);
        }
    }
    // Pipes and files: the C runtime's streams, byte for byte.
    for (std::FILE* stream : {stdin, stdout, stderr}) {
        if (_fileno(stream) >= 0) _setmode(_fileno(stream), _O_BINARY);
    }
    // Consoles: UTF-16 through the console's own calls.
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (IsConsole(in)) {
        in_ = std::make_unique<ConsoleInBuf>(in);
        oldIn_ = std::cin.rdbuf(in_.get());
    }
    if (IsConsole(out)) {
        std::cout.flush();
        out_ = std::make_unique<ConsoleOutBuf>(out);
        oldOut_ = std::cout.rdbuf(out_.get());
        std::cout.clear();
    }
    if (IsConsole(err)) {
        std::cerr.flush();
        err_ = std::make_unique<ConsoleOutBuf>(err);
        oldErr_ = std::cerr.rdbuf(err_.get());
        std::cerr.clear();
    }
}

StandardStreams::~StandardStreams() {
    std::cout.flush();
    std::cerr.flush();
    if (oldIn_) std::cin.rdbuf(oldIn_);
    if (oldOut_) std::cout.rdbuf(oldOut_);
    if (oldErr_) std::cerr.rdbuf(oldErr_);
}

}  // namespace app
