// Turning the plot in place, and the character nudge of the keypad.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

#include "interact/rotation.h"
#include "reader/plot_store.h"
#include "reader/reader.h"

namespace {

using kestrel::interact::RotatePlot;
using kestrel::interact::Turn;
using kestrel::reader::PlotLine;
using kestrel::reader::PlotStore;

void Fill(PlotStore& store, const std::vector<PlotLine>& lines) {  // slot 1, with wrong extents
    store.PlotNo = 1;
    auto& plot = store.plots[1];
    plot.PlotLines.assign(1, PlotLine{});
    plot.PlotLines.insert(plot.PlotLines.end(), lines.begin(), lines.end());
    plot.LineCount = static_cast<std::int32_t>(lines.size());
    plot.MaxX = plot.MaxY = plot.MinX = plot.MinY = 12345;
}
std::vector<float> Extents(const PlotStore& s, int slot = 1) {
    const auto& p = s.plots[slot];
    return {p.MinX, p.MinY, p.MaxX, p.MaxY};
}
std::vector<std::uint32_t> Bits(const PlotStore& store) {
    std::vector<std::uint32_t> bits;
    for (const PlotLine& l : store.plots[1].PlotLines)
        for (const float v : {l.X1, l.Y1, l.X2, l.Y2}) bits.push_back(std::bit_cast<std::uint32_t>(v));
    return bits;
}

TEST(RotatePlot, MapsEndPointsAndRecomputesExtents) {
    // (10, 20)-(30, 40) under each turn; PlotLine's fields are X1, X2, Y1, Y2.
    for (const auto& [turn, x1, y1, x2, y2] : {std::tuple{Turn::Right, 20.f, -10.f, 40.f, -30.f},
                                               {Turn::Left, -20.f, 10.f, -40.f, 30.f},
                                               {Turn::Half, -10.f, -20.f, -30.f, -40.f}}) {
        PlotStore store;
        Fill(store, {PlotLine{10, 30, 20, 40, 3}});
        ASSERT_TRUE(RotatePlot(store, turn));
        const PlotLine& l = store.Line(1, 1);
        EXPECT_EQ((std::vector<float>{l.X1, l.Y1, l.X2, l.Y2, static_cast<float>(l.Pen)}),
                  (std::vector<float>{x1, y1, x2, y2, 3}));
        EXPECT_EQ(Extents(store),
                  (std::vector<float>{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)}));
    }
    PlotStore store;  // x 0..100, y 0..50: after a right turn x 0..50, y -100..0
    Fill(store, {PlotLine{0, 100, 0, 0, 1}, PlotLine{100, 100, 0, 50, 1}, PlotLine{30, 60, 20, 10, 1}});
    RotatePlot(store, Turn::Right);
    EXPECT_EQ(Extents(store), (std::vector<float>{0, -100, 50, 0}));
}

TEST(RotatePlot, EmptyPlotMissingSlotAndOverstatedCount) {
    PlotStore store;  // before a load: no records at all, slot 0 is valid
    for (const int slot : {0, 1}) {
        store.PlotNo = static_cast<std::int16_t>(slot);
        ASSERT_TRUE(RotatePlot(store, Turn::Left));
        EXPECT_EQ(Extents(store, slot), (std::vector<float>{kestrel::reader::ExtentHigh, kestrel::reader::ExtentHigh,
                                                            kestrel::reader::ExtentLow, kestrel::reader::ExtentLow}));
    }
    Fill(store, {PlotLine{1, 2, 3, 4, 1}});
    for (const std::int16_t bad : {-1, 2, 32767}) {
        store.PlotNo = bad;
        EXPECT_FALSE(RotatePlot(store, Turn::Right));
    }
    EXPECT_EQ(store.plots[1].MaxX, 12345);
    store.PlotNo = 1;
    store.plots[1].LineCount = 1000;  // more than the table holds: only the stored record turns
    ASSERT_TRUE(RotatePlot(store, Turn::Half));
    EXPECT_EQ(Extents(store), (std::vector<float>{-2, -4, -1, -3}));
}

TEST(RotatePlot, FullCirclesRestoreThePlotBitForBit) {
    PlotStore store;  // the largest floats, a subnormal, a third
    kestrel::reader::ReadPlotText(store,
                                  "PU0.1,7;PD-0.0000000001,3.4E38,-123.456,1E-40,"
                                  "-340282346638528859811704183484516925440,0.3333333;",
                                  {kestrel::reader::Reading::Basic});
    store.PlotNo = 1;
    ASSERT_EQ(store.plots[1].LineCount, 3);
    const std::vector<std::uint32_t> read = Bits(store);
    const std::vector<float> extents = Extents(store);
    for (const auto& circle : std::vector<std::vector<Turn>>{{Turn::Right, Turn::Right, Turn::Right, Turn::Right},
                                                             {Turn::Right, Turn::Left},
                                                             {Turn::Left, Turn::Right},
                                                             {Turn::Half, Turn::Half}}) {
        for (const Turn t : circle) RotatePlot(store, t);
        EXPECT_EQ(Bits(store), read);
        EXPECT_EQ(Extents(store), extents);  // the reader's, recomputed from the segments
    }
    Fill(store, {PlotLine{-0.0f, 0.0f, 0.0f, -0.0f, 1}});  // signed zeros come back as they were
    const std::vector<std::uint32_t> zeros = Bits(store);
    for (const Turn t : {Turn::Right, Turn::Right, Turn::Right, Turn::Right, Turn::Right, Turn::Left, Turn::Left,
                         Turn::Right, Turn::Half, Turn::Half})
        RotatePlot(store, t);
    EXPECT_EQ(Bits(store), zeros);
}

TEST(ShiftPlotChars, NudgesRecordsOneToCharCountOfTheSlot) {
    // Codes 10..13 and two others; where records 1 and 2 at (1, 2) end up.
    for (const auto& [code, x, y] : {std::tuple<std::int16_t, float, float>{10, 0.9f, 2},
                                     {11, 1.1f, 2},
                                     {12, 1, 2.1f},
                                     {13, 1, 1.9f},
                                     {14, 1, 2},
                                     {9, 1, 2}}) {
        SCOPED_TRACE(code);
        PlotStore store;
        store.PlotNo = 1;
        store.plots[1].CharCount = 2;
        store.plots[1].PlotChars.resize(4);
        for (auto& ch : store.plots[1].PlotChars) ch = {1, 2, 5, 5, 5, 5, 5, 5};
        kestrel::interact::ShiftPlotChars(store, code);
        for (const int i : {1, 2})
            EXPECT_EQ((std::vector<float>{store.plots[1].PlotChars[i].X, store.plots[1].PlotChars[i].Y}),
                      (std::vector<float>{x, y}));
        EXPECT_EQ(store.plots[1].PlotChars[2].HeightY, 5);
        for (const int i : {0, 3})
            EXPECT_EQ((std::vector<float>{store.plots[1].PlotChars[i].X, store.plots[1].PlotChars[i].Y}),
                      (std::vector<float>{1, 2}));
    }
    // 0.002f less the double 0.1 rounds to -0.098f; float arithmetic would land one step below.
    PlotStore store;
    store.PlotNo = 1;
    store.plots[1].CharCount = 1'000'000;  // beyond the table: stops at its end
    store.plots[1].PlotChars.resize(3);
    store.plots[1].PlotChars[1].X = 0.002f;
    for (const std::int16_t plotNo : {-1, 2, 1}) {  // no slot: nothing
        store.PlotNo = plotNo;
        kestrel::interact::ShiftPlotChars(store, 10);
    }
    EXPECT_EQ(store.plots[1].PlotChars[1].X, -0.098f);
    EXPECT_EQ(store.plots[1].PlotChars[2].X, -0.1f);
}

}  // namespace
