#pragma once
// A label that acts on a single click, as the windows' text and glyph buttons
// do. A click is a press and a release of the left button over the label.

#include <QLabel>
#include <functional>

namespace ui {

class ClickableLabel : public QLabel {
  public:
    using QLabel::QLabel;

    void SetOnClick(std::function<void()> onClick) { onClick_ = std::move(onClick); }
    bool Clickable() const { return static_cast<bool>(onClick_); }
    // Runs the click handler as a mouse click would (the console's /click).
    void Click();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    std::function<void()> onClick_;
    bool pressed_ = false;
};

}  // namespace ui
