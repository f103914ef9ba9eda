#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "reader/plot_store.h"
#include "reader/reader.h"
#include "view/plot_drawing.h"
#include "view/raster_surface.h"

using namespace kestrel::view;
using kestrel::reader::PlotLine;
using kestrel::reader::PlotStore;

namespace {

struct Call {
    double x1, y1, x2, y2;
    Rgb colour{};
};

// A 10000 x 8000 surface recording its calls: C clear, S solid, D dash-dot, R rectangle, P pen, M move, L line,
// K stroke, E events.
struct Recorder final : DrawingSurface {
    double Width() const override { return 10000; }
    double Height() const override { return 8000; }
    void Clear() override { kinds += 'C'; }
    void SetLineStyle(LineStyle s) override { kinds += s == LineStyle::Solid ? 'S' : 'D'; }
    void Rectangle(float x1, float y1, float x2, float y2) override { kinds += 'R', calls.push_back({x1, y1, x2, y2}); }
    void SetPen(const StrokeLook& look) override { kinds += 'P', colour = look.colour; }
    void MoveTo(double x, double y) override { kinds += 'M', atX = x, atY = y; }
    void LineTo(double x, double y) override { kinds += 'L', calls.push_back({atX, atY, x, y, colour}); }
    void Stroke() override { kinds += 'K'; }
    std::string kinds;
    std::vector<Call> calls;
    Rgb colour;
    double atX = 0, atY = 0;
};

PlotStore StoreWith(std::vector<PlotLine> lines, float minX, float maxX, float minY, float maxY) {
    PlotStore store;
    store.PlotName = "test.hpg";
    store.PlotNo = 1;
    lines.insert(lines.begin(), PlotLine{});  // record 0 is never used
    store.plots[1].LineCount = static_cast<std::int32_t>(lines.size()) - 1;
    store.plots[1].PlotLines.assign(lines.begin(), lines.end());
    store.plots[1].MinX = minX, store.plots[1].MaxX = maxX, store.plots[1].MinY = minY, store.plots[1].MaxY = maxY;
    return store;
}

TEST(Fit, ScaleAndOrigin) {
    const struct {
        const char* name;
        double W, H;
        float minX, maxX, minY, maxY;
        double m, s, ox, oy;
    } cases[] = {// sx = 9.5, sy = 15.2: the width limits and the plot is centred vertically.
                 {"Wide", 10000, 8000, 0, 1000, 0, 500, 0.025, 9.5, 250, 1625},
                 // Touches three margins.
                 {"Tie", 10000, 10000, -50, 50, 20, 120, 0.025, 95, 250, 250},
                 // Flat plots take the other axis's scale; a point gets 0 and lands in the centre.
                 {"NoHeight", 10000, 8000, 0, 1000, 7, 7, 0.025, 9.5, 250, 4000},
                 {"NoWidth", 10000, 8000, 3, 3, 0, 400, 0.01, 19, 5000, 80},
                 {"Point", 10000, 8000, 5, 5, 5, 5, 0.025, 0, 5000, 4000},
                 // Reset extents (an empty plot): scale 0, never NaN.
                 {"ResetExtents", 10000, 8000, kestrel::reader::ExtentHigh, kestrel::reader::ExtentLow,
                  kestrel::reader::ExtentHigh, kestrel::reader::ExtentLow, 0.025, 0, 5000, 4000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fit = ComputeFit(StoreWith({}, c.minX, c.maxX, c.minY, c.maxY), 1, c.W, c.H, c.m);
        EXPECT_DOUBLE_EQ(fit.s, c.s);
        EXPECT_NEAR(fit.ox, c.ox, 1e-9);
        EXPECT_NEAR(fit.oy, c.oy, 1e-9 * c.H);
    }
}

TEST(PenColour, LowestThreeBitsPickTheColour) {
    const Rgb black{0, 0, 0};
    const std::pair<std::int16_t, Rgb> cases[] = {
        {7, black}, {8, black}, {15, black}, {-1, black}, {9, {0, 0, 128}}, {14, {128, 128, 0}}, {-3, {128, 0, 128}}};
    for (const auto& [pen, colour] : cases) EXPECT_EQ(PenColour(pen), colour) << pen;
}

TEST(DrawPlot, BothRedrawsPlaceThePlotAlikeAndTheFrameOutlinesTheExtents) {
    // A plot whose line runs corner to corner of its extents: the frame's corners are the
    // line's ends, and a redraw with the frame puts the line where one without it does.
    // On 10000 x 8000 the width limits: s = 9.5, the line from (250, 1505) to (9750, 6255).
    const struct { float minX, maxX, minY, maxY; } plots[] = {{0, 1000, 0, 500}, {-600, 400, 300, 800}};
    for (const auto& p : plots) {
        PlotStore store = StoreWith({{p.minX, p.maxX, p.maxY, p.minY, 12}}, p.minX, p.maxX, p.minY, p.maxY);
        const struct {
            int frameOff;
            bool redraw;
            const char* kinds;
        } cases[] = {{0, false, "CDRSPMLKE"}, {1, false, "CPMLKE"}, {0, true, "CPMLK"}};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.kinds);
            DisplaySettings settings;
            settings.RangeFrameOff = c.frameOff;
            Recorder s;
            if (c.redraw)
                RedrawPlot(store, settings, s);
            else
                DrawPlot(store, settings, s, [&s] { s.kinds += 'E'; });
            EXPECT_EQ(s.kinds, c.kinds);
            for (const Call& k : s.calls) {
                EXPECT_FLOAT_EQ(k.x1, 250);
                EXPECT_FLOAT_EQ(k.y1, 1505);
                EXPECT_FLOAT_EQ(k.x2, 9750);
                EXPECT_FLOAT_EQ(k.y2, 6255);
            }
            EXPECT_EQ(s.calls.back().colour, (Rgb{128, 0, 0}));
        }
    }
}

TEST(RedrawPlot, PenWidthsFollowTheZoomUnlessTurnedOff) {
    // A 1 mm line (40 units) across a 4000-unit plot: in 400 pixels s = 0.095 pixels per unit,
    // so 3.8 pixels wide; in 100 pixels 0.95, no wider than a pixel, so one pixel.
    PlotStore store;
    kestrel::reader::ReadPlotText(store, "SP2;PU0,0;PD4000,2000;SP1;PW1;PU0,1000;PD4000,1000;");
    store.PlotName = "widths.hpg";
    store.PlotNo = 1;
    const struct {
        int size;
        std::int16_t off;
        int rows;
    } cases[] = {{400, 0, 4}, {100, 0, 1}, {400, 1, 1}};
    for (const auto& c : cases) {
        DisplaySettings settings;
        settings.PenWidthOff = c.off;
        std::vector<std::uint32_t> px(static_cast<std::size_t>(c.size) * c.size);
        RasterSurface surface(px.data(), c.size, c.size, c.size, 15);
        RedrawPlot(store, settings, surface);
        int rows = 0;  // pen 1's pixels in the column a quarter across
        for (int y = 0; y < c.size; ++y) rows += px[static_cast<std::size_t>(y) * c.size + c.size / 4] == 0xFF000080u;
        EXPECT_NEAR(rows, c.rows, c.rows == 1 ? 0 : 1) << c.size << " " << c.off;
    }
}

TEST(RedrawPlot, HiddenPensAndPenUpMoves) {
    // Pen 1 draws at y 0 and, in a colour of its own, at y 4000; pen 2 at y 2000. The pen-up
    // moves between them are two diagonals of 381 pixels each at 0.095 pixels per unit.
    PlotStore store;
    kestrel::reader::ReadPlotText(store,
                                  "SP1;PU0,0;PD4000,0;SP2;PU0,2000;PD4000,2000;PC1,255,0,0;SP1;PU0,4000;PD4000,4000;");
    store.PlotName = "travel.hpg";
    store.PlotNo = 1;
    const std::uint32_t blue = 0xFF000080u, green = 0xFF008000u, red = 0xFFFF0000u, grey = 0xFF969696u;
    // Hidden pens, pen-up moves shown; the pixels of pen 1 (both looks), pen 2 and the moves.
    const struct {
        std::vector<std::int16_t> hidden;
        bool travel;
        bool one, two;
        int moves;
    } cases[] = {{{}, false, true, true, 0}, {{1}, false, false, true, 0}, {{1, 2}, true, false, false, 254}};
    for (const auto& c : cases) {
        DisplaySettings settings;
        settings.HiddenPens = c.hidden;
        settings.ShowTravel = c.travel;
        std::vector<std::uint32_t> px(400 * 400);
        RasterSurface surface(px.data(), 400, 400, 400, 15);
        RedrawPlot(store, settings, surface);
        const auto count = [&px](std::uint32_t colour) { return std::count(px.begin(), px.end(), colour); };
        SCOPED_TRACE(testing::Message() << c.hidden.size() << " hidden, travel " << c.travel);
        EXPECT_EQ(count(blue) > 300 && count(red) > 300, c.one);
        EXPECT_EQ(count(green) > 300, c.two);
        EXPECT_NEAR(count(grey), c.moves, 2);  // every third pixel of each move
    }
}

// A part of a zoomed drawing area, drawn on its own (from what the index finds there, or
// from every record) is that part of the whole area drawn at once: lines, wide pens with LA's
// ends and long miters, a shaded fill, labels and the frame, hidden pens and pen-up moves,
// wherever the part lies and however deep the zoom.
TEST(BeginViewDrawing, APartOfTheAreaIsThatPartOfTheWhole) {
    std::mt19937 random(11);
    std::string text = "IN;SP1;PW0.7,3;LA1,2,2,1,3,20;SP2;PA500,500;FT10,30;RA1500,1200;";
    for (int i = 0; i < 300; ++i) {  // polylines of three pens, the third 0.7 mm wide
        text += "SP" + std::to_string(1 + i % 3) + ";PU" + std::to_string(random() % 4000) + "," +
                std::to_string(random() % 3000) + ";PD";
        for (int k = 0; k < 4; ++k)
            text += (k ? "," : "") + std::to_string(random() % 4000) + "," + std::to_string(random() % 3000);
        text += ";";
        if (i % 25 == 0) text += "SI0.3,0.4;LBKestrel 20\x03;";
    }
    text += "SP4;PW2,4;PU1984,1800;PD2000,1500,2016,1800;";  // a miter reaching 300 pixels down
    PlotStore store;
    kestrel::reader::ReadPlotText(store, text);
    store.PlotName = "part.hpg";
    store.PlotNo = 1;
    const auto& plot = store.plots[1];
    SpatialIndex index;
    index.Build(IndexedLines(store, 1), IndexedChars(store, 1));
    constexpr int W = 2400, H = 1800, PartW = 230, PartH = 170;
    constexpr double T = 15;
    std::vector<std::uint32_t> whole(std::size_t{W} * H), part(std::size_t{PartW} * PartH);
    const FitTransform fit = ComputeFit(store, 1, W * T, H * T);
    for (const bool framed : {false, true}) {
        DisplaySettings settings;  // framed, pen 1 hidden and the pen-up moves shown
        if (framed) settings.HiddenPens = {1}, settings.ShowTravel = true;
        RasterSurface all(whole.data(), W, H, W, T);
        PlotDrawing drawing = BeginDrawing(store, settings, all, fit, framed);
        DrawMoreLines(store, all, drawing, INFINITY);
        // Parts over the frame's corners, in the middle, and reaching past the area's edges.
        const int left = static_cast<int>(fit.ox / T), top = static_cast<int>(fit.oy / T);
        const int right = static_cast<int>(fit.X(plot.MaxX) / T), bottom = static_cast<int>(fit.Y(plot.MinY) / T);
        for (const auto& [x, y] :
             {std::pair{left - 100, top - 80},
              {right - 100, bottom - 80},
              {1107, 853},
              {left - 200, bottom - 30},
              {static_cast<int>(fit.X(2000) / T) - 115, static_cast<int>(fit.Y(1500) / T) + 200}}) {
            for (const SpatialIndex* with : std::array<const SpatialIndex*, 2>{&index, nullptr}) {
                RasterSurface some(part.data(), PartW, PartH, PartW, T);
                some.SetOrigin(x, y);
                PlotDrawing p = BeginViewDrawing(store, settings, some, W * T, H * T, framed, with);
                DrawMoreLines(store, some, p, INFINITY);
                int drawn = 0;
                const auto differing = [&](int ox, int oy) {
                    int count = 0;
                    for (int i = 0; i < PartW * PartH; ++i) {
                        const int px = ox + i % PartW, py = oy + i / PartW;
                        const bool in = px >= 0 && px < W && py >= 0 && py < H;
                        const std::uint32_t expected = in ? whole[std::size_t(py) * W + px] : 0xFFFFFFFFu;
                        count += part[i] != expected, drawn += expected != 0xFFFFFFFFu;
                    }
                    return count;
                };
                EXPECT_EQ(differing(x, y), 0) << x << "," << y << (with ? " indexed" : "") << (framed ? " framed" : "");
                EXPECT_TRUE(drawn > 0 || !framed) << x << "," << y;  // the frame passes every part
                // Panned: the kept pixels moved and the uncovered strips drawn are the part there.
                for (const auto& [dx, dy] : {std::pair{37, -23}, {-50, 0}, {0, 41}}) {
                    some.SetOrigin(some.OriginX() - dx, some.OriginY() - dy);
                    some.Shift(dx, dy);
                    DrawUncovered(store, settings, some, dx, dy, W * T, H * T, framed, with);
                    EXPECT_EQ(differing(static_cast<int>(some.OriginX()), static_cast<int>(some.OriginY())), 0)
                        << x << "," << y << " panned " << dx << "," << dy;
                }
            }
        }
    }
}

}  // namespace
