#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "view/raster_surface.h"

using Kestrel_View::LineStyle;
using Kestrel_View::RasterSurface;

namespace {

constexpr std::uint32_t White = 0xFFFFFFFFu, Padding = 0x12345678u;  // padding: never written
constexpr double Tpp = 15;                                            // twips per pixel
using Pixels = std::set<std::pair<int, int>>;

// A w x h raster with two padding pixels after each row.
struct Raster {
    Raster(int w, int h) : w(w), h(h), px(static_cast<std::size_t>(w + 2) * h, Padding), s(px.data(), w, h, w + 2, Tpp) {
        s.Clear();
    }
    std::uint32_t At(int x, int y) const { return px[static_cast<std::size_t>(y) * (w + 2) + x]; }
    void Line(double x1, double y1, double x2, double y2) {  // in pixels
        s.Line(static_cast<float>(x1 * Tpp), static_cast<float>(y1 * Tpp), static_cast<float>(x2 * Tpp),
               static_cast<float>(y2 * Tpp), {0, 128, 128});
    }
    Pixels Drawn() const {
        Pixels out;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                if (At(x, y) != White) out.insert({x, y});
            EXPECT_TRUE(At(w, y) == Padding && At(w + 1, y) == Padding) << "row " << y;
        }
        return out;
    }
    int w, h;
    std::vector<std::uint32_t> px;
    RasterSurface s;
};

TEST(RasterSurface, DrawsTheNearestPixelsBothEndsIncluded) {
    // None of these passes exactly half-way between two pixels; the last two leave the raster.
    const int lines[][4] = {{2, 3, 8, 3}, {10, 0, 0, 10}, {0, 0, 6, 2}, {2, 0, 4, 6},
                            {9, 11, 5, 1}, {4, 4, 4, 4}, {-10, 2, 5, 2}, {-9, -3, 30, 10}};
    for (const auto& [x0, y0, x1, y1] : lines) {
        Raster r(16, 12);
        r.Line(x0, y0, x1, y1);
        Pixels ideal;
        const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= n; ++i) {
            const double t = n == 0 ? 0 : static_cast<double>(i) / n;
            const int x = static_cast<int>(std::lround(x0 + t * (x1 - x0))), y = static_cast<int>(std::lround(y0 + t * (y1 - y0)));
            if (x >= 0 && x < 16 && y >= 0 && y < 12) ideal.insert({x, y});
        }
        EXPECT_EQ(r.Drawn(), ideal) << x0 << "," << y0 << " " << x1 << "," << y1;
    }
    Raster r(2, 2);
    r.s.Line(0, 0, 0, 0, {1, 2, 3});
    EXPECT_EQ(r.At(0, 0), 0xFF010203u);
    EXPECT_DOUBLE_EQ(r.s.Width(), 30);
}

TEST(RasterSurface, FarOutAndUndefinedLines) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    Raster r(20, 16);
    r.Line(-3.4e38, 5, 3.4e38, 5);  // visible parts of lines beyond any integer
    r.Line(3, -inf, 3, inf);
    r.Line(-1e6, -1e6, 1e6, 1e6);
    const double hidden[][4] = {{25, -5, 35, 5}, {-1e30, -1, 1e30, -1}, {inf, inf, inf, inf}, {nan, 1, 2, 3}};
    for (const auto& l : hidden) r.Line(l[0], l[1], l[2], l[3]);
    Pixels expected;
    for (int x = 0; x < 20; ++x) expected.insert({x, 5});
    for (int y = 0; y < 16; ++y) expected.insert({3, y}), expected.insert({y, y});
    EXPECT_EQ(r.Drawn(), expected);
}

TEST(RasterSurface, DashDotAndRectangles) {
    Raster r(40, 30);
    r.s.SetLineStyle(LineStyle::DashDot);
    r.Line(0, 1, 39, 1);
    std::vector<int> runs;  // alternating drawn and blank run lengths along the line
    for (int x = 0; x < 40; ++x) {
        if (x == 0 || (r.At(x, 1) != White) != (r.At(x - 1, 1) != White)) runs.push_back(0);
        ++runs.back();
    }
    EXPECT_EQ(runs, (std::vector<int>{9, 3, 3, 3, 9, 3, 3, 3, 4}));  // dash, gap, dot, gap
    r.s.Clear();
    r.s.SetLineStyle(LineStyle::Solid);
    r.s.Rectangle(2 * Tpp, 1 * Tpp, 9 * Tpp, 7 * Tpp);
    Pixels outline;
    for (int x = 2; x <= 9; ++x) outline.insert({x, 1}), outline.insert({x, 7});
    for (int y = 1; y <= 7; ++y) outline.insert({2, y}), outline.insert({9, y});
    EXPECT_EQ(r.Drawn(), outline);
    EXPECT_EQ(r.At(9, 7), 0xFF000000u);
}

}  // namespace
