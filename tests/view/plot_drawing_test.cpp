#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "reader/plot_store.h"
#include "view/plot_drawing.h"

using namespace Kestrel_View;
using Kestrel_Val::PlotLine;
using Kestrel_Val::PlotStore;

namespace {

struct Call {
    float x1, y1, x2, y2;
    Rgb colour{};
};

// Records the calls: kinds is C clear, S solid, D dash-dot, L line, R rectangle, E events.
struct Recorder final : DrawingSurface {
    Recorder(double w, double h) : w(w), h(h) {}
    double Width() const override { return w; }
    double Height() const override { return h; }
    void Clear() override { kinds += 'C'; }
    void SetLineStyle(LineStyle s) override { kinds += s == LineStyle::Solid ? 'S' : 'D'; }
    void Line(float x1, float y1, float x2, float y2, Rgb c) override {
        kinds += 'L', lines.push_back({x1, y1, x2, y2, c});
    }
    void Rectangle(float x1, float y1, float x2, float y2) override {
        kinds += 'R', rects.push_back({x1, y1, x2, y2});
    }
    double w, h;
    std::string kinds;
    std::vector<Call> lines, rects;
    std::function<void()> events = [this] { kinds += 'E'; };
};

PlotStore StoreWith(std::vector<PlotLine> lines, float minX, float maxX, float minY, float maxY) {
    PlotStore store;
    store.PlotName = "test.hpg";
    store.PlotNo = 1;
    lines.insert(lines.begin(), PlotLine{});  // record 0 is never used
    store.LineCount[1] = static_cast<std::int32_t>(lines.size()) - 1;
    store.PlotLines[1] = std::move(lines);
    store.MinX[1] = minX, store.MaxX[1] = maxX, store.MinY[1] = minY, store.MaxY[1] = maxY;
    return store;
}

TEST(Fit, ScaleAndOrigin) {
    const struct {
        const char* name;
        double W, H;
        float minX, maxX, minY, maxY;
        double m, s, ox, oy;
    } cases[] = {
        // sx = 9.5, sy = 15.2: the width limits and the plot is centred vertically.
        {"Wide", 10000, 8000, 0, 1000, 0, 500, DrawPlotMargin, 9.5, 250, 1625},
        {"Tall", 4000, 8000, 0, 200, 0, 1000, 0.025, 7.6, 1240, 200},
        {"Tie", 10000, 10000, -50, 50, 20, 120, 0.025, 95, 250, 250},  // touches three margins
        // Flat plots take the other axis's scale; a point gets 0 and lands in the centre.
        {"NoHeight", 10000, 8000, 0, 1000, 7, 7, 0.025, 9.5, 250, 4000},
        {"NoWidth", 10000, 8000, 3, 3, 0, 400, 0.01, 19, 5000, 80},
        {"Point", 10000, 8000, 5, 5, 5, 5, 0.025, 0, 5000, 4000},
        // Reset extents (an empty plot): scale 0, never NaN.
        {"ResetExtents", 10000, 8000, Kestrel_Val::ExtentHigh, Kestrel_Val::ExtentLow,
         Kestrel_Val::ExtentHigh, Kestrel_Val::ExtentLow, 0.025, 0, 5000, 4000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fit = ComputeFit(StoreWith({}, c.minX, c.maxX, c.minY, c.maxY), 1, c.W, c.H, c.m);
        EXPECT_DOUBLE_EQ(fit.s, c.s);
        EXPECT_NEAR(fit.ox, c.ox, 1e-9);
        EXPECT_NEAR(fit.oy, c.oy, 1e-9 * c.H);
    }
    for (const int slot : {0, -1, 2}) EXPECT_EQ(ComputeFit(StoreWith({}, 0, 1, 0, 1), slot, 100, 100, 0.01).s, 0);
}

TEST(PenColour, LowestThreeBitsPickTheColour) {
    const Rgb black{0, 0, 0}, blue{0, 0, 128}, green{0, 128, 0}, cyan{0, 128, 128}, red{128, 0, 0},
        magenta{128, 0, 128}, yellow{128, 128, 0};
    const std::pair<std::int16_t, Rgb> cases[] = {
        {1, blue}, {2, green}, {3, cyan}, {4, red},    {5, magenta}, {6, yellow}, {7, black},
        {8, black}, {9, blue}, {14, yellow}, {15, black}, {-1, black}, {-3, magenta}};
    for (const auto& [pen, colour] : cases) EXPECT_EQ(PenColour(pen), colour) << pen;
}

TEST(DrawPlot, ExampleWithItsRangeFrame) {
    const PlotStore store = StoreWith({{0, 1000, 500, 0, 12}}, 0, 1000, 0, 500);
    Recorder s(10000, 8000);
    DrawPlot(store, s, s.events);
    EXPECT_EQ(s.kinds, "CDRSLSE");
    // The frame spans MaxX by MaxY plotter units from the image of (MinX, MaxY);
    // the line runs from (0, 500) to (1000, 0).
    for (const Call& c : {s.rects[0], s.lines[0]}) {
        EXPECT_FLOAT_EQ(c.x1, 250);
        EXPECT_FLOAT_EQ(c.y1, 1625);
        EXPECT_FLOAT_EQ(c.x2, 9750);
        EXPECT_FLOAT_EQ(c.y2, 6375);
    }
    EXPECT_EQ(s.lines[0].colour, (Rgb{128, 0, 0}));
}

TEST(DrawPlot, FrameOffAndFramesWithoutExtent) {
    PlotStore store = StoreWith({{0, 10, 0, 0, 2}, {10, 10, 0, 10, 5}, {10, 0, 10, 10, 1}}, 0, 10, 0, 10);
    store.RangeFrameOff = 1;
    Recorder off(100, 100);
    DrawPlot(store, off, off.events);
    EXPECT_EQ(off.kinds, "CLLLSE");
    // Lines in store order, each in its pen's colour.
    const auto& lines = off.lines;
    EXPECT_EQ(lines[1].colour, (Rgb{128, 0, 128}));
    EXPECT_FLOAT_EQ(lines[1].x1, lines[0].x2);
    EXPECT_FLOAT_EQ(lines[2].y1, lines[1].y2);
    // Largest maximum 0: the frame shrinks to its first corner, with no division by 0.
    Recorder zero(100, 100);
    DrawPlot(StoreWith({{-10, 0, -10, 0, 1}}, -10, 0, -10, 0), zero, {});
    ASSERT_EQ(zero.kinds, "CDRSLS");
    const Call frame = zero.rects[0];
    EXPECT_EQ(frame.x1, frame.x2);
    EXPECT_EQ(frame.y1, frame.y2);
}

TEST(DrawPlot, RedrawPlotIsHigherBy15ThousandthsOfTheHeight) {
    const PlotStore store = StoreWith({{100, 900, -40, 300, 1}, {-20, 33.5f, 15, 901.25f, 6}}, -20, 900, -40, 901.25f);
    Recorder drawn(6000, 9000), redrawn(6000, 9000);
    DrawPlot(store, drawn, {});
    RedrawPlot(store, redrawn);
    EXPECT_EQ(redrawn.kinds, "CLLS");
    const auto &a = drawn.lines, &b = redrawn.lines;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].x1, b[i].x1);
        EXPECT_EQ(a[i].x2, b[i].x2);
        EXPECT_NEAR(a[i].y1 - b[i].y1, 0.015 * 9000, 1e-2);  // points pass through float
        EXPECT_NEAR(a[i].y2 - b[i].y2, 0.015 * 9000, 1e-2);
    }
}

TEST(DrawPlot, NothingToDraw) {
    // Without a file nothing at all; without lines or with no such plot only the clearing.
    using Change = void (*)(PlotStore&);
    const std::tuple<Change, const char*, const char*> cases[] = {
        {[](PlotStore& s) { s.PlotName.clear(); }, "", ""},
        {[](PlotStore& s) { s.LineCount[1] = 0; }, "CE", "CS"},
        {[](PlotStore& s) { s.PlotNo = 2; }, "CE", "CS"}};
    for (const auto& [change, draw, redraw] : cases) {
        PlotStore store = StoreWith({{0, 1, 0, 1, 1}}, 0, 1, 0, 1);
        change(store);
        Recorder drawn(100, 100), redrawn(100, 100);
        DrawPlot(store, drawn, drawn.events);
        RedrawPlot(store, redrawn);
        EXPECT_EQ(drawn.kinds, draw);
        EXPECT_EQ(redrawn.kinds, redraw);
    }
}

}  // namespace
