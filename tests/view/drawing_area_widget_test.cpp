// The drawing area widget: a persistent raster that painting only shows.

#include <gtest/gtest.h>

#include "form_test_support.h"

namespace Kestrel_Test {
namespace {

TEST(DrawingArea, ResizeKeepsOldPixelsTopLeftAndFillsTheRestWhite) {
    Kestrel_View::DrawingArea area(15);
    area.resize(100, 80);
    area.Surface().Line(0, 0, 99 * 15, 79 * 15, {0, 0, 128});
    const QImage drawn = area.Raster().copy();
    EXPECT_EQ(CountColour(drawn, Blue), 100);
    for (const QSize size : {QSize(150, 50), QSize(40, 120)}) {
        area.resize(size);
        QImage after = area.Raster().copy();
        ASSERT_EQ(after.size(), size);
        const QRect kept = drawn.rect().intersected(after.rect());
        EXPECT_EQ(after.copy(kept), drawn.copy(kept));
        for (int y = 0; y < kept.height(); ++y)
            for (int x = 0; x < kept.width(); ++x) after.setPixel(x, y, qRgb(255, 255, 255));
        EXPECT_TRUE(AllWhite(after));
        area.resize(100, 80);
    }
}

TEST(DrawingArea, SelectionIsPaintedOverTheRasterNotIntoIt) {
    Kestrel_View::DrawingArea area(15);
    area.resize(100, 80);
    area.SetShape({20 * 15, 10 * 15, 30 * 15, 20 * 15, true});
    const QImage shown = area.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(20, 10), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(49, 29), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(35, 20), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(50, 30), qRgb(255, 255, 255));
    EXPECT_TRUE(AllWhite(area.Raster()));
    area.SetShape({});
    EXPECT_TRUE(AllWhite(area.grab().toImage().convertToFormat(QImage::Format_RGB32)));
}

}  // namespace
}  // namespace Kestrel_Test
