#include "platform/win32/Win32Runtime.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>

#include "platform/AnsiText.h"
#include "platform/Folder.h"

// After the project's headers: windows.h turns MessageBox into a macro.
#include <windows.h>
#undef MessageBox

#include "platform/win32/PromptDialog.h"
#include "platform/win32/Utf16.h"

namespace platform {
namespace {

// A burst of window messages larger than this is left for the next turn of
// the loop, so that the program's own tasks still run.
constexpr int kMaxMessagesPerPump = 1000;
// How often the queue runs while a modal box has the thread.
constexpr UINT kModalTickMs = 10;

thread_local Win32Runtime* modalOwner = nullptr;

// Cancels a dialog of this thread; every dialog's own loop then ends.
BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void CALLBACK ModalTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!modalOwner) return;
    modalOwner->RunQueue();
    // The program is ending (a command inside the dialog's loop ended it):
    // no dialog may keep it waiting for an answer nobody needs.
    if (modalOwner->QuitRequested()) {
        EnumThreadWindows(GetCurrentThreadId(), &CancelDialog, 0);
    }
}

int DayOfYear(int year, int month, int day) {
    static constexpr int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kBefore[month - 1] + day - 1 + (leap && month > 2 ? 1 : 0);
}

}  // namespace

Win32Runtime::Win32Runtime() {
    Reseed();
}

Win32Runtime::~Win32Runtime() {
    if (modalOwner == this) modalOwner = nullptr;
}

Millis Win32Runtime::Monotonic() {
    return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

std::tm Win32Runtime::LocalTime() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    std::tm out{};
    out.tm_year = st.wYear - 1900;
    out.tm_mon = st.wMonth - 1;
    out.tm_mday = st.wDay;
    out.tm_hour = st.wHour;
    out.tm_min = st.wMinute;
    out.tm_sec = st.wSecond;
    out.tm_wday = st.wDayOfWeek;
    out.tm_yday = DayOfYear(st.wYear, st.wMonth, st.wDay);
    out.tm_isdst = -1;
    return out;
}

double Win32Runtime::SecondsSinceMidnight() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return st.wHour * 3600.0 + st.wMinute * 60.0 + st.wSecond + st.wMilliseconds / 1000.0;
}

void Win32Runtime::PostDelayed(Millis delay, Task task) {
    queue_.PostAt(Monotonic() + std::max(delay, Millis{0}), std::move(task));
}

TimerId Win32Runtime::StartTimer(Millis interval, Task tick) {
    return queue_.StartTimer(Monotonic(), interval, std::move(tick));
}

void Win32Runtime::PumpMessages() {
    MSG msg;
    for (int i = 0; i < kMaxMessagesPerPump && !quit_; ++i) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
        if (msg.message == WM_QUIT) {
            quit_ = true;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Win32Runtime::RunQueue() {
    queue_.RunAllDue(Monotonic(), [this] { return quit_; });
}

void Win32Runtime::DoEvents() {
    if (quit_) return;
    PumpMessages();
    RunQueue();
}

void Win32Runtime::WaitForEvents(Millis maxWait) {
    if (quit_) return;
    if (!queue_.HasReady()) {
        Millis now = Monotonic();
        Millis until = now + std::max(maxWait, Millis{0});
        if (auto due = queue_.NextDue()) until = std::min(until, *due);
        Millis left = std::max(until - now, Millis{0});
        // Wakes for any message (sent ones from other processes included),
        // even one that arrived before this call and was only looked at.
        const DWORD woke = MsgWaitForMultipleObjectsEx(
            0, nullptr, static_cast<DWORD>(std::min<Millis::rep>(left.count(), 0x7FFFFFFF)),
            QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        // Nothing came in: only the program's own work is due. Not looking
        // at an empty queue saves a round trip on every tick of a timer.
        if (woke == WAIT_TIMEOUT) {
            RunQueue();
            return;
        }
    }
    DoEvents();
}

void Win32Runtime::Reseed() {
    seed_ = static_cast<std::uint64_t>(
                std::chrono::high_resolution_clock::now().time_since_epoch().count()) ^
            (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32);
}

double Win32Runtime::Random() {
    std::mt19937_64 engine(seed_);
    seed_ = engine();
    return static_cast<double>(engine() >> 11) * 0x1.0p-53;
}

// While a dialog is open its own modal loop dispatches the thread's
// messages; a thread timer brings the program's tasks and timers into it.
class Win32Runtime::ModalScope {
  public:
    explicit ModalScope(Win32Runtime& runtime) : outer_(modalOwner) {
        modalOwner = &runtime;
        tick_ = SetTimer(nullptr, 0, kModalTickMs, ModalTick);
    }
    ~ModalScope() {
        if (tick_) KillTimer(nullptr, tick_);
        modalOwner = outer_;
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

  private:
    Win32Runtime* outer_;
    UINT_PTR tick_ = 0;
};

// A prompt or box takes the keyboard, since it needs an answer; when it
// closes the system activates its owner, our main window. The keyboard goes
// back to the window that had it before, usually the chat client's.
class Win32Runtime::KeyboardReturn {
  public:
    KeyboardReturn() : before_(GetForegroundWindow()) {}
    ~KeyboardReturn() {
        if (before_ && IsWindow(before_) && GetForegroundWindow() != before_) {
            SetForegroundWindow(before_);
        }
    }
    KeyboardReturn(const KeyboardReturn&) = delete;
    KeyboardReturn& operator=(const KeyboardReturn&) = delete;

  private:
    HWND before_;
};

HWND Win32Runtime::DialogOwner() const {
    return dialogOwner_ && IsWindow(dialogOwner_) ? dialogOwner_ : nullptr;
}

std::string Win32Runtime::Prompt(const std::string& text, const std::string& title,
                                 const std::string& defaultAnswer) {
    if (quit_) return "";
    KeyboardReturn keyboard;
    ModalScope modal(*this);
    std::optional<std::string> answer = RunPromptDialog(DialogOwner(), text, title, defaultAnswer);
    if (!answer || quit_) return "";
    return *answer;
}

void Win32Runtime::MessageBox(const std::string& text, const std::string& title) {
    if (quit_) return;
    KeyboardReturn keyboard;
    ModalScope modal(*this);
    MessageBoxA(DialogOwner(), ToAnsi(text).c_str(), ToAnsi(title).c_str(),
                MB_OK | MB_SETFOREGROUND);
}

std::optional<std::vector<std::string>> Win32Runtime::ListFolder(const std::string& folder,
                                                                 const std::string& pattern) {
    // Wide paths throughout: a narrow std::filesystem path on Windows is in
    // the ANSI code page, which cannot hold every name a folder may have.
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path path = folder.empty() ? fs::path(L".") : fs::path(Utf16FromUtf8(folder));
    fs::directory_iterator it(path, ec);
    if (ec) return std::nullopt;
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string name = Utf8FromUtf16(it->path().filename().wstring());
        if (WildcardMatch(pattern, name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace platform
