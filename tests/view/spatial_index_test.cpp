// The spatial index against a plain scan: on random plots, typical and degenerate, every
// query finds exactly the records the scan accepts, in store order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "reader/stroke_font.h"
#include "view/spatial_index.h"

using kestrel::reader::PlotChar;
using kestrel::reader::PlotLine;
using kestrel::view::PlotArea;
using kestrel::view::SpatialIndex;

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

std::vector<std::uint32_t> Scan(const auto& records, const PlotArea& area, auto meets) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t k = 1; k < records.size(); ++k) {
        if (meets(records[k], area)) out.push_back(k);
    }
    return out;
}

// Polylines of random directions within about 0..spread, jumping elsewhere now and then.
struct RandomPlot {
    std::mt19937_64 random;
    double spread = 1e5;
    double x = 0, y = 0;  // where the polyline goes on
    double Uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(random); }
    // Mostly up to `length` long, a few 100 times longer.
    PlotLine Segment(double length) {
        if (random() % 10 == 0) x = Uniform(0, spread), y = Uniform(0, spread);
        const double a = Uniform(0, 6.3), r = Uniform(0, length) * (random() % 50 == 0 ? 100 : 1);
        const PlotLine l{float(x), float(x + r * std::cos(a)), float(y), float(y + r * std::sin(a)), 1};
        x = l.X2, y = l.Y2;
        return l;
    }
    PlotArea Area() {
        const double left = Uniform(-0.1, 1.1) * spread, bottom = Uniform(-0.1, 1.1) * spread;
        const double size = std::pow(10, Uniform(-3, 0)) * spread;
        return {left, bottom, left + size, bottom + size * Uniform(0.2, 5)};
    }
};

struct PlotCase {
    const char* name;
    int segments;
    double length;  // 0: every segment a point; negative: every segment at one point
    std::vector<PlotLine> extra;
};

TEST(SpatialIndex, FindsWhatAScanFinds) {
    const PlotLine diagonal{0, 1e5, 0, 1e5, 1};
    const std::vector<PlotCase> cases = {
        {"empty", 0, 1, {}},
        {"zero-length", 3000, 0, {}},
        {"one point", 3000, -1, {}},
        {"short", 40000, 300, {}},
        {"mixed lengths", 20000, 3e4, {}},
        {"long diagonals", 5000, 300, std::vector<PlotLine>(300, diagonal)},
        {"huge coordinates",
         20000,
         300,
         {{-1e30f, 1e30f, 5, 5, 1}, {1e30f, 1e30f, -1e30f, -1e30f, 1}, {3e38f, 3e38f, 0, 1, 1}}},
        {"not finite", 2000, 300, {{NaN, 5, 5, 5, 1}, {1, 2, NaN, NaN, 1}, {float(Inf), 0, 0, 0, 1}}},
    };
    for (const PlotCase& c : cases) {
        for (std::uint64_t seed : {1, 2, 3}) {
            SCOPED_TRACE(testing::Message() << c.name << ", seed " << seed);
            RandomPlot plot{std::mt19937_64(seed)};
            std::vector<PlotLine> lines(1);
            for (int i = 0; i < c.segments; ++i) {
                lines.push_back(c.length < 0 ? PlotLine{5, 5, 7, 7, 1} : plot.Segment(c.length));
                if (!c.extra.empty() && i % 97 == 0) lines.push_back(c.extra[i / 97 % c.extra.size()]);
            }
            SpatialIndex index;
            index.Build(lines, {});
            if (lines.size() > 10000) {
                EXPECT_LE(index.MemoryBytes(), 8 * lines.size());
            }
            std::vector<PlotArea> areas = {
                {-Inf, -Inf, Inf, Inf}, {1e35, 1e35, 2e35, 2e35}, {5, 7, 5, 7}, {6, 0, 5, 9}, {0, 0, 1e5, 1e5}};
            for (int i = 0; i < 200; ++i) areas.push_back(plot.Area());
            std::vector<std::uint32_t> found;
            for (const PlotArea& area : areas) {
                index.FindLines(area, found);
                ASSERT_EQ(found, Scan(lines, area, kestrel::view::LineMeetsArea))
                    << "area " << area.minX << "," << area.minY << " to " << area.maxX << "," << area.maxY;
            }
        }
    }
}

TEST(SpatialIndex, FindsCharactersByTheirStrokesBoxes) {
    RandomPlot plot{std::mt19937_64(7), 3000};  // dense: characters reach over several cells
    const auto glyphs = static_cast<std::uint32_t>(kestrel::reader::StrokeFont::Standard().Count());
    std::vector<PlotChar> chars(1);
    for (int i = 0; i < 20000; ++i) {
        const auto w = float(plot.Uniform(-300, 300)), h = float(plot.Uniform(-300, 300));
        chars.push_back({float(plot.Uniform(0, 3000)), float(plot.Uniform(0, 3000)), w, h / 3, -h / 3, w,
                         std::uint16_t(plot.random() % glyphs), 1});
    }
    SpatialIndex index;
    index.Build({}, chars);  // no segments at all
    std::vector<std::uint32_t> found;
    for (int i = 0; i < 200; ++i) {
        const PlotArea area = plot.Area();
        index.FindChars(area, found);
        ASSERT_EQ(found, Scan(chars, area, kestrel::view::CharMeetsArea)) << "query " << i;
    }
    index.FindLines({-Inf, -Inf, Inf, Inf}, found);
    EXPECT_TRUE(found.empty());
}

TEST(SpatialIndex, ASegmentMeetsAnAreaItCrossesOrTouches) {
    const PlotArea unit{5, 5, 6, 6};
    const struct {
        const char* name;
        PlotLine line;
        bool meets;
    } rows[] = {
        {"diagonal through", {0, 10, 0, 10, 1}, true},
        {"diagonal past a corner", {0, 10, 1.5f, 11.5f, 1}, false},
        {"anti-diagonal touching a corner", {0, 10, 10, 0, 1}, true},
        {"point inside", {5.5f, 5.5f, 5.5f, 5.5f, 1}, true},
        {"point on an edge", {6, 6, 5.5f, 5.5f, 1}, true},
        {"point outside", {6.5f, 6.5f, 5.5f, 5.5f, 1}, false},
        {"ending short", {0, 4.9f, 5.5f, 5.5f, 1}, false},
        {"NaN ends", {NaN, 100, NaN, 100, 1}, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(kestrel::view::LineMeetsArea(row.line, unit), row.meets) << row.name;
    }
    EXPECT_FALSE(kestrel::view::LineMeetsArea(rows[0].line, {6, 5, 5, 6})) << "inverted area";
}

}  // namespace
