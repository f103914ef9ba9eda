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
using Kestrel_View::Rgb;

namespace {

constexpr std::uint32_t White = 0xFFFFFFFFu;
constexpr std::uint32_t Padding = 0x12345678u;  // beyond each row: never to be written
constexpr double Tpp = 15;                       // twips per pixel
constexpr double Inf = std::numeric_limits<double>::infinity();
using Pixels = std::set<std::pair<int, int>>;

struct Raster {
    Raster(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w + 2) * h, Padding),
                           surface(pixels.data(), w, h, w + 2, Tpp) {
        surface.Clear();
    }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * (width + 2) + x]; }
    void Line(double x1, double y1, double x2, double y2, Rgb c = {0, 128, 128}) {  // in pixels
        surface.Line(static_cast<float>(x1 * Tpp), static_cast<float>(y1 * Tpp), static_cast<float>(x2 * Tpp),
                     static_cast<float>(y2 * Tpp), c);
    }
    Pixels Drawn() const {
        Pixels out;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                if (At(x, y) != White) out.insert({x, y});
            EXPECT_EQ(At(width, y), Padding);
            EXPECT_EQ(At(width + 1, y), Padding);
        }
        return out;
    }
    int width, height;
    std::vector<std::uint32_t> pixels;
    RasterSurface surface;
};

// The pixels nearest the ideal line, one per step of the major axis, within w x h. Only
// for lines that never pass exactly half-way between two pixels.
Pixels IdealLine(int x0, int y0, int x1, int y1, int w, int h) {
    Pixels out;
    const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= n; ++i) {
        const double t = n == 0 ? 0 : static_cast<double>(i) / n;
        const int x = static_cast<int>(std::lround(x0 + t * (x1 - x0)));
        const int y = static_cast<int>(std::lround(y0 + t * (y1 - y0)));
        if (x >= 0 && x < w && y >= 0 && y < h) out.insert({x, y});
    }
    return out;
}

TEST(RasterSurface, DrawsTheNearestPixelsBothEndsIncluded) {
    const int lines[][4] = {{2, 3, 8, 3},  {1, 1, 9, 9},  {10, 0, 0, 10}, {0, 0, 6, 2},    {7, 1, 1, 3},
                            {2, 0, 4, 6},  {9, 11, 5, 1}, {3, 2, 3, 9},   {4, 4, 4, 4},    {0, 0, 15, 11},
                            {-10, 2, 5, 2}, {7, -30, 7, 30}, {-9, -3, 30, 10}};  // the last three leave the raster
    for (const auto& l : lines) {
        Raster r(16, 12);
        r.Line(l[0], l[1], l[2], l[3]);
        EXPECT_EQ(r.Drawn(), IdealLine(l[0], l[1], l[2], l[3], 16, 12)) << l[0] << "," << l[1] << " " << l[2] << "," << l[3];
    }
    Raster r(2, 2);
    r.Line(0, 0, 0, 0, {1, 2, 3});
    EXPECT_EQ(r.At(0, 0), 0xFF010203u);
    EXPECT_DOUBLE_EQ(r.surface.Width(), 30);
    EXPECT_DOUBLE_EQ(r.surface.Height(), 30);
}

TEST(RasterSurface, TwipsRoundToTheNearestPixel) {
    // floor(twips / 15 + 0.5); -1 is off the raster.
    const std::pair<float, int> cases[] = {{0, 0},      {7.4f, 0},   {7.5f, 1},  {22.4f, 1}, {22.5f, 2},
                                           {-7.5f, 0},  {-7.6f, -1}, {67.4f, 4}, {67.5f, -1}};
    for (const auto& [twips, pixel] : cases) {
        Raster r(5, 5);
        r.surface.Line(twips, 30, twips, 30, {0, 0, 0});
        EXPECT_EQ(r.Drawn(), (pixel < 0 ? Pixels{} : Pixels{{pixel, 2}})) << twips;
    }
}

TEST(RasterSurface, FarOutAndUndefinedLines) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Raster r(20, 16);
    // Visible parts of lines reaching far beyond the raster and any integer.
    r.Line(-3.4e38, 5, 3.4e38, 5);
    r.Line(3, -Inf, 3, Inf);
    r.Line(-1e6, -1e6, 1e6, 1e6);
    // Nothing of these is visible.
    const double hidden[][4] = {{-100, -100, -5, -50}, {25, -5, 35, 5},  {-1e30, -1, 1e30, -1},
                                {-Inf, -Inf, Inf, -Inf}, {Inf, Inf, Inf, Inf}, {nan, 1, 2, 3},
                                {1, 2, 3, nan},         {-1e7, 1e7, -1e7, -1e7}};
    for (const auto& l : hidden) r.Line(l[0], l[1], l[2], l[3]);
    Pixels expected;
    for (int x = 0; x < 20; ++x) expected.insert({x, 5});
    for (int y = 0; y < 16; ++y) expected.insert({3, y}), expected.insert({y, y});
    EXPECT_EQ(r.Drawn(), expected);
}

TEST(RasterSurface, DashDotAndRectangles) {
    Raster r(40, 30);
    r.surface.SetLineStyle(LineStyle::DashDot);
    r.Line(0, 1, 39, 1);
    std::vector<int> runs;  // alternating drawn and blank run lengths along the line
    for (int x = 0; x < 40; ++x) {
        if (x == 0 || (r.At(x, 1) != White) != (r.At(x - 1, 1) != White)) runs.push_back(0);
        ++runs.back();
    }
    EXPECT_EQ(runs, (std::vector<int>{9, 3, 3, 3, 9, 3, 3, 3, 4}));  // dash, gap, dot, gap
    r.surface.Rectangle(0, 45, 39 * Tpp, 29 * Tpp);
    const std::size_t dashed = r.Drawn().size();
    EXPECT_GT(dashed, 100u);
    EXPECT_LT(dashed, 2u * (40 + 29) - 4);

    r.surface.Clear();
    EXPECT_TRUE(r.Drawn().empty());
    r.surface.SetLineStyle(LineStyle::Solid);
    r.surface.Rectangle(2 * Tpp, 1 * Tpp, 9 * Tpp, 7 * Tpp);
    Pixels outline;
    for (int x = 2; x <= 9; ++x) outline.insert({x, 1}), outline.insert({x, 7});
    for (int y = 1; y <= 7; ++y) outline.insert({2, y}), outline.insert({9, y});
    EXPECT_EQ(r.Drawn(), outline);
    EXPECT_EQ(r.At(9, 7), 0xFF000000u);
}

TEST(RasterSurface, DegenerateSurfacesDoNotFail) {
    RasterSurface none(nullptr, 10, 10, 10, Tpp);
    none.Clear();
    none.Line(0, 0, 150, 150, {});
    std::vector<std::uint32_t> one(1, Padding);
    RasterSurface empty(one.data(), 0, 0, 0, 0);  // no pixels; an unusable scale becomes 1
    empty.Clear();
    empty.Line(0, 0, 15, 15, {});
    EXPECT_EQ(one[0], Padding);
    EXPECT_DOUBLE_EQ(RasterSurface(one.data(), 1, 1, 1, -3).Width(), 1);
    RasterSurface shortRows(one.data(), 2, 1, 1, 1);  // rows would overlap: draws nothing
    shortRows.Clear();
    shortRows.Line(0, 0, 1, 0, {});
    EXPECT_EQ(one[0], Padding);
}

}  // namespace
