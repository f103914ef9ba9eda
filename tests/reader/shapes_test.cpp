// Shapes, fills and line types in plotter reading: each text with the segments a plotter
// draws, worked out by hand from the HP-GL/2 rules. Without IP or SC, user units are
// plotter units; hatch lines run through the origin, spaced along their normal, and
// belong to an edge from its lower end up to, not including, its upper end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "reader/generation_budget.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "view/pen_style.h"
#include "view/plot_drawing.h"

using kestrel::reader::PlotStore;

namespace {

struct Seg {
    double x1, y1, x2, y2;
    int pen = 1;
};

bool Near(const Seg& a, const Seg& b) {
    const auto close = [](double p, double q) { return std::fabs(p - q) < 2e-3; };
    return close(a.x1, b.x1) && close(a.y1, b.y1) && close(a.x2, b.x2) && close(a.y2, b.y2) && a.pen == b.pen;
}

std::ostream& operator<<(std::ostream& os, const Seg& s) {
    return os << "(" << s.x1 << "," << s.y1 << ")-(" << s.x2 << "," << s.y2 << ") pen " << s.pen;
}

// The first plot's segments, each with the pen the file named.
std::vector<Seg> Read(PlotStore& store, std::string_view text) {
    kestrel::reader::ReadPlotText(store, text);
    std::vector<Seg> out;
    for (std::int32_t k = 1; k <= store.plots[1].LineCount; ++k) {
        const auto& l = store.Line(1, k);
        out.push_back({l.X1, l.Y1, l.X2, l.Y2, store.PenNumber(1, l.Pen)});
    }
    return out;
}

constexpr double R = 70.7107;    // 100 sin 45°
constexpr double C30 = 86.6025;  // 100 cos 30°

TEST(ShapeReading, DrawsWhatThePlotterDraws) {
    const struct {
        const char* name;
        std::string text;
        std::vector<Seg> segments;
    } cases[] = {
        // Arcs: positive sweeps turn from +x towards +y; the chord angle is a most.
        {"ArcCounterClockwise", "PU100,0;PD;AA0,0,90,45;", {{100, 0, R, R}, {R, R, 0, 100}}},
        {"ArcClockwise", "PU100,0;PD;AA0,0,-90,45;", {{100, 0, R, -R}, {R, -R, 0, -100}}},
        {"ChordAngleRoundedUpToWholeChords",
         "PU100,0;PD;AA0,0,90,40;",
         {{100, 0, C30, 50}, {C30, 50, 50, C30}, {50, C30, 0, 100}}},
        {"DeviationModeChordAngle", "CT1;PU100,0;PD;AA0,0,90,13.4;", {{100, 0, R, R}, {R, R, 0, 100}}},
        {"RelativeArcLeavesThePenAtItsEnd",
         "PU100,0;PD;AR-100,0,180,90;PR10,0;",
         {{100, 0, 0, 100}, {0, 100, -100, 0}, {-100, 0, -90, 0}}},
        {"PenUpArcOnlyMoves", "PU100,0;AA0,0,90;PD0,50;", {{0, 100, 0, 50}}},
        {"ThreePointArcCounterClockwise", "PU100,0;PD;AT0,100,-100,0,90;", {{100, 0, 0, 100}, {0, 100, -100, 0}}},
        {"ThreePointArcClockwiseRelative",
         "PU100,0;PD;RT-100,-100,-200,0,90;",
         {{100, 0, 0, -100}, {0, -100, -100, 0}}},
        {"ThreePointInLineIsALine", "PU0,0;PD;AT50,0,100,0;", {{0, 0, 100, 0}}},
        {"ThreePointEndAtStartIsACircleOnTheDiameter",
         "PU0,0;PD;AT200,0,0,0,90;",
         {{0, 0, 100, -100}, {100, -100, 200, 0}, {200, 0, 100, 100}, {100, 100, 0, 0}}},
        {"ThreePointInLineOutsideDrawsRaysToTheLimits",
         "PS1000,500;PU400,250;PD;AT300,250,600,250;PD700,250;",
         {{400, 250, 0, 250}, {600, 250, 1000, 250}, {600, 250, 700, 250}}},
        // Circles: from angle 0 (180 for a negative radius), pen up to and from the centre.
        {"CircleRestoresPenUpAtTheCentre",
         "PU0,0;CI100,90;PD10,0;",
         {{100, 0, 0, 100}, {0, 100, -100, 0}, {-100, 0, 0, -100}, {0, -100, 100, 0}, {0, 0, 10, 0}}},
        {"CircleNegativeRadiusWithPenDown",
         "PU0,0;PD;CI-100,180;PD10,0;",
         {{-100, 0, 100, 0}, {100, 0, -100, 0}, {0, 0, 10, 0}}},
        // Bezier curves: a straight control polygon is one chord; BR counts from each curve's start.
        {"BezierStraight", "PU0,0;PD;BZ10,0,20,0,30,0;", {{0, 0, 30, 0}}},
        {"BezierRelativeCurves", "PU10,10;PD;BR10,0,20,0,30,0,0,0,0,0,-30,0;", {{10, 10, 40, 10}, {40, 10, 10, 10}}},
        // Rectangles and wedges: outlines whatever the pen; the pen ends where and as it was.
        {"EdgeRectangle",
         "PU10,10;EA30,20;PD40,40;",
         {{10, 10, 30, 10}, {30, 10, 30, 20}, {30, 20, 10, 20}, {10, 20, 10, 10}, {10, 10, 40, 40}}},
        {"EdgeRectangleRelative",
         "PU10,10;ER20,10;",
         {{10, 10, 30, 10}, {30, 10, 30, 20}, {30, 20, 10, 20}, {10, 20, 10, 10}}},
        {"EdgeWedge", "PU0,0;EW100,0,90,45;", {{0, 0, 100, 0}, {100, 0, R, R}, {R, R, 0, 100}, {0, 100, 0, 0}}},
        {"EdgeWedgeNegativeRadius", "PU0,0;EW-100,0,90,90;", {{0, 0, -100, 0}, {-100, 0, 0, -100}, {0, -100, 0, 0}}},
        {"FillWedge", "PU0,0;FT3,50,0;WG100,0,90,90;", {{0, 0, 100, 0}, {0, 50, 50, 50}}},
        {"FillRectangleThenEdgeIt",
         "PU0,0;FT3,50,0;RA100,100;EP;",
         {{0, 0, 100, 0}, {0, 50, 100, 50}, {0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 0, 100}, {0, 100, 0, 0}}},
        // Polygon mode: nothing drawn inside it; EP draws the pen-down edges, PM2 closes.
        {"PolygonModeDrawsNothing", "PU0,0;PM0;PD100,0;PM2;", {}},
        {"EdgePolygonClosed",
         "PU0,0;PM0;PD100,0,100,100,0,100;PM2;EP;",
         {{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 0, 100}, {0, 100, 0, 0}}},
        {"EdgePolygonSkipsPenUpEdges",
         "PU0,0;PM0;PD100,0,100,100;PU0,100;PM2;EP;",
         {{0, 0, 100, 0}, {100, 0, 100, 100}}},
        // The closing edge of PM1 and PM2 is a move of the pen as it is then: not drawn up.
        {"ClosedWithThePenUp",
         "IN;SP1;PA100,100;PM0;PD;PA1000,100,1000,1000;PU;PM2;EP;",
         {{100, 100, 1000, 100}, {1000, 100, 1000, 1000}}},
        {"ClosedWithThePenDown",
         "IN;SP1;PA100,100;PM0;PD;PA1000,100,1000,1000;PM2;PU;EP;",
         {{100, 100, 1000, 100}, {1000, 100, 1000, 1000}, {1000, 1000, 100, 100}}},
        {"SubpolygonsClosedWithThePenUp",
         "IN;SP1;PA100,100;PM0;PD;PA1000,100,1000,1000;PU;PM1;PA2000,100;PD;PA3000,100,3000,1000;PU;PM2;EP;",
         {{100, 100, 1000, 100}, {1000, 100, 1000, 1000}, {2000, 100, 3000, 100}, {3000, 100, 3000, 1000}}},
        {"FillClosesWhatThePenLeftOpen",
         "PU0,0;PM0;PD100,0,100,100;PU;PM2;FT3,50,0;FP;",
         {{0, 0, 100, 0}, {50, 50, 100, 50}}},
        {"ShapesOfTheirOwnAndFillsLeftOutInPolygonMode",
         "PU0,0;PM0;PD100,0,100,100;EA50,50;RR5,5;EW5,0,90;WG5,0,90;EP;FP;PM2;EP;",
         {{0, 0, 100, 0}, {100, 0, 100, 100}, {100, 100, 0, 0}}},
        {"CircleInPolygonModeIsASubpolygon",
         "PU0,0;PM0;PU50,50;CI10,90;PM2;EP;",
         {{60, 50, 50, 60}, {50, 60, 40, 50}, {40, 50, 50, 40}, {50, 40, 60, 50}}},
        // Solid fill: 1 mm pen, lines 0.95 * 40 = 38 units apart, alternating in direction.
        {"SolidFillOfASquare",
         "PW1;PU0,0;PM0;PD200,0,200,200,0,200;PM2;FT1;FP;",
         {{0, 0, 200, 0},
          {200, 38, 0, 38},
          {0, 76, 200, 76},
          {200, 114, 0, 114},
          {0, 152, 200, 152},
          {200, 190, 0, 190}}},
        {"HatchAt90Degrees",
         "PU10,10;PM0;PD110,10,110,110,10,110;PM2;FT3,25,90;FP;",
         {{100, 10, 100, 110}, {75, 10, 75, 110}, {50, 10, 50, 110}, {25, 10, 25, 110}}},
        {"HatchAt45Degrees",
         "PU0,0;PM0;PD100,0,100,100,0,100;PM2;FT3,50,45;FP;",
         {{R, 0, 100, 29.2893}, {0, 0, 100, 100}, {0, R, 29.2893, 100}}},
        {"CrossHatch", "PU10,10;PM0;PD90,10,90,90,10,90;PM2;FT4,50,0;FP;", {{10, 50, 90, 50}, {50, 10, 50, 90}}},
        {"HatchTurnsWithTheFrame",
         "PS1000,500;RO90;PU0,0;PM0;PD100,0,100,100,0,100;PM2;FT3,50,0;FP;",
         {{1000, 0, 1000, 100}, {950, 0, 950, 100}}},
        // A ring of two squares drawn the same way round, and a star crossing itself.
        {"RingEvenOdd",
         "PU0,0;PM0;PD100,0,100,100,0,100,0,0;PM1;PU25,25;PD75,25,75,75,25,75,25,25;PM2;FT3,50,0;FP0;",
         {{0, 0, 100, 0}, {0, 50, 25, 50}, {75, 50, 100, 50}}},
        {"RingNonZero",
         "PU0,0;PM0;PD100,0,100,100,0,100,0,0;PM1;PU25,25;PD75,25,75,75,25,75,25,25;PM2;FT3,50,0;FP1;",
         {{0, 0, 100, 0}, {0, 50, 100, 50}}},
        {"StarEvenOdd",
         "PU50,100;PM0;PD80,0,0,65,100,65,20,0,50,100;PM2;FT3,40,0;FP0;",
         {{30.7692, 40, 32, 40}, {68, 40, 69.2308, 40}, {44, 80, 56, 80}}},
        {"StarNonZero",
         "PU50,100;PM0;PD80,0,0,65,100,65,20,0,50,100;PM2;FT3,40,0;FP1;",
         {{30.7692, 40, 69.2308, 40}, {44, 80, 56, 80}}},
        // Line types: 10 mm is 400 units; a fixed pattern goes on into the next line.
        {"DashedInMillimetres", "LT2,10,1;PU0,0;PD1000,0;", {{0, 0, 200, 0}, {400, 0, 600, 0}, {800, 0, 1000, 0}}},
        {"PatternGoesOnAroundACorner", "LT2,10,1;PU0,0;PD300,0,300,300;", {{0, 0, 200, 0}, {300, 100, 300, 300}}},
        {"PercentOfTheDiagonal", "IP0,0,3000,4000;LT2;PU0,0;PD400,0;", {{0, 0, 100, 0}, {200, 0, 300, 0}}},
        {"AdaptiveFitsWholePatterns", "LT-2,10,1;PU0,0;PD500,0;", {{0, 0, 250, 0}}},
        {"DotsAtPatternStarts", "LT1,10,1;PU0,0;PD1000,0;", {{0, 0, 0, 0}, {400, 0, 400, 0}, {800, 0, 800, 0}}},
        {"LineTypeZeroDotsThePoints", "LT0;PU0,0;PD100,0,200,0;", {{0, 0, 0, 0}, {100, 0, 100, 0}, {200, 0, 200, 0}}},
        {"UserPattern", "UL1,1,3;LT1,10,1;PU0,0;PD800,0;", {{0, 0, 100, 0}, {400, 0, 500, 0}}},
        // 775 units hold six adaptive patterns of 129.167, the sum of which rounds short of
        // the end: no dash of no length there.
        {"AdaptiveEndsWithoutADot",
         "LT-2,3,1;PU0,0;PD775,0;",
         {{0, 0, 64.5833, 0},
          {129.1667, 0, 193.75, 0},
          {258.3333, 0, 322.9167, 0},
          {387.5, 0, 452.0833, 0},
          {516.6667, 0, 581.25, 0},
          {645.8333, 0, 710.4167, 0}}},
        {"SolidThenBackWhereThePatternWas",
         "LT2,10,1;PU0,0;PD300,0;LT;PD400,0;LT99;PD700,0;",
         {{0, 0, 200, 0}, {300, 0, 400, 0}, {500, 0, 700, 0}}},
        {"HatchLinesFollowTheLineType",
         "PU0,0;LT2,2,1;FT3,50,0;RA100,60;",
         {{0, 0, 40, 0}, {80, 0, 100, 0}, {0, 50, 20, 50}, {60, 50, 100, 50}}},
    };
    PlotStore store;
    for (const auto& c : cases) {
        const std::vector<Seg> got = Read(store, c.text);
        EXPECT_EQ(got.size(), c.segments.size()) << c.name << ": " << ::testing::PrintToString(got);
        for (std::size_t i = 0; i < std::min(got.size(), c.segments.size()); ++i)
            EXPECT_PRED2(Near, got[i], c.segments[i]) << c.name << " " << i;
    }
}

TEST(ShapeReading, ChordCountsAndBezierPoints) {
    PlotStore store;
    // 5° by default, 0.5° at the finest, 180° at the coarsest.
    for (const auto& [text, chords] :
         {std::pair{"PU100,0;PD;AA0,0,90;", 18u}, {"PU0,0;CI100,0.1;", 720u}, {"PU0,0;CI100,200;", 2u}})
        EXPECT_EQ(Read(store, text).size(), chords) << text;
    // The control polygon turns 180°: 36 chords; halfway is B(1/2) = (50, 75).
    const auto curve = Read(store, "PU0,0;PD;BZ0,100,100,100,100,0;");
    ASSERT_EQ(curve.size(), 36u);
    EXPECT_PRED2(Near, curve[17], (Seg{curve[17].x1, curve[17].y1, 50, 75}));
}

TEST(ShapeReading, PenLooksKeepThePenNumberAndTheirStyle) {
    PlotStore store;
    // Pen 1 at 0.5 mm, then 1 mm in the same plot; pen 2 red on a 0..100 colour range.
    const auto segments = Read(store,
                               "SP1;PW0.5;PU0,0;PD10,0;PW1,1;PD20,0;SP2;CR0,100,0,100,0,100;PC2,100,0,50;PD30,0;"
                               "NP;PD40,0;WU1;PD50,0;");
    ASSERT_EQ(segments.size(), 5u);
    const struct {
        int pen;
        kestrel::view::PenStyle style;
    } expected[] = {{1, {kestrel::view::PenColour(1), 0.5}},
                    {1, {kestrel::view::PenColour(1), 1}},
                    {2, {{255, 0, 128}, 0.5}},
                    {2, {kestrel::view::PenColour(2), 0.5}},
                    {2, {kestrel::view::PenColour(2), 0.3080584}}};  // 0.1 % of P1-P2, 12322.34 units of 0.025 mm
    for (int k = 1; k <= 5; ++k) {
        const std::int16_t code = store.Line(1, k).Pen;
        EXPECT_EQ(store.PenNumber(1, code), expected[k - 1].pen) << k;
        const auto style = kestrel::view::PenStyleOf(store, 1, code);
        EXPECT_EQ(style.colour, expected[k - 1].style.colour) << k;
        EXPECT_NEAR(style.widthMm, expected[k - 1].style.widthMm, 1e-5) << k;
    }
    EXPECT_EQ(store.Line(1, 1).Pen, 1);  // a pen's first look keeps its number in the store
    // Basic reading knows no looks: its pens keep Kestrel's colours, even negative ones.
    kestrel::reader::ReadPlotText(store, "SP-3;PU0,0;PD1,1;", {kestrel::reader::Reading::Basic});
    EXPECT_EQ(kestrel::view::PenStyleOf(store, 1, store.Line(1, 1).Pen), (kestrel::view::PenStyle{{128, 0, 128}, 0}));
}

// Shaded and patterned fills and line attributes, as the strokes' looks carry them. A
// 4000 x 3000 rectangle: solid fills hatched 0.95 * 0.3 mm = 11.4 units apart (264 lines);
// the PCL cross-hatch patterns a 16-pixel cell of 300 dpi apart, 54.187 units (38.315 on the
// diagonals), lines two pixels wide (0.1693 mm; 0.1796 mm across the diagonals).
TEST(ShapeReading, FillsAndLineAttributesGiveTheirLooks) {
    using kestrel::view::LineCap;
    using kestrel::view::LineJoin;
    const struct {
        const char* name;
        std::string text;
        std::size_t segments;
        char direction;                 // of every segment: '-' along x, '+' along x or y, '\\' falling
        kestrel::view::PenStyle style;  // of the first
    } cases[] = {
        {"ShadedIsATint", "IN;SP1;PA0,0;FT10,30;RA4000,3000;", 264, '-', {{178, 178, 217}, 0.3}},
        {"NoShadeDrawsNothing", "IN;SP1;PA0,0;FT10,0;RA4000,3000;", 0, '-', {}},
        {"FallingCrossHatchPattern", "IN;SP1;PA0,0;FT21,4;RA4000,3000;", 129, '\\', {{0, 0, 128}, 0.1796}},
        {"SquareCrossHatchPattern", "IN;SP1;PA0,0;FT21,5;RA4000,3000;", 56 + 73, '+', {{0, 0, 128}, 0.1693}},
        {"RasterPatternOfOnesInThePen",
         "IN;SP1;RF1,2,2,1,0,0,0;FT11,1;PA0,0;RA4000,3000;",
         264,
         '-',
         {{191, 191, 223}, 0.3}},
        {"RasterPatternInItsMostPen",
         "IN;SP1;RF1,2,2,3,3,0,2;FT11,1;PA0,0;RA4000,3000;",
         264,
         '-',
         {{64, 160, 160}, 0.3}},
        {"PclUserPatternChangesNothing", "IN;SP1;FT22,5;PA0,0;RA4000,3000;", 264, '-', {{0, 0, 128}, 0.3}},
        // LA shapes lines wider than 0.35 mm; LA; is butt ends, mitered joins, limit 5.
        {"LineAttributes",
         "IN;SP1;PW1;LA1,3,2,5;PA0,0;PD100,0;",
         1,
         '-',
         {{0, 0, 128}, 1, LineCap::Triangle, LineJoin::Bevel}},
        {"LineAttributesDefaults",
         "IN;SP1;PW1;LA;PA0,0;PD100,0;",
         1,
         '-',
         {{0, 0, 128}, 1, LineCap::Butt, LineJoin::Miter, 5}},
        {"MiterLimitAtLeastOne",
         "IN;SP1;PW1;LA2,2,3,0.5;PA0,0;PD100,0;",
         1,
         '-',
         {{0, 0, 128}, 1, LineCap::Butt, LineJoin::MiterOrBevel, 1}},
        {"LineAttributeOutOfRangeChangesNothing",
         "IN;SP1;PW1;LA1,2;LA1,9,2,3;PA0,0;PD100,0;",
         1,
         '-',
         {{0, 0, 128}, 1, LineCap::Square, LineJoin::Miter}},
        {"ThinLinesKeepThePensShape", "IN;SP1;PW0.35;LA1,2;PA0,0;PD100,0;", 1, '-', {{0, 0, 128}, 0.35}},
        {"DefaultsGoBackToThePensShape", "IN;SP1;PW1;LA1,2;DF;PA0,0;PD100,0;", 1, '-', {{0, 0, 128}, 1}},
    };
    PlotStore store;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kestrel::reader::ReadPlotText(store, c.text);
        ASSERT_EQ(static_cast<std::size_t>(store.plots[1].LineCount), c.segments);
        if (c.segments == 0) continue;
        const auto style = kestrel::view::PenStyleOf(store, 1, store.Line(1, 1).Pen);
        EXPECT_EQ(style.colour, c.style.colour);
        EXPECT_NEAR(style.widthMm, c.style.widthMm, 1e-4);
        EXPECT_EQ(style.cap, c.style.cap);
        EXPECT_EQ(style.join, c.style.join);
        EXPECT_EQ(style.miterLimit, c.style.miterLimit);
        for (std::int32_t k = 1; k <= store.plots[1].LineCount; ++k) {
            const auto& l = store.Line(1, k);
            const double dx = l.X2 - l.X1, dy = l.Y2 - l.Y1;
            const bool along = std::fabs(dy) < 1e-3, across = std::fabs(dx) < 1e-3;
            const bool falling = std::fabs(dx + dy) < 1e-2 && !along;
            EXPECT_TRUE(c.direction == '-' ? along : c.direction == '+' ? along || across : falling) << k;
        }
    }
    // Labels keep round ends whatever LA says, in the pen's look of the moment.
    kestrel::reader::ReadPlotText(store, "IN;SP1;PW1;LA1,1,2,1;PA0,0;LBA\x03");
    ASSERT_EQ(store.plots[1].CharCount, 1);
    EXPECT_EQ(kestrel::view::PenStyleOf(store, 1, store.plots[1].PlotChars[1].Pen),
              (kestrel::view::PenStyle{{0, 0, 128}, 1}));
}

TEST(ShapeReading, RepeatedFillsStayWithinTheBudget) {
    // A fine hatch of a large square, asked for again and again: lines are spaced wider
    // as the budget runs out, and the plot stays proportional to the input.
    std::string text = "PU0,0;PM0;PD1000000,0,1000000,1000000,0,1000000;PM2;FT3,1,0;";
    for (int i = 0; i < 200; ++i) text += "FP;";
    PlotStore store;
    kestrel::reader::ReadPlotText(store, text);
    const auto bound =
        kestrel::reader::GeneratedPerByte * static_cast<std::int64_t>(text.size()) + kestrel::reader::GeneratedFloor;
    EXPECT_GT(store.plots[1].LineCount, 16384);  // the first fill, at the widest it may be
    EXPECT_LE(store.plots[1].LineCount, bound);
}

}  // namespace
