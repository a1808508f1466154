#pragma once
// What the windows need from whatever draws them, and how they tell it what
// changed. A front end (Qt, Win32, the console) implements FrontEnd; the
// forms call it, and it hands back what the user did through the Form's
// input calls (Click, MouseDown, MouseMove, MouseUp, SelectItem, Close).

#include <functional>
#include <string>

#include "forms/Control.h"

namespace forms {

class Form;

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The characters the user's locale writes between the fields of a date and
// of a time.
struct ClockSeparators {
    std::string date = "/";
    std::string time = ":";
};

// How a front end learns that another window may have come above one of ours.
enum class StackingWatch {
    // Nothing tells it: the clock asks for SetTopmost on every tick while the
    // main window shows, so that it is back on top within one tick.
    None,
    // It calls the listener whenever another window may now stand above one
    // of ours (a window shown, raised or restacked), and nothing else is
    // needed; a front end with nothing to stack (the console, a headless
    // display) never calls it.
    Notifies,
};

// The window-level properties a FormChanged reports, as a set of bits.
namespace FormChange {
inline constexpr unsigned Visible = 1u << 0;
inline constexpr unsigned Position = 1u << 1;
inline constexpr unsigned Size = 1u << 2;
inline constexpr unsigned WindowState = 1u << 3;
inline constexpr unsigned Closed = 1u << 4;  // the window is gone for good
}  // namespace FormChange

class FrontEnd {
  public:
    virtual ~FrontEnd() = default;

    // A form came to exist: the front end makes its window, hidden, with one
    // drawn control per control of the form (in the form's order: later
    // controls stand in front of earlier ones on the same container).
    virtual void FormCreated(Form& form) = 0;
    // Properties of a window (FormChange bits) or of one of its controls
    // (Changed bits) changed. Nothing is reported when nothing changed.
    virtual void FormChanged(Form& form, unsigned what) = 0;
    virtual void ControlChanged(Form& form, const Control& control, unsigned what) = 0;

    // --- services ---
    // The pointer's position on the screen, in pixels.
    virtual Point CursorPos() = 0;
    // Puts the window above all others, topmost (a topmost window stays above
    // ordinary ones); its own dialogs stay above it.
    virtual void SetTopmost(Form& form) = 0;
    // Starts watching the stacking of windows for the program's life, calling
    // `changed` on the program's thread from the event loop; says which of the
    // two it does. Asked once, by the main window.
    virtual StackingWatch WatchStacking(std::function<void()> changed) {
        (void)changed;
        return StackingWatch::None;
    }
    // The screen area windows may use, in pixels (for centring).
    virtual Rect WorkArea() = 0;
    // The width in pixels that `text` takes in `font` (a label that sizes to
    // its text is this wide, plus one pixel).
    virtual int TextWidth(const Font& font, const std::string& text) = 0;
    virtual ClockSeparators Separators() { return {}; }
};

}  // namespace forms
