#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "view/raster_surface.h"

using kestrel::view::LineCap;
using kestrel::view::LineJoin;
using kestrel::view::LineStyle;
using kestrel::view::RasterSurface;
using kestrel::view::StrokeLook;

namespace {

constexpr std::uint32_t White = 0xFFFFFFFFu, Padding = 0x12345678u;  // padding: never written
constexpr double Tpp = 15;                                           // twips per pixel
using Pixels = std::set<std::pair<int, int>>;

// A w x h raster with two padding pixels after each row.
struct Raster {
    Raster(int w, int h)
        : w(w), h(h), px(static_cast<std::size_t>(w + 2) * h, Padding), s(px.data(), w, h, w + 2, Tpp) {
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

TEST(RasterSurface, DrawsTheNearestPixelsBothEndsIncludedAndOnlyWhatIsInside) {
    Raster r(16, 12);
    r.Line(0, 0, 6, 2);
    r.Line(2, 4, 4, 10);
    r.Line(-10, 11, 1, 11);  // partly outside
    const int xy[] = {0, 0, 1, 0, 2, 1, 3, 1, 4, 1, 5, 2,  6, 2,  2, 4,
                      2, 5, 3, 6, 3, 7, 3, 8, 4, 9, 4, 10, 0, 11, 1, 11};
    Pixels line;
    for (std::size_t i = 0; i < std::size(xy); i += 2) line.insert({xy[i], xy[i + 1]});
    EXPECT_EQ(r.Drawn(), line);
    EXPECT_EQ(r.At(6, 2), 0xFF008080u);
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    Raster far(20, 16);
    far.Line(-3.4e38, 5, 3.4e38, 5);  // visible parts of lines beyond any integer
    far.Line(3, -inf, 3, inf);
    far.Line(-1e6, -1e6, 1e6, 1e6);
    for (const auto& l :
         {std::array{25., -5., 35., 5.}, {-1e30, -1., 1e30, -1.}, {inf, inf, inf, inf}, {nan, 1., 2., 3.}})
        far.Line(l[0], l[1], l[2], l[3]);  // nothing of these
    Pixels expected;
    for (int x = 0; x < 20; ++x) expected.insert({x, 5});
    for (int y = 0; y < 16; ++y) expected.insert({3, y}), expected.insert({y, y});
    EXPECT_EQ(far.Drawn(), expected);
}

TEST(RasterSurface, DashDot) {
    Raster r(40, 30);
    r.s.SetLineStyle(LineStyle::DashDot);
    r.Line(0, 1, 39, 1);
    std::vector<int> runs;  // alternating drawn and blank run lengths along the line
    for (int x = 0; x < 40; ++x) {
        if (x == 0 || (r.At(x, 1) != White) != (r.At(x - 1, 1) != White)) runs.push_back(0);
        ++runs.back();
    }
    EXPECT_EQ(runs, (std::vector<int>{9, 3, 3, 3, 9, 3, 3, 3, 4}));  // dash, gap, dot, gap
}

TEST(RasterSurface, WideLinesCoverThePenWithRoundEnds) {
    // Pixels whose centres the pen covers. A dot 10 wide: the 81 points within 5 of its
    // centre. A line 4 wide from (10, 20.5) to (50, 20.5): rows 19 to 22 in columns 10 to 50,
    // and the round ends reach column 9 and 51 in each of those rows (1.5 above the centre
    // the end is sqrt(4 - 2.25) = 1.32 wide). One no wider than a pixel is the one-pixel line.
    const struct {
        double x1, y1, x2, y2, width;
        std::size_t least, most;
    } cases[] = {
        {30, 20, 30, 20, 10, 81, 81}, {10, 20.5, 50, 20.5, 4, 41 * 4 + 8, 41 * 4 + 8}, {10, 20, 50, 20, 1, 41, 41}};
    for (const auto& c : cases) {
        Raster r(60, 40);
        r.s.WideLine(static_cast<float>(c.x1 * Tpp), static_cast<float>(c.y1 * Tpp), static_cast<float>(c.x2 * Tpp),
                     static_cast<float>(c.y2 * Tpp), {0, 0, 128}, static_cast<float>(c.width * Tpp));
        const std::size_t drawn = r.Drawn().size();
        EXPECT_GE(drawn, c.least) << c.width;
        EXPECT_LE(drawn, c.most) << c.width;
    }
}

// A path 8 pixels wide from (10, 20) right to (50, 20) and down to (50, 50), in each look:
// whether the pixels at given centres are drawn. Its start is at x = 10; the corner's outer
// point is (54, 16), its bevel the line x + y = 70, its miter reaches (54, 16) (length over
// width 1.414), a limit of 1.2 cuts it 3.94 out along the bisector from the corner, and the
// triangular corner's point is 4 out.
TEST(RasterSurface, WideStrokesTakeTheirEndsAndCorners) {
    const struct {
        const char* name;
        LineCap cap;
        LineJoin join;
        double limit;
        std::vector<std::array<int, 3>> pixels;  // x, y, drawn
    } cases[] = {
        {"Round", LineCap::Round, LineJoin::Round, 5, {{7, 20, 1}, {53, 17, 0}, {52, 18, 1}}},
        {"ButtMiter", LineCap::Butt, LineJoin::Miter, 5, {{9, 20, 0}, {10, 20, 1}, {53, 17, 1}}},
        {"SquareBevel", LineCap::Square, LineJoin::Bevel, 5, {{7, 20, 1}, {7, 17, 1}, {53, 17, 0}, {51, 18, 1}}},
        {"TriangleTriangle",
         LineCap::Triangle,
         LineJoin::Triangle,
         5,
         {{7, 20, 1}, {7, 17, 0}, {53, 17, 0}, {52, 17, 1}}},
        {"NoJoin", LineCap::Butt, LineJoin::None, 5, {{51, 18, 0}, {49, 18, 1}, {51, 21, 1}}},
        {"MiterOverTheLimitBevels", LineCap::Butt, LineJoin::MiterOrBevel, 1, {{53, 17, 0}, {51, 18, 1}}},
        {"MiterWithinTheLimit", LineCap::Butt, LineJoin::MiterOrBevel, 2, {{53, 17, 1}}},
        {"MiterCutAtTheLimit", LineCap::Butt, LineJoin::Miter, 1.2, {{52, 17, 1}, {53, 17, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Raster r(70, 60);
        r.s.SetPen({{0, 0, 128}, 8 * Tpp, c.cap, c.join, c.limit});
        r.s.MoveTo(10 * Tpp, 20 * Tpp);
        r.s.LineTo(50 * Tpp, 20 * Tpp);
        r.s.LineTo(50 * Tpp, 50 * Tpp);
        r.s.Stroke();
        for (const auto& [x, y, drawn] : c.pixels) EXPECT_EQ(r.At(x, y) != White, drawn == 1) << x << "," << y;
        r.Drawn();  // nothing beyond a row
    }
}

// A part of a drawing, drawn on a raster of its own with the part's origin, has exactly the
// pixels of that part of the whole drawing: lines that reach far beyond the part keep their
// path, dashes their phase, wide lines their outline.
TEST(RasterSurface, APartIsThePartOfTheWhole) {
    constexpr int W = 5000, H = 300, PartW = 41, PartH = 29;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(-1500, W + 1500), y(-600, H + 600);
    std::vector<std::uint32_t> whole(static_cast<std::size_t>(W) * H), part(PartW * PartH);
    // Lines one by one in a style, or paths through the stroke interface in a pen's look (the
    // pen-up moves' dots, LA's ends and corners), each line going on from the last at odd i.
    const struct {
        const char* name;
        LineStyle style;
        double width;
        std::optional<StrokeLook> look;
    } rows[] = {
        {"Solid", LineStyle::Solid, 0, {}},
        {"DashDot", LineStyle::DashDot, 0, {}},
        {"Wide", LineStyle::Solid, 3.5 * Tpp, {}},
        {"Dotted", LineStyle::Solid, 0, StrokeLook{.colour = {9, 9, 9}, .width = 0, .dotted = true}},
        {"SquareMiter", LineStyle::Solid, 0, StrokeLook{{0, 0, 128}, 6 * Tpp, LineCap::Square, LineJoin::Miter, 5}},
        {"TriangleMiterOrBevel", LineStyle::Solid, 0,
         StrokeLook{{0, 0, 128}, 5 * Tpp, LineCap::Triangle, LineJoin::MiterOrBevel, 3}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const double width = row.width;
        RasterSurface all(whole.data(), W, H, W, Tpp), some(part.data(), PartW, PartH, PartW, Tpp);
        some.SetOrigin(2473, 131);
        all.Clear(), some.Clear();
        for (RasterSurface* s : {&all, &some}) {
            s->SetLineStyle(row.style);
            if (row.look) s->SetPen(*row.look);
        }
        const auto draw = [&](RasterSurface& s, float ax, float ay, float bx, float by, kestrel::view::Rgb colour,
                              bool goOn) {
            if (!row.look) return s.WideLine(ax, ay, bx, by, colour, static_cast<float>(width));
            goOn ? s.LineTo(ax, ay) : s.MoveTo(ax, ay);
            s.LineTo(bx, by);
        };
        for (int i = 0; i < 400; ++i) {
            // Through the part, or anywhere; every fifth from far off.
            const double far = i % 5 == 0 ? 1e7 : 1;
            const auto ax = static_cast<float>(x(random) * far * Tpp), ay = static_cast<float>(y(random) * Tpp);
            float bx = static_cast<float>((2473 + 20 + (ax / Tpp - 2473 - 20) * -0.7) * Tpp);
            float by = static_cast<float>((131 + 14 + (ay / Tpp - 131 - 14) * -1.3) * Tpp);
            if (i % 2) bx = static_cast<float>(x(random) * Tpp), by = static_cast<float>(y(random) * Tpp);
            const kestrel::view::Rgb colour{static_cast<std::uint8_t>(i), 0, 0};
            for (RasterSurface* s : {&all, &some}) draw(*s, ax, ay, bx, by, colour, i % 2 == 1);
        }
        // Exact slopes from whole pixels far off, where the path's halves go towards its start.
        for (const auto& [x1, y1, x2, y2] : {std::array{-1507, -1855, 5493, 1645},
                                             {5493, 1645, -1507, -1855},
                                             {1293, 1945, 3693, -1655},
                                             {-1107, -755, 4493, 645}})
            for (RasterSurface* s : {&all, &some})
                draw(*s, static_cast<float>(x1 * Tpp), static_cast<float>(y1 * Tpp), static_cast<float>(x2 * Tpp),
                     static_cast<float>(y2 * Tpp), {0, 0, 128}, false);
        for (RasterSurface* s : {&all, &some}) s->Stroke();
        int differing = 0;
        for (int i = 0; i < PartW * PartH; ++i)
            differing += part[i] != whole[(131 + i / PartW) * std::size_t{W} + 2473 + i % PartW];
        EXPECT_EQ(differing, 0);
    }
}

}  // namespace
