// Turning the plot in place, and the character nudge of the keypad.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "interact/rotation.h"
#include "reader/plot_store.h"
#include "reader/reader.h"

namespace {

using Kestrel_Interact::RotatePlot;
using Kestrel_Interact::Turn;
using Kestrel_Val::PlotLine;
using Kestrel_Val::PlotStore;

// Slot 1 holding the given segments, with deliberately wrong extents.
void Fill(PlotStore& store, const std::vector<PlotLine>& lines) {
    store.PlotNo = 1;
    store.PlotLines[1].assign(1, PlotLine{});
    store.PlotLines[1].insert(store.PlotLines[1].end(), lines.begin(), lines.end());
    store.LineCount[1] = static_cast<std::int32_t>(lines.size());
    store.MaxX[1] = store.MaxY[1] = store.MinX[1] = store.MinY[1] = 12345;
}

std::vector<std::uint32_t> Bits(const PlotStore& store) {
    std::vector<std::uint32_t> bits;
    for (const PlotLine& l : store.PlotLines[1])
        for (const float v : {l.X1, l.Y1, l.X2, l.Y2}) bits.push_back(std::bit_cast<std::uint32_t>(v));
    return bits;
}

TEST(RotatePlot, MapsEndPointsAndRecomputesExtents) {
    struct Case {
        Turn turn;
        float x1, y1, x2, y2;
    };
    // X1, X2, Y1, Y2 is the record's field order.
    for (const Case& c : {Case{Turn::Right, 20, -10, 40, -30}, Case{Turn::Left, -20, 10, -40, 30},
                          Case{Turn::Half, -10, -20, -30, -40}}) {
        PlotStore store;
        Fill(store, {PlotLine{10, 30, 20, 40, 3}});
        ASSERT_TRUE(RotatePlot(store, c.turn));
        const PlotLine& l = store.Line(1, 1);
        EXPECT_EQ((std::vector<float>{l.X1, l.Y1, l.X2, l.Y2}), (std::vector<float>{c.x1, c.y1, c.x2, c.y2}));
        EXPECT_EQ(l.Pen, 3);
        EXPECT_EQ(store.MinX[1], std::min(c.x1, c.x2));
        EXPECT_EQ(store.MaxX[1], std::max(c.x1, c.x2));
        EXPECT_EQ(store.MinY[1], std::min(c.y1, c.y2));
        EXPECT_EQ(store.MaxY[1], std::max(c.y1, c.y2));
    }
}

TEST(RotatePlot, RightTurnTradesWidthForHeight) {
    PlotStore store;
    Fill(store, {PlotLine{0, 100, 0, 0, 1}, PlotLine{100, 100, 0, 50, 1}, PlotLine{30, 60, 20, 10, 1}});
    RotatePlot(store, Turn::Right);
    EXPECT_EQ(store.MinX[1], 0);
    EXPECT_EQ(store.MaxX[1], 50);
    EXPECT_EQ(store.MinY[1], -100);
    EXPECT_EQ(store.MaxY[1], 0);
}

TEST(RotatePlot, EmptyPlotEndsWithTheResetValues) {
    PlotStore store;  // before a load: slot 0, no records at all
    for (const int slot : {0, 1}) {
        store.PlotNo = static_cast<std::int16_t>(slot);
        ASSERT_TRUE(RotatePlot(store, Turn::Left));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(store.MaxX[slot]), 0xFF7FC99Eu);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(store.MaxY[slot]), 0xFF7FC99Eu);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(store.MinX[slot]), 0x7F7FC99Eu);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(store.MinY[slot]), 0x7F7FC99Eu);
    }
}

TEST(RotatePlot, NoSlotOrAnOverstatedCountIsHarmless) {
    PlotStore store;
    Fill(store, {PlotLine{1, 2, 3, 4, 1}});
    for (const std::int16_t bad : {-1, 2, 32767}) {
        store.PlotNo = bad;
        EXPECT_FALSE(RotatePlot(store, Turn::Right));
    }
    EXPECT_EQ(store.MaxX[1], 12345);
    store.PlotNo = 1;
    store.LineCount[1] = 1000;  // more than the table holds: only the stored record turns
    ASSERT_TRUE(RotatePlot(store, Turn::Half));
    EXPECT_EQ(store.Line(1, 1).X1, -1);
    EXPECT_EQ(store.MaxX[1], -1);
}

TEST(RotatePlot, FullCirclesRestoreARealPlotBitForBit) {
    const std::filesystem::path file =
        std::filesystem::path(CORPUS_DIR) / "chiplotle__bird_by_brian_whitman_and_kelly_dobson.hpgl";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no corpus file " << file;
    PlotStore store;
    store.PlotDir = file.parent_path().string() + "/";
    store.PlotName = file.filename().string();
    Kestrel_Sub::ReadPlotFile(store);
    store.PlotNo = 1;
    ASSERT_GT(store.LineCount[1], 100);
    const std::vector<std::uint32_t> read = Bits(store);
    const std::vector<float> extents{store.MinX[1], store.MinY[1], store.MaxX[1], store.MaxY[1]};
    const std::vector<std::vector<Turn>> circles{{Turn::Right, Turn::Right, Turn::Right, Turn::Right},
                                                 {Turn::Right, Turn::Left},
                                                 {Turn::Left, Turn::Right},
                                                 {Turn::Half, Turn::Half}};
    for (const auto& circle : circles) {
        for (const Turn t : circle) RotatePlot(store, t);
        EXPECT_EQ(Bits(store), read);
        EXPECT_EQ((std::vector<float>{store.MinX[1], store.MinY[1], store.MaxX[1], store.MaxY[1]}), extents);
    }
    RotatePlot(store, Turn::Right);
    EXPECT_NE(Bits(store), read);

    Fill(store, {PlotLine{-0.0f, 0.0f, 0.0f, -0.0f, 1}});  // signed zeros come back as they were
    const std::vector<std::uint32_t> zeros = Bits(store);
    for (int i = 0; i < 4; ++i) RotatePlot(store, Turn::Right);
    EXPECT_EQ(Bits(store), zeros);
}

TEST(ShiftPlotChars, NudgesRecordsOneToCharCountOfTheSlot) {
    struct Case {
        std::int16_t code;
        float x, y;  // where (1, 2) ends up
    };
    // The difference is taken in double: 1 - 0.1 rounds to the float nearest 0.9.
    for (const Case& c : {Case{10, 0.9f, 2}, Case{11, 1.1f, 2}, Case{12, 1, 2.1f}, Case{13, 1, 1.9f}, Case{14, 1, 2},
                          Case{9, 1, 2}}) {
        SCOPED_TRACE(c.code);
        PlotStore store;
        store.PlotNo = 1;
        store.CharCount[1] = 2;
        for (auto& ch : store.PlotChars[1]) ch = {1, 2, {5, 5, 5, 5, 5}};
        Kestrel_Sub::ShiftPlotChars(store, c.code);
        for (const int i : {1, 2}) {
            EXPECT_EQ(store.PlotChars[1][i].X, c.x);
            EXPECT_EQ(store.PlotChars[1][i].Y, c.y);
            EXPECT_EQ(store.PlotChars[1][i].Unused[4], 5);
        }
        for (const int untouched : {0, 3}) {
            EXPECT_EQ(store.PlotChars[1][untouched].X, 1);
            EXPECT_EQ(store.PlotChars[1][untouched].Y, 2);
        }
    }
    // 0.002f is 0.00200000009; less the double 0.1 that is -0.0979999999, nearest to the
    // float -0.098f. Float arithmetic (0.002f - 0.1f) would land one step below it.
    PlotStore store;
    store.PlotNo = 1;
    store.CharCount[1] = 1;
    store.PlotChars[1][1].X = 0.002f;
    Kestrel_Sub::ShiftPlotChars(store, 10);
    EXPECT_EQ(store.PlotChars[1][1].X, -0.098f);
}

TEST(ShiftPlotChars, NoSlotOrHugeCountIsHarmless) {
    PlotStore store;
    store.CharCount[1] = 1'000'000;
    for (const std::int16_t plotNo : {-1, 2, 1}) {
        store.PlotNo = plotNo;
        Kestrel_Sub::ShiftPlotChars(store, 11);
    }
    EXPECT_FLOAT_EQ(store.PlotChars[1][Kestrel_Val::MaxPlotChars].X, 0.1f);
    EXPECT_EQ(store.PlotChars[1][0].X, 0);
}

}  // namespace
