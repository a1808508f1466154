#pragma once
// A front end for tests of the windows without a toolkit: it draws nothing,
// records what the forms told it, measures text at a fixed width per
// character, and has a pointer the test moves.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "forms/Form.h"
#include "forms/FrontEnd.h"

namespace testsupport {

class FakeFrontEnd final : public forms::FrontEnd {
  public:
    // "created Form1", "Form1 visible", "Form1.Label4 caption", "topmost Form1", ...
    std::vector<std::string> events;
    forms::Point cursor{0, 0};
    forms::Rect workArea{0, 0, 1280, 1024};
    forms::ClockSeparators separators;
    int pixelsPerCharacter = 6;
    int topmostCalls = 0;
    // What WatchStacking says, and the listener the main window gave it.
    forms::StackingWatch stackingWatch = forms::StackingWatch::None;
    std::function<void()> stackingChanged;

    void FormCreated(forms::Form& form) override { events.push_back("created " + form.Name()); }
    void FormChanged(forms::Form& form, unsigned what) override {
        using namespace forms::FormChange;
        if (what & Visible) events.push_back(form.Name() + (form.Visible() ? " shown" : " hidden"));
        if (what & Position) events.push_back(form.Name() + " moved");
        if (what & Size) events.push_back(form.Name() + " resized");
        if (what & WindowState) events.push_back(form.Name() + " state");
        if (what & Closed) events.push_back(form.Name() + " closed");
    }
    void ControlChanged(forms::Form& form, const forms::Control& control, unsigned what) override {
        using namespace forms::Changed;
        const std::string name = form.Name() + "." + control.name;
        if (what & Caption) events.push_back(name + " caption");
        if (what & Visible) events.push_back(name + " visible");
        if (what & Geometry) events.push_back(name + " geometry");
        if (what & Items) events.push_back(name + " items");
        if (what & ListIndex) events.push_back(name + " listindex");
        if (what & Bar) events.push_back(name + " bar");
        if (what & Surface) events.push_back(name + " surface");
    }
    forms::Point CursorPos() override { return cursor; }
    void SetTopmost(forms::Form& form) override {
        ++topmostCalls;
        lastTopmost = form.Name();
    }
    forms::StackingWatch WatchStacking(std::function<void()> changed) override {
        stackingChanged = std::move(changed);
        return stackingWatch;
    }
    forms::Rect WorkArea() override { return workArea; }
    int TextWidth(const forms::Font&, const std::string& text) override {
        int characters = 0;
        for (const char c : text) {
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
        }
        return characters * pixelsPerCharacter;
    }
    forms::ClockSeparators Separators() override { return separators; }

    // How many events start with `prefix`.
    int Count(const std::string& prefix) const {
        int count = 0;
        for (const std::string& event : events) count += event.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }

    std::string lastTopmost;
};

}  // namespace testsupport
