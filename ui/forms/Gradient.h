#pragma once
// The picture surface both windows stand on: 64 horizontal grey bands, near
// white at the top and black at the bottom, with the window's lines drawn
// over them.

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <vector>

class QPainter;

namespace ui {

inline constexpr int kGradientBands = 64;

// Grey level of band `band` (1 to 64): 252 for the first, 0 for the last.
constexpr int GradientGrey(int band) {
    return 256 - 4 * band;
}

// Paints the 64 bands over a surface of `width` x `height` pixels. Band i
// runs from row (i - 1) * H / 64 to i * H / 64, computed in single precision
// and rounded to the nearest row (halves to even), so the bands tile the
// surface with no gap and no overlap whatever its height.
void PaintGradient(QPainter& painter, int width, int height);

// A straight line drawn on the surface, in twips relative to the surface.
struct SurfaceLine {
    QString name;
    QPoint from;
    QPoint to;
};

// `Picture1` of either window. Persistent drawing: the surface repaints the
// gradient and its lines itself whenever Qt asks, so nothing is lost when the
// window is covered or resized.
class PictureSurface : public QWidget {
  public:
    explicit PictureSurface(QWidget* parent = nullptr);

    // Turns the gradient on (the windows' load steps do this).
    void PaintGradientOn();
    bool GradientPainted() const { return gradient_; }

    void AddLine(SurfaceLine line) { lines_.push_back(std::move(line)); }
    const std::vector<SurfaceLine>& Lines() const { return lines_; }
    void SetLineColor(const QColor& color) { lineColor_ = color; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool gradient_ = false;
    std::vector<SurfaceLine> lines_;
    QColor lineColor_ = Qt::black;
};

}  // namespace ui
