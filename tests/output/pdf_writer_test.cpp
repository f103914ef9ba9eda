// PDF files: a small plot's page content checked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "output/pdf_writer.h"
#include "output/svg_writer.h"
#include "reader/reader.h"
#include "test_folder.h"

namespace {

using kestrel::output::SaveErrorNumber;
using kestrel::reader::ErrorNumber;

kestrel::reader::PlotStore Read(const char* text) {
    kestrel::reader::PlotStore store;
    kestrel::reader::ReadPlotText(store, text);
    return store;
}

TEST(PdfWriter, WritesPointsWithYUpAndARunOfAPenAsOnePath) {
    // A red corner and a red stroke away from it, then a blue one: in points, to two decimals, the margin is
    // 14.17 pt and 1000 units 70.87 pt.
    const auto store = Read("IN;SP4;PU0,0;PD1000,0,1000,500;PU0,0;PD0,500;SP9;PU0,500;PD500,250;");
    const TestFolder dir;
    const std::string pdf = dir.Path("corner.pdf");
    ASSERT_TRUE(kestrel::output::WritePdf(pdf, store, {1}));
    std::stringstream file;
    file << std::ifstream(pdf, std::ios::binary).rdbuf();
    const std::string bytes = file.str();
    const std::size_t from = bytes.find("stream\r\n"), to = bytes.find("endstream");
    ASSERT_LT(from, to);
    std::istringstream content(bytes.substr(from + 8, to - from - 8));
    std::string operations;
    for (std::string word; content >> word;) {
        char* end = nullptr;
        const double number = std::strtod(word.c_str(), &end);
        char rounded[32];
        std::snprintf(rounded, sizeof rounded, "%g ", std::round(number * 100) / 100);
        operations += *end == 0 ? rounded : word + " ";
    }
    EXPECT_EQ(operations,
              "1 J 1 j 0.5 0 0 RG 0 w 14.17 14.17 m 85.04 14.17 l 85.04 49.61 l 14.17 14.17 m 14.17 49.61 l S "
              "0 0 0.5 RG 0 w 14.17 49.61 m 49.61 31.89 l S ");
    // What cannot be written: a full disk, and a page of 750 m.
    for (const auto write : {kestrel::output::WritePdf, kestrel::output::WriteSvg})
        EXPECT_EQ(SaveErrorNumber(write("/dev/full", store, {1}, {})), ErrorNumber::DiskFull);
    EXPECT_EQ(SaveErrorNumber(kestrel::output::WritePdf(dir.Path("huge.pdf"), Read("IN;PD30000000,0;"), {1})),
              ErrorNumber::FileWriteError);
}

// Wide lines of other ends and corners than a pen's: PDF's own where it has them (butt ends
// 0 J, bevels 2 j), the rest filled after the stroke; round again for the next pen.
TEST(PdfWriter, LineAttributes) {
    const auto store = Read("IN;SP1;PW1;LA1,3,2,1,3,1.2;PU0,0;PD1000,0,1000,500;SP2;PW0.1;PD0,0;");
    const TestFolder dir;
    const std::string pdf = dir.Path("attributes.pdf");
    ASSERT_TRUE(kestrel::output::WritePdf(pdf, store, {1}));
    std::stringstream file;
    file << std::ifstream(pdf, std::ios::binary).rdbuf();
    const std::string bytes = file.str();
    const std::size_t shape = bytes.find("0 J\n2 j\n"), stroke = bytes.find("S\n", shape);
    ASSERT_NE(shape, std::string::npos);
    ASSERT_NE(stroke, std::string::npos);
    std::size_t fills = 0;
    for (std::size_t f = bytes.find("\nf\n", stroke); f != std::string::npos; f = bytes.find("\nf\n", f + 1)) ++fills;
    EXPECT_EQ(fills, 3u);  // two triangular ends, one cut miter
    EXPECT_NE(bytes.find("1 J\n1 j\n", stroke), std::string::npos);
}

}  // namespace
