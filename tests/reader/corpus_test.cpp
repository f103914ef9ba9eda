// Real plot files from other programs. Expected counts and extents were worked out
// with a separate, much simpler model of the same rules (clean ";"-separated files only).
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

#include "reader/plot_store.h"
#include "reader/reader.h"

namespace fs = std::filesystem;
using kestrel::reader::ReadStatus;

namespace {

kestrel::reader::ReadResult Load(kestrel::reader::PlotStore& store, const fs::path& file,
                              kestrel::reader::Reading reading = kestrel::reader::Reading::Plotter) {
    store.PlotDir = file.parent_path().string() + "/";
    store.PlotName = file.filename().string();
    return kestrel::reader::ReadPlotFile(store, {reading});
}

bool HaveCorpus() { return fs::is_directory(CORPUS_DIR); }

TEST(Corpus, EveryFileShowsADrawingInPlotterReading) {
    if (!HaveCorpus()) GTEST_SKIP() << "no corpus at " << CORPUS_DIR;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(CORPUS_DIR)) {
        if (entry.path().extension() == ".md") continue;
        kestrel::reader::PlotStore store;
        const auto r = Load(store, entry.path());
        EXPECT_EQ(r.status, ReadStatus::Read) << entry.path();
        EXPECT_EQ(r.stop, kestrel::reader::StopReason::EndOfFile) << entry.path();
        ASSERT_GE(store.PlotTotal, 1);
        for (int plot = 1; plot <= store.PlotTotal; ++plot) EXPECT_GT(store.LineCount[plot], 0) << entry.path();
        kestrel::reader::PlotStore basic;
        EXPECT_NE(Load(basic, entry.path(), kestrel::reader::Reading::Basic).status, ReadStatus::CannotOpen);
        ++files;
    }
    EXPECT_GT(files, 20);
}

struct CorpusCase {
    const char* file;
    int segments;
    float minX, minY, maxX, maxY;
};

void PrintTo(const CorpusCase& c, std::ostream* os) { *os << c.file; }

class CorpusFileTest : public ::testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusFileTest, BasicReadingMatchesTheIndependentCount) {
    if (!HaveCorpus()) GTEST_SKIP() << "no corpus at " << CORPUS_DIR;
    const auto& c = GetParam();
    kestrel::reader::PlotStore store;
    const auto r = Load(store, fs::path(CORPUS_DIR) / c.file, kestrel::reader::Reading::Basic);
    ASSERT_EQ(r.status, ReadStatus::Read);
    EXPECT_EQ(store.LineCount[1], c.segments);
    EXPECT_EQ(store.MinX[1], c.minX);
    EXPECT_EQ(store.MinY[1], c.minY);
    EXPECT_EQ(store.MaxX[1], c.maxX);
    EXPECT_EQ(store.MaxY[1], c.maxY);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CorpusFileTest,
    ::testing::Values(
        CorpusCase{"chiplotle__foal_by_douglas_repetto.hpgl", 3099, 1143, 5, 4963, 4231},
        CorpusCase{"hp2xx__pages.hpgl", 35, 0, 0, 8000, 8000},
        // Both end with IN, which starts the segments over; the extents remain.
        CorpusCase{"inkcut__test.hpgl", 0, 150, 150, 1592, 5378},
        CorpusCase{"drawingwithmachines__hp7596_24x36_lissajous.hpgl", 0, -16334, -10209, 16334,
                   10209}));

// Plotter reading: segment counts, and the first segment worked out from the file's
// own commands (its IP and SC where it has them).
struct PlotterCorpusCase {
    const char* file;
    int segments;
    float x1, y1, x2, y2;
};

class PlotterCorpusTest : public ::testing::TestWithParam<PlotterCorpusCase> {};

TEST_P(PlotterCorpusTest, DrawsTheFilesMoves) {
    if (!HaveCorpus()) GTEST_SKIP() << "no corpus at " << CORPUS_DIR;
    const auto& c = GetParam();
    kestrel::reader::PlotStore store;
    Load(store, fs::path(CORPUS_DIR) / c.file);
    EXPECT_EQ(store.PlotTotal, 1);
    ASSERT_EQ(store.LineCount[1], c.segments);
    const auto& l = store.Line(1, 1);
    EXPECT_FLOAT_EQ(l.X1, c.x1);
    EXPECT_FLOAT_EQ(l.Y1, c.y1);
    EXPECT_FLOAT_EQ(l.X2, c.x2);
    EXPECT_FLOAT_EQ(l.Y2, c.y2);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlotterCorpusTest,
    ::testing::Values(
        // IP3500,300 after SC0,2247,0,1800: P1 (3500,300), P2 (13500,7500); 87,25 -> 3500 + 87 * 10000 / 2247.
        PlotterCorpusCase{"hpglplotter__space-shuttle.hpgl", 4255, 3887.1829f, 400, 3851.5798f, 404},
        // IP2400,400 and SC0,1800000,0,1300000: 0,27 -> 400 + 27 * 7200 / 1300000.
        PlotterCorpusCase{"hpglplotter__tektronix.hpgl", 2248, 2400, 400, 2400, 400.14954f},
        // Ends with IN, which no longer drops the drawing.
        PlotterCorpusCase{"inkcut__test.hpgl", 10179, 1541, 5378, 1499, 5361},
        PlotterCorpusCase{"drawingwithmachines__hp7596_24x36_lissajous.hpgl", 124, -16334, -10209, -16334, 10209},
        // PE after RO90, IR0,100 and SC0,600,0,600 on a PS11882,8402 page: x = y' * 1016 / 600.
        PlotterCorpusCase{"hpgl2__xanadu-plt-test.plt", 602, 5659.12f, 5242.56f, 6338.1465f, 5921.5864f},
        // DF, IP250,279,10250,7479 and SC0,4095,0,4212: 244,1022 -> 250 + 244 * 10000 / 4095.
        PlotterCorpusCase{"gpib-mcp__8720c.plt", 242, 845.84857f, 2026.0085f, 845.84857f, 2026.0085f}),
    [](const auto& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.'));
        for (char& ch : name) if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

}  // namespace
