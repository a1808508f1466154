#include "forms/Form.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace forms {

namespace {

// A twip position as the window keeps it: rounded to the nearest value,
// halves to even, and held inside 32 bits however far the cursor is.
std::int32_t ToTwipPosition(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded > std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (rounded > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

Form::Form(forms::FrontEnd& frontEnd, std::string name, std::string caption)
    : frontEnd_(frontEnd), name_(std::move(name)), caption_(std::move(caption)) {}

Form::~Form() = default;

const Control* Form::Find(std::string_view name) const {
    for (const auto& control : controls_) {
        if (control->name == name) return control.get();
    }
    return nullptr;
}

Control& Form::Get(std::string_view name) {
    for (const auto& control : controls_) {
        if (control->name == name) return *control;
    }
    throw std::logic_error("no control named " + std::string(name));
}

Control& Form::Add(Control control) {
    controls_.push_back(std::make_unique<Control>(std::move(control)));
    return *controls_.back();
}

void Form::Announce() {
    if (announced_) return;
    announced_ = true;
    frontEnd_.FormCreated(*this);
}

void Form::Report(Control& control, unsigned what) {
    if (announced_ && what != 0) frontEnd_.ControlChanged(*this, control, what);
}

// --- controls ----------------------------------------------------------------

void Form::SetCaption(Control& control, const std::string& caption) {
    if (control.caption == caption) return;
    control.caption = caption;
    Report(control, Changed::Caption);
}

void Form::SetCaptionSized(Control& control, const std::string& caption) {
    if (control.caption == caption) return;
    control.caption = caption;
    Report(control, Changed::Caption);
    SizeToText(control);
}

void Form::SizeToText(Control& control) {
    const int width = PixelsToTwips(frontEnd_.TextWidth(control.font, control.caption) + 1);
    if (control.alignment == Alignment::Right) {
        const int right = control.left + control.width;
        SetGeometry(control, right - width, control.top, width, control.height);
    } else {
        SetGeometry(control, control.left, control.top, width, control.height);
    }
}

void Form::SetVisible(Control& control, bool visible) {
    if (control.visible == visible) return;
    control.visible = visible;
    Report(control, Changed::Visible);
}

void Form::SetGeometry(Control& control, int left, int top, int width, int height) {
    if (control.left == left && control.top == top && control.width == width &&
        control.height == height) {
        return;
    }
    control.left = left;
    control.top = top;
    control.width = width;
    control.height = height;
    Report(control, Changed::Geometry);
}

void Form::SetItems(Control& control, std::vector<std::string> items) {
    if (control.items == items) return;
    control.items = std::move(items);
    Report(control, Changed::Items);
}

void Form::SetListIndex(Control& control, int index) {
    if (control.listIndex == index) return;
    control.listIndex = index;
    Report(control, Changed::ListIndex);
}

void Form::SetBar(Control& control, std::int16_t barvalue, std::int32_t barmax) {
    if (control.bar.barvalue == barvalue && control.bar.barmax == barmax) return;
    control.bar.barvalue = barvalue;
    control.bar.barmax = barmax;
    Report(control, Changed::Bar);
}

void Form::SetGradient(Control& control, bool on) {
    if (control.gradient == on) return;
    control.gradient = on;
    Report(control, Changed::Surface);
}

// --- the window ----------------------------------------------------------------

void Form::SetFormVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    if (announced_) frontEnd_.FormChanged(*this, FormChange::Visible);
}

void Form::SetPosition(std::int32_t left, std::int32_t top) {
    placed_ = true;
    if (left_ == left && top_ == top) return;
    left_ = left;
    top_ = top;
    if (announced_) frontEnd_.FormChanged(*this, FormChange::Position);
}

void Form::FollowMove(int leftPixels, int topPixels) {
    placed_ = true;
    std::int32_t left = left_;
    std::int32_t top = top_;
    if (leftPixels != Pixels(left_)) left = PixelsToTwips(leftPixels);
    if (topPixels != Pixels(top_)) top = PixelsToTwips(topPixels);
    if (left == left_ && top == top_) return;
    // Where the window already is: nothing to tell the front end.
    left_ = left;
    top_ = top;
}

void Form::SetSize(int width, int height) {
    if (width_ == width && height_ == height) return;
    width_ = width;
    height_ = height;
    if (announced_) frontEnd_.FormChanged(*this, FormChange::Size);
}

void Form::SetState(WindowState state) {
    if (state_ == state) return;
    state_ = state;
    if (announced_) frontEnd_.FormChanged(*this, FormChange::WindowState);
}

void Form::MarkClosed() {
    if (closed_) return;
    closed_ = true;
    visible_ = false;
    if (announced_) frontEnd_.FormChanged(*this, FormChange::Closed);
}

// --- what the user did -------------------------------------------------------------

void Form::MouseDown(std::string_view name, float x, float y, MouseButton button) {
    const Control* control = Find(name);
    if (!control) return;
    pressed_ = button == MouseButton::Left ? std::string(name) : std::string();
    if (control->dragHandle) {
        dragging_ = 1;
        grabX_ = x;
        grabY_ = y;
    }
}

void Form::MouseMove(std::string_view name) {
    const Control* control = Find(name);
    if (!control || !control->dragHandle || dragging_ != 1) return;
    // The grab point is in pixels but comes off twips: the window settles
    // with the cursor near its corner rather than where the handle was held,
    // which is how these windows have always moved.
    const Point cursor = frontEnd_.CursorPos();
    const double cx = static_cast<double>(cursor.x) * kTwipsPerPixel;
    const double cy = static_cast<double>(cursor.y) * kTwipsPerPixel;
    SetTop(ToTwipPosition(cy - static_cast<double>(grabY_)));
    SetLeft(ToTwipPosition(cx - static_cast<double>(grabX_)));
}

void Form::MouseUp(std::string_view name, MouseButton button, Release release) {
    const Control* control = Find(name);
    if (!control) return;
    if (control->dragHandle) dragging_ = 0;
    const bool left = button == MouseButton::Left;
    const bool click = left && release == Release::Over && pressed_ == name && control->clickable;
    if (left) pressed_.clear();
    if (click) OnClick(*control);
}

bool Form::Click(std::string_view name) {
    const Control* control = Find(name);
    if (!control) return false;
    const float x = static_cast<float>(Pixels(control->width)) / 2.0f;
    const float y = static_cast<float>(Pixels(control->height)) / 2.0f;
    MouseDown(name, x, y, MouseButton::Left);
    MouseUp(name, MouseButton::Left, Release::Over);
    return true;
}

void Form::SelectItem(std::string_view, int) {}

void Form::Close() {
    MarkClosed();
}

}  // namespace forms
