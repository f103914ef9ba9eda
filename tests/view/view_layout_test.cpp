#include <gtest/gtest.h>

#include <cmath>
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

// Where the area point under viewport point (x, y) lies, as a share of the area.
std::pair<double, double> Under(const ViewLayout& l, double x, double y) {
    return {(x - l.area.left) / l.area.width, (y - l.area.top) / l.area.height};
}

TEST(Layout, ResizeFitsAFittedViewAndKeepsAZoomedOnesScaleAndCentre) {
    ViewLayout layout = Loaded();
    EXPECT_EQ(layout.viewport, (Rect{0, 400, 9000, 6700}));  // between tool bar and status bar
    FollowWindow(layout, Window(12000, 5000));
    EXPECT_EQ(layout.area, (Rect{0, 0, 12000, 4300}));
    EXPECT_FALSE(layout.hscroll.visible || layout.vscroll.visible);

    layout = Loaded();
    ASSERT_TRUE(EnlargeArea(layout, Window()));
    Scroll(layout, 7000, 3000);
    const auto centre = Under(layout, 4500, 3350);
    FollowWindow(layout, Window(12000, 5000));
    EXPECT_EQ(std::pair(layout.area.width, layout.area.height), std::pair(18000.0, 13400.0));
    const auto [x, y] = Under(layout, 6000, 2150);
    EXPECT_LT(std::hypot(x - centre.first, y - centre.second), 1e-12);
    FollowWindow(layout, Window(30000, 20000));  // larger than the area: it goes back to the origin
    EXPECT_EQ(std::pair(layout.area.left, layout.area.top), std::pair(0.0, 0.0));
    EXPECT_FALSE(layout.hscroll.visible || layout.vscroll.visible || layout.fitted);
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

TEST(Zoom, RefusesFactorsBeyondTheLimitsAndAreasTooSmallToSee) {
    // A reduced area keeps 64 pixels (960 twips) on its longer side; rows: area w, h, the
    // limits, 1 to zoom in (0 out), 1 when accepted.
    const double cases[][6] = {{4000, 4000, 0.5, 2, 1, 1},  {4000, 4000, 0.5, 1.999, 1, 0}, {4000, 4000, 0.5, 2, 0, 1},
                               {4000, 4000, 0.51, 2, 0, 0}, {1920, 500, 0, 1e9, 0, 1},      {1919, 1000, 0, 1e9, 0, 0},
                               {300, 1920, 0, 1e9, 0, 1},   {80000, 900000, 0, 1e9, 1, 1}};
    for (const auto& [areaW, areaH, least, most, in, accepted] : cases) {
        ViewLayout layout = Loaded();
        layout.area.width = areaW;
        layout.area.height = areaH;
        const ViewLayout before = layout;
        const ZoomLimits limits{least, most};
        EXPECT_EQ(in ? EnlargeArea(layout, Window(), limits) : ReduceArea(layout, Window(), limits), accepted == 1)
            << areaW << "x" << areaH << " " << least << ".." << most;
        EXPECT_TRUE(accepted || layout.area == before.area);
    }
}

TEST(Zoom, InShowsBarsThatReachEveryPartOutAndFitHidesThem) {
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
            FitAreaToViewport(layout, Window());
        else
            ASSERT_TRUE(ReduceArea(layout, Window()) && ReduceArea(layout, Window()));
        EXPECT_EQ(layout.area, (Rect{0, 0, 9000, 6700}));
        EXPECT_FALSE(layout.hscroll.visible || layout.vscroll.visible);
        EXPECT_EQ(layout.hscroll.value + layout.vscroll.value, 0);
        EXPECT_EQ(layout.fitted, fit);
    }
}

// Past the 16-bit range the bars spread over the whole overflow: every part of a huge area
// is reachable by the bars, and the wheel's line stays as long as at the range's end.
TEST(Zoom, BarsReachEveryPartOfAnAreaBeyondSixteenBits) {
    ViewLayout layout = Loaded();
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(EnlargeArea(layout, Window()));  // 1024 times
    const double overflow = 9000 * 1024 - (9000 - T);
    EXPECT_EQ(layout.hscroll.maximum, 32767);
    EXPECT_DOUBLE_EQ(layout.hscroll.unit * 32767, overflow);
    Scroll(layout, 32767, 0);
    EXPECT_NEAR(layout.area.left + layout.area.width, 9000 - T, 1e-6);
    Scroll(layout, 16000, 0);
    const double before = layout.area.left;
    ASSERT_TRUE(ScrollByWheel(layout, true, -1, 3));
    EXPECT_DOUBLE_EQ(layout.area.left, before - 3 * 328);
    EXPECT_EQ(layout.hscroll.value, std::lround((3 * 328 - before) / layout.hscroll.unit));
    // Within the range a value is a twip, as ever.
    layout = Loaded();
    ASSERT_TRUE(EnlargeArea(layout, Window()));
    ASSERT_TRUE(ScrollByWheel(layout, true, -2, 3));
    EXPECT_EQ(layout.area.left, -2 * 3 * 93);
    EXPECT_EQ(layout.hscroll.value, 2 * 3 * 93);
}

TEST(Zoom, AboutAPointToARectangleAndPanning) {
    const ZoomLimits free{0, 1e12};
    // Rows: zoom factor and the viewport point it keeps still (twips), from twice the fit.
    const double rows[][3] = {{1.5, 3000, 2000}, {4, 100, 6000}, {1.25, 8000, 500}, {0.8, 4500, 3350}};
    for (const auto& [factor, x, y] : rows) {
        ViewLayout layout = Loaded();
        ASSERT_TRUE(ZoomAbout(layout, Window(), 2, 4500, 3350, free));
        const auto point = Under(layout, x, y);
        ASSERT_TRUE(ZoomAbout(layout, Window(), factor, x, y, free));
        EXPECT_LT(std::hypot(Under(layout, x, y).first - point.first, Under(layout, x, y).second - point.second),
                  1e-12);
    }
    ViewLayout layout = Loaded();
    EXPECT_FALSE(ZoomAbout(layout, Window(), 4, 0, 0, {0, 1}));  // held at the limit: nothing
    ASSERT_TRUE(ZoomAbout(layout, Window(), 4, 0, 0, {0, 3}));   // the limit, not beyond
    EXPECT_EQ(layout.area.width, 27000);
    // A rectangle fills what the bars leave of the viewport, centred.
    layout = Loaded();
    const Rect r{1000, 2000, 870, 500};
    const auto centre = Under(layout, r.left + r.width / 2, r.top + r.height / 2);
    ASSERT_TRUE(ZoomToRect(layout, Window(), r, free));
    EXPECT_NEAR(layout.area.width, 9000 * (9000 - T) / 870, 1e-6);
    const auto [cx, cy] = Under(layout, (9000 - T) / 2, (6700 - T) / 2);
    EXPECT_LT(std::hypot(cx - centre.first, cy - centre.second), 1e-12);
    EXPECT_FALSE(ZoomToRect(layout, Window(), {10, 10, 0, 50}, free));
    // Panning moves the area with the pointer, as far as the bars reach.
    const Rect before = layout.area;
    ASSERT_TRUE(Pan(layout, -150, 45));
    EXPECT_EQ(std::pair(layout.area.left, layout.area.top), std::pair(before.left - 150, before.top + 45));
    ASSERT_TRUE(Pan(layout, 1e9, -1e9));
    EXPECT_EQ(layout.area.left, 0);
    EXPECT_NEAR(layout.area.top + layout.area.height, 6700 - T, 1e-6);
    EXPECT_FALSE(Pan(layout, 1, -1));
}

}  // namespace
