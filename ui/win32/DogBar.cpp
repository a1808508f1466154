#include "ui/win32/DogBar.h"

#include "ui/win32/Colors.h"

namespace ui::win32 {

namespace {

constexpr const char* kProperty = "moonrake.bar";

}  // namespace

void DrawDogBar(HDC dc, const RECT& rect, const forms::ProgressBar& bar) {
    const int width = rect.right - rect.left;
    const int fill = bar.FillWidth(width);
    if (fill < width) {
        HBRUSH back = CreateSolidBrush(RgbOf(bar.backcolor));
        const RECT rest{rect.left + fill, rect.top, rect.right, rect.bottom};
        FillRect(dc, &rest, back);
        DeleteObject(back);
    }
    if (fill > 0) {
        HBRUSH front = CreateSolidBrush(RgbOf(bar.barcolor1));
        const RECT filled{rect.left, rect.top, rect.left + fill, rect.bottom};
        FillRect(dc, &filled, front);
        DeleteObject(front);
    }
}

BarQueries::BarQueries(HWND window, const forms::ProgressBar& bar) : window_(window), bar_(bar) {
    SetPropA(window_, kProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

BarQueries::~BarQueries() {
    if (!IsWindow(window_)) return;
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    RemovePropA(window_, kProperty);
}

LRESULT CALLBACK BarQueries::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<BarQueries*>(GetPropA(window, kProperty));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == kGetPos) return self->bar_.barvalue;
    if (message == kGetRange) return wParam ? 0 : self->bar_.barmax;
    return CallWindowProcA(self->original_, window, message, wParam, lParam);
}

}  // namespace ui::win32
