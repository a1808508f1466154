#include "ui/forms/Gradient.h"

#include <QPainter>
#include <cmath>

#include "ui/forms/Twips.h"

namespace ui {

namespace {

// std::nearbyint rounds to the nearest value, halves to even, in the default
// rounding mode.
int NearestRow(float row) {
    return static_cast<int>(std::nearbyint(row));
}

}  // namespace

void PaintGradient(QPainter& painter, int width, int height) {
    if (width <= 0 || height <= 0) return;
    for (int band = 1; band <= kGradientBands; ++band) {
        const float top = static_cast<float>(band - 1) * static_cast<float>(height) /
                          static_cast<float>(kGradientBands);
        const float bottom = static_cast<float>(band) * static_cast<float>(height) /
                             static_cast<float>(kGradientBands);
        const int grey = GradientGrey(band);
        const int y0 = NearestRow(top);
        const int y1 = NearestRow(bottom);
        if (y1 > y0) painter.fillRect(QRect(0, y0, width, y1 - y0), QColor(grey, grey, grey));
    }
}

PictureSurface::PictureSurface(QWidget* parent) : QWidget(parent) {
    // Everything on the surface is painted here; nothing behind it shows.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureSurface::PaintGradientOn() {
    gradient_ = true;
    update();
}

void PictureSurface::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (gradient_) {
        PaintGradient(painter, width(), height());
    } else {
        painter.fillRect(rect(), palette().color(QPalette::Window));
    }
    painter.setPen(QPen(lineColor_, 1));
    for (const SurfaceLine& line : lines_) {
        painter.drawLine(QPoint(Twips(line.from.x()), Twips(line.from.y())),
                         QPoint(Twips(line.to.x()), Twips(line.to.y())));
    }
}

}  // namespace ui
