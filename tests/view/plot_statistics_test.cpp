// Pen statistics, distances and plotting time, against lengths worked out by hand.

#include <gtest/gtest.h>

#include "reader/reader.h"
#include "view/plot_statistics.h"

namespace kestrel::view {
namespace {

PlotStatistics Read(const char* text, reader::Reading reading = reader::Reading::Plotter) {
    reader::PlotStore store;
    reader::ReadOptions options;
    options.reading = reading;
    reader::ReadPlotText(store, text, options);
    return PlotStatisticsOf(store, 1);
}

TEST(PlotStatistics, LengthsTimesAndPenChanges) {
    // Pen up 100 mm, pen 1 down 125 mm, pen 2 down 100 mm at 10 cm/s, pen up 125 mm, pen 1
    // down 100 mm; everything else at 38.1 cm/s.
    const PlotStatistics s = Read("SP1;PU0,4000;PD3000,0;SP2;VS10,2;PD3000,4000;PU0,0;SP1;PD0,4000;");
    ASSERT_EQ(s.pens.size(), 2u);
    EXPECT_EQ(s.pens[0].pen, 1);
    EXPECT_EQ(s.pens[0].segments, 2);
    EXPECT_NEAR(s.pens[0].drawnMm, 225, 1e-9);
    EXPECT_EQ(s.pens[0].style, (PenStyle{{0, 0, 128}, 0}));
    EXPECT_EQ(s.pens[1].pen, 2);
    EXPECT_EQ(s.pens[1].segments, 1);
    EXPECT_NEAR(s.pens[1].drawnMm, 100, 1e-9);
    EXPECT_NEAR(s.penDownMm, 325, 1e-9);
    EXPECT_NEAR(s.penUpMm, 225, 1e-9);
    EXPECT_TRUE(s.penUpKnown);
    EXPECT_NEAR(s.seconds, 1 + 450 / 381.0, 1e-6);
    EXPECT_EQ(s.penChanges, 2);
}

TEST(PlotStatistics, PensKeepTheirNumberThroughLooksLabelsAndReadings) {
    // A pen whose colour changes is still one pen, with the look it started with.
    const PlotStatistics looks = Read("SP1;PW0.5;PD100,0;PC1,255,0,0;PD200,0;");
    ASSERT_EQ(looks.pens.size(), 1u);
    EXPECT_EQ(looks.pens[0].segments, 2);
    EXPECT_NEAR(looks.pens[0].drawnMm, 5, 1e-9);
    EXPECT_EQ(looks.pens[0].style.widthMm, 0.5f);

    // Labels draw at their pen's velocity, whatever its colour; the pen is lifted between strokes.
    const PlotStatistics label = Read("SP3;VS5;PU0,0;LBA\x03PC3,255,0,0;LBB\x03");
    ASSERT_EQ(label.pens.size(), 1u);
    EXPECT_EQ(label.pens[0].pen, 3);
    EXPECT_EQ(label.pens[0].characters, 2);
    EXPECT_EQ(label.penChanges, 0);
    EXPECT_EQ(label.pens[0].segments, 0);
    EXPECT_GT(label.penDownMm, 5);
    EXPECT_GT(label.penUpMm, 1);
    EXPECT_NEAR(label.seconds, label.penDownMm / 50 + label.penUpMm / 381, 1e-6);  // 38.1 as a float

    // Basic reading keeps no pen-up moves: the time is the drawing's alone.
    const PlotStatistics basic = Read("PU0,4000;PD3000,0;", reader::Reading::Basic);
    EXPECT_FALSE(basic.penUpKnown);
    EXPECT_EQ(basic.penUpMm, 0);
    EXPECT_NEAR(basic.seconds, 125 / 381.0, 1e-6);
    EXPECT_TRUE(PlotStatisticsOf(reader::PlotStore(), 5).pens.empty());  // no such plot
}

}  // namespace
}  // namespace kestrel::view
