#include "tools/standin/MessageLoop.h"

#include "tools/standin/StandInClient.h"

namespace standin {
namespace {

// Bounds the work done inside one control request.
constexpr int kMaxMessagesPerSync = 100000;

}  // namespace

void MessageLoop::Run(HANDLE parent) {
    while (!quit_) {
        DWORD wait = client_.PromoteDue();
        DWORD r = MsgWaitForMultipleObjectsEx(parent ? 1 : 0, parent ? &parent : nullptr, wait,
                                              QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (parent && r == WAIT_OBJECT_0) return;
        if (!Pump()) return;
    }
}

bool MessageLoop::Pump() {
    MSG msg;
    // Keys and clicks from the keyboard and the mouse (PostMessage never
    // puts anything in this queue): a person at the client.
    while (!quit_ && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
        if (msg.message == WM_QUIT) return false;
        client_.HandleInput(msg);
        client_.PromoteDue();
    }
    while (!quit_ &&
           PeekMessageA(&msg, nullptr, 0, 0,
                        PM_REMOVE | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE | PM_QS_PAINT)) {
        if (msg.message == WM_QUIT) return false;
        client_.HandleQueued(msg);
        client_.PromoteDue();
    }
    return !quit_;
}

void MessageLoop::WorkOffQueue() {
    client_.PromoteDue();
    MSG msg;
    for (int i = 0; i < kMaxMessagesPerSync && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            quit_ = true;
            break;
        }
        client_.HandleQueued(msg);
        client_.PromoteDue();
    }
}

}  // namespace standin
