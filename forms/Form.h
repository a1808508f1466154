#pragma once
// A window of the program as data: its caption, visibility, place and size
// in twips, its window state, and its controls. Subclasses hold the
// behaviour; every change goes through the setters here, which tell the
// front end exactly what changed and nothing when nothing did.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/WindowState.h"
#include "forms/Control.h"
#include "forms/FrontEnd.h"

namespace forms {

// The engine's: its commands set the main window's through the Host.
using engine::WindowState;

// The mouse button the user pressed or let go.
enum class MouseButton { Left, Other };
// Where the pointer was when the button came up: still over the control it
// went down on, or outside it.
enum class Release { Over, Outside };

class Form {
  public:
    Form(forms::FrontEnd& frontEnd, std::string name, std::string caption);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Caption() const { return caption_; }
    bool Visible() const { return visible_; }
    std::int32_t LeftTwips() const { return left_; }
    std::int32_t TopTwips() const { return top_; }
    int WidthTwips() const { return width_; }
    int HeightTwips() const { return height_; }
    WindowState ShownState() const { return state_; }
    bool Closed() const { return closed_; }

    // Every control, in the order they stand (later ones in front).
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
    // The control with this name, or nullptr.
    const Control* Find(std::string_view name) const;

    // --- what the user did, from the front end ---
    // A press of a mouse button on a control, a move over it, and the
    // release; x and y are the pointer's place inside the control, in
    // pixels. A press and a release of the left button with the pointer
    // still over the same control make a click. Pressing a drag handle and
    // moving moves the window, whatever the button.
    void MouseDown(std::string_view control, float x, float y,
                   MouseButton button = MouseButton::Left);
    void MouseMove(std::string_view control);
    void MouseUp(std::string_view control, MouseButton button = MouseButton::Left,
                 Release release = Release::Over);
    // A press and a release of the left button in the middle of a control,
    // as the console's /click makes them. False when there is no such control.
    bool Click(std::string_view control);
    // The user selected line `index` of a list.
    virtual void SelectItem(std::string_view control, int index);
    // The user (or the system) closes the window.
    virtual void Close();

    // Drag-to-move: 1 while a drag handle is held; the grab point inside it.
    std::int16_t Dragging() const { return dragging_; }
    float GrabX() const { return grabX_; }
    float GrabY() const { return grabY_; }
    // The window system placed the window somewhere else (its first
    // placement, a window manager): the form follows, in pixels. Our own
    // moves land on the rounded pixel and keep their exact twips.
    void FollowMove(int leftPixels, int topPixels);
    // False until the window has a place: a form that never sets one (the
    // mini screen) is placed where the window system puts a new window, and
    // the front end then reports that place with FollowMove.
    bool Placed() const { return placed_; }
    // The window system minimised, restored or maximised the window (the
    // taskbar, a window manager): the form follows, so that the next state
    // it sets is compared with the state the window is really in.
    void FollowState(WindowState state) {
        state_ = state;
        StateFollowed();
    }

  protected:
    // The window system changed the window's state (FollowState).
    virtual void StateFollowed() {}
    // A click on a clickable control.
    virtual void OnClick(const Control& control) = 0;

    forms::FrontEnd& FrontEnd() { return frontEnd_; }
    // Tells the front end the form exists; call once the controls are added.
    void Announce();
    Control& Add(Control control);
    Control& Get(std::string_view name);

    void SetCaption(Control& control, const std::string& caption);
    void SetVisible(Control& control, bool visible);
    void SetGeometry(Control& control, int left, int top, int width, int height);
    void SetItems(Control& control, std::vector<std::string> items);
    void SetListIndex(Control& control, int index);
    void SetBar(Control& control, std::int16_t barvalue, std::int32_t barmax);
    void SetGradient(Control& control, bool on);
    // Sets the caption of a label that sizes to its text: its width follows
    // (a right-aligned label keeps its right edge, others their left edge).
    void SetCaptionSized(Control& control, const std::string& caption);
    void SizeToText(Control& control);

    void SetFormVisible(bool visible);
    void SetPosition(std::int32_t left, std::int32_t top);
    void SetLeft(std::int32_t left) { SetPosition(left, top_); }
    void SetTop(std::int32_t top) { SetPosition(left_, top); }
    void SetSize(int width, int height);
    void SetState(WindowState state);
    void MarkClosed();

  private:
    void Report(Control& control, unsigned what);

    forms::FrontEnd& frontEnd_;
    std::string name_;
    std::string caption_;
    std::vector<std::unique_ptr<Control>> controls_;
    bool announced_ = false;
    bool visible_ = false;
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    int width_ = 0;
    int height_ = 0;
    WindowState state_ = WindowState::Normal;
    bool placed_ = false;
    bool closed_ = false;

    std::int16_t dragging_ = 0;
    float grabX_ = 0;
    float grabY_ = 0;
    std::string pressed_;  // the control the left button went down on
};

}  // namespace forms
