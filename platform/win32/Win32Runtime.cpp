#include "platform/win32/Win32Runtime.h"

#include <algorithm>

#include "platform/AnsiText.h"

// After the project's headers: windows.h turns MessageBox into a macro.
#include <windows.h>
#undef MessageBox

#include "platform/win32/PromptDialog.h"

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

Win32Runtime::~Win32Runtime() {
    if (modalOwner == this) modalOwner = nullptr;
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

void Win32Runtime::HandleOutside() {
    MSG msg;
    for (int i = 0; i < kMaxMessagesPerPump && !QuitRequested(); ++i) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
        if (msg.message == WM_QUIT) {
            RequestQuit();
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool Win32Runtime::SleepUntil(Millis deadline) {
    Millis left = std::max(deadline - Monotonic(), Millis{0});
    // Wakes for any message (sent ones from other processes included, and the
    // window events the system queues to an out-of-context hook, which come
    // the way sent messages do), even one that arrived before this call and
    // was only looked at.
    const DWORD woke = MsgWaitForMultipleObjectsEx(
        0, nullptr, static_cast<DWORD>(std::min<Millis::rep>(left.count(), 0x7FFFFFFF)),
        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    // Nothing came in: only the program's own work is due. Not looking at an
    // empty message queue saves a round trip on every tick of a timer.
    return woke != WAIT_TIMEOUT;
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
    if (QuitRequested()) return "";
    KeyboardReturn keyboard;
    ModalScope modal(*this);
    std::optional<std::string> answer = RunPromptDialog(DialogOwner(), text, title, defaultAnswer);
    if (!answer || QuitRequested()) return "";
    return *answer;
}

void Win32Runtime::MessageBox(const std::string& text, const std::string& title) {
    if (QuitRequested()) return;
    KeyboardReturn keyboard;
    ModalScope modal(*this);
    MessageBoxA(DialogOwner(), ToAnsi(text).c_str(), ToAnsi(title).c_str(),
                MB_OK | MB_SETFOREGROUND);
}

}  // namespace platform
