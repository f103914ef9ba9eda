// The view's arithmetic: the pointer's position in the file's coordinates, whatever the turn
// and zoom, read from a drawn view; and how far a view may zoom.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "interact/rotation.h"
#include "reader/reader.h"
#include "view/view_transform.h"

using namespace kestrel::view;
using kestrel::interact::Turn;

namespace {

constexpr double Tpp = 15;
constexpr int ViewW = 320, ViewH = 240;

// The plot's marker (a cross at file point (1234, 567), in pen 2) as the view draws it: the
// viewport pixel at its centre, or (-1, -1) when it is not in view.
std::pair<double, double> Marker(const kestrel::reader::PlotStore& store, const ViewLayout& layout) {
    const AreaPixels area = PixelsOf(layout.area, Tpp);
    std::vector<std::uint32_t> px(ViewW * ViewH);
    RasterSurface surface(px.data(), ViewW, ViewH, ViewW, Tpp);
    surface.SetOrigin(-area.left, -area.top);
    PlotDrawing drawing = BeginViewDrawing(store, {}, surface, area.width * Tpp, area.height * Tpp, false, nullptr);
    DrawMoreLines(store, surface, drawing, INFINITY);
    double sx = 0, sy = 0, n = 0;
    for (int y = 0; y < ViewH; ++y)
        for (int x = 0; x < ViewW; ++x)
            if (px[y * ViewW + x] == 0xFF008000u) sx += x, sy += y, ++n;
    return n ? std::pair(sx / n, sy / n) : std::pair(-1.0, -1.0);
}

TEST(ViewTransform, ThePointerReadsTheFilesCoordinatesUnderEveryTurnAndZoom) {
    const WindowMetrics m{ViewW * Tpp, ViewH * Tpp, 0, 0, 0, 0, 17 * Tpp, Tpp};
    // Turns (quarters counter-clockwise) and zooms about the marker's neighbourhood.
    const std::pair<std::vector<Turn>, int> turns[] = {
        {{}, 0}, {{Turn::Right}, -1}, {{Turn::Left}, 1}, {{Turn::Half}, 2}, {{Turn::Right, Turn::Half}, 1}};
    for (const auto& [steps, quarters] : turns) {
        for (const double zoom : {1.0, 2.0, 9.5, 300.0}) {
            kestrel::reader::PlotStore store;
            kestrel::reader::ReadPlotText(
                store, "SP1;PU0,0;PD4000,0,4000,3000;SP2;PU1232,567;PD1236,567;PU1234,565;PD1234,569;");
            store.PlotName = "marker.hpg";
            store.PlotNo = 1;
            for (const Turn t : steps) kestrel::interact::RotatePlot(store, t);
            ViewLayout layout;
            StartLayout(layout, m);
            FitAreaToViewport(layout, m);
            // Zoomed about the point that brings the marker to the viewport's centre.
            const FitTransform fitted = AreaFit(store, 1, PixelsOf(layout.area, Tpp), Tpp);
            const PlotPoint turned = FilePoint({1234, 567}, -quarters);
            const PlotPoint at = AreaPointOf(fitted, turned);
            const double dx = (at.x - ViewW * Tpp / 2) / (zoom - 1), dy = (at.y - ViewH * Tpp / 2) / (zoom - 1);
            if (zoom > 1) {
                ASSERT_TRUE(ZoomAbout(layout, m, zoom, at.x + dx, at.y + dy, {0, 1e9}));
            }
            SCOPED_TRACE(testing::Message() << "quarters " << quarters << ", zoom " << zoom);
            const auto [x, y] = Marker(store, layout);
            ASSERT_GE(x, 0);
            // The pointer over that pixel: viewport pixels to the area's twips, to the plot, to the file.
            const AreaPixels area = PixelsOf(layout.area, Tpp);
            const FitTransform fit = AreaFit(store, 1, area, Tpp);
            const PlotPoint p = FilePoint(PlotPointAt(fit, (x - area.left) * Tpp, (y - area.top) * Tpp), quarters);
            const double pixel = Tpp / fit.s;  // plotter units
            EXPECT_NEAR(p.x, 1234, pixel);
            EXPECT_NEAR(p.y, 567, pixel);
        }
    }
}

TEST(ViewTransform, ZoomReachesFromAnEighthOfTheFitToTwentyPixelsAUnit) {
    // A 10000 x 7000 plot in a 1000 x 700 pixel viewport.
    kestrel::reader::PlotStore store;
    kestrel::reader::ReadPlotText(store, "PU0,0;PD10000,7000;");
    store.PlotNo = 1;
    const WindowMetrics m{1000 * Tpp, 700 * Tpp, 0, 0, 0, 0, 17 * Tpp, Tpp};
    ViewLayout layout;
    StartLayout(layout, m);
    const ZoomLimits fitted = ZoomLimitsOf(store, 1, layout, Tpp);
    const double s = ComputeFit(store, 1, layout.area.width, layout.area.height).s;
    EXPECT_DOUBLE_EQ(fitted.least, 1.0 / 8);
    EXPECT_DOUBLE_EQ(fitted.most, 20 * Tpp / s);
    // A 1 mm square filling 300 pixels (7.5 pixels a unit) within about 30 wheel notches.
    int notches = 0;
    while (ComputeFit(store, 1, layout.area.width, layout.area.height).s < 7.5 * Tpp) {
        ASSERT_TRUE(ZoomAbout(layout, m, WheelZoomStep, 500 * Tpp, 350 * Tpp, ZoomLimitsOf(store, 1, layout, Tpp)));
        ++notches;
    }
    EXPECT_LE(notches, 30);
    // At the deepest view nothing is left to enlarge.
    ASSERT_TRUE(ZoomAbout(layout, m, 1e9, 0, 0, ZoomLimitsOf(store, 1, layout, Tpp)));
    EXPECT_NEAR(ComputeFit(store, 1, layout.area.width, layout.area.height).s, 20 * Tpp, 1e-6);
    EXPECT_FALSE(EnlargeArea(layout, m, ZoomLimitsOf(store, 1, layout, Tpp)));

    // A plot of a few units, fitted deeper than that already, still enlarges twice.
    kestrel::reader::PlotStore tiny;
    kestrel::reader::ReadPlotText(tiny, "PU0,0;PD3,2;");
    tiny.PlotNo = 1;
    StartLayout(layout, m);
    const double fittedWidth = layout.area.width;
    EXPECT_TRUE(EnlargeArea(layout, m, ZoomLimitsOf(tiny, 1, layout, Tpp)));
    EXPECT_TRUE(EnlargeArea(layout, m, ZoomLimitsOf(tiny, 1, layout, Tpp)));
    EXPECT_FALSE(EnlargeArea(layout, m, ZoomLimitsOf(tiny, 1, layout, Tpp)));
    EXPECT_DOUBLE_EQ(layout.area.width, 4 * fittedWidth);
}

TEST(ViewTransform, AZoomedViewReadAgainKeepsItsCentreAndScale) {
    const WindowMetrics m{640 * Tpp, 480 * Tpp, 0, 0, 0, 0, 17 * Tpp, Tpp};
    // The plot as read again: extents the same, grown, shrunk, or no scale to keep.
    const struct {
        const char* name;
        const char* text;
        bool kept;
    } rows[] = {{"same", "PU0,0;PD4000,3000;", true},
                {"grown", "PU-3000,-500;PD4000,3000;PU9000,8000;PD9000,8001;", true},
                {"shrunk", "PU1000,500;PD3000,2500;", true},
                {"point", "PU5,5;PD5,5;", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        kestrel::reader::PlotStore store;
        kestrel::reader::ReadPlotText(store, "PU0,0;PD4000,3000;");
        store.PlotNo = 1;
        ViewLayout layout;
        StartLayout(layout, m);
        ASSERT_TRUE(ZoomAbout(layout, m, 6, 200 * Tpp, 300 * Tpp, ZoomLimitsOf(store, 1, layout, Tpp)));
        const PlotView seen = PlotViewOf(store, 1, layout, m);
        kestrel::reader::PlotStore again;
        kestrel::reader::ReadPlotText(again, row.text);
        again.PlotNo = 1;
        const ViewLayout before = layout;
        ASSERT_EQ(ShowPlotView(layout, m, again, 1, seen), row.kept);
        if (!row.kept) {
            EXPECT_EQ(layout.area, before.area);
            continue;
        }
        const PlotView shown = PlotViewOf(again, 1, layout, m);
        EXPECT_NEAR(shown.scale, seen.scale, seen.scale * 1e-3);
        EXPECT_NEAR(shown.centre.x, seen.centre.x, Tpp / seen.scale);  // a pixel
        EXPECT_NEAR(shown.centre.y, seen.centre.y, Tpp / seen.scale);
    }
}

}  // namespace
