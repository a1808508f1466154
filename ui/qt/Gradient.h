#pragma once
// `Picture1` of either window drawn with Qt: the 64 grey bands once the
// window's load step has switched them on, and the window's lines over them.
// Persistent drawing: the surface repaints itself whenever Qt asks, so
// nothing is lost when the window is covered or resized.

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <vector>

#include "forms/Control.h"

class QPainter;

namespace ui {

// Paints the bands of forms::GradientBands over a surface of `width` x
// `height` pixels.
void PaintGradient(QPainter& painter, int width, int height);

class PictureSurface : public QWidget {
  public:
    explicit PictureSurface(QWidget* parent = nullptr);

    void SetGradient(bool on);
    bool GradientPainted() const { return gradient_; }
    void SetLines(std::vector<forms::Line> lines, const QColor& color);
    const std::vector<forms::Line>& Lines() const { return lines_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The bands and lines, drawn once for the surface's size: the caption
    // that scrolls over them repaints its strip ten times a second.
    void Redraw();

    QPixmap picture_;
    bool stale_ = true;
    bool gradient_ = false;
    std::vector<forms::Line> lines_;
    QColor lineColor_ = Qt::black;
};

}  // namespace ui
