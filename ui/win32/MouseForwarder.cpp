#include "ui/win32/MouseForwarder.h"

#include "platform/Failure.h"

namespace ui::win32 {

namespace {

constexpr const char* kProperty = "moonrake.mouse";

// Client coordinates are signed: a held pointer may be left of the control.
int XOf(LPARAM lParam) {
    return static_cast<short>(LOWORD(lParam));
}
int YOf(LPARAM lParam) {
    return static_cast<short>(HIWORD(lParam));
}

constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

}  // namespace

MouseForwarder::MouseForwarder(HWND window, forms::Form& form, std::string control,
                               bool holdPointer)
    : window_(window), form_(form), control_(std::move(control)), holdPointer_(holdPointer) {
    SetPropA(window_, kProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

MouseForwarder::~MouseForwarder() {
    if (!IsWindow(window_)) return;
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropA(window_, kProperty);
}

LRESULT CALLBACK MouseForwarder::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<MouseForwarder*>(GetPropA(window, kProperty));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    // The original procedure is read before the form runs: a click may end
    // in a dialog, and the window may be gone by the time it returns.
    const WNDPROC original = self->original_;
    self->Handle(message, wParam, lParam);
    return CallWindowProcA(original, window, message, wParam, lParam);
}

void MouseForwarder::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: {
            if (holdPointer_) SetCapture(window_);
            const forms::MouseButton button =
                message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK
                    ? forms::MouseButton::Left
                    : forms::MouseButton::Other;
            platform::Guarded("a press", [&] {
                form_.MouseDown(control_, static_cast<float>(XOf(lParam)),
                                static_cast<float>(YOf(lParam)), button);
            });
            break;
        }
        case WM_MOUSEMOVE:
            platform::Guarded("a move", [&] { form_.MouseMove(control_); });
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            RECT client;
            GetClientRect(window_, &client);
            const POINT at{XOf(lParam), YOf(lParam)};
            const forms::Release release =
                PtInRect(&client, at) != FALSE ? forms::Release::Over : forms::Release::Outside;
            const forms::MouseButton button =
                message == WM_LBUTTONUP ? forms::MouseButton::Left : forms::MouseButton::Other;
            // Let go before the form runs: a click may open a dialog, which
            // must have the mouse.
            if (holdPointer_ && (wParam & kAnyButton) == 0 && GetCapture() == window_) {
                ReleaseCapture();
            }
            platform::Guarded("a release", [&] { form_.MouseUp(control_, button, release); });
            break;
        }
        default:
            break;
    }
}

}  // namespace ui::win32
