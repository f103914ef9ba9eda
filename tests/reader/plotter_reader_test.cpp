// Plotter reading: each text with the segments a plotter draws, per plot, worked out by
// hand from the HP-GL/2 rules (default P1/P2 of the A4 plotter: 603,521 and 10603,7721;
// hard-clip limits 11040 x 7721 unless PS sets them).
#include <gtest/gtest.h>

#include <atomic>
#include <charconv>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "reader/command_table.h"
#include "reader/plot_store.h"
#include "reader/reader.h"

using kestrel::reader::PlotStore;
using kestrel::reader::StopReason;

namespace {

struct Seg {
    float x1, y1, x2, y2;
    int pen = 1;
    bool operator==(const Seg&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seg& s) {
    return os << "(" << s.x1 << "," << s.y1 << ")-(" << s.x2 << "," << s.y2 << ") pen " << s.pen;
}

using Plots = std::vector<std::vector<Seg>>;

Plots ReadPlots(PlotStore& store, std::string_view text) {
    kestrel::reader::ReadPlotText(store, text);
    Plots plots;
    for (int p = 1; p <= store.PlotTotal; ++p) {
        plots.emplace_back();
        for (std::int32_t k = 1; k <= store.plots[p].LineCount; ++k) {
            const auto& l = store.Line(p, k);
            plots.back().push_back({l.X1, l.Y1, l.X2, l.Y2, l.Pen});
        }
    }
    return plots;
}

TEST(PlotterReading, DrawsWhatThePlotterDraws) {
    const struct {
        const char* name;
        std::string text;
        Plots plots;
    } cases[] = {
        // Separators and command boundaries.
        {"BlankAfterMnemonic", "PA 5385,6267;PD 5400,6267;", {{{5385, 6267, 5400, 6267}}}},
        {"BlanksInsideParameters", "PA244 ,1022 ;PD;PA260 ,1386 ;", {{{244, 1022, 260, 1386}}}},
        {"BlanksAndCommasMixed", "IN;PU0,0;PD 100,-100, 100,0;", {{{0, 0, 100, -100}, {100, -100, 100, 0}}}},
        {"SpaceSeparatedPair", "PUPA0 0 PD+7\t0", {{{0, 0, 7, 0}}}},
        {"RunTogether", "SP2PAPU6545,6440PRPD-95,90", {{{6545, 6440, 6450, 6530, 2}}}},
        {"OnePerLineWithSemicolonInAComment",
         "CO\"a;b\"\nPU0,0\nPD10,0\nPD10,10\n",
         {{{0, 0, 10, 0}, {10, 0, 10, 10}}}},
        {"PenNumberRunIntoTheNextCommand", "SP2LT ;PU0,0;PD5,5;", {{{0, 0, 5, 5, 2}}}},
        {"LowerCase", "pu0,0;Pd5,5;", {{{0, 0, 5, 5}}}},
        {"ExponentsFromPrintf", "PU1e2,0;PD2E+2,0;", {{{100, 0, 200, 0}}}},
        {"MalformedParameterSpoilsOnlyItsCommand", "PU0,0;PD10,0,--5,5;PD20,0;", {{{0, 0, 10, 0}, {10, 0, 20, 0}}}},
        {"LoneLastValueIgnored", "PU0,0;PD10,20,30;", {{{0, 0, 10, 20}}}},
        {"PenDownDot", "PA10,10;PD;PA10,10;PU;", {{{10, 10, 10, 10}}}},
        // Text that is not commands.
        {"LabelTextWithSemicolonsAndLetters", "LBPD;PA9,9;\x03PU0,0;PD10,0;", {{{0, 0, 10, 0}}}},
        {"DefinedTerminator", "DT*,1;LBabc;PD*PU0,0;PD10,0;", {{{0, 0, 10, 0}}}},
        {"PclAndPjlWrapping",
         "\x1b%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=HPGL2\r\n\x1b"
         "E\x1b%0BIN;PU0,0;PD5,0;\x1b%0A PD1,1 \x1b*b3WPD9\x1b%1BPD5,5;\x1b%-12345X",
         {{{0, 0, 5, 0}, {5, 0, 5, 5}}}},
        {"DeviceControlAndNul", std::string("\x1b.I81;;17:\x1b.N;19:\0\0PU0,0;PD3,0;", 31), {{{0, 0, 3, 0}}}},
        // State.
        {"InitializeKeepsTheDrawing", "PU0,0;PD10,0;IN;PU0,0;PD0,5;", {{{0, 0, 10, 0}, {0, 0, 0, 5}}}},
        {"InitializeResetsTheState", "PR;SP3;PD;IN;PU10,10;PD20,10;", {{{10, 10, 20, 10}}}},
        {"DefaultsEndRelativeAndScaling", "PR;SC0,1,0,1;DF;PU10,10;PD20,10;", {{{10, 10, 20, 10}}}},
        {"PenZeroDrawsNothing", "SP0;PU0,0;PD10,10;SP1;PD20,20;", {{{10, 10, 20, 20}}}},
        {"PagesWithoutEmptyOnes",
         "BP;PU0,0;PD1,0;PG;PG;PU0,0;PD0,2;BP\"next\";PD3,3;FR;",
         {{{0, 0, 1, 0}}, {{0, 0, 0, 2}}, {{0, 0, 3, 3}}}},
        {"NextPageStartsAtThePlotterOriginWithScalingKept",
         "SC0,10,0,10;IP0,0,100,100;PU5,5;PD6,6;PG;PD1,1;",
         {{{50, 50, 60, 60}}, {{0, 0, 10, 10}}}},
        {"PageEndsAtPrinterReset",
         "PU0,0;PD1,0;\x1b"
         "E\x1b%1BPR;PD0,3;",
         {{{0, 0, 1, 0}}, {{0, 0, 0, 3}}}},
        // In a PCL job only PCL ejects pages: BP begins a plot on the same page, PG does
        // nothing; a form feed, ESC E or a page-format command ends the page.
        {"PclJobBeginPlotKeepsThePage",
         "\x1b"
         "E\x1b%0BBP;IN;SP1;PU0,0;PD1,0;\x1b%0A\x1b%0BBP;SP1;PU0,0;PD0,2;\x1b%0A\x0c",
         {{{0, 0, 1, 0}, {0, 0, 0, 2}}}},
        {"PclJobFormFeedEjectsPageAdvanceDoesNot",
         "\x1b%0BIN;SP1;PU0,0;PD1,0;\x1b%0A\x0c\x1b%0BPU0,0;PD0,2;PG;PD3,2;\x1b%0A\x1b"
         "E",
         {{{0, 0, 1, 0}}, {{0, 0, 0, 2}, {0, 2, 3, 2}}}},
        {"PclJobPageFormatEjects",
         "\x1b%-12345X@PJL ENTER LANGUAGE=PCL\r\n\x1b"
         "E\x1b%0BIN;SP1;PU0,0;PD1,0;\x1b%0A\x1b&l1O\x1b%0BPU0,0;PD0,2;",
         {{{0, 0, 1, 0}}, {{0, 0, 0, 2}}}},
        {"PclJobNulEndsASequenceWithoutEjecting",
         std::string("\x1b%-12345X@PJL ENTER LANGUAGE=PCL\r\n\x1b"
                     "E\x1b%0BIN;SP1;PU0,0;PD1,0;\x1b%0A\x1b&l1\0\x1b%0BPU0,0;PD0,2;",
                     84),
         {{{0, 0, 1, 0}, {0, 0, 0, 2}}}},
        {"StandAlonePlotterModeAdvancesPages",
         "\x1b%0A\x1b%-1BIN;SP1;PU0,0;PD1,0;PG;PD0,2;",
         {{{0, 0, 1, 0}}, {{0, 0, 0, 2}}}},
        // Encoded polylines: 100, 200, 50, 0 are 200, 400, 100, 0 with the sign bit.
        {"EncodedBase64",
         "PE<=G\xc2O\xc5"
         "c\xc0\xbf;",
         {{{100, 200, 150, 200}}}},
        {"EncodedBase32", "PE7<=GeOkCb_;", {{{100, 200, 150, 200}}}},
        {"EncodedFractionAndNegative", "PU0,0;PE>\xc1\xc5\xca;", {{{0, 0, 1.5f, -2.5f}}}},
        {"EncodedPenSelect", "PU0,0;PE:\xc3\xc5\xc1;", {{{0, 0, 3, 1, 2}}}},
        {"EncodedDataRepairedFromUtf8",
         "PE<=G\xc3\x82O\xc3\x85"
         "c\xc3\x80\xc2\xbf;",
         {{{100, 200, 150, 200}}}},
        // 0xC2 0xBF is valid 8-bit data (terminating digits 3 and 0: the pen-up pair 100,0),
        // however much it looks like UTF-8.
        {"EncodedTerminatingZeroAfterHighDigit",
         "IN;SP1;PA1000,1000;PE<G\xc2\xbf;PD;PR0,100;PU;",
         {{{1100, 1000, 1100, 1100}}}},
        // Scaling, rotation and the window.
        {"ScaleToP1P2", "IP0,0,1000,2000;SC0,10,0,10;PU0,0;PD10,10;", {{{0, 0, 1000, 2000}}}},
        {"ScaleToDefaultP1P2", "SC0,100,0,100;PU0,0;PD100,100;", {{{603, 521, 10603, 7721}}}},
        {"IsotropicCentred", "IP0,0,2000,1000;SC0,10,0,10,1;PU0,0;PD10,10;", {{{500, 0, 1500, 1000}}}},
        {"IsotropicLeftBottom", "IP0,0,2000,1000;SC0,10,0,10,1,0,0;PU0,0;PD10,10;", {{{0, 0, 1000, 1000}}}},
        {"IsotropicFlippedY", "IP0,0,2000,1000;SC0,10,10,0,1;PU0,0;PD10,10;", {{{500, 1000, 1500, 0}}}},
        {"PointFactor", "IP100,100,200,200;SC5,2,5,3,2;PU5,5;PD6,6;", {{{100, 100, 102, 103}}}},
        {"RelativeInUserUnits", "IP0,0,1000,1000;SC0,10,0,10;PU1,1;PR;PD1,0;", {{{100, 100, 200, 100}}}},
        {"InputP1Only", "IP0,0,100,100;IP50,50;SC0,1,0,1;PU0,0;PD1,1;", {{{50, 50, 150, 150}}}},
        {"InputRelative", "PS1000,500;IR10,20,50,100;SC0,1,0,1;PU0,0;PD1,1;", {{{100, 100, 500, 500}}}},
        {"NewP1P2RemapsScaling", "SC0,1,0,1;IP0,0,10,10;PU0,0;PD1,1;", {{{0, 0, 10, 10}}}},
        {"Rotate90", "PS1000,500;RO90;PU0,0;PD100,0;", {{{1000, 0, 1000, 100}}}},
        {"Rotate180", "PS1000,500;RO180;PU0,0;PD100,0;", {{{1000, 500, 900, 500}}}},
        {"Rotate270", "PS1000,500;RO270;PU0,0;PD100,0;", {{{0, 500, 0, 400}}}},
        {"RotateKeepsThePen", "PS1000,500;PU10,20;RO90;PD;PR0,5;", {{{10, 20, 5, 20}}}},
        {"PlotSizeBeyondThePlotterRangeIgnored",
         "PS1E67;RO90;PG;PD;PS;PA3,4;PD5,4;",
         {{{11040, 0, 11036, 3}, {11036, 3, 11036, 5}}}},
        {"WindowClips",
         "IW0,0,50,50;PU-50,25;PD100,25;PU60,60;PD70,70;IW;PD80,80;",
         {{{0, 25, 50, 25}, {70, 70, 80, 80}}}},
        // A page set by PS cuts what lies beyond its hard-clip limits, turned or not.
        {"PageClips", "IN;PS4000,3000;SP1;PA500,500;PD5000,500;PU;", {{{500, 500, 4000, 500}}}},
        {"PageClipsTurned", "IN;PS4000,3000;RO90;SP1;PA500,500;PD5000,500;PU;", {{{3500, 500, 3500, 3000}}}},
        {"WindowResetToThePage", "IN;PS4000,3000;IW;SP1;PA500,500;PD5000,500;PU;", {{{500, 500, 4000, 500}}}},
        {"WindowWithinThePage",
         "IN;PS4000,3000;IW0,0,9000,9000;SP1;PA500,500;PD5000,500;PU;",
         {{{500, 500, 4000, 500}}}},
        {"NoPageNoCut", "IN;SP1;PA500,500;PD50000,500;PU;", {{{500, 500, 50000, 500}}}},
        {"PaperSizeOfAnOlderPlotterCutsNothing", "IN;PS4;SP1;PA500,500;PD50000,500;PU;", {{{500, 500, 50000, 500}}}},
        {"WindowInUserUnits", "IP0,0,100,100;SC0,10,0,10;IW0,0,5,5;SC;PU0,10;PD100,10;", {{{0, 10, 50, 10}}}},
    };
    PlotStore store;  // one for all: each read replaces everything of the one before
    for (const auto& c : cases) EXPECT_EQ(ReadPlots(store, c.text), c.plots) << c.name;
}

// Numbers of every length and form read as the correctly rounded conversion reads them,
// however the word-wide digit conversion meets them (at the end of the text too).
TEST(PlotterReading, NumbersReadAsTheLibraryConversion) {
    std::mt19937_64 next(0x9E3779B97F4A7C15ull);
    PlotStore store;
    for (int i = 0; i < 3000; ++i) {
        std::string number = next() % 3 == 0 ? "-" : "";
        const int digits = 1 + static_cast<int>(next() % 22);
        const int point = static_cast<int>(next() % (digits + 2));  // beyond the digits: none
        for (int d = 0; d < digits; ++d) {
            if (d == point) number += '.';
            number += static_cast<char>('0' + next() % 10);
        }
        double value = 0;
        std::from_chars(number.data(), number.data() + number.size(), value);
        const float v = static_cast<float>(value);
        EXPECT_EQ(ReadPlots(store, "PU0,0;PD" + number + ",0;"), (Plots{{{0, 0, v, 0}}})) << number;
        EXPECT_EQ(ReadPlots(store, "PU0,0;PD" + number + " " + number), (Plots{{{0, 0, v, v}}})) << number;
    }
}

// Two upper-case letters, the table's places; a second row for a command would take the
// place of the first.
TEST(PlotterReading, EachCommandHasOneRow) {
    std::set<std::uint16_t> seen;
    for (const auto& family : kestrel::reader::CommandTable::Families()) {
        for (const kestrel::reader::CommandRow& row : family) {
            SCOPED_TRACE((std::string{char(row.mnemonic >> 8), char(row.mnemonic & 0xFF)}));
            EXPECT_LT(kestrel::reader::MnemonicIndex(row.mnemonic), kestrel::reader::MnemonicCount);
            EXPECT_TRUE(seen.insert(row.mnemonic).second);
        }
    }
}

TEST(PlotterReading, LimitsEndReadingAndKeepWhatWasRead) {
    PlotStore store;
    const std::string text = "PU0,0;PD1,0;PG;PD2,0,3,0;PG;PD4,0;";
    auto r = kestrel::reader::ReadPlotText(store, text, {kestrel::reader::Reading::Plotter, 3});
    EXPECT_EQ(r.stop, StopReason::SegmentLimit);  // the limit counts every page
    EXPECT_EQ(store.PlotTotal, 2);
    EXPECT_EQ(store.plots[2].LineCount, 2);

    std::atomic<bool> cancel{false};
    std::atomic<std::uint64_t> progress{0};
    r = kestrel::reader::ReadPlotText(store, text, {kestrel::reader::Reading::Plotter, 100, &cancel, &progress});
    EXPECT_EQ(r.stop, StopReason::EndOfFile);
    EXPECT_EQ(progress.load(), text.size());
    cancel = true;
    r = kestrel::reader::ReadPlotText(store, text, {kestrel::reader::Reading::Plotter, 100, &cancel, &progress});
    EXPECT_EQ(r.stop, StopReason::Cancelled);
    EXPECT_EQ(store.PlotTotal, 1);

    // More pages than plot numbers: reading stops at the first segment without one.
    std::string pages;
    for (int i = 0; i <= kestrel::reader::MaxPlots; ++i) pages += "PD0,0;PG;";
    r = kestrel::reader::ReadPlotText(store, pages);
    EXPECT_EQ(r.stop, StopReason::PlotLimit);
    EXPECT_EQ(store.PlotTotal, kestrel::reader::MaxPlots);
    EXPECT_EQ(store.plots[kestrel::reader::MaxPlots].LineCount, 1);
}

}  // namespace
