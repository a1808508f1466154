#pragma once
// One form as a window of its own: a borderless popup kept above ordinary
// windows, with one child window per control, made from the control's
// properties and changed only where the form reports a change.
//
//   picture surface  a window of ours painting the surface's image
//   label            an owner-drawn STATIC on the surface's image
//   list, file list  a LISTBOX
//   progress bar     an owner-drawn STATIC that answers the progress bar
//                    queries of the system's own (see DogBar.h)
//
// Labels stand on the surface as if they were transparent: each draws what
// is behind it (the surface, and the bar or labels under it) and then its
// caption.
//
// What the user does goes back to the form unchanged: the mouse on the
// controls that act on it, the file list's selection, a close of the window
// and the system moving, minimising or restoring it. Controls with a tooltip
// show it through the system's tooltip control.

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "forms/Form.h"
#include "ui/win32/DogBar.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/MouseForwarder.h"
#include "ui/win32/Surface.h"

namespace ui::win32 {

class FormWindow {
  public:
    // The form must outlive the window, or at least every message it gets.
    FormWindow(forms::Form& form, Fonts& fonts);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND Handle() const { return window_; }
    // The window of a control, the form's own for the form's name; nullptr
    // when there is none.
    HWND ControlHandle(const std::string& name) const;

    void ApplyForm(unsigned what);
    void Apply(const forms::Control& control, unsigned what);

  private:
    struct Child {
        const forms::Control* control = nullptr;
        std::size_t index = 0;  // in the form's order: later ones stand in front
        HWND window = nullptr;
        Child* container = nullptr;  // the surface it stands on, if any
        std::string ansiCaption;
        std::string ansiToolTip;
        std::unique_ptr<SurfaceImage> surface;  // picture surfaces
        std::unique_ptr<MouseForwarder> mouse;
        std::unique_ptr<BarQueries> barQueries;  // progress bars
        int drawnFill = 0;                       // progress bars: the fill on the screen
    };

    static void RegisterClasses();
    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SurfaceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnChildMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Make(const forms::Control& control);
    // One tooltip control for the window, one tool per control with a text.
    void MakeToolTips();
    void Render(Child& surface);
    void PaintSurface(Child& surface);
    void Draw(const DRAWITEMSTRUCT& item);
    void PaintGround(const Child& label, HDC dc, int width, int height) const;
    // Labels are transparent: those in front of a changed control show it
    // through, so they are drawn again too (`before` is where it was).
    void RepaintLabelsInFront(const Child& changed, const RECT& before) const;
    void ShowForm();
    Child* ChildOf(HWND window) const;
    Child* Named(const std::string& name) const;

    forms::Form& form_;
    Fonts& fonts_;
    HWND window_ = nullptr;
    HWND toolTips_ = nullptr;
    std::vector<std::unique_ptr<Child>> children_;
    std::map<HWND, Child*> byWindow_;
    bool closed_ = false;
    bool dying_ = false;
    bool updatingList_ = false;
};

}  // namespace ui::win32
