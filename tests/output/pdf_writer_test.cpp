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

}  // namespace
