#include "ui/forms/DragToMove.h"

#include <QCursor>
#include <QMouseEvent>
#include <QWidget>
#include <cmath>
#include <limits>

#include "ui/forms/Twips.h"

namespace ui {

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

DragToMove::DragToMove(QWidget* handle, CursorSource cursor,
                       std::function<void(std::int32_t)> setTop,
                       std::function<void(std::int32_t)> setLeft)
    : QObject(handle),
      cursor_(std::move(cursor)),
      setTop_(std::move(setTop)),
      setLeft_(std::move(setLeft)) {
    if (!cursor_) cursor_ = [] { return QCursor::pos(); };
    // Without tracking a move with no button held never reaches the filter,
    // and the "no press, no move" rule would hold only by accident.
    handle->setMouseTracking(true);
    handle->installEventFilter(this);
}

bool DragToMove::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            dragging_ = 1;
            grabX_ = static_cast<float>(mouse->position().x());
            grabY_ = static_cast<float>(mouse->position().y());
            break;
        }
        case QEvent::MouseMove:
            if (dragging_ == 1) {
                const QPoint cursor = cursor_();
                const double cx = static_cast<double>(cursor.x()) * kTwipsPerPixel;
                const double cy = static_cast<double>(cursor.y()) * kTwipsPerPixel;
                setTop_(ToTwipPosition(cy - static_cast<double>(grabY_)));
                setLeft_(ToTwipPosition(cx - static_cast<double>(grabX_)));
            }
            break;
        case QEvent::MouseButtonRelease:
            dragging_ = 0;
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ui
