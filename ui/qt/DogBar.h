#pragma once
// DogBar1: the song-position bar of the mp3 panel.
//
// A plain bar: the background colour everywhere, and from the left edge a
// fill in proportion to barvalue / barmax. The progress timer writes both
// every 10 ms, so a write that would not change a single pixel repaints
// nothing.

#include <QColor>
#include <QWidget>
#include <cstdint>

namespace ui {

class DogBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qint16 barvalue READ Barvalue WRITE SetBarvalue)
    Q_PROPERTY(qint32 barmax READ Barmax WRITE SetBarmax)
    Q_PROPERTY(int barstyle READ Barstyle WRITE SetBarstyle)
    Q_PROPERTY(QColor barcolor1 READ Barcolor1 WRITE SetBarcolor1)
    Q_PROPERTY(QColor backcolor READ Backcolor WRITE SetBackcolor)

  public:
    explicit DogBar(QWidget* parent = nullptr);

    std::int16_t Barvalue() const { return barvalue_; }
    void SetBarvalue(std::int16_t value);
    std::int32_t Barmax() const { return barmax_; }
    void SetBarmax(std::int32_t max);

    // Stored settings for the bar's look. Only style 0, a solid fill from the
    // left, exists; other numbers are kept and drawn the same way.
    int Barstyle() const { return barstyle_; }
    void SetBarstyle(int style) { barstyle_ = style; }
    QColor Barcolor1() const { return barcolor1_; }
    void SetBarcolor1(const QColor& color);
    QColor Backcolor() const { return backcolor_; }
    void SetBackcolor(const QColor& color);

    // Width of the fill in pixels at the current size: 0 when barmax is not
    // positive or barvalue is not positive, the full width from barmax up.
    int FillWidth() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Applies a change and repaints only when the fill moved by a pixel.
    template <typename Change>
    void ChangeFill(Change change);

    std::int16_t barvalue_ = 0;
    std::int32_t barmax_ = 0;
    int barstyle_ = 0;
    QColor barcolor1_{0xFF, 0xFF, 0xFF};
    QColor backcolor_{0x80, 0x80, 0x80};
};

}  // namespace ui
