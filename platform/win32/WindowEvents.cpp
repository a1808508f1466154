#include "platform/win32/WindowEvents.h"

#include <windows.h>

namespace platform {
namespace {

// How long the probe waits for an event that has not come at the first look.
constexpr DWORD kProbeWaitMs = 50;

// The probe's hook: the event it waits for, and the window it saw it for.
thread_local DWORD probeEvent = 0;
thread_local HWND probeSeen = nullptr;

void CALLBACK ProbeHook(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                        DWORD) {
    if (event == probeEvent && object == OBJID_WINDOW && child == CHILDID_SELF) {
        probeSeen = window;
    }
}

}  // namespace

bool SystemDeliversWindowEvent(unsigned long event) {
    HWINEVENTHOOK hook = SetWinEventHook(event, event, nullptr, &ProbeHook, GetCurrentProcessId(),
                                         GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    if (!hook) return false;
    probeEvent = event;
    probeSeen = nullptr;
    // A tool window (no taskbar button) that takes no activation, off the
    // screen and one pixel wide: nobody sees it come and go.
    HWND probe = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "", WS_POPUP,
                                 -32000, -32000, 1, 1, nullptr, nullptr, nullptr, nullptr);
    bool seen = false;
    if (probe) {
        ShowWindow(probe, SW_SHOWNOACTIVATE);
        const DWORD start = GetTickCount();
        for (;;) {
            // Takes the events (and any message another thread sends) and
            // leaves the posted messages where they are, for the loop.
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
            seen = probeSeen == probe;
            const DWORD waited = GetTickCount() - start;
            if (seen || waited >= kProbeWaitMs) break;
            // Without MWMO_INPUTAVAILABLE: wakes only for what came after the
            // look above.
            MsgWaitForMultipleObjectsEx(0, nullptr, kProbeWaitMs - waited, QS_ALLINPUT, 0);
        }
        DestroyWindow(probe);
    }
    UnhookWinEvent(hook);
    probeEvent = 0;
    probeSeen = nullptr;
    return seen;
}

}  // namespace platform
