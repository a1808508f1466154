#include "platform/win32/Win32WindowApi.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/WindowEvents.h"

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

// Handles the calls below must not pass on. 0 must go nowhere rather than to
// the thread's own queue (PostMessage) or the desktop, the broadcast handle
// would reach every top-level window on the system, and the others are not
// windows but places. Any other handle that is no window (or no longer one)
// fails the calls by itself, so they need not ask IsWindow first: every
// question to the window system is a round trip to its server (Wine's
// wineserver), and the scanner asks many a second.
bool Special(Hwnd window) {
    return window == 0 || ToHandle(window) == HWND_BROADCAST || ToHandle(window) == HWND_MESSAGE ||
           ToHandle(window) == HWND_TOPMOST || ToHandle(window) == HWND_NOTOPMOST;
}

// Wine's ntdll says so by exporting its version.
bool UnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Under Wine the wineserver reads and writes another process's memory by
// attaching to it with ptrace, which stops it, and allocates there through
// a signal. A stopped process that was writing a request to the server
// larger than the pipe holds (a big WM_COPYDATA, clipboard data, a long
// window text) sees a short write and aborts ("partial write"). Reading
// with WM_GETTEXT stops nobody: the client answers from its message loop.
// A snapshot this young answers again instead of a second WM_GETTEXT.
constexpr std::chrono::milliseconds kSnapshotLife{50};
// What a transcript read by WM_GETTEXT is given room to grow by since the
// last look, beyond half its length: far more than a room says in a poll.
constexpr std::size_t kRoomToGrow = 4096;

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

}  // namespace

// Memory in the client's process that the rich edit messages carry their
// structures and text in. It is kept from one message to the next: the
// scanner reads the room several times a second, and opening the process and
// allocating in it every time costs more than the read itself (under Wine,
// a round trip through the other process for each allocation). Holding the
// process handle also keeps its id from being reused, so the same id next
// time is the same process.
class Win32WindowApi::RemoteArea {
  public:
    RemoteArea(DWORD processId, std::size_t size)
        : processId_(processId),
          // PROCESS_QUERY_INFORMATION, not the narrower "limited" right:
          // Windows XP refuses a request for rights it does not know.
          process_(OpenProcess(
              PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
              FALSE, processId)) {
        if (!process_) return;
        BOOL wow64 = FALSE;
        // A 32-bit process on 64-bit Windows lays the structures out with
        // 32-bit pointers.
        thirtyTwoBit_ = sizeof(void*) == 8 && IsWow64Process(process_, &wow64) && wow64;
        size_ = std::max<std::size_t>(size, kMinimum);
        address_ =
            VirtualAllocEx(process_, nullptr, size_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        // A 32-bit client reaches nothing above 4 GB: a text pointer there
        // would arrive cut to its lower half and the control would write
        // somewhere else entirely. 64-bit Windows keeps a WoW64 process's
        // memory below that line, so this should never hold; if it does,
        // the client cannot be read, and every read answers nothing.
        if (address_ && thirtyTwoBit_ && Address() + size_ > kFourGigabytes) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
            address_ = nullptr;
        }
    }
    ~RemoteArea() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteArea(const RemoteArea&) = delete;
    RemoteArea& operator=(const RemoteArea&) = delete;

    bool Ok() const { return address_ != nullptr; }
    bool Fits(DWORD processId, std::size_t size) const {
        return Ok() && processId == processId_ && size <= size_;
    }
    bool ThirtyTwoBit() const { return thirtyTwoBit_; }
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
    static constexpr std::size_t kMinimum = 64 * 1024;
    static constexpr std::uint64_t kFourGigabytes = 0x100000000ull;

    DWORD processId_;
    HANDLE process_;
    bool thirtyTwoBit_ = false;
    std::size_t size_ = 0;
    void* address_ = nullptr;
};

// An out-of-context hook on the windows other processes make, and who hears of them.
class Win32WindowApi::CreationHook {
  public:
    CreationHook()
        : hook_(SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, &Made, 0, 0,
                                WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS)) {
        if (hook_) hooks().push_back(this);
    }
    ~CreationHook() {
        if (!hook_) return;
        UnhookWinEvent(hook_);
        auto& all = hooks();
        all.erase(std::remove(all.begin(), all.end(), this), all.end());
    }
    CreationHook(const CreationHook&) = delete;
    CreationHook& operator=(const CreationHook&) = delete;

    bool Ok() const { return hook_ != nullptr; }
    std::uint64_t Add(std::function<void()> listener) {
        listeners_.emplace_back(++lastId_, std::move(listener));
        return lastId_;
    }
    void Remove(std::uint64_t id) {
        listeners_.erase(std::remove_if(listeners_.begin(), listeners_.end(),
                                        [id](const auto& entry) { return entry.first == id; }),
                         listeners_.end());
    }
    bool Empty() const { return listeners_.empty(); }

  private:
    // The hooks of this thread: the callback gets only the hook's handle.
    static std::vector<CreationHook*>& hooks() {
        thread_local std::vector<CreationHook*> all;
        return all;
    }
    static void CALLBACK Made(HWINEVENTHOOK hook, DWORD, HWND window, LONG object, LONG, DWORD,
                              DWORD) {
        // The window itself, not a caret or cursor made in it, and not one of
        // ours: Wine tells of those too, WINEVENT_SKIPOWNPROCESS or not.
        if (object != OBJID_WINDOW || ProcessOf(window) == GetCurrentProcessId()) return;
        for (CreationHook* self : hooks()) {
            if (self->hook_ != hook) continue;
            // A copy: a listener may come or go meanwhile.
            const auto listeners = self->listeners_;
            for (const auto& entry : listeners) entry.second();
            return;
        }
    }

    HWINEVENTHOOK hook_;
    std::vector<std::pair<std::uint64_t, std::function<void()>>> listeners_;
    std::uint64_t lastId_ = 0;
};

Win32WindowApi::Win32WindowApi(std::chrono::milliseconds sendTimeout, RemoteText remoteText)
    : sendTimeout_(sendTimeout),
      byWindowText_(remoteText == RemoteText::kWindowText ||
                    (remoteText == RemoteText::kAuto && UnderWine())) {}

Win32WindowApi::~Win32WindowApi() = default;

std::uint64_t Win32WindowApi::AddCreationListener(std::function<void()> onCreate) {
    // Probed once: a system that took the hook and never told would leave a
    // reader waiting for ever.
    static const bool told = SystemDeliversWindowEvent(EVENT_OBJECT_CREATE);
    if (!told) return 0;
    if (!creations_) {
        creations_ = std::make_unique<CreationHook>();
        if (!creations_->Ok()) {
            creations_.reset();
            return 0;
        }
    }
    return creations_->Add(std::move(onCreate));
}

void Win32WindowApi::RemoveCreationListener(std::uint64_t id) {
    if (!creations_) return;
    creations_->Remove(id);
    // Nobody listens: the system need not wake this thread for every window.
    if (creations_->Empty()) creations_.reset();
}

Win32WindowApi::RemoteArea* Win32WindowApi::AreaFor(unsigned long processId, std::size_t size) {
    if (!remote_ || !remote_->Fits(processId, size)) {
        remote_.reset();  // the old process's area goes first
        // Room to grow: a transcript read rarely needs a new area.
        remote_ = std::make_unique<RemoteArea>(processId, size + size / 2);
        if (!remote_->Ok()) {
            remote_.reset();
            return nullptr;
        }
    }
    return remote_.get();
}

void Win32WindowApi::DropArea() {
    remote_.reset();
}

Hwnd Win32WindowApi::FindWindowA(std::string_view className,
                                 std::optional<std::string_view> caption) {
    std::string cls(className);
    std::string text = caption ? std::string(*caption) : std::string();
    return FromHandle(::FindWindowA(cls.c_str(), caption ? text.c_str() : nullptr));
}

Hwnd Win32WindowApi::FindWindowExA(Hwnd parent, Hwnd childAfter, std::string_view className,
                                   std::optional<std::string_view> caption) {
    // Only 0 means the top-level windows: a parent that has gone away fails
    // the search by itself, and the special handles must not widen it.
    if (parent != 0 && Special(parent)) return 0;
    std::string cls(className);
    std::string text = caption ? std::string(*caption) : std::string();
    return FromHandle(::FindWindowExA(ToHandle(parent), ToHandle(childAfter), cls.c_str(),
                                      caption ? text.c_str() : nullptr));
}

LResult Win32WindowApi::SendMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    if (Special(window)) return 0;
    // No process: no window (it has gone, or never was one).
    const DWORD process = ProcessOf(ToHandle(window));
    if (process == 0) return 0;
    if (process != GetCurrentProcessId()) {
        switch (message) {
            case platform::EM_GETTEXTRANGE:
                if (byWindowText_) {
                    return GetTextRangeByWindowText(
                        window, reinterpret_cast<platform::TextRangeA*>(lParam));
                }
                return GetTextRange(window, process,
                                    reinterpret_cast<platform::TextRangeA*>(lParam));
            case platform::EM_GETTEXTLENGTHEX:
                if (byWindowText_) return GetTextLengthByWindowText(window);
                return GetTextLength(window, process,
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
LResult Win32WindowApi::GetTextRange(Hwnd window, unsigned long process,
                                     platform::TextRangeA* range) {
    if (!range || !range->lpstrText) return 0;
    const std::int64_t from = std::max<std::int32_t>(range->chrg.cpMin, 0);
    std::int64_t to = range->chrg.cpMax;
    if (to < 0) {
        platform::GetTextLengthEx how{platform::GTL_DEFAULT, 0};
        to = GetTextLength(window, process, &how);
    }
    range->lpstrText[0] = '\0';
    if (to <= from) return 0;
    const auto chars = static_cast<std::size_t>(to - from);
    const std::size_t header = 16;  // room for the structure either way
    RemoteArea* remote = AreaFor(process, header + chars + 1);
    if (!remote) return 0;
    unsigned char structure[16] = {};
    const auto cpMin = static_cast<std::int32_t>(from);
    const auto cpMax = static_cast<std::int32_t>(to);
    std::memcpy(structure, &cpMin, 4);
    std::memcpy(structure + 4, &cpMax, 4);
    std::size_t size = 8;
    if (remote->ThirtyTwoBit()) {
        auto text = static_cast<std::uint32_t>(remote->Address(header));
        std::memcpy(structure + 8, &text, 4);
        size = 12;
    } else {
        std::uint64_t text = remote->Address(header);
        std::memcpy(structure + 8, &text, 8);
        size = 16;
    }
    // A failed write or read means the process has gone or the area with
    // it: the next message starts afresh.
    if (!remote->Write(0, structure, size)) {
        DropArea();
        return 0;
    }
    LResult got =
        Send(window, platform::EM_GETTEXTRANGE, 0, static_cast<LParam>(remote->Address()));
    got = std::clamp<LResult>(got, 0, static_cast<LResult>(chars));
    if (got > 0 && !remote->Read(header, range->lpstrText, static_cast<std::size_t>(got))) {
        DropArea();
        return 0;
    }
    range->lpstrText[got] = '\0';
    return got;
}

LResult Win32WindowApi::GetTextLength(Hwnd window, unsigned long process,
                                      const platform::GetTextLengthEx* how) {
    platform::GetTextLengthEx local = how ? *how : platform::GetTextLengthEx{0, 0};
    RemoteArea* remote = AreaFor(process, sizeof local);
    if (!remote) return 0;
    if (!remote->Write(0, &local, sizeof local)) {
        DropArea();
        return 0;
    }
    return Send(window, platform::EM_GETTEXTLENGTHEX, static_cast<WParam>(remote->Address()), 0);
}

const std::string& Win32WindowApi::WindowText(Hwnd window) {
    const auto now = std::chrono::steady_clock::now();
    if (snapshot_.window == window && now - snapshot_.taken < kSnapshotLife) {
        return snapshot_.text;
    }
    const std::size_t before = snapshot_.window == window ? snapshot_.raw : 0;
    snapshot_ = Snapshot{window, now, {}, 0};
    std::string& text = snapshot_.text;
    // Room for the text as it stood at the last look and for what a room says
    // between two looks, so that one message takes it all. Only a window not
    // read before, or a text that outgrew that room, is asked its length
    // first: an ANSI WM_GETTEXTLENGTH to another process's window costs
    // Wine a whole WM_GETTEXT of its own, to count the text in the code page.
    // A rich edit's length may count a paragraph end once where its text
    // holds CR LF, and the text may grow between the two messages: a buffer
    // that comes back full is made larger and read again.
    std::size_t size = before > 0 ? before + before / 2 + kRoomToGrow : 0;
    bool whole = false;
    for (int attempt = 0; attempt < 5 && !whole; ++attempt) {
        if (size == 0) {
            const LResult length = Send(window, WM_GETTEXTLENGTH, 0, 0);
            size = static_cast<std::size_t>(std::max<LResult>(length, 0)) * 2 + 256;
        }
        text.assign(size, '\0');
        const LResult got = Send(window, WM_GETTEXT, static_cast<WParam>(size),
                                 reinterpret_cast<LParam>(text.data()));
        const auto length =
            static_cast<std::size_t>(std::clamp<LResult>(got, 0, static_cast<LResult>(size)));
        whole = length + 1 < size;
        if (whole) {
            text.resize(length);
        } else {
            // Outgrown: the length, asked now, tells how much room to make.
            size = before > 0 && attempt == 0 ? 0 : size * 2 + 256;
        }
    }
    if (!whole) text.clear();  // never settled: nothing rather than a cut text
    snapshot_.raw = text.size();
    // One CR for each CR LF, as EM_GETTEXTRANGE gives paragraph ends.
    std::size_t out = 0;
    for (std::size_t in = 0; in < text.size(); ++in) {
        const char c = text[in];
        if (c == '\r' && in + 1 < text.size() && text[in + 1] == '\n') ++in;
        text[out++] = c;
    }
    text.resize(out);
    return text;
}

LResult Win32WindowApi::GetTextRangeByWindowText(Hwnd window, platform::TextRangeA* range) {
    if (!range || !range->lpstrText) return 0;
    range->lpstrText[0] = '\0';
    const std::string& text = WindowText(window);
    const auto size = static_cast<std::int64_t>(text.size());
    const std::int64_t from = std::clamp<std::int64_t>(range->chrg.cpMin, 0, size);
    const std::int64_t to =
        range->chrg.cpMax < 0 ? size : std::clamp<std::int64_t>(range->chrg.cpMax, from, size);
    const auto got = static_cast<std::size_t>(to - from);
    std::memcpy(range->lpstrText, text.data() + from, got);
    range->lpstrText[got] = '\0';
    return static_cast<LResult>(got);
}

LResult Win32WindowApi::GetTextLengthByWindowText(Hwnd window) {
    return static_cast<LResult>(WindowText(window).size());
}

bool Win32WindowApi::PostMessageA(Hwnd window, unsigned message, WParam wParam, LParam lParam) {
    if (Special(window)) return false;
    return ::PostMessageA(ToHandle(window), message, wParam, lParam) != 0;
}

// These do not fail for every handle that is no window (under Wine, some
// come back with text), so they ask IsWindow first; captions are read
// seldom.
int Win32WindowApi::GetWindowTextLengthA(Hwnd window) {
    if (Special(window) || !IsWindow(ToHandle(window))) return 0;
    return ::GetWindowTextLengthA(ToHandle(window));
}

int Win32WindowApi::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = '\0';
    if (Special(window) || !IsWindow(ToHandle(window))) return 0;
    return ::GetWindowTextA(ToHandle(window), buffer, maxCount);
}

int Win32WindowApi::ProcessBits(Hwnd window) {
    if (Special(window)) return 0;
    const DWORD process = ProcessOf(ToHandle(window));
    if (process == 0) return 0;
    // Not the narrower "limited" right, which Windows XP does not know.
    HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process);
    if (!handle) return 0;
    BOOL emulated = FALSE;
    const bool known = IsWow64Process(handle, &emulated) != 0;
    CloseHandle(handle);
    if (!known) return 0;
    if (emulated) return 32;
    // Not emulated: as wide as the system, which is 64-bit when this
    // program is, or is emulated itself.
    BOOL selfEmulated = FALSE;
    IsWow64Process(GetCurrentProcess(), &selfEmulated);
    return sizeof(void*) == 8 || selfEmulated ? 64 : 32;
}

}  // namespace platform
