#pragma once
// The console's front end: the windows exist, with every control, but are
// drawn nowhere. Text is measured as if every character were one average
// width of the layout's 8-point face, the pointer rests at the screen's
// corner, and nothing stacks.

#include <string>

#include "forms/FrontEnd.h"

namespace ui {

class ConsoleFrontEnd final : public forms::FrontEnd {
  public:
    void FormCreated(forms::Form&) override {}
    void FormChanged(forms::Form&, unsigned) override {}
    void ControlChanged(forms::Form&, const forms::Control&, unsigned) override {}
    forms::Point CursorPos() override { return {0, 0}; }
    void SetTopmost(forms::Form&) override {}
    // No windows, so nothing can come above them.
    forms::StackingWatch WatchStacking(std::function<void()>) override {
        return forms::StackingWatch::Notifies;
    }
    forms::Rect WorkArea() override { return {0, 0, 1024, 768}; }
    int TextWidth(const forms::Font& font, const std::string& text) override;
};

}  // namespace ui
