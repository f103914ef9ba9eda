// Real plot files from other programs, each read once in both readings. Expected counts and
// extents of basic reading were worked out with a separate, much simpler model of the same
// rules (clean ";"-separated files only); plotter reading's first segment from the file's own
// commands (its IP and SC where it has them).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "reader/plot_store.h"
#include "reader/reader.h"

namespace fs = std::filesystem;
using kestrel::reader::Reading;
using kestrel::reader::ReadStatus;

namespace {

kestrel::reader::ReadResult Load(kestrel::reader::PlotStore& store, const fs::path& file, Reading reading) {
    return kestrel::reader::ReadPlotFile(store, file.string(), {reading});
}

TEST(Corpus, EveryFileReadsAsWorkedOut) {
    if (!fs::is_directory(CORPUS_DIR)) GTEST_SKIP() << "no corpus at " << CORPUS_DIR;
    // Basic reading: segments, then min x, min y, max x, max y.
    const std::map<std::string, std::vector<float>> basic = {
        {"chiplotle__foal_by_douglas_repetto.hpgl", {3099, 1143, 5, 4963, 4231}},
        {"hp2xx__pages.hpgl", {35, 0, 0, 8000, 8000}},
        // Both end with IN, which starts the segments over; the extents remain.
        {"inkcut__test.hpgl", {0, 150, 150, 1592, 5378}},
        {"drawingwithmachines__hp7596_24x36_lissajous.hpgl", {0, -16334, -10209, 16334, 10209}}};
    // Plotter reading: one plot, its segments, then the first one.
    const std::map<std::string, std::vector<float>> plotter = {
        // IP3500,300 after SC0,2247,0,1800: P1 (3500,300), P2 (13500,7500); 87,25 -> 3500 + 87 * 10000 / 2247.
        {"hpglplotter__space-shuttle.hpgl", {4255, 3887.1829f, 400, 3851.5798f, 404}},
        // IP2400,400 and SC0,1800000,0,1300000: 0,27 -> 400 + 27 * 7200 / 1300000.
        {"hpglplotter__tektronix.hpgl", {2248, 2400, 400, 2400, 400.14954f}},
        // Ends with IN, which no longer drops the drawing.
        {"inkcut__test.hpgl", {10179, 1541, 5378, 1499, 5361}},
        {"drawingwithmachines__hp7596_24x36_lissajous.hpgl", {124, -16334, -10209, -16334, 10209}},
        // PE after RO90, IR0,100 and SC0,600,0,600 on a PS11882,8402 page: x = y' * 1016 / 600.
        {"hpgl2__xanadu-plt-test.plt", {602, 5659.12f, 5242.56f, 6338.1465f, 5921.5864f}},
        // DF, IP250,279,10250,7479 and SC0,4095,0,4212: 244,1022 -> 250 + 244 * 10000 / 4095.
        {"gpib-mcp__8720c.plt", {242, 845.84857f, 2026.0085f, 845.84857f, 2026.0085f}}};
    std::size_t files = 0, checked = 0;
    kestrel::reader::PlotStore store;
    for (const auto& entry : fs::directory_iterator(CORPUS_DIR)) {
        if (entry.path().extension() == ".md") continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ++files;
        auto r = Load(store, entry.path(), Reading::Plotter);  // every file shows a drawing
        EXPECT_EQ(r.status, ReadStatus::Read);
        EXPECT_EQ(r.stop, kestrel::reader::StopReason::EndOfFile);
        ASSERT_GE(store.PlotTotal, 1);
        for (int plot = 1; plot <= store.PlotTotal; ++plot) EXPECT_GT(store.plots[plot].LineCount, 0);
        if (const auto it = plotter.find(name); it != plotter.end() && store.plots[1].LineCount > 0) {
            const auto& l = store.Line(1, 1);
            EXPECT_EQ(store.PlotTotal, 1);
            EXPECT_EQ((std::vector<float>{float(store.plots[1].LineCount), l.X1, l.Y1, l.X2, l.Y2}), it->second);
            ++checked;
        }
        r = Load(store, entry.path(), Reading::Basic);
        EXPECT_NE(r.status, ReadStatus::CannotOpen);
        if (const auto it = basic.find(name); it != basic.end()) {
            EXPECT_EQ(r.status, ReadStatus::Read);
            const auto& p = store.plots[1];
            EXPECT_EQ((std::vector<float>{float(p.LineCount), p.MinX, p.MinY, p.MaxX, p.MaxY}), it->second);
            ++checked;
        }
    }
    EXPECT_GT(files, 20u);
    EXPECT_EQ(checked, basic.size() + plotter.size());
}

}  // namespace
