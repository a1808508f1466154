#include "ui/win32/Win32FrontEnd.h"

#include "platform/win32/Win32Runtime.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/LocaleSeparators.h"
#include "ui/win32/StackingWatch.h"

namespace ui {

Win32FrontEnd::Win32FrontEnd(Win32FrontEndOptions options)
    : options_(options),
      fonts_(std::make_unique<win32::Fonts>()),
      separators_(win32::SeparatorsOf()) {}

Win32FrontEnd::~Win32FrontEnd() {
    stacking_.reset();
    if (options_.runtime) options_.runtime->SetDialogOwner(nullptr);
    windows_.clear();
}

win32::FormWindow* Win32FrontEnd::WindowOf(const forms::Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.get();
}

HWND Win32FrontEnd::Window(const forms::Form& form) const {
    win32::FormWindow* window = WindowOf(form);
    return window ? window->Handle() : nullptr;
}

HWND Win32FrontEnd::Control(const forms::Form& form, const std::string& control) const {
    win32::FormWindow* window = WindowOf(form);
    return window ? window->ControlHandle(control) : nullptr;
}

void Win32FrontEnd::FormCreated(forms::Form& form) {
    auto window = std::make_unique<win32::FormWindow>(form, *fonts_);
    if (form.Name() == "Form1") {
        mainWindow_ = window->Handle();
        if (options_.runtime) options_.runtime->SetDialogOwner(mainWindow_);
        if (stacking_) stacking_->Keep(mainWindow_);
    }
    windows_[&form] = std::move(window);
}

void Win32FrontEnd::FormChanged(forms::Form& form, unsigned what) {
    if (win32::FormWindow* window = WindowOf(form)) window->ApplyForm(what);
}

void Win32FrontEnd::ControlChanged(forms::Form& form, const forms::Control& control,
                                   unsigned what) {
    if (win32::FormWindow* window = WindowOf(form)) window->Apply(control, what);
}

forms::Point Win32FrontEnd::CursorPos() {
    POINT point{0, 0};
    GetCursorPos(&point);
    return {point.x, point.y};
}

void Win32FrontEnd::SetTopmost(forms::Form& form) {
    win32::PutOnTop(Window(form));
}

forms::StackingWatch Win32FrontEnd::WatchStacking(std::function<void()> changed) {
    stacking_.reset();
    // What the watch tells must reach this thread's loop: only the Win32
    // runtime's takes this thread's messages (on the tests' virtual clock
    // the clock asks instead).
    if (!options_.runtime) return forms::StackingWatch::None;
    if (win32::SystemTellsOfShows()) {
        auto events = std::make_unique<win32::EventWatch>(*options_.runtime, changed);
        if (events->Start()) stacking_ = std::move(events);
    }
    if (!stacking_) {
        stacking_ = std::make_unique<win32::LookingWatch>(*options_.runtime, std::move(changed));
    }
    if (mainWindow_) stacking_->Keep(mainWindow_);
    return forms::StackingWatch::Notifies;
}

forms::Rect Win32FrontEnd::WorkArea() {
    RECT area{0, 0, 0, 0};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0) || area.right <= area.left) {
        area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

int Win32FrontEnd::TextWidth(const forms::Font& font, const std::string& text) {
    return fonts_->TextWidth(font, text);
}

forms::ClockSeparators Win32FrontEnd::Separators() {
    return separators_;
}

}  // namespace ui
