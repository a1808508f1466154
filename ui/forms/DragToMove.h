#pragma once
// Drag-to-move: holding a control moves its window.
//
// Press (any button): dragging = 1 and the pointer's position inside the
// control is kept as grabX, grabY (pixels). Move: only while dragging is 1,
// the cursor's screen position (cx, cy) in pixels is read and the window's
// top becomes cy * 15 - grabY, then its left cx * 15 - grabX, in twips.
// Release: dragging = 0. The grab offset is taken in pixels but subtracted
// from twips, so the window settles with the cursor near its corner rather
// than where the control was held; that is how the windows have always moved.

#include <QObject>
#include <QPoint>
#include <cstdint>
#include <functional>

class QWidget;

namespace ui {

// Where the pointer is on the screen, in pixels. Tests inject one; the
// windows use QCursor::pos() otherwise.
using CursorSource = std::function<QPoint()>;

class DragToMove : public QObject {
  public:
    // Watches `handle` (install on the widget that receives the mouse events,
    // such as a list's viewport). The callbacks set the window's top and left
    // in twips.
    DragToMove(QWidget* handle, CursorSource cursor, std::function<void(std::int32_t)> setTop,
               std::function<void(std::int32_t)> setLeft);

    std::int16_t Dragging() const { return dragging_; }
    float GrabX() const { return grabX_; }
    float GrabY() const { return grabY_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    CursorSource cursor_;
    std::function<void(std::int32_t)> setTop_;
    std::function<void(std::int32_t)> setLeft_;
    std::int16_t dragging_ = 0;
    float grabX_ = 0;
    float grabY_ = 0;
};

}  // namespace ui
