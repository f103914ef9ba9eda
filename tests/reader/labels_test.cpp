// Labels: where a plotter puts each character and where it leaves the pen, worked out by
// hand from the HP-GL/2 character commands. Sizes: SI0.5,1 is 200 x 400 plotter units, a
// cell 1.5 widths (300) and a line 2 cap heights (800); the default font (9 cpi, 11.5 pt)
// is 75.259 x 108.185 with 112.889 cells. The glyph H of the simplex Roman has its stems
// at 1/16 and 15/16 of the character width and spans the cap height.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "interact/rotation.h"
#include "reader/labels.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "view/label_strokes.h"
#include "view/pen_style.h"
#include "view/plot_drawing.h"
#include "view/raster_surface.h"

using kestrel::reader::PlotStore;

namespace {

constexpr float None = std::numeric_limits<float>::quiet_NaN();

struct Box {
    float minX, minY, maxX, maxY;
};

struct Stroke {
    float x1, y1, x2, y2;
};

std::vector<Stroke> Strokes(const PlotStore& store) {
    std::vector<Stroke> out;
    kestrel::view::ForEachLabelStroke(store, 1, [&](float x1, float y1, float x2, float y2, std::int16_t) {
        out.push_back({x1, y1, x2, y2});
    });
    return out;
}

// The box of slot 1's label strokes, with the ends of its segments when `lines` says.
Box Drawn(const PlotStore& store, bool lines) {
    Box b{1e30f, 1e30f, -1e30f, -1e30f};
    const auto take = [&b](float x, float y) {
        b = {std::min(b.minX, x), std::min(b.minY, y), std::max(b.maxX, x), std::max(b.maxY, y)};
    };
    for (const Stroke& s : Strokes(store)) {
        take(s.x1, s.y1);
        take(s.x2, s.y2);
    }
    for (std::int32_t k = 1; lines && k <= store.plots[1].LineCount; ++k) {
        take(store.Line(1, k).X1, store.Line(1, k).Y1);
        take(store.Line(1, k).X2, store.Line(1, k).Y2);
    }
    return b;
}

void ExpectBox(const Box& got, const Box& expected) {
    for (const auto& [g, e] : {std::pair{got.minX, expected.minX},
                               {got.minY, expected.minY},
                               {got.maxX, expected.maxX},
                               {got.maxY, expected.maxY}})
        EXPECT_NEAR(g, e, 0.01);
}

// The plot's extents are those of what is drawn: the characters' own strokes, not more.
void ExpectExtentsOfTheDrawing(const PlotStore& store) {
    ExpectBox({store.plots[1].MinX, store.plots[1].MinY, store.plots[1].MaxX, store.plots[1].MaxY}, Drawn(store, true));
}

constexpr float C = 0.70710678f;  // cos 45°

TEST(Labels, PlacesCharactersAndMovesThePenAsThePlotterDoes) {
    const struct {
        const char* name;
        std::string text;  // after PA1000,1000
        int chars;
        Box strokes;
        float endX = None, endY = None;  // the pen after the text
    } cases[] = {
        // Size and direction.
        {"DefaultSize", "LBHH\x03", 2, {1004.7037f, 1000, 1183.4444f, 1108.1852f}, 1225.7778f, 1000},
        {"AbsoluteSize", "SI0.5,1;LBH\x03", 1, {1012.5f, 1000, 1187.5f, 1400}, 1300, 1000},
        {"RelativeSizeOfP1P2", "SR2,4;LBH\x03", 1, {1012.5f, 1000, 1187.5f, 1288}, 1300, 1000},
        {"AbsoluteDirectionUp", "SI0.5,1;DI0,1;LBH\x03", 1, {600, 1012.5f, 1000, 1187.5f}, 1000, 1300},
        {"AbsoluteDirectionBackwards", "SI0.5,1;DI-1,0;LBH\x03", 1, {812.5f, 600, 987.5f, 1000}, 700, 1000},
        {"RelativeDirectionAlongP1P2Diagonal",
         "IP0,0,2000,1000;SI0.5,1;DR1,2;LBH\x03",
         1,
         {1000 + 12.5f * C - 400 * C, 1000 + 12.5f * C, 1000 + 187.5f * C, 1000 + 187.5f * C + 400 * C},
         1000 + 300 * C,
         1000 + 300 * C},
        {"FrameRotatedTurnsLabels",
         "RO90;PA1000,1000;SI0.5,1;LBH\x03",
         1,
         {9640, 1012.5f, 10040, 1187.5f},
         10040,
         1300},
        {"Slant", "SI0.5,1;SL1;LBH\x03", 1, {1012.5f, 1000, 1587.5f, 1400}, 1300, 1000},
        {"ExtraSpace", "SI0.5,1;ES1;LBHH\x03", 2, {1012.5f, 1000, 1787.5f, 1400}, 2200, 1000},
        // Label origins: the run's box (HH: 500 x 400) against the pen; 11..19 offset by
        // half a width and half a height; only origins along the text path go on.
        {"OriginCentred", "SI0.5,1;LO5;LBHH\x03", 2, {762.5f, 800, 1237.5f, 1200}, 1000, 1000},
        {"OriginLeftTop", "SI0.5,1;LO3;LBHH\x03", 2, {1012.5f, 600, 1487.5f, 1000}, 1600, 1000},
        {"OriginRightBottom", "SI0.5,1;LO7;LBHH\x03", 2, {512.5f, 1000, 987.5f, 1400}, 1000, 1000},
        {"OriginLeftBottomOffset", "SI0.5,1;LO11;LBHH\x03", 2, {1112.5f, 1200, 1587.5f, 1600}, 1600, 1000},
        {"OriginRightTopOffset", "SI0.5,1;LO19;LBHH\x03", 2, {412.5f, 400, 887.5f, 800}, 1000, 1000},
        // Text paths: characters a line apart downwards and upwards, a cell apart leftwards.
        {"PathDownFromTheTop", "SI0.5,1;DV1;LO3;LBHH\x03", 2, {1012.5f, -200, 1187.5f, 1000}, 1000, -600},
        {"PathDownNotGoingOn", "SI0.5,1;DV1;LBHH\x03", 2, {1012.5f, 1000, 1187.5f, 2200}, 1000, 1000},
        {"PathLeft", "SI0.5,1;DV2;LO7;LBHH\x03", 2, {512.5f, 1000, 987.5f, 1400}, 400, 1000},
        {"PathUp", "SI0.5,1;DV3;LBHH\x03", 2, {1012.5f, 1000, 1187.5f, 2200}, 1000, 2600},
        // Control characters and character plot.
        {"CarriageReturnLineFeed", "SI0.5,1;LBHH\r\nH\x03", 3, {1012.5f, 200, 1487.5f, 1400}, 1300, 200},
        {"BackspaceOverstrikes", "SI0.5,1;LBH\bH\x03", 2, {1012.5f, 1000, 1187.5f, 1400}, 1300, 1000},
        {"TabHalfACell", "SI0.5,1;LBH\tH\x03", 2, {1012.5f, 1000, 1637.5f, 1400}, 1750, 1000},
        {"OtherControlsDoNothing", "SI0.5,1;LBH\x01\x07\x7fH\x03", 2, {1012.5f, 1000, 1487.5f, 1400}, 1600, 1000},
        {"CharacterPlot", "SI0.5,1;CP2,1;LBH\x03", 1, {1612.5f, 1800, 1787.5f, 2200}, 1900, 1800},
        {"CharacterPlotNewLine",
         "SI0.5,1;LBHH\x03"
         "CP;LBH\x03",
         3,
         {1012.5f, 200, 1487.5f, 1400},
         1300,
         200},
        // Terminators: #'s glyph reaches 1/32 and 31/32 across, 0.333 below and 1.190 above.
        {"DefinedTerminator", "SI0.5,1;DT#;LBH#", 1, {1012.5f, 1000, 1187.5f, 1400}, 1300, 1000},
        {"PrintedTerminator", "SI0.5,1;DT#,0;LBH#", 2, {1012.5f, 866.6667f, 1493.75f, 1476.1905f}, 1600, 1000},
        {"UnterminatedAtTheEnd", "SI0.5,1;LBHH", 2, {1012.5f, 1000, 1487.5f, 1400}},
        {"BufferedLabel", "SI0.5,1;BLH\x03PB;", 1, {1012.5f, 1000, 1187.5f, 1400}, 1300, 1000},
        // Characters the font lacks draw as a box over the character; two-byte characters
        // take two cells (日 and 本 of the Japanese set, from its data).
        {"MissingGlyphIsABox", "SI0.5,1;LB\xa9\x03", 1, {1000, 1000, 1200, 1400}, 1300, 1000},
        {"ShiftJis", "SI0.5,1;LB\x93\xfa\x96{\x03", 2, {1131.8182f, 980.9524f, 2059.0909f, 1400}, 2200, 1000},
        {"JisBetweenEscapes", "SI0.5,1;LB\x1b$BF|\x1b(BH\x03", 2, {1131.8182f, 980.9524f, 1787.5f, 1400}, 1900, 1000},
        {"TwoByteLabelMode", "SI0.5,1;LM1;LBF|\x03", 1, {1131.8182f, 980.9524f, 1404.5455f, 1380.9524f}, 1600, 1000},
        {"HalfWidthKanaWithVoicedMark",
         "SI0.5,1;LB\xc3\xde\xb0\xc0\x03",
         3,
         {1013.6364f, 980.9524f, 1768.1818f, 1400},
         1900,
         1000},
        // Symbols centred on every point; no pen, the window and the character limit.
        {"SymbolMode", "SI0.5,1;SMH;PA1000,1000,2000,1000;SM;", 2, {912.5f, 800, 2087.5f, 1200}, 2000, 1000},
        {"PenZeroDrawsNoCharacters", "SP0;SI0.5,1;LBH\x03", 0, {}, 1300, 1000},
        {"WindowDropsCharactersOutside", "SI0.5,1;IW1250,0,1400,2000;LBH\x03", 0, {}, 1300, 1000},
        {"DefaultsResetAttributes",
         "SI0.5,1;DI0,1;DF;LBH\x03",
         1,
         {1004.7037f, 1000, 1070.5556f, 1108.1852f},
         1112.8889f,
         1000},
    };
    PlotStore store;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A zero-length pen-down move after the text marks where the pen is.
        const bool checkEnd = !std::isnan(c.endX);
        kestrel::reader::ReadPlotText(store, "PA1000,1000;" + c.text + (checkEnd ? "SP1;PD;PR0,0;" : ""));
        EXPECT_EQ(store.PlotTotal, 1);  // text alone makes a plot
        ASSERT_EQ(store.plots[1].CharCount, c.chars);
        if (c.chars > 0) ExpectBox(Drawn(store, false), c.strokes);
        if (checkEnd) {
            const auto& mark = store.Line(1, store.plots[1].LineCount);
            EXPECT_NEAR(mark.X1, c.endX, 0.01);
            EXPECT_NEAR(mark.Y1, c.endY, 0.01);
        }
        // As read, and as the window turns the plot.
        store.PlotNo = 1;
        ExpectExtentsOfTheDrawing(store);
        kestrel::interact::RotatePlot(store, kestrel::interact::Turn::Right);
        ExpectExtentsOfTheDrawing(store);
    }
}

// A line of text at the default size on an A4 page, shown in a 1600 x 1200 window: its
// characters keep apart, capitals and small letters have their heights, and a capital is
// over ten pixels high.
TEST(Labels, DefaultSizeIsLegible) {
    PlotStore store;
    kestrel::reader::ReadPlotText(store, "PA603,521;PD10603,521,10603,7721;PA1000,1000;LBQuick brown fox JUMPS\x03");
    ASSERT_EQ(store.plots[1].CharCount, 18);
    constexpr double CapHeight = 108.185;
    for (int i = 1; i <= store.plots[1].CharCount; ++i) {
        const auto box = kestrel::reader::CharBounds(store.plots[1].PlotChars[i]);
        if (i < store.plots[1].CharCount) {
            EXPECT_LT(box.maxX, kestrel::reader::CharBounds(store.plots[1].PlotChars[i + 1]).minX) << i;
        }
        EXPECT_TRUE(box.maxY - box.minY > 0.4 * CapHeight && box.maxY - box.minY < 1.4 * CapHeight) << i;
    }
    const auto fit = kestrel::view::ComputeFit(store, 1, 1600 * 15, 1200 * 15);
    EXPECT_GT(CapHeight * fit.s / 15, 10);
}

// Rotation turns the characters with the plot, and the extents take them in.
TEST(Labels, RotationTurnsTheStrokes) {
    PlotStore store;
    kestrel::reader::ReadPlotText(store, "PA1000,1000;LBAb\x03PU0,0;PD10,0;");
    store.PlotNo = 1;
    const std::vector<Stroke> read = Strokes(store);
    ASSERT_GT(read.size(), 5u);
    kestrel::interact::RotatePlot(store, kestrel::interact::Turn::Right);
    const std::vector<Stroke> turned = Strokes(store);
    ASSERT_EQ(turned.size(), read.size());
    float right = 0;
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_NEAR(turned[i].x1, read[i].y1, 1e-2);
        EXPECT_NEAR(turned[i].y1, -read[i].x1, 1e-2);
        right = std::max({right, read[i].x1, read[i].x2});
    }
    EXPECT_FLOAT_EQ(store.plots[1].MinY, -right);  // the label now lies below the line
    kestrel::interact::RotatePlot(store, kestrel::interact::Turn::Left);
    const std::vector<Stroke> back = Strokes(store);
    for (std::size_t i = 0; i < read.size(); ++i) EXPECT_EQ(back[i].x2, read[i].x2);
}

// The window draws in steps between its events: the labels come after the lines, a
// character at a time, and the steps end in the same picture as one redraw.
TEST(Labels, DrawnInStepsLikeAtOnce) {
    PlotStore store;
    kestrel::reader::ReadPlotText(store, "PA0,0;LBAB\x03PU0,-100;PD300,-100;");
    store.PlotName = "steps.hpg";
    store.PlotNo = 1;
    std::vector<std::uint32_t> once(200 * 100), steps(200 * 100);
    kestrel::view::RasterSurface whole(once.data(), 200, 100, 200, 15), stepped(steps.data(), 200, 100, 200, 15);
    kestrel::view::RedrawPlot(store, {}, whole);
    const auto fit = kestrel::view::ComputeFit(store, 1, stepped.Width(), stepped.Height());
    kestrel::view::PlotDrawing drawing = kestrel::view::BeginDrawing(store, {}, stepped, fit, false);
    int rounds = 0;
    for (; !drawing.Finished() && rounds < 10; ++rounds) {
        EXPECT_LT(drawing.Done(), 1.0);
        kestrel::view::DrawMoreLines(store, stepped, drawing, 1);
    }
    EXPECT_EQ(rounds, 3);  // the line, then each character
    EXPECT_EQ(drawing.Done(), 1.0);
    EXPECT_EQ(steps, once);
}

// A label draws in its pen's look at the time it is drawn, as lines do; its strokes still
// name the file's pen.
TEST(Labels, TakeThePenColourOfTheirTime) {
    PlotStore store;
    kestrel::reader::ReadPlotText(store,
                                  "IN;SP1;PC1,0,200,0;PA0,0;PD4000,0;PU;PC1,200,0,0;PA0,1000;PD4000,1000;PU;"
                                  "PC1,0,0,200;PA0,2000;SI0.5,0.7;LBabc\x03");
    ASSERT_EQ(store.plots[1].LineCount, 2);
    ASSERT_EQ(store.plots[1].CharCount, 3);
    const auto colour = [&](std::int16_t code) { return kestrel::view::PenStyleOf(store, 1, code).colour; };
    EXPECT_EQ(colour(store.Line(1, 1).Pen), (kestrel::view::Rgb{0, 200, 0}));
    EXPECT_EQ(colour(store.Line(1, 2).Pen), (kestrel::view::Rgb{200, 0, 0}));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(colour(store.plots[1].PlotChars[i].Pen), (kestrel::view::Rgb{0, 0, 200})) << i;
    kestrel::view::ForEachLabelStroke(store, 1,
                                      [](float, float, float, float, std::int16_t pen) { EXPECT_EQ(pen, 1); });
}

// 100,000 characters read into one plot; past the file's limit characters are left out
// and the rest of the file is still read.
TEST(Labels, ManyCharacters) {
    std::string labels;
    for (int i = 0; i <= kestrel::reader::MaxChars / 10; ++i)
        labels += "PA" + std::to_string(i % 100 * 1200) + "," + std::to_string(i / 100 * 220) + ";LBabcdefghij\x03";
    PlotStore store;
    kestrel::reader::ReadPlotText(store, labels.substr(0, labels.find("PA0,22000;")));  // the first 10,000 labels
    EXPECT_EQ(store.plots[1].CharCount, 100'000);
    kestrel::reader::ReadPlotText(store, labels + "PU0,0;PD5,5;");
    EXPECT_EQ(store.plots[1].CharCount, kestrel::reader::MaxChars);
    EXPECT_EQ(store.plots[1].LineCount, 1);
}

}  // namespace
