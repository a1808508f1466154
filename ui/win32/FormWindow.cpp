#include "ui/win32/FormWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/AnsiText.h"
#include "platform/Failure.h"
#include "ui/win32/DogBar.h"
#include "ui/win32/Label.h"
#include "ui/win32/ListBoxes.h"

namespace ui::win32 {

namespace {

constexpr const char* kFormClass = "MoonrakeForm";
constexpr const char* kSurfaceClass = "MoonrakeSurface";
constexpr int kFirstControlId = 100;

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

int PixelsAtLeastOne(int twips) {
    return std::max(1, forms::Pixels(twips));
}

bool IsList(const forms::Control& control) {
    return control.kind == forms::ControlKind::ListBox ||
           control.kind == forms::ControlKind::FileListBox;
}

// Where a child window is in its parent's client area.
RECT PlaceInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

// The program's icon from its resources; the system's default where the
// executable has none (the tests).
HICON ProgramIcon(int size) {
    auto icon = static_cast<HICON>(
        LoadImageA(Instance(), MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    return icon ? icon : LoadIcon(nullptr, IDI_APPLICATION);
}

// Where the system puts a new window that leaves its place to the system.
// A popup has no such place, so ask for an ordinary window's. Windows
// cascades these from just inside the work area's corner; where the answer
// is the corner itself or off the work area (Wine without a window manager
// gives either), the middle of the work area, where the main window starts.
POINT DefaultPlace(int width, int height) {
    RECT area{0, 0, 1024, 768};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                 width, height, nullptr, nullptr, Instance(), nullptr);
    if (probe) {
        RECT place;
        GetWindowRect(probe, &place);
        DestroyWindow(probe);
        const bool corner = place.left == area.left && place.top == area.top;
        if (!corner && place.left >= area.left && place.top >= area.top &&
            place.left + width <= area.right && place.top + height <= area.bottom) {
            return POINT{place.left, place.top};
        }
    }
    return POINT{area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2};
}

forms::WindowState StateOfSize(WPARAM kind) {
    switch (kind) {
        case SIZE_MINIMIZED:
            return forms::WindowState::Minimized;
        case SIZE_MAXIMIZED:
            return forms::WindowState::Maximized;
        default:
            return forms::WindowState::Normal;
    }
}

}  // namespace

void FormWindow::RegisterClasses() {
    static const bool registered = [] {
        WNDCLASSEXA form{};
        form.cbSize = sizeof form;
        form.lpfnWndProc = &FormProc;
        form.hInstance = Instance();
        form.hCursor = LoadCursor(nullptr, IDC_ARROW);
        form.hIcon = ProgramIcon(GetSystemMetrics(SM_CXICON));
        form.hIconSm = ProgramIcon(GetSystemMetrics(SM_CXSMICON));
        form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        form.lpszClassName = kFormClass;
        RegisterClassExA(&form);

        WNDCLASSEXA surface{};
        surface.cbSize = sizeof surface;
        surface.lpfnWndProc = &SurfaceProc;
        surface.hInstance = Instance();
        surface.hCursor = LoadCursor(nullptr, IDC_ARROW);
        surface.lpszClassName = kSurfaceClass;
        RegisterClassExA(&surface);

        // The tooltips.
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        return true;
    }();
    (void)registered;
}

FormWindow::FormWindow(forms::Form& form, Fonts& fonts) : form_(form), fonts_(fonts) {
    RegisterClasses();
    // No caption and no border: the window is all client area, the form's
    // size. WS_SYSMENU and WS_MINIMIZEBOX draw nothing here but let the
    // taskbar minimise, restore and close it like any other window.
    const int width = PixelsAtLeastOne(form.WidthTwips());
    const int height = PixelsAtLeastOne(form.HeightTwips());
    POINT place{forms::Pixels(form.LeftTwips()), forms::Pixels(form.TopTwips())};
    const bool placedBySystem = !form.Placed();
    if (placedBySystem) place = DefaultPlace(width, height);
    // It never takes the keyboard, whatever shows it (the window manager of a
    // desktop under Wine would otherwise give a window it maps the focus);
    // nothing on it takes keys. WS_EX_APPWINDOW keeps its taskbar button,
    // which WS_EX_NOACTIVATE alone would take away.
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_APPWINDOW, kFormClass,
                              platform::ToAnsi(form.Caption()).c_str(),
                              WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, place.x,
                              place.y, width, height, nullptr, nullptr, Instance(), this);
    if (!window_) return;
    if (placedBySystem)
        platform::Guarded("placing the window", [&] { form_.FollowMove(place.x, place.y); });
    for (const auto& control : form.Controls()) Make(*control);
    MakeToolTips();
}

FormWindow::~FormWindow() {
    dying_ = true;
    // First: its tools hook the controls' procedures after ours.
    if (toolTips_) DestroyWindow(toolTips_);
    // Subclassed windows are given back in the reverse order they were
    // taken, so that each restores the procedure it found.
    for (auto& child : children_) {
        child->barQueries.reset();
        child->mouse.reset();
    }
    if (window_) DestroyWindow(window_);
}

HWND FormWindow::ControlHandle(const std::string& name) const {
    if (name == form_.Name()) return window_;
    const Child* child = Named(name);
    return child ? child->window : nullptr;
}

FormWindow::Child* FormWindow::ChildOf(HWND window) const {
    auto it = byWindow_.find(window);
    return it == byWindow_.end() ? nullptr : it->second;
}

FormWindow::Child* FormWindow::Named(const std::string& name) const {
    for (const auto& child : children_) {
        if (child->control->name == name) return child.get();
    }
    return nullptr;
}

// --- making the controls ------------------------------------------------------------

void FormWindow::Make(const forms::Control& control) {
    auto child = std::make_unique<Child>();
    child->control = &control;
    child->index = children_.size();
    child->container = control.container.empty() ? nullptr : Named(control.container);
    HWND parent = child->container ? child->container->window : window_;
    const int id = kFirstControlId + static_cast<int>(children_.size());
    const DWORD shown = control.visible ? WS_VISIBLE : 0;

    const char* windowClass = "STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | shown;
    DWORD exStyle = 0;
    switch (control.kind) {
        case forms::ControlKind::PictureBox:
            windowClass = kSurfaceClass;
            style |= WS_CLIPCHILDREN;
            break;
        case forms::ControlKind::Label:
            child->ansiCaption = platform::ToAnsi(control.caption);
            // Without SS_NOTIFY a static lets the mouse through to what is
            // behind it, as a label that acts on nothing should.
            // A label with a tooltip takes the mouse too, or its tooltip
            // would never see the pointer.
            style |=
                SS_OWNERDRAW |
                ((control.clickable || control.dragHandle || !control.toolTip.empty()) ? SS_NOTIFY
                                                                                       : 0);
            break;
        case forms::ControlKind::ListBox:
        case forms::ControlKind::FileListBox:
            windowClass = "LISTBOX";
            style = ListBoxStyle(control.kind == forms::ControlKind::FileListBox) | shown;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case forms::ControlKind::ProgressBar:
            style |= SS_OWNERDRAW | (control.toolTip.empty() ? 0 : SS_NOTIFY);
            break;
    }
    child->window = CreateWindowExA(
        exStyle, windowClass, child->ansiCaption.c_str(), style, forms::Pixels(control.left),
        forms::Pixels(control.top), forms::Pixels(control.width), forms::Pixels(control.height),
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
    if (!child->window) return;
    HWND made = child->window;
    // Later controls stand in front of earlier ones on the same container.
    SetWindowPos(made, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    if (control.kind == forms::ControlKind::PictureBox) {
        SetWindowLongPtrA(made, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        child->surface = std::make_unique<SurfaceImage>();
    }
    if (IsList(control) || control.kind == forms::ControlKind::Label) {
        // A label draws itself with the font as well; this way it also tells
        // anyone who asks (WM_GETFONT) which font that is.
        SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(control.font)), FALSE);
    }
    if (IsList(control)) {
        ShowListItems(made, control.items);
        ShowListIndex(made, control.listIndex);
    }
    if (control.clickable || control.dragHandle) {
        // A list box holds the pointer from a press to the release itself.
        child->mouse =
            std::make_unique<MouseForwarder>(made, form_, control.name, !IsList(control));
    }
    if (control.kind == forms::ControlKind::ProgressBar) {
        child->barQueries = std::make_unique<BarQueries>(made, control.bar);
    }
    Child* stored = child.get();
    byWindow_[made] = stored;
    children_.push_back(std::move(child));
    if (stored->surface) Render(*stored);
}

void FormWindow::MakeToolTips() {
    // Always: the program's windows are never the active ones.
    toolTips_ =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, Instance(), nullptr);
    if (!toolTips_) return;
    for (auto& child : children_) {
        if (child->control->toolTip.empty() || !child->window) continue;
        child->ansiToolTip = platform::ToAnsi(child->control->toolTip);
        TTTOOLINFOA tool{};
        // The size every version of the control takes (no lpReserved).
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(child->window);
        tool.lpszText = child->ansiToolTip.data();
        SendMessageA(toolTips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void FormWindow::Render(Child& surface) {
    RECT client;
    GetClientRect(surface.window, &client);
    surface.surface->Render(*surface.control, client.right, client.bottom);
}

// --- changes ------------------------------------------------------------------------

void FormWindow::ApplyForm(unsigned what) {
    if (!window_) return;
    if (what & forms::FormChange::Closed) {
        closed_ = true;
        ShowWindow(window_, SW_HIDE);
        return;
    }
    if (what & forms::FormChange::Size) {
        SetWindowPos(window_, nullptr, 0, 0, PixelsAtLeastOne(form_.WidthTwips()),
                     PixelsAtLeastOne(form_.HeightTwips()),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (what & forms::FormChange::Position) {
        SetWindowPos(window_, nullptr, forms::Pixels(form_.LeftTwips()),
                     forms::Pixels(form_.TopTwips()), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if ((what & forms::FormChange::WindowState) && IsWindowVisible(window_)) {
        // On a hidden window the state waits for the next show. None of
        // these activates the window: the keyboard stays in the chat
        // (SW_MINIMIZE and SW_RESTORE would move it).
        switch (form_.ShownState()) {
            case forms::WindowState::Minimized:
                ShowWindow(window_, SW_SHOWMINNOACTIVE);
                break;
            case forms::WindowState::Maximized:
                ShowWindow(window_, SW_MAXIMIZE);
                break;
            case forms::WindowState::Normal:
                ShowWindow(window_, SW_SHOWNOACTIVATE);
                break;
        }
    }
    if (what & forms::FormChange::Visible) {
        if (form_.Visible()) {
            ShowForm();
        } else {
            ShowWindow(window_, SW_HIDE);
        }
    }
}

void FormWindow::ShowForm() {
    // Shown by a command or a tick while the user types in the chat: the
    // keyboard must stay there.
    switch (form_.ShownState()) {
        case forms::WindowState::Minimized:
            ShowWindow(window_, SW_SHOWMINNOACTIVE);
            break;
        case forms::WindowState::Maximized:
            ShowWindow(window_, SW_SHOWMAXIMIZED);
            break;
        case forms::WindowState::Normal:
            ShowWindow(window_,
                       IsIconic(window_) || IsZoomed(window_) ? SW_SHOWNOACTIVATE : SW_SHOWNA);
            break;
    }
}

void FormWindow::Apply(const forms::Control& control, unsigned what) {
    Child* child = Named(control.name);
    if (!child || !child->window) return;
    HWND window = child->window;
    const RECT before = PlaceInParent(window);
    bool shows = false;  // what the labels in front show of it changed
    if (what & forms::Changed::Geometry) {
        shows = true;
        MoveWindow(window, forms::Pixels(control.left), forms::Pixels(control.top),
                   forms::Pixels(control.width), forms::Pixels(control.height), TRUE);
        if (child->surface) {
            Render(*child);
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
    }
    if (what & forms::Changed::Visible) {
        shows = true;
        ShowWindow(window, control.visible ? SW_SHOWNA : SW_HIDE);
    }
    if ((what & forms::Changed::Caption) && control.kind == forms::ControlKind::Label) {
        shows = true;
        child->ansiCaption = platform::ToAnsi(control.caption);
        SetWindowTextA(window, child->ansiCaption.c_str());
        InvalidateRect(window, nullptr, FALSE);
    }
    if (IsList(control)) {
        updatingList_ = true;
        if (what & forms::Changed::Items) ShowListItems(window, control.items);
        if (what & (forms::Changed::Items | forms::Changed::ListIndex)) {
            ShowListIndex(window, control.listIndex);
        }
        updatingList_ = false;
    }
    if ((what & forms::Changed::Bar) && control.kind == forms::ControlKind::ProgressBar) {
        RECT client;
        GetClientRect(window, &client);
        // Most ticks move the fill by less than a pixel: nothing to draw.
        if (control.bar.FillWidth(client.right) != child->drawnFill) {
            shows = true;
            InvalidateRect(window, nullptr, FALSE);
        }
    }
    if ((what & forms::Changed::Surface) && child->surface) {
        Render(*child);
        // The labels on it take their ground from it.
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
    if (shows) RepaintLabelsInFront(*child, before);
}

void FormWindow::RepaintLabelsInFront(const Child& changed, const RECT& before) const {
    const RECT now = PlaceInParent(changed.window);
    for (std::size_t i = changed.index + 1; i < children_.size(); ++i) {
        const Child& other = *children_[i];
        if (other.container != changed.container || !other.window ||
            other.control->kind != forms::ControlKind::Label) {
            continue;
        }
        const RECT place = PlaceInParent(other.window);
        if (Overlap(place, before) || Overlap(place, now))
            InvalidateRect(other.window, nullptr, FALSE);
    }
}

// --- drawing ------------------------------------------------------------------------

void FormWindow::PaintSurface(Child& surface) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(surface.window, &paint);
    const RECT& part = paint.rcPaint;
    surface.surface->CopyTo(dc, POINT{part.left, part.top}, POINT{part.left, part.top},
                            part.right - part.left, part.bottom - part.top);
    EndPaint(surface.window, &paint);
}

void FormWindow::Draw(const DRAWITEMSTRUCT& item) {
    Child* child = ChildOf(item.hwndItem);
    if (!child) return;
    const forms::Control& control = *child->control;
    if (control.kind == forms::ControlKind::ProgressBar) {
        DrawDogBar(item.hDC, item.rcItem, control.bar);
        child->drawnFill = control.bar.FillWidth(item.rcItem.right - item.rcItem.left);
        return;
    }
    if (control.kind != forms::ControlKind::Label) return;
    DrawLabel(
        item.hDC, item.rcItem, control, child->ansiCaption, fonts_.Get(control.font),
        [this, child](HDC dc, int width, int height) { PaintGround(*child, dc, width, height); });
}

void FormWindow::PaintGround(const Child& label, HDC dc, int width, int height) const {
    const RECT place = PlaceInParent(label.window);
    const POINT corner{place.left, place.top};
    if (label.container && label.container->surface) {
        label.container->surface->CopyTo(dc, POINT{0, 0}, corner, width, height);
    } else {
        const RECT all{0, 0, width, height};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    }
    // What stands under the label on the same container shows through it.
    for (std::size_t i = 0; i < label.index; ++i) {
        const Child& under = *children_[i];
        if (under.container != label.container || !under.window || !under.control->visible ||
            !Overlap(PlaceInParent(under.window), place)) {
            continue;
        }
        RECT at = PlaceInParent(under.window);
        OffsetRect(&at, -corner.x, -corner.y);
        if (under.control->kind == forms::ControlKind::ProgressBar) {
            DrawDogBar(dc, at, under.control->bar);
        } else if (under.control->kind == forms::ControlKind::Label) {
            DrawLabelText(dc, at, *under.control, under.ansiCaption,
                          fonts_.Get(under.control->font));
        }
    }
}

// --- messages -----------------------------------------------------------------------

LRESULT CALLBACK FormWindow::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || self->dying_ || self->window_ != window) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->OnFormMessage(message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || self->dying_) return DefWindowProcA(window, message, wParam, lParam);
    Child* surface = self->ChildOf(window);
    if (surface && surface->surface) {
        if (message == WM_PAINT) {
            self->PaintSurface(*surface);
            return 0;
        }
        // The image covers every pixel.
        if (message == WM_ERASEBKGND) return 1;
    }
    if (self->OnChildMessage(message, wParam, lParam)) return TRUE;
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT FormWindow::OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // The form decides; its window only hides when it is gone.
            if (!closed_) platform::Guarded("closing the window", [this] { form_.Close(); });
            return 0;
        case WM_ENDSESSION:
            // Windows is ending: the window is unloaded as by any other close.
            if (wParam && !closed_)
                platform::Guarded("closing the window", [this] { form_.Close(); });
            return 0;
        case WM_SIZE:
            // The taskbar or the system menu minimised or restored it: the
            // form must know, or its next "min" would change nothing. A
            // hidden window's state is the form's to keep for the next show.
            if (!closed_ && IsWindowVisible(window_) &&
                (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED || wParam == SIZE_RESTORED)) {
                const forms::WindowState state = StateOfSize(wParam);
                platform::Guarded("following the window's state",
                                  [&] { form_.FollowState(state); });
            }
            break;
        case WM_WINDOWPOSCHANGED: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            // Minimised or maximised, the window stands in for its place; the
            // form keeps the place it will come back to.
            if (!(pos->flags & SWP_NOMOVE) && !IsIconic(window_) && !IsZoomed(window_)) {
                const int x = pos->x;
                const int y = pos->y;
                platform::Guarded("following a move", [&] { form_.FollowMove(x, y); });
            }
            break;
        }
        default:
            if (OnChildMessage(message, wParam, lParam)) return TRUE;
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

bool FormWindow::OnChildMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!ChildOf(item->hwndItem)) return false;
        Draw(*item);
        return true;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == LBN_SELCHANGE) {
        HWND list = reinterpret_cast<HWND>(lParam);
        Child* child = ChildOf(list);
        if (!child || updatingList_ || child->control->kind != forms::ControlKind::FileListBox) {
            return false;
        }
        const std::string name = child->control->name;
        const int index = ListIndexOf(list);
        platform::Guarded("selecting a file", [&] { form_.SelectItem(name, index); });
        return true;
    }
    return false;
}

}  // namespace ui::win32
