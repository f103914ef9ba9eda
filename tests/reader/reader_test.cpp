// Basic reading: each text with the segments it stores and where it stops, and the file
// around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "test_folder.h"

#include "reader/plot_file_text.h"
#include "reader/plot_store.h"
#include "reader/reader.h"

using kestrel::reader::ErrorNumber;
using kestrel::reader::PlotStore;
using kestrel::reader::ReadStatus;
using kestrel::reader::StopReason;

namespace {

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

// The store holds exactly `expected` in plot 1, and its extents take in both ends of each
// segment and nothing else (the reset extents when there is none).
void ExpectPlot(const PlotStore& store, const std::vector<Seg>& expected, const std::string& context) {
    std::vector<Seg> got;
    for (std::int32_t k = 1; k <= store.plots[1].LineCount; ++k) {
        const auto& l = store.Line(1, k);
        got.push_back({l.X1, l.Y1, l.X2, l.Y2, l.Pen});
    }
    EXPECT_EQ(got, expected) << context;
    using kestrel::reader::ExtentHigh, kestrel::reader::ExtentLow;
    std::vector<float> box{ExtentHigh, ExtentHigh, ExtentLow, ExtentLow};
    for (const Seg& s : expected)
        box = {std::min({box[0], s.x1, s.x2}), std::min({box[1], s.y1, s.y2}), std::max({box[2], s.x1, s.x2}),
               std::max({box[3], s.y1, s.y2})};
    EXPECT_EQ((std::vector<float>{store.plots[1].MinX, store.plots[1].MinY, store.plots[1].MaxX, store.plots[1].MaxY}),
              box)
        << context;
    EXPECT_EQ(store.PlotTotal, 1) << context;
    EXPECT_EQ(store.plots[1].CharCount, 0) << context;
}

TEST(ReadPlotText, StoresThePenDownMoves) {
    std::string refusals;  // each refusal re-reads the rest as a command; this must not rescan the line
    for (int i = 0; i < 200000; ++i) refusals += "PD";
    const struct {
        const char* name;
        std::string text;
        std::vector<Seg> segments;
        StopReason stop = StopReason::EndOfFile;
    } cases[] = {
        {"BasicPlot", "IN;SP1;PU0,0;PD100,0,100,100;PU;", {{0, 0, 100, 0, 1}, {100, 0, 100, 100, 1}}},
        {"PageFeedEndsReading",
         "IN;SP1;PU0,0;PD100,0,100,100;PU;PG;PU0,0;PD5,5;",
         {{0, 0, 100, 0, 1}, {100, 0, 100, 100, 1}},
         StopReason::PageFeed},
        {"JoinedPageFeedEndsReading", "PD1,1;PRPG;PD5,5;", {{0, 0, 1, 1, 1}}, StopReason::PageFeed},
        {"UndelimitedLastCommand", "PU0,0;PD10,10", {{0, 0, 10, 10, 1}}},
        {"LineWithoutDelimiterIsSkipped", "PU0,0;\r\nPD5,5 PD6,6\r\nPD7,7;", {{0, 0, 7, 7, 1}}},
        {"BlankBeforeXRefusesThePair", "PU 10,10;PD5,5;", {{0, 0, 5, 5, 1}}},
        {"BlankBeforeCodeSkipsCommand", " PD10,10;PD5,5;", {{0, 0, 5, 5, 1}}},
        {"LowerCaseIsSkipped", "pd10,10;PD5,5;", {{0, 0, 5, 5, 1}}},
        {"SpWithoutNumberSelectsPenZero", "SP;PD1,1;SP3;PD2,2;", {{0, 0, 1, 1, 1}, {1, 1, 2, 2, 0}}},
        {"PenRoundsHalfToEven",
         "SP2.5;PU0,0;PD1,1;SP3.5;PD2,2;SP 3;PD3,3;",
         {{0, 0, 1, 1, 2}, {1, 1, 2, 2, 2}, {2, 2, 3, 3, 4}}},
        {"BadPenEndsReading", "PD1,1;SPx;PD2,2;", {{0, 0, 1, 1, 1}}, StopReason::BadPen},
        {"PenChangeReachesTheNextSegment", "PU0,0;SP2;PD10,10,20,20;", {{0, 0, 10, 10, 1}, {10, 10, 20, 20, 2}}},
        {"InDiscardsEarlierSegments", "PD1,1,2,2;IN;PD5,5;", {{0, 0, 5, 5, 1}}},
        {"BlankDelimiter", "PU0,0 PD10,10 PD20,0", {{0, 0, 10, 10, 1}, {10, 10, 20, 0, 1}}},
        {"ColonDelimiter", "PU0,0:PD10,10:", {{0, 0, 10, 10, 1}}},
        {"DigitDelimiter", "PU10,10PD20,20", {}},
        {"LoneValueIsIgnored", "PD10,20,30;", {{0, 0, 10, 20, 1}}},
        {"EmptyXReadsZero", "PD1,2,,4;", {{0, 0, 1, 2, 1}, {1, 2, 0, 4, 1}}},
        {"RefusedXIsReadAsCommand", "PU10,10,PD20,20;", {{10, 10, 20, 20, 1}}},
        {"PlusInXIsRefused", "PD+1,1;PD5,5;", {{0, 0, 5, 5, 1}}},
        {"ExponentInXIsRefused", "PD1E1,1;PD5,5;", {{0, 0, 5, 5, 1}}},
        {"YTextReadUpToLetters", "PU10,10PD20,20;PD30,30;", {{10, 10, 30, 30, 1}}},
        {"YTextMayHoldBlanks", "PD1, 2 5;", {{0, 0, 1, 25, 1}}},
        {"PenUpOnlyGivesNothing", "PU1,1,5,5;", {}},
        {"RelativeStartsFromThePen",
         "PA;PU100,100;PR;PD10,0,0,10;",
         {{100, 100, 110, 100, 1}, {110, 100, 110, 110, 1}}},
        {"AbsoluteAfterRelativeIsAbsolute",
         "PR;PU10,10;PD5,5;PA;PD100,100;",
         {{10, 10, 15, 15, 1}, {15, 15, 100, 100, 1}}},
        {"PenUpAndDownStayRelative", "PR;PU1,1;PD1,0;PU1,1;PD0,1;", {{1, 1, 2, 1, 1}, {3, 2, 3, 3, 1}}},
        {"DfLeavesThePenWhereItIs", "PU50,50;DF;PR;PD10,10;", {{50, 50, 60, 60, 1}}},
        {"InReturnsThePenToTheOrigin", "PU50,50;IN;PR;PD10,10;", {{0, 0, 10, 10, 1}}},
        {"DfEndsRelativeMode", "PR;PU5,5;DF;PD1,1;", {{5, 5, 1, 1, 1}}},
        {"JoinedRelativeForms",
         "PU5,5;PRPD1,1;PRPU1,0;PDPD0,1;PDPU9,9;PD0,1;",
         {{5, 5, 6, 6, 1}, {7, 6, 7, 7, 1}, {16, 16, 16, 17, 1}}},
        {"PrspSelectsPen", "PRSP4;PD1,1;PA;PRSP;PD2,2;", {{0, 0, 1, 1, 1}, {1, 1, 3, 3, 4}}},
        {"OverflowEndsReading", "PD1,1,1" + std::string(39, '0') + ",5;", {{0, 0, 1, 1, 1}}, StopReason::Overflow},
        {"YOverflowEndsReading", "PD1,1,5,1E39;", {{0, 0, 1, 1, 1}}, StopReason::Overflow},
        {"LongNegativeNumbersKeepTheirSign",
         "IN;PU0,0;PD-0.30000000000000004,-12.345678901234567,-0.0000000000000000000000000000012345678901234567,-1."
         "234567890123456789E-21;",
         {{0, 0, -0.3f, -12.345678901234567f, 1},
          {-0.3f, -12.345678901234567f, -1.2345678901234567e-30f, -1.234567890123456789e-21f, 1}}},
        {"XInDoubleYInSingle", "PD16777217,16777217;", {{0, 0, 16777216, 16777216, 1}}},
        {"LoneLineFeedEndsALine", "IN;\nSP2;\nPU0,0;\nPD10,10;\n", {{0, 0, 10, 10, 2}}},
        {"OneCommandPerLineCrLf", "IN\r\nPU0,0\r\nPD10,10\r\nPD20,0\r\n", {{0, 0, 10, 10, 1}, {10, 10, 20, 0, 1}}},
        {"OneCommandPerLineLf", "IN\nSP2\nPU0,0\nPD10,10\n", {{0, 0, 10, 10, 2}}},
        {"OneCommandPerLineCr", "PU3,3\rPD4,4\r", {{3, 3, 4, 4, 1}}},
        {"CommaAndPointAreNeverDelimiters", "PD1,PD2.PD3 PD4,4", {{0, 0, 1, 0, 1}, {1, 0, 4, 4, 1}}},
        {"HostileRunsOfRefusedPairsStayLinear", refusals + ",1;PD1,1;", {{0, 0, 0, 1, 1}, {0, 1, 1, 1, 1}}},
    };
    PlotStore store;  // one for all: each read replaces everything of the one before
    for (const auto& c : cases) {
        const auto r = ReadBasic(store, c.text);
        EXPECT_EQ(r.status, ReadStatus::Read) << c.name;
        EXPECT_EQ(r.stop, c.stop) << c.name;
        ExpectPlot(store, c.segments, c.name);
    }
    for (const char* text : {"", "IN\r\nPU0,0\r\n", "PD1,1\nPU0,0\n", "\r\n\r\n"}) {
        ReadBasic(store, "PD1,1;PD2,2;");
        EXPECT_EQ(ReadBasic(store, text).status, ReadStatus::NoDelimiter) << text;
        ExpectPlot(store, {}, text);
    }
}

TEST(ReadPlotText, SegmentLimitKeepsTheSegmentsUpToIt) {
    // Completing the last record leaves no room for the next one: reading ends there.
    const struct {
        std::int32_t limit;
        StopReason stop;
        int stored;
    } cases[] = {{6, StopReason::EndOfFile, 5}, {5, StopReason::SegmentLimit, 5}, {3, StopReason::SegmentLimit, 3}};
    PlotStore store;
    for (const auto& c : cases) {
        EXPECT_EQ(ReadBasic(store, "PD1,1,2,2,3,3,4,4,5,5;", c.limit).stop, c.stop) << c.limit;
        std::vector<Seg> kept;
        for (int k = 0; k < c.stored; ++k) kept.push_back({float(k), float(k), float(k + 1), float(k + 1), 1});
        ExpectPlot(store, kept, std::to_string(c.limit));
    }
}

TEST(ReadPlotFile, ReportsFilesThatCannotBeRead) {
    PlotStore store;
    for (const auto& [path, number] : {std::pair{"/nonexistent-kestrel-dir/missing.hpg", ErrorNumber::FileNotFound},
                                       {"/tmp", ErrorNumber::BadFileName}}) {
        ReadBasic(store, "PD1,1;");
        const auto r = kestrel::reader::ReadPlotFile(store, path);
        EXPECT_EQ(r.status, ReadStatus::CannotOpen) << path;
        EXPECT_EQ(r.errorNumber, number) << path;
        EXPECT_EQ(store.plots[1].LineCount, 0) << path;
    }
    using kestrel::reader::FileErrorNumber;
    for (const auto& [err, number] : {std::pair{ENOENT, ErrorNumber::FileNotFound},
                                      {ENOTDIR, ErrorNumber::FileNotFound},
                                      {EACCES, ErrorNumber::PermissionDenied},
                                      {EPERM, ErrorNumber::PermissionDenied},
                                      {EISDIR, ErrorNumber::BadFileName},
                                      {EIO, ErrorNumber::BadFileName}})
        EXPECT_EQ(FileErrorNumber(err), number) << err;
}

// More records than the old table held, with cancel and progress.
TEST(ReadPlotFile, HonoursCancelAndReportsProgress) {
    std::string text = "PU0,0;PD";
    for (int i = 1; i <= 150001; ++i) text += std::to_string(i % 1000) + "," + std::to_string(i / 1000) + ",";
    text.back() = ';';
    const TestFolder dir;
    PlotStore store;
    const std::string path = dir.File("plot.hpg", text);
    std::atomic<bool> cancel{false};
    std::atomic<std::uint64_t> progress{0};
    const kestrel::reader::ReadOptions options{kestrel::reader::Reading::Basic, kestrel::reader::MaxSegments, &cancel,
                                               &progress};
    auto r = kestrel::reader::ReadPlotFile(store, path, options);
    EXPECT_EQ(r.stop, StopReason::EndOfFile);
    ASSERT_EQ(store.plots[1].LineCount, 150001);
    EXPECT_EQ(std::pair(store.Line(1, 150001).X2, store.Line(1, 150001).Y2), std::pair(1.f, 150.f));
    EXPECT_EQ(progress.load(), text.size());
    cancel = true;
    r = kestrel::reader::ReadPlotFile(store, path, options);
    EXPECT_EQ(r.stop, StopReason::Cancelled);
    EXPECT_EQ(store.plots[1].LineCount, 0);
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

TEST(LastPos, FindsTheLastOccurrence) {
    using kestrel::reader::LastPos;
    for (const auto& [text, part, pos] : {std::tuple{"/home/u/plot.hpg", "/", 8},
                                          {"plot.hpg", "/", 0},
                                          {"/", "/", 1},
                                          {"abab", "ab", 3},
                                          {"a", "ab", 0}})
        EXPECT_EQ(LastPos(text, part), pos) << text;
}

}  // namespace
