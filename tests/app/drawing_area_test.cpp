// The drawing area widget: the selection is painted over its raster, never into it.

#include <gtest/gtest.h>

#include "form_test_support.h"

namespace kestrel::test {
namespace {

TEST(DrawingArea, SelectionIsPaintedOverTheRasterNotIntoIt) {
    app::DrawingArea area(15);
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
}  // namespace kestrel::test
