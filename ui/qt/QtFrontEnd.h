#pragma once
// The windows drawn with Qt Widgets: one top-level widget per form, one
// widget per control, made from the control's properties and changed only
// when the form reports a change. What the user does with the mouse goes
// back to the form unchanged; the Qt side decides nothing.

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/Form.h"
#include "forms/FrontEnd.h"

class QFont;

namespace ui {

class QtRuntime;
class X11StackingWatch;

// Where the pointer is on the screen, in pixels. Tests inject one;
// QCursor::pos() otherwise.
using CursorSource = std::function<QPoint()>;

struct QtFrontEndOptions {
    CursorSource cursorPos;
    // Its prompts and message boxes become the main window's dialogs.
    QtRuntime* runtime = nullptr;
};

// The Qt font that stands for a face of the layout (see Fonts.h), and the
// text to draw for a caption in it (Webdings captions are symbols).
QFont QtFontOf(const forms::Font& font);
QString DisplayText(const forms::Font& font, const std::string& caption);

class QtFrontEnd final : public forms::FrontEnd {
  public:
    explicit QtFrontEnd(QtFrontEndOptions options = {});
    ~QtFrontEnd() override;
    QtFrontEnd(const QtFrontEnd&) = delete;
    QtFrontEnd& operator=(const QtFrontEnd&) = delete;

    // The window of a form, and the widget of one of its controls (the form
    // itself for "Form1" or "Form5"); nullptr when there is none.
    QWidget* Window(const forms::Form& form) const;
    QWidget* Widget(const forms::Form& form, const std::string& control) const;

    // --- forms::FrontEnd ---
    void FormCreated(forms::Form& form) override;
    void FormChanged(forms::Form& form, unsigned what) override;
    void ControlChanged(forms::Form& form, const forms::Control& control, unsigned what) override;
    forms::Point CursorPos() override;
    void SetTopmost(forms::Form& form) override;
    // On X: Notifies, from the server's reports of other clients' windows
    // (see X11Stacking.h). On the offscreen and minimal platforms: Notifies,
    // and never calls, since nothing stacks there. Elsewhere: None.
    forms::StackingWatch WatchStacking(std::function<void()> changed) override;
    forms::Rect WorkArea() override;
    int TextWidth(const forms::Font& font, const std::string& text) override;
    forms::ClockSeparators Separators() override;

  private:
    class FormWindow;

    FormWindow* WindowOf(const forms::Form& form) const;
    // Every window of the forms, with the dialogs and tool tips they own.
    std::vector<QWidget*> OwnWindows() const;

    QtFrontEndOptions options_;
    std::map<const forms::Form*, std::unique_ptr<FormWindow>> windows_;
    forms::ClockSeparators separators_;
    // Declared after the windows: it goes first.
    std::unique_ptr<X11StackingWatch> stackingWatch_;
    // The window last kept on top, and the watch's generation then.
    const QWidget* keptOnTop_ = nullptr;
    std::uint64_t keptAt_ = 0;
    std::optional<std::chrono::steady_clock::time_point> raisedAt_;
};

}  // namespace ui
