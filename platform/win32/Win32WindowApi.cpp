#include "platform/win32/Win32WindowApi.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

// windows.h makes macros of the names it defines (EM_GETLINE, CP_ACP);
// platform:: holds the rich edit ones it leaves to richedit.h.

// Window handles are 32 bits wide even in 64-bit processes, which is what
// lets Hwnd hold them; widening sign-extends, as user32 documents.
HWND ToHandle(Hwnd window) {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
}

Hwnd FromHandle(HWND window) {
    return static_cast<Hwnd>(reinterpret_cast<std::uintptr_t>(window));
}

// A handle the calls below may pass on. 0 must go nowhere rather than to the
// thread's own queue (PostMessage) or the desktop, and the broadcast handle
// would reach every top-level window on the system.
bool Usable(Hwnd window) {
    return window != 0 && ToHandle(window) != HWND_BROADCAST && IsWindow(ToHandle(window));
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// Memory in another process, freed again when it goes out of scope.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, std::size_t size)
        : process_(process),
          address_(
              VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Ok() const { return address_ != nullptr; }
    std::uintptr_t Address(std::size_t offset = 0) const {
        return reinterpret_cast<std::uintptr_t>(address_) + offset;
    }
    bool Write(std::size_t offset, const void* data, std::size_t size) {
        SIZE_T written = 0;
        return WriteProcessMemory(process_, reinterpret_cast<void*>(Address(offset)), data, size,
                                  &written) &&
               written == size;
    }
    bool Read(std::size_t offset, void* data, std::size_t size) {
        SIZE_T read = 0;
        return ReadProcessMemory(process_, reinterpret_cast<const void*>(Address(offset)), data,
                                 size, &read) &&
               read == size;
    }

  private:
    HANDLE process_;
    void* address_;
};

class ProcessHandle {
  public:
    explicit ProcessHandle(DWORD id)
        : handle_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                  PROCESS_QUERY_LIMITED_INFORMATION,
                              FALSE, id)) {}
    ~ProcessHandle() {
        if (handle_) CloseHandle(handle_);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    HANDLE Get() const { return handle_; }
    // A 32-bit process on 64-bit Windows lays the structures out with 32-bit pointers.
    bool ThirtyTwoBit() const {
        BOOL wow64 = FALSE;
        return sizeof(void*) == 8 && handle_ && IsWow64Process(handle_, &wow64) && wow64;
    }

  private:
    HANDLE handle_;
};

}  // namespace

Hwnd Win32WindowApi::FindWindowA(std::string_view className,
                                 std::optional<std::string_view> caption) {
    std::string cls(className);
    std::string text = caption ? std::string(*caption) : std::string();
    return FromHandle(::FindWindowA(cls.c_str(), caption ? text.c_str() : nullptr));
}

Hwnd Win32WindowApi::FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                                   std::optional<std::string_view> caption) {
    // A parent that has gone away must not turn the search into one among the
    // top-level windows.
    if (parent != 0 && !Usable(parent)) return 0;
    std::string cls(className);
    std::string text = caption ? std::string(*caption) : std::string();
    return FromHandle(::FindWindowExA(ToHandle(parent), ToHandle(childAfter), cls.c_str(),
                                      caption ? text.c_str() : nullptr));
}

LResult Win32WindowApi::SendMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    if (!Usable(window)) return 0;
    bool foreign = ProcessOf(ToHandle(window)) != GetCurrentProcessId();
    if (foreign) {
        switch (message) {
            case platform::EM_GETTEXTRANGE:
                return GetTextRange(window, reinterpret_cast<platform::TextRangeA*>(lParam));
            case platform::EM_GETTEXTLENGTHEX:
                return GetTextLength(window,
                                     reinterpret_cast<const platform::GetTextLengthEx*>(wParam));
            case EM_GETLINE:
                // Not safe across processes (under Wine it cuts lines and can
                // write past the buffer, killing the client): refused.
                return 0;
            default:
                break;
        }
    }
    return Send(window, message, wParam, lParam);
}

LResult Win32WindowApi::Send(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    DWORD_PTR result = 0;
    // SMTO_NORMAL keeps answering messages sent to this thread while it
    // waits, as SendMessage does; the timeout is what SendMessage lacks.
    if (!::SendMessageTimeoutA(ToHandle(window), message, wParam, lParam,
                               SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               static_cast<UINT>(sendTimeout_.count()), &result)) {
        return 0;
    }
    return static_cast<LResult>(result);
}

// The rich edit messages that carry structures are sent with the structure
// (and the text buffer) placed in the other process's memory, where the
// control can use it, and the answer is read back from there.
LResult Win32WindowApi::GetTextRange(Hwnd window, platform::TextRangeA* range) {
    if (!range || !range->lpstrText) return 0;
    const std::int64_t from = std::max<std::int32_t>(range->chrg.cpMin, 0);
    std::int64_t to = range->chrg.cpMax;
    if (to < 0) {
        platform::GetTextLengthEx how{platform::GTL_DEFAULT, 0};
        to = GetTextLength(window, &how);
    }
    range->lpstrText[0] = '\0';
    if (to <= from) return 0;
    const auto chars = static_cast<std::size_t>(to - from);
    ProcessHandle process(ProcessOf(ToHandle(window)));
    if (!process.Get()) return 0;
    const bool narrow = process.ThirtyTwoBit();
    const std::size_t header = 16;  // room for the structure either way
    RemoteBuffer remote(process.Get(), header + chars + 1);
    if (!remote.Ok()) return 0;
    unsigned char structure[16] = {};
    const auto cpMin = static_cast<std::int32_t>(from);
    const auto cpMax = static_cast<std::int32_t>(to);
    std::memcpy(structure, &cpMin, 4);
    std::memcpy(structure + 4, &cpMax, 4);
    std::size_t size = 8;
    if (narrow) {
        auto text = static_cast<std::uint32_t>(remote.Address(header));
        std::memcpy(structure + 8, &text, 4);
        size = 12;
    } else {
        std::uint64_t text = remote.Address(header);
        std::memcpy(structure + 8, &text, 8);
        size = 16;
    }
    if (!remote.Write(0, structure, size)) return 0;
    LResult got = Send(window, platform::EM_GETTEXTRANGE, 0, static_cast<LParam>(remote.Address()));
    got = std::clamp<LResult>(got, 0, static_cast<LResult>(chars));
    if (got > 0 && !remote.Read(header, range->lpstrText, static_cast<std::size_t>(got))) return 0;
    range->lpstrText[got] = '\0';
    return got;
}

LResult Win32WindowApi::GetTextLength(Hwnd window, const platform::GetTextLengthEx* how) {
    platform::GetTextLengthEx local = how ? *how : platform::GetTextLengthEx{0, 0};
    ProcessHandle process(ProcessOf(ToHandle(window)));
    if (!process.Get()) return 0;
    RemoteBuffer remote(process.Get(), sizeof local);
    if (!remote.Ok() || !remote.Write(0, &local, sizeof local)) return 0;
    return Send(window, platform::EM_GETTEXTLENGTHEX, static_cast<WParam>(remote.Address()), 0);
}

bool Win32WindowApi::PostMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    if (!Usable(window)) return false;
    return ::PostMessageA(ToHandle(window), message, wParam, lParam) != 0;
}

int Win32WindowApi::GetWindowTextLengthA(Hwnd window) {
    if (!Usable(window)) return 0;
    return ::GetWindowTextLengthA(ToHandle(window));
}

int Win32WindowApi::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = '\0';
    if (!Usable(window)) return 0;
    return ::GetWindowTextA(ToHandle(window), buffer, maxCount);
}

}  // namespace platform
