// How plotter reading keeps the way a plot was drawn: pen-up moves, VS velocities and pen
// changes, per plot, worked out by hand (the pen starts at the origin, 0,0).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interact/rotation.h"
#include "reader/plot_store.h"
#include "reader/reader.h"

using kestrel::reader::PlotStore;

namespace {

struct Move {
    float x1, y1, x2, y2;
    bool operator==(const Move&) const = default;
};
struct Speed {
    int line, chr, pen;
    float cmPerS;
    bool operator==(const Speed&) const = default;
};
struct Drawn {
    std::vector<Move> travel;
    std::vector<Speed> speeds;
    int penChanges = 0;
    bool operator==(const Drawn&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Drawn& d) {
    for (const Move& m : d.travel) os << "(" << m.x1 << "," << m.y1 << ")-(" << m.x2 << "," << m.y2 << ") ";
    for (const Speed& s : d.speeds) os << "[" << s.line << "," << s.chr << " pen " << s.pen << " " << s.cmPerS << "] ";
    return os << d.penChanges << " changes";
}

std::vector<Drawn> ReadDrawn(PlotStore& store, std::string_view text) {
    kestrel::reader::ReadPlotText(store, text);
    std::vector<Drawn> plots;
    for (int p = 1; p <= store.PlotTotal; ++p) {
        const auto& plot = store.plots[p];
        Drawn d;
        for (const auto& m : plot.Travel) d.travel.push_back({m.X1, m.Y1, m.X2, m.Y2});
        for (const auto& v : plot.Velocities) d.speeds.push_back({v.Line, v.Char, v.Pen, v.CmPerS});
        d.penChanges = plot.PenChanges;
        plots.push_back(d);
    }
    return plots;
}

TEST(HowDrawn, PenUpMovesVelocitiesAndPenChanges) {
    const struct {
        const char* name;
        std::string text;
        std::vector<Drawn> plots;
    } cases[] = {
        {"EachPenUpPoint", "PU100,0,100,100;PD200,100;", {{{{0, 0, 100, 0}, {100, 0, 100, 100}}, {}, 0}}},
        {"NoMoveToWhereThePenIs", "PU0,0;PD10,0;PU10,0;PD10,10;", {{{}, {}, 0}}},
        {"LiftBetweenStrokesThatDoNotJoin", "IW0,0,5,5;PD10,0,10,2,0,2;", {{{{5, 0, 5, 2}}, {}, 0}}},
        {"EveryPageStartsAfresh", "PU5,5;PD6,6;PG;PD7,7;", {{{{0, 0, 5, 5}}, {}, 0}, {{}, {}, 0}}},
        {"PenChangesBetweenStrokesAndLabels", "SP1;PD1,0;SP2;PD2,0;LBA\x03;SP2;LBB\x03;SP1;LBC\x03", {{{}, {}, 2}}},
        {"VelocitiesWhereTheyTakeEffect",
         "VS10;PD1,0;VS20,2;PD2,0;VS;PD3,0;IN;",
         {{{}, {{1, 1, -1, 10}, {2, 1, 2, 20}, {3, 1, -1, 0}}, 0}}},
        {"VelocitiesOutOfRangeChangeNothing", "VS200;VS-1;VS5,-2;VS0;PD1,0;", {{{}, {{1, 1, -1, 0.38f}}, 0}}},
        {"VelocitiesInForceCarryToTheNextPage",
         "VS30;VS10,3;PD1,0;PG;PD2,0;",
         {{{}, {{1, 1, -1, 30}, {1, 1, 3, 10}}, 0}, {{}, {{1, 1, -1, 30}, {1, 1, 3, 10}}, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlotStore store;
        const std::vector<Drawn> got = ReadDrawn(store, c.text);
        ASSERT_EQ(got.size(), c.plots.size());
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], c.plots[i]) << "plot " << i + 1;
        EXPECT_TRUE(store.plots[1].TravelKept);
    }
}

TEST(HowDrawn, BasicReadingKeepsNoneAndTurningTurnsTheMoves) {
    PlotStore store;
    kestrel::reader::ReadPlotText(store, "PU10,0;PD20,0;");
    store.PlotNo = 1;
    kestrel::interact::RotatePlot(store, kestrel::interact::Turn::Left);
    ASSERT_EQ(store.plots[1].Travel.size(), 1u);
    const auto& m = store.plots[1].Travel[0];
    EXPECT_EQ((Move{m.X1, m.Y1, m.X2, m.Y2}), (Move{0, 0, 0, 10}));

    kestrel::reader::ReadOptions basic;
    basic.reading = kestrel::reader::Reading::Basic;
    kestrel::reader::ReadPlotText(store, "PU10,0;PD20,0;VS5;", basic);
    EXPECT_FALSE(store.plots[1].TravelKept);
    EXPECT_TRUE(store.plots[1].Travel.empty() && store.plots[1].Velocities.empty());
}

}  // namespace
