#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "test_folder.h"

#include "reader/plot_file_text.h"
#include "reader/plot_store.h"
#include "reader/reader.h"

using kestrel::reader::ErrorNumber;
using kestrel::reader::ReadStatus;
using kestrel::reader::StopReason;
using kestrel::reader::PlotStore;

namespace {

// Basic reading, with an optional lower segment limit.
kestrel::reader::ReadResult ReadBasic(PlotStore& store, std::string_view text,
                                     std::int32_t segmentLimit = kestrel::reader::MaxSegments) {
    return kestrel::reader::ReadPlotText(store, text, {kestrel::reader::Reading::Basic, segmentLimit});
}

struct Seg {
    float x1, y1, x2, y2;
    int pen;
    bool operator==(const Seg&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seg& s) {
    return os << "(" << s.x1 << "," << s.y1 << ")-(" << s.x2 << "," << s.y2 << ") pen " << s.pen;
}

std::vector<Seg> Segments(const PlotStore& store) {
    std::vector<Seg> out;
    for (std::int32_t k = 1; k <= store.LineCount[1]; ++k) {
        const auto& l = store.Line(1, k);
        out.push_back({l.X1, l.Y1, l.X2, l.Y2, l.Pen});
    }
    return out;
}

struct PlotCase {
    const char* name;
    std::string text;
    std::vector<Seg> segments;
    StopReason stop = StopReason::EndOfFile;
};

void PrintTo(const PlotCase& c, std::ostream* os) { *os << c.name; }

class ReadPlotTextTest : public ::testing::TestWithParam<PlotCase> {};

TEST_P(ReadPlotTextTest, StoresThePenDownMoves) {
    const auto& c = GetParam();
    PlotStore store;
    const auto r = ReadBasic(store, c.text);
    EXPECT_EQ(r.status, ReadStatus::Read);
    EXPECT_EQ(r.stop, c.stop);
    EXPECT_EQ(Segments(store), c.segments);
    EXPECT_EQ(store.PlotTotal, 1);
    EXPECT_EQ(store.CharCount[1], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ReadPlotTextTest,
    ::testing::Values(
        PlotCase{"BasicPlot", "IN;SP1;PU0,0;PD100,0,100,100;PU;",
                 {{0, 0, 100, 0, 1}, {100, 0, 100, 100, 1}}},
        PlotCase{"PageFeedEndsReading", "IN;SP1;PU0,0;PD100,0,100,100;PU;PG;PU0,0;PD5,5;",
                 {{0, 0, 100, 0, 1}, {100, 0, 100, 100, 1}}, StopReason::PageFeed},
        PlotCase{"JoinedPageFeedEndsReading", "PD1,1;PRPG;PD5,5;", {{0, 0, 1, 1, 1}},
                 StopReason::PageFeed},
        PlotCase{"UndelimitedLastCommand", "PU0,0;PD10,10", {{0, 0, 10, 10, 1}}},
        PlotCase{"LineWithoutDelimiterIsSkipped", "PU0,0;\r\nPD5,5 PD6,6\r\nPD7,7;",
                 {{0, 0, 7, 7, 1}}},
        PlotCase{"BlankBeforeXRefusesThePair", "PU 10,10;PD5,5;", {{0, 0, 5, 5, 1}}},
        PlotCase{"BlankBeforeCodeSkipsCommand", " PD10,10;PD5,5;", {{0, 0, 5, 5, 1}}},
        PlotCase{"LowerCaseIsSkipped", "pd10,10;PD5,5;", {{0, 0, 5, 5, 1}}},
        PlotCase{"SpWithoutNumberSelectsPenZero", "SP;PD1,1;SP3;PD2,2;",
                 {{0, 0, 1, 1, 1}, {1, 1, 2, 2, 0}}},
        PlotCase{"PenRoundsHalfToEven", "SP2.5;PU0,0;PD1,1;SP3.5;PD2,2;SP 3;PD3,3;",
                 {{0, 0, 1, 1, 2}, {1, 1, 2, 2, 2}, {2, 2, 3, 3, 4}}},
        PlotCase{"BadPenEndsReading", "PD1,1;SPx;PD2,2;", {{0, 0, 1, 1, 1}}, StopReason::BadPen},
        PlotCase{"PenOutOfRangeEndsReading", "PD1,1;SP32768;PD2,2;", {{0, 0, 1, 1, 1}},
                 StopReason::BadPen},
        PlotCase{"PenChangeReachesTheNextSegment", "PU0,0;SP2;PD10,10,20,20;",
                 {{0, 0, 10, 10, 1}, {10, 10, 20, 20, 2}}},
        PlotCase{"InDiscardsEarlierSegments", "PD1,1,2,2;IN;PD5,5;", {{0, 0, 5, 5, 1}}},
        PlotCase{"BlankDelimiter", "PU0,0 PD10,10 PD20,0", {{0, 0, 10, 10, 1}, {10, 10, 20, 0, 1}}},
        PlotCase{"ColonDelimiter", "PU0,0:PD10,10:", {{0, 0, 10, 10, 1}}},
        PlotCase{"DigitDelimiter", "PU10,10PD20,20", {}},
        PlotCase{"LoneValueIsIgnored", "PD10,20,30;", {{0, 0, 10, 20, 1}}},
        PlotCase{"EmptyXReadsZero", "PD1,2,,4;", {{0, 0, 1, 2, 1}, {1, 2, 0, 4, 1}}},
        PlotCase{"RefusedXIsReadAsCommand", "PU10,10,PD20,20;", {{10, 10, 20, 20, 1}}},
        PlotCase{"PlusInXIsRefused", "PD+1,1;PD5,5;", {{0, 0, 5, 5, 1}}},
        PlotCase{"ExponentInXIsRefused", "PD1E1,1;PD5,5;", {{0, 0, 5, 5, 1}}},
        PlotCase{"YTextReadUpToLetters", "PU10,10PD20,20;PD30,30;", {{10, 10, 30, 30, 1}}},
        PlotCase{"YTextMayHoldBlanks", "PD1, 2 5;", {{0, 0, 1, 25, 1}}},
        PlotCase{"PenUpOnlyGivesNothing", "PU1,1,5,5;", {}},
        PlotCase{"RelativeStartsFromThePen", "PA;PU100,100;PR;PD10,0,0,10;",
                 {{100, 100, 110, 100, 1}, {110, 100, 110, 110, 1}}},
        PlotCase{"AbsoluteAfterRelativeIsAbsolute", "PR;PU10,10;PD5,5;PA;PD100,100;",
                 {{10, 10, 15, 15, 1}, {15, 15, 100, 100, 1}}},
        PlotCase{"PenUpAndDownStayRelative", "PR;PU1,1;PD1,0;PU1,1;PD0,1;",
                 {{1, 1, 2, 1, 1}, {3, 2, 3, 3, 1}}},
        PlotCase{"DfLeavesThePenWhereItIs", "PU50,50;DF;PR;PD10,10;", {{50, 50, 60, 60, 1}}},
        PlotCase{"InReturnsThePenToTheOrigin", "PU50,50;IN;PR;PD10,10;", {{0, 0, 10, 10, 1}}},
        PlotCase{"DfEndsRelativeMode", "PR;PU5,5;DF;PD1,1;", {{5, 5, 1, 1, 1}}},
        PlotCase{"JoinedRelativeForms", "PU5,5;PRPD1,1;PRPU1,0;PDPD0,1;PDPU9,9;PD0,1;",
                 {{5, 5, 6, 6, 1}, {7, 6, 7, 7, 1}, {16, 16, 16, 17, 1}}},
        PlotCase{"PrspSelectsPen", "PRSP4;PD1,1;PA;PRSP;PD2,2;", {{0, 0, 1, 1, 1}, {1, 1, 3, 3, 4}}},
        PlotCase{"OverflowEndsReading", "PD1,1,1" + std::string(39, '0') + ",5;", {{0, 0, 1, 1, 1}}, StopReason::Overflow},
        PlotCase{"YOverflowEndsReading", "PD1,1,5,1E39;", {{0, 0, 1, 1, 1}}, StopReason::Overflow},
        PlotCase{"LongNegativeNumbersKeepTheirSign",
                 "IN;PU0,0;PD-0.30000000000000004,-12.345678901234567,-0.0000000000000000000000000000012345678901234567,-1.234567890123456789E-21;",
                 {{0, 0, -0.3f, -12.345678901234567f, 1}, {-0.3f, -12.345678901234567f, -1.2345678901234567e-30f, -1.234567890123456789e-21f, 1}}},
        PlotCase{"XInDoubleYInSingle", "PD16777217,16777217;", {{0, 0, 16777216, 16777216, 1}}},
        PlotCase{"LoneLineFeedEndsALine", "IN;\nSP2;\nPU0,0;\nPD10,10;\n", {{0, 0, 10, 10, 2}}},
        PlotCase{"OneCommandPerLineCrLf", "IN\r\nPU0,0\r\nPD10,10\r\nPD20,0\r\n",
                 {{0, 0, 10, 10, 1}, {10, 10, 20, 0, 1}}},
        PlotCase{"OneCommandPerLineLf", "IN\nSP2\nPU0,0\nPD10,10\n", {{0, 0, 10, 10, 2}}},
        PlotCase{"OneCommandPerLineCr", "PU3,3\rPD4,4\r", {{3, 3, 4, 4, 1}}},
        PlotCase{"CommaAndPointAreNeverDelimiters", "PD1,PD2.PD3 PD4,4",
                 {{0, 0, 1, 0, 1}, {1, 0, 4, 4, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadPlotText, ExtentsUseBothEndsOfEverySegment) {
    PlotStore store;
    ReadBasic(store, "PU-5,7;PD10,-3;PU100,100;PD200,50;");
    EXPECT_EQ(store.MinX[1], -5);
    EXPECT_EQ(store.MaxX[1], 200);
    EXPECT_EQ(store.MinY[1], -3);
    EXPECT_EQ(store.MaxY[1], 100);
}

TEST(ReadPlotText, PenUpMovesLeaveTheResetExtents) {
    PlotStore store;
    ReadBasic(store, "PU1,1,5,5;");
    EXPECT_EQ(store.LineCount[1], 0);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(store.MaxX[1]), 0xFF7FC99Eu);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(store.MaxY[1]), 0xFF7FC99Eu);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(store.MinX[1]), 0x7F7FC99Eu);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(store.MinY[1]), 0x7F7FC99Eu);
}

TEST(ReadPlotText, NoDelimiterLeavesAnEmptyPlot) {
    PlotStore store;
    ReadBasic(store, "PD1,1;PD2,2;");
    ASSERT_EQ(store.LineCount[1], 2);
    for (const char* text : {"", "IN\r\nPU0,0\r\n", "PD1,1\nPU0,0\n", "\r\n\r\n"}) {
        const auto r = ReadBasic(store, text);
        EXPECT_EQ(r.status, ReadStatus::NoDelimiter) << text;
        EXPECT_EQ(store.LineCount[1], 0) << text;
        EXPECT_EQ(store.PlotTotal, 1);
        EXPECT_EQ(store.MaxX[1], kestrel::reader::ExtentLow);
        EXPECT_EQ(store.MinY[1], kestrel::reader::ExtentHigh);
    }
}

TEST(ReadPlotText, SegmentLimitKeepsTheSegmentsUpToIt) {
    PlotStore store;
    const std::string text = "PD1,1,2,2,3,3,4,4,5,5;";
    auto r = ReadBasic(store, text, 6);
    EXPECT_EQ(r.stop, StopReason::EndOfFile);
    EXPECT_EQ(store.LineCount[1], 5);

    // Completing the last record leaves no room for the next one: reading ends there.
    r = ReadBasic(store, text, 5);
    EXPECT_EQ(r.stop, StopReason::SegmentLimit);
    EXPECT_EQ(store.LineCount[1], 5);

    r = ReadBasic(store, text, 3);
    EXPECT_EQ(r.stop, StopReason::SegmentLimit);
    ASSERT_EQ(store.LineCount[1], 3);
    EXPECT_EQ(store.Line(1, 3).X2, 3);
    EXPECT_EQ(store.MaxX[1], 3);  // the last complete segment counts in the extents
}

TEST(ReadPlotText, MoreThanTheOldTableSizeIsStoredWhole) {
    std::string text = "PU0,0;PD";
    for (int i = 1; i <= 150001; ++i) {
        text += std::to_string(i % 1000) + "," + std::to_string(i / 1000) + ",";
    }
    text.back() = ';';
    PlotStore store;
    const auto r = ReadBasic(store, text);
    EXPECT_EQ(r.stop, StopReason::EndOfFile);
    EXPECT_EQ(store.LineCount[1], 150001);
    EXPECT_EQ(store.Line(1, 150001).X2, 1);
    EXPECT_EQ(store.Line(1, 150001).Y2, 150);
}

TEST(ReadPlotText, LaterReadReplacesAllOfTheEarlierPlot) {
    PlotStore store;
    ReadBasic(store, "PD1000,1000,2,2,3,3;");
    ReadBasic(store, "PU7,7;PD8,8;");
    EXPECT_EQ(Segments(store), (std::vector<Seg>{{7, 7, 8, 8, 1}}));
    EXPECT_EQ(store.MaxX[1], 8);
    EXPECT_EQ(store.MinX[1], 7);
}

TEST(ReadPlotText, HostileRunsOfRefusedPairsStayLinear) {
    // Each refusal re-reads the rest as a command; this must not rescan the line.
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "PD";
    text += ",1;PD1,1;";
    PlotStore store;
    ReadBasic(store, text);
    EXPECT_EQ(Segments(store), (std::vector<Seg>{{0, 0, 0, 1, 1}, {0, 1, 1, 1, 1}}));
}

TEST(ReadPlotFile, ReportsFilesThatCannotBeRead) {
    PlotStore store;
    ReadBasic(store, "PD1,1;");
    store.PlotDir = "/nonexistent-kestrel-dir/";
    store.PlotName = "missing.hpg";
    auto r = kestrel::reader::ReadPlotFile(store);
    EXPECT_EQ(r.status, ReadStatus::CannotOpen);
    EXPECT_EQ(r.errorNumber, ErrorNumber::FileNotFound);
    EXPECT_EQ(store.LineCount[1], 0);

    store.PlotDir = "/";
    store.PlotName = "tmp";
    r = kestrel::reader::ReadPlotFile(store);
    EXPECT_EQ(r.status, ReadStatus::CannotOpen);
    EXPECT_EQ(r.errorNumber, ErrorNumber::BadFileName);

    // A FIFO is refused at once; opening it to read would wait for a writer.
    const TestFolder dir;
    ASSERT_EQ(::mkfifo(dir.Path("plot.hpg").c_str(), 0600), 0);
    store.PlotDir = dir.Dir().string() + "/";
    store.PlotName = "plot.hpg";
    auto reading = std::async(std::launch::async, [&store] { return kestrel::reader::ReadPlotFile(store); });
    if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        std::ofstream(dir.Path("plot.hpg")) << "";  // a writer comes and goes: the open returns
        FAIL() << "opening a FIFO waited for a writer";
    }
    r = reading.get();
    EXPECT_EQ(r.status, ReadStatus::CannotOpen);
    EXPECT_EQ(r.errorNumber, ErrorNumber::BadFileName);
}

TEST(ReadPlotFile, HonoursCancelAndReportsProgress) {
    std::string text = "PU0,0;PD";
    for (int i = 0; i < 100000; ++i) text += "1,1,";
    const TestFolder dir;
    PlotStore store;
    store.PlotDir = dir.Dir().string() + "/";
    store.PlotName = dir.File("plot.hpg", text + "2,2;").substr(store.PlotDir.size());
    std::atomic<bool> cancel{false};
    std::atomic<std::uint64_t> progress{0};
    const kestrel::reader::ReadOptions options{kestrel::reader::Reading::Basic, kestrel::reader::MaxSegments, &cancel, &progress};
    auto r = kestrel::reader::ReadPlotFile(store, options);
    EXPECT_EQ(r.stop, StopReason::EndOfFile);
    EXPECT_EQ(store.LineCount[1], 100001);
    EXPECT_EQ(progress.load(), text.size() + 4);
    cancel = true;
    r = kestrel::reader::ReadPlotFile(store, options);
    EXPECT_EQ(r.stop, StopReason::Cancelled);
    EXPECT_EQ(store.LineCount[1], 0);
}

TEST(PlotFileText, AFileCutShortUnderTheReadingReadsAsZeros) {
    const TestFolder dir;
    const std::string path = dir.File("plot.hpg", std::string(1 << 20, 'x'));
    kestrel::reader::PlotFileText file;
    ASSERT_EQ(file.Open(path), 0);
    const std::string_view text = file.Text();
    ASSERT_TRUE(kestrel::reader::PassedMappedText(text.data() + 100));
    std::filesystem::resize_file(path, 4096);  // another program cuts the file
    EXPECT_EQ(text[100], 'x');
    EXPECT_EQ(text[text.size() - 1], '\0');  // not a SIGBUS
    EXPECT_FALSE(kestrel::reader::PassedMappedText(text.data() + text.size()));
}

TEST(FileErrorNumber, MapsTheCausesUsersCanActOn) {
    using kestrel::reader::FileErrorNumber;
    EXPECT_EQ(FileErrorNumber(ENOENT), ErrorNumber::FileNotFound);
    EXPECT_EQ(FileErrorNumber(ENOTDIR), ErrorNumber::FileNotFound);
    EXPECT_EQ(FileErrorNumber(EACCES), ErrorNumber::PermissionDenied);
    EXPECT_EQ(FileErrorNumber(EPERM), ErrorNumber::PermissionDenied);
    EXPECT_EQ(FileErrorNumber(EISDIR), ErrorNumber::BadFileName);
    EXPECT_EQ(FileErrorNumber(EIO), ErrorNumber::BadFileName);
}

TEST(LastPos, FindsTheLastOccurrence) {
    using kestrel::reader::LastPos;
    EXPECT_EQ(LastPos("/home/u/plot.hpg", "/"), 8);
    EXPECT_EQ(LastPos("plot.hpg", "/"), 0);
    EXPECT_EQ(LastPos("/", "/"), 1);
    EXPECT_EQ(LastPos("abab", "ab"), 3);
    EXPECT_EQ(LastPos("a", "ab"), 0);
}

}  // namespace
