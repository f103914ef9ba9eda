// SVG and PDF export: page layouts, and a small plot's path data checked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "output/vector_writer.h"
#include "reader/reader.h"
#include "test_folder.h"

namespace {

using kestrel::output::FitPaper;
using kestrel::output::VectorFormat;
using kestrel::reader::ErrorNumber;

kestrel::reader::PlotStore Read(const char* text) {
    kestrel::reader::PlotStore store;
    kestrel::reader::ReadPlotText(store, text);
    return store;
}

// A plot 1000 x 500 units (25 x 12.5 mm): a red corner and a red stroke away from it, then a blue one.
const char* const Corner = "IN;SP4;PU0,0;PD1000,0,1000,500;PU0,0;PD0,500;SP9;PU0,500;PD500,250;";

TEST(VectorWriter, LaysOutPagesOneToOneAndFitted) {
    const auto plot = Read(Corner), empty = Read("IN;PU0,0;");
    const std::tuple<const kestrel::reader::PlotStore*, FitPaper, std::vector<double>> rows[] = {
        // width, height, mm/unit, left, top
        {&plot, {}, {35, 22.5, 0.025, 5, 5}},        {&plot, {210, 297}, {210, 297, 0.2, 5, 98.5}},  // the width limits
        {&plot, {100, 20}, {100, 20, 0.036, 32, 1}},  // the height limits, the margin shrinks to 5 %
        {&empty, {}, {10, 10, 0.025, 5, 5}},         {&empty, {100, 50}, {100, 50, 0.025, 50, 25}},
    };
    for (const auto& [store, paper, expected] : rows) {
        const auto page = kestrel::output::LayOutPage(*store, 1, paper);
        ASSERT_TRUE(page);
        const std::vector<double> got{page->widthMm, page->heightMm, page->mmPerUnit, page->leftMm, page->topMm};
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], expected[i], 1e-9) << paper.widthMm << " " << i;
    }
    // 30 million units are 750 m: only a fitted page can hold them.
    const auto huge = Read("IN;PU0,0;PD30000000,0;");
    const TestFolder dir;
    EXPECT_EQ(kestrel::output::SaveVector(dir.Path("huge.pdf"), VectorFormat::Pdf, huge, {1}),
              ErrorNumber::FileWriteError);
    EXPECT_TRUE(kestrel::output::LayOutPage(huge, 1, {420, 297}));
}

TEST(VectorWriter, WritesPlotterUnitsWithYTurnedAndOnePathPerPen) {
    const auto store = Read(Corner);
    const TestFolder dir;
    const std::string svg = dir.Path("corner.svg");
    ASSERT_EQ(kestrel::output::SaveVector(svg, VectorFormat::Svg, store, {1}), ErrorNumber::None);
    std::stringstream file;
    file << std::ifstream(svg).rdbuf();
    const std::string text = file.str();
    // The view box is in plotter units, with the 5 mm margin (200 units) all round.
    EXPECT_NE(text.find(R"(width="35mm" height="22.5mm" viewBox="0 0 1400 900")"), std::string::npos) << text;
    std::vector<std::string> paths;  // colour, width, data
    const std::regex path(R"re(<path style="[^"]*stroke-width:([^;]*);[^"]*stroke:(rgb\([^)]*\))[^"]*" d="([^"]*)")re");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), path); it != std::sregex_iterator(); ++it)
        paths.push_back((*it)[2].str() + " " + (*it)[1].str() + " " + (*it)[3].str());
    // Hair-lines are 0.1 mm (4 units); the stroke away from the corner is a subpath of the same path.
    EXPECT_EQ(paths, (std::vector<std::string>{
                         "rgb(50.196078%,0%,0%) 4 M 200 700 L 1200 700 L 1200 200 M 200 700 L 200 200 ",
                         "rgb(0%,0%,50.196078%) 4 M 200 200 L 700 450 ",
                     }));
    // The PDF's content in points, to two decimals: the margin is 14.17 pt, 1000 units 70.87 pt, y grows upwards.
    const std::string pdf = dir.Path("corner.pdf");
    ASSERT_EQ(kestrel::output::SaveVector(pdf, VectorFormat::Pdf, store, {1}), ErrorNumber::None);
    file.str("");
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
    for (const VectorFormat format : {VectorFormat::Svg, VectorFormat::Pdf})  // a full disk
        EXPECT_EQ(kestrel::output::SaveVector("/dev/full", format, store, {1}), ErrorNumber::DiskFull);
}

}  // namespace
