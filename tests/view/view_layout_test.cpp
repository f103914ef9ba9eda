#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "view/view_layout.h"

using namespace kestrel::view;

namespace {

constexpr double T = 255;  // scroll bar thickness

// A window whose viewport is 9000 x 6700 at (0, 400).
WindowMetrics Window(double innerWidth = 9000, double innerHeight = 7400) {
    return {innerWidth, innerHeight, innerWidth + 240, innerHeight + 900, 400, 300, T};
}

ViewLayout Loaded(const WindowMetrics& m = Window()) {
    ViewLayout layout;
    StartLayout(layout, m);
    FitAreaToViewport(layout, m);
    return layout;
}

void Scroll(ViewLayout& layout, std::int16_t h, std::int16_t v) {
    layout.hscroll.value = h;
    FollowHorizontalBar(layout);
    layout.vscroll.value = v;
    FollowVerticalBar(layout);
}

void ExpectBar(const ScrollBarState& bar, int maximum, int large, int small) {
    EXPECT_EQ(std::tuple(bar.visible, bar.maximum, bar.largeStep, bar.smallStep),
              std::tuple(true, maximum, large, small));
}

TEST(Layout, ResizeResetsTheScrolling) {
    ViewLayout layout = Loaded();
    EXPECT_EQ(layout.viewport, (Rect{0, 400, 9000, 6700}));  // between tool bar and status bar
    ASSERT_TRUE(EnlargeArea(layout, Window()));
    Scroll(layout, 700, 300);
    EXPECT_EQ(layout.area, (Rect{-700, -300, 18000, 13400}));
    FitAreaToViewport(layout, Window(12000, 5000));
    EXPECT_EQ(layout.area, (Rect{0, 0, 12000, 4300}));
    EXPECT_EQ(layout.hscroll.value + layout.vscroll.value, 0);
    EXPECT_TRUE(layout.hscroll.visible && layout.vscroll.visible);  // a resize hides nothing
}

TEST(Zoom, StepsAreRoundedAndAtLeastOne) {
    const int cases[][4] = {{545, 545, 54, 5}, {555, 555, 56, 6}, {5, 5, 1, 1}};  // overflow, max, large, small
    for (const auto& [overflow, maximum, large, small] : cases) {
        ViewLayout layout = Loaded();
        layout.area.width = 100;  // no horizontal overflow
        layout.area.height = (6700 + overflow) / 2.0;
        ASSERT_TRUE(EnlargeArea(layout, Window()));
        ExpectBar(layout.vscroll, maximum, large, small);
        EXPECT_FALSE(layout.hscroll.visible);
    }
}

TEST(Zoom, RefusesSizesBeyondTheScrollRangeAndTooSmallToSee) {
    // 2w - p1 (or w/2 - p1) must fit int16, and a reduced area keeps 64 pixels (960 twips) on its
    // longer side; rows: viewport w, h, area w, h, 1 to zoom in (0 out), 1 when accepted.
    const double cases[][6] = {
        {1000, 1000, 16883.5, 1000, 1, 1}, {1000, 1000, 16884, 1000, 1, 0},  {1000, 1000, 1000, 16884, 1, 0},
        {40000, 1000, 15000, 1000, 0, 1},  {40000, 1000, 14000, 1000, 0, 0}, {1000, 1000, 67536, 1000, 0, 0},
        {1000, 1000, 1920, 500, 0, 1},     {1000, 1000, 1919, 1000, 0, 0},   {1000, 1000, 300, 1920, 0, 1}};
    for (const auto& [viewportW, viewportH, areaW, areaH, in, accepted] : cases) {
        const WindowMetrics m = Window(viewportW, viewportH + 700);
        ViewLayout layout = Loaded(m);
        layout.area.width = areaW;
        layout.area.height = areaH;
        Scroll(layout, 5, 6);
        const ViewLayout before = layout;
        EXPECT_EQ(in ? EnlargeArea(layout, m) : ReduceArea(layout, m), accepted == 1) << areaW << "x" << areaH;
        EXPECT_TRUE(accepted || (layout.area == before.area && layout.hscroll.value == 5));
    }
}

TEST(Zoom, InShowsBarsThatReachEveryPartOutAndFitHideThem) {
    for (const bool fit : {false, true}) {
        ViewLayout layout = Loaded();
        ASSERT_TRUE(EnlargeArea(layout, Window()));
        // Overflow beyond the viewport less the other bar: 18000 - 8745, 13400 - 6445.
        ExpectBar(layout.hscroll, 9255, 926, 93);
        ExpectBar(layout.vscroll, 6955, 696, 70);
        ASSERT_TRUE(EnlargeArea(layout, Window()));
        Scroll(layout, layout.hscroll.maximum, layout.vscroll.maximum);
        // The far corner of the drawing area meets the corner between the bars.
        EXPECT_EQ(layout.area.left + layout.area.width, 9000 - T);
        EXPECT_EQ(layout.area.top + layout.area.height, 6700 - T);
        if (fit)
            FitAreaHidingBars(layout, Window());
        else
            ASSERT_TRUE(ReduceArea(layout, Window()) && ReduceArea(layout, Window()));
        EXPECT_EQ(layout.area, (Rect{0, 0, 9000, 6700}));
        EXPECT_FALSE(layout.hscroll.visible || layout.vscroll.visible);
        EXPECT_EQ(layout.hscroll.value + layout.vscroll.value, 0);
    }
}

}  // namespace
