#include "ui/qt/Gradient.h"

#include <QPaintEvent>
#include <QPainter>

#include "forms/Gradient.h"

namespace ui {

void PaintGradient(QPainter& painter, int width, int height) {
    if (width <= 0) return;
    for (const forms::GradientBand& band : forms::GradientBands(height)) {
        painter.fillRect(QRect(0, band.top, width, band.bottom - band.top),
                         QColor(band.grey, band.grey, band.grey));
    }
}

PictureSurface::PictureSurface(QWidget* parent) : QWidget(parent) {
    // Everything on the surface is painted here; nothing behind it shows.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureSurface::SetGradient(bool on) {
    if (gradient_ == on) return;
    gradient_ = on;
    stale_ = true;
    update();
}

void PictureSurface::SetLines(std::vector<forms::Line> lines, const QColor& color) {
    lines_ = std::move(lines);
    lineColor_ = color;
    stale_ = true;
    update();
}

void PictureSurface::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatioF();
    if (stale_ || picture_.deviceIndependentSize() != QSizeF(size()) ||
        picture_.devicePixelRatio() != ratio) {
        Redraw();
    }
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawPixmap(QRectF(area), picture_,
                       QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
}

void PictureSurface::Redraw() {
    stale_ = false;
    const qreal ratio = devicePixelRatioF();
    picture_ = QPixmap(size() * ratio);
    if (picture_.isNull()) return;
    picture_.setDevicePixelRatio(ratio);
    QPainter painter(&picture_);
    if (gradient_) {
        PaintGradient(painter, width(), height());
    } else {
        painter.fillRect(rect(), palette().color(QPalette::Window));
    }
    painter.setPen(QPen(lineColor_, 1));
    for (const forms::Line& line : lines_) {
        painter.drawLine(QPoint(forms::Pixels(line.x1), forms::Pixels(line.y1)),
                         QPoint(forms::Pixels(line.x2), forms::Pixels(line.y2)));
    }
}

}  // namespace ui
