// The progress bar, drawn on the offscreen platform and read back pixel by
// pixel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPixmap>
#include <QtTest/QTest>
#include <cstdint>
#include <limits>

#include "ui/qt/DogBar.h"

namespace {

constexpr int kWidth = 200;
const QColor kFill(0xFF, 0xFF, 0xFF);        // barcolor1 at start
const QColor kBackground(0x80, 0x80, 0x80);  // backcolor at start

// How many pixels of the middle row, from the left, have the fill colour;
// fails when the rest is not all background.
int MeasureFill(ui::DogBar& bar) {
    const QImage image = bar.grab().toImage();
    const int y = image.height() / 2;
    int fill = 0;
    while (fill < image.width() && QColor(image.pixel(fill, y)) == kFill) ++fill;
    for (int x = fill; x < image.width(); ++x) {
        EXPECT_EQ(QColor(image.pixel(x, y)), kBackground) << "at x = " << x;
        if (QColor(image.pixel(x, y)) != kBackground) break;
    }
    return fill;
}

struct FillCase {
    const char* name;
    std::int16_t barvalue;
    std::int32_t barmax;
    int pixels;  // of kWidth
};

class DogBarFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(DogBarFill, FillsInProportionToValueOverMax) {
    ui::DogBar bar;
    bar.resize(kWidth, 9);
    bar.SetBarmax(GetParam().barmax);
    bar.SetBarvalue(GetParam().barvalue);
    EXPECT_EQ(bar.FillWidth(), GetParam().pixels);
    EXPECT_EQ(MeasureFill(bar), GetParam().pixels);
}

constexpr auto kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr auto kInt16Max = std::numeric_limits<std::int16_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, DogBarFill,
    ::testing::Values(FillCase{"Quarter", 45, 180, 50}, FillCase{"Half", 90, 180, 100},
                      FillCase{"Start", 0, 180, 0}, FillCase{"Full", 180, 180, kWidth},
                      FillCase{"PastTheEnd", 300, 180, kWidth}, FillCase{"Negative", -5, 180, 0},
                      FillCase{"MaxZero", 5, 0, 0}, FillCase{"MaxNegative", 5, -3, 0},
                      FillCase{"NothingLoaded", 0, 0, 0},
                      FillCase{"HugeMax", kInt16Max, kInt32Max, 0},
                      FillCase{"LargestValue", kInt16Max, kInt16Max, kWidth}),
    [](const auto& info) { return std::string(info.param.name); });

class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// The progress timer writes both properties every 10 ms while a song plays;
// only a write that moves the fill by a pixel may cost a repaint.
TEST(DogBar, RepaintsOnlyWhenTheFillMoves) {
    ui::DogBar bar;
    bar.resize(kWidth, 9);
    bar.SetBarmax(1000);
    bar.SetBarvalue(100);
    PaintCounter counter;
    bar.installEventFilter(&counter);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QApplication::processEvents();
    counter.paints = 0;

    bar.SetBarmax(1000);
    bar.SetBarvalue(100);
    bar.SetBarvalue(101);  // 20.2 pixels: still 20
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);

    bar.SetBarvalue(500);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(MeasureFill(bar), 100);  // grab() paints too
    counter.paints = 0;

    bar.SetBarmax(0);  // the song was unloaded
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(MeasureFill(bar), 0);
}

TEST(DogBar, StoredSettingsChangeTheColours) {
    ui::DogBar bar;
    bar.resize(kWidth, 9);
    EXPECT_EQ(bar.Barstyle(), 0);
    bar.SetBarmax(2);
    bar.SetBarvalue(1);
    bar.SetBarcolor1(QColor(0xFF, 0, 0));
    bar.SetBackcolor(QColor(0, 0, 0xFF));
    const QImage image = bar.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(10, 4)), QColor(0xFF, 0, 0));
    EXPECT_EQ(QColor(image.pixel(kWidth - 10, 4)), QColor(0, 0, 0xFF));
}

}  // namespace
