#include "ui/qt/DogBar.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace ui {

DogBar::DogBar(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted each time, so Qt need not clear the background.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

template <typename Change>
void DogBar::ChangeFill(Change change) {
    const int before = FillWidth();
    change();
    if (FillWidth() != before) update();
}

void DogBar::SetBarvalue(std::int16_t value) {
    if (value == barvalue_) return;
    ChangeFill([&] { barvalue_ = value; });
}

void DogBar::SetBarmax(std::int32_t max) {
    if (max == barmax_) return;
    ChangeFill([&] { barmax_ = max; });
}

void DogBar::SetBarcolor1(const QColor& color) {
    if (color == barcolor1_) return;
    barcolor1_ = color;
    update();
}

void DogBar::SetBackcolor(const QColor& color) {
    if (color == backcolor_) return;
    backcolor_ = color;
    update();
}

int DogBar::FillWidth() const {
    if (barmax_ <= 0 || barvalue_ <= 0) return 0;
    const double share = std::min(1.0, static_cast<double>(barvalue_) / barmax_);
    return static_cast<int>(std::nearbyint(share * width()));
}

void DogBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int fill = FillWidth();
    if (fill < width()) painter.fillRect(fill, 0, width() - fill, height(), backcolor_);
    if (fill > 0) painter.fillRect(0, 0, fill, height(), barcolor1_);
}

}  // namespace ui
