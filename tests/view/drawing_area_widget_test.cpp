// The drawing area widget: a persistent raster that painting only shows.

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "form_test_support.h"
#include "view/drawing_area.h"
#include "view/raster_surface.h"

namespace Kestrel_Test {
namespace {

constexpr double TwipsPerPixel = 15;

class DrawingAreaTest : public ::testing::Test {
protected:
    void SetUp() override { area.resize(100, 80); }

    void DrawDiagonal() {
        Kestrel_View::RasterSurface s = area.Surface();
        s.Line(0, 0, 99 * TwipsPerPixel, 79 * TwipsPerPixel, {0, 0, 128});
    }

    Kestrel_View::DrawingArea area{TwipsPerPixel};
};

TEST_F(DrawingAreaTest, StartsWhiteAtItsOwnSize) {
    const QImage& r = area.Raster();
    EXPECT_EQ(r.size(), QSize(100, 80));
    EXPECT_EQ(r.format(), QImage::Format_RGB32);
    EXPECT_TRUE(AllWhite(r));
}

TEST_F(DrawingAreaTest, SurfaceDrawsIntoTheRasterInTwips) {
    Kestrel_View::RasterSurface s = area.Surface();
    EXPECT_DOUBLE_EQ(s.Width(), 100 * TwipsPerPixel);
    EXPECT_DOUBLE_EQ(s.Height(), 80 * TwipsPerPixel);
    s.Line(10 * TwipsPerPixel, 5 * TwipsPerPixel, 60 * TwipsPerPixel, 5 * TwipsPerPixel,
           {128, 0, 0});
    EXPECT_EQ(area.Raster().pixel(30, 5), Red);
    EXPECT_EQ(CountColour(area.Raster(), Red), 51);
}

struct ResizeCase {
    const char* name;
    QSize size;
};

void PrintTo(const ResizeCase& c, std::ostream* os) {
    *os << c.name;
}

class DrawingAreaResizeTest : public DrawingAreaTest,
                              public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(DrawingAreaResizeTest, KeepsOldPixelsTopLeftAndFillsTheRestWhite) {
    DrawDiagonal();
    const QImage before = area.Raster().copy();
    const QSize size = GetParam().size;
    area.resize(size);
    const QImage& after = area.Raster();
    ASSERT_EQ(after.size(), size);
    const QRect kept = QRect(QPoint(0, 0), before.size()).intersected(after.rect());
    EXPECT_EQ(after.copy(kept), before.copy(kept));
    QImage rest = after.copy();
    for (int y = 0; y < kept.height(); ++y) {
        for (int x = 0; x < kept.width(); ++x) {
            rest.setPixel(x, y, qRgb(255, 255, 255));
        }
    }
    EXPECT_TRUE(AllWhite(rest));
}

INSTANTIATE_TEST_SUITE_P(Sizes, DrawingAreaResizeTest,
                         ::testing::Values(ResizeCase{"Larger", QSize(160, 120)},
                                           ResizeCase{"Smaller", QSize(40, 30)},
                                           ResizeCase{"Wider", QSize(150, 50)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DrawingAreaTest, SelectionIsPaintedOverTheRasterNotIntoIt) {
    area.SetShape(
        {20 * TwipsPerPixel, 10 * TwipsPerPixel, 30 * TwipsPerPixel, 20 * TwipsPerPixel, true});
    const QImage shown = area.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(20, 10), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(49, 29), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(35, 20), qRgb(255, 255, 255));
    EXPECT_EQ(shown.pixel(50, 30), qRgb(255, 255, 255));
    EXPECT_TRUE(AllWhite(area.Raster()));

    area.SetShape({});
    EXPECT_TRUE(AllWhite(area.grab().toImage().convertToFormat(QImage::Format_RGB32)));
}

TEST_F(DrawingAreaTest, PaintingShowsTheRaster) {
    DrawDiagonal();
    const QImage shown = area.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, area.Raster());
}

}  // namespace
}  // namespace Kestrel_Test
