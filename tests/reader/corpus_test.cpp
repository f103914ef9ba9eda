// Real plot files from other programs. Expected counts and extents were worked out
// with a separate, much simpler model of the same rules (clean ";"-separated files only).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "reader/plot_store.h"
#include "reader/reader.h"

namespace fs = std::filesystem;
using Kestrel_Sub::ReadStatus;

namespace {

Kestrel_Sub::ReadResult Load(Kestrel_Val::PlotStore& store, const fs::path& file) {
    store.PlotDir = file.parent_path().string() + "/";
    store.PlotName = file.filename().string();
    return Kestrel_Sub::ReadPlotFile(store);
}

bool HaveCorpus() { return fs::is_directory(CORPUS_DIR); }

TEST(Corpus, EveryFileLoads) {
    if (!HaveCorpus()) GTEST_SKIP() << "no corpus at " << CORPUS_DIR;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(CORPUS_DIR)) {
        if (entry.path().extension() == ".md") continue;
        Kestrel_Val::PlotStore store;
        const auto r = Load(store, entry.path());
        EXPECT_NE(r.status, ReadStatus::CannotOpen) << entry.path();
        EXPECT_EQ(store.PlotTotal, 1);
        EXPECT_GE(store.LineCount[1], 0);
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

TEST_P(CorpusFileTest, MatchesTheIndependentCount) {
    if (!HaveCorpus()) GTEST_SKIP() << "no corpus at " << CORPUS_DIR;
    const auto& c = GetParam();
    Kestrel_Val::PlotStore store;
    const auto r = Load(store, fs::path(CORPUS_DIR) / c.file);
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

}  // namespace
