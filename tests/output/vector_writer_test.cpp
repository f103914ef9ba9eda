// SVG and PDF export: page layouts, a small plot's path data checked by hand, pages read back by pdfinfo.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "output/vector_writer.h"
#include "reader/reader.h"

namespace {

using Kestrel_Output::FitPaper;
using Kestrel_Output::VectorFormat;

Kestrel_Val::PlotStore Read(const char* text) {
    Kestrel_Val::PlotStore store;
    Kestrel_Sub::ReadPlotText(store, text);
    return store;
}

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string Temp(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

// A plot 1000 x 500 units (25 x 12.5 mm): a red corner and a red stroke away from it, then a blue one.
const char* const Corner = "IN;SP4;PU0,0;PD1000,0,1000,500;PU0,0;PD0,500;SP9;PU0,500;PD500,250;";

TEST(VectorWriter, LaysOutPagesOneToOneAndFitted) {
    const auto plot = Read(Corner);
    const auto empty = Read("IN;PU0,0;");
    const std::tuple<const Kestrel_Val::PlotStore*, FitPaper, std::vector<double>> rows[] = {
        // width, height, mm per unit, left, top
        {&plot, {}, {35, 22.5, 0.025, 5, 5}},
        {&plot, {210, 297}, {210, 297, 0.2, 5, 98.5}},  // the width limits
        {&plot, {100, 20}, {100, 20, 0.036, 32, 1}},    // the height limits, the margin shrinks to 5 %
        {&empty, {}, {10, 10, 0.025, 5, 5}},
        {&empty, {100, 50}, {100, 50, 0.025, 50, 25}},
    };
    for (const auto& [store, paper, expected] : rows) {
        const auto page = Kestrel_Output::LayOutPage(*store, 1, paper);
        ASSERT_TRUE(page);
        const std::vector<double> got{page->widthMm, page->heightMm, page->mmPerUnit, page->leftMm, page->topMm};
        for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], 1e-9) << paper.widthMm << " " << i;
    }
    // 30 million units are 750 m: only a fitted page can hold them.
    const auto huge = Read("IN;PU0,0;PD30000000,0;");
    EXPECT_FALSE(Kestrel_Output::LayOutPage(huge, 1, {}));
    EXPECT_EQ(Kestrel_Output::SaveVector(Temp("kestrel_huge.pdf"), VectorFormat::Pdf, huge, {1}), 31037);
    EXPECT_TRUE(Kestrel_Output::LayOutPage(huge, 1, {420, 297}));
}

TEST(VectorWriter, WritesPlotterUnitsWithYTurnedAndOnePathPerPen) {
    const auto store = Read(Corner);
    const std::string svg = Temp("kestrel_corner.svg");
    ASSERT_EQ(Kestrel_Output::SaveVector(svg, VectorFormat::Svg, store, {1}), 0);
    const std::string text = Contents(svg);
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
}

// The page descriptions of a PDF, inflated.
std::string PageContents(const std::string& pdf) {
    std::string out;
    const std::regex stream("stream\r?\n");
    for (auto it = std::sregex_iterator(pdf.begin(), pdf.end(), stream); it != std::sregex_iterator(); ++it) {
        const std::size_t from = static_cast<std::size_t>(it->position() + it->length());
        std::vector<unsigned char> buffer(1 << 20);
        uLongf size = buffer.size();
        const auto* data = reinterpret_cast<const Bytef*>(pdf.data() + from);
        if (uncompress(buffer.data(), &size, data, pdf.find("endstream", from) - from) == Z_OK)
            out.append(reinterpret_cast<const char*>(buffer.data()), size);
    }
    return out;
}

TEST(VectorWriter, WritesAPdfPagePerPlotAtItsOwnSizeInHairLines) {
    auto store = Read(Corner);
    store.SetSlotCount(3);  // a second plot: one line 2000 units long
    store.PlotLines[2] = {{}, {0, 2000, 0, 0, 1}};
    store.LineCount[2] = 1;
    store.MinX[2] = store.MinY[2] = store.MaxY[2] = 0;
    store.MaxX[2] = 2000;
    store.PlotTotal = 2;
    const std::string pdf = Temp("kestrel_pages.pdf");
    ASSERT_EQ(Kestrel_Output::SaveVector(pdf, VectorFormat::Pdf, store, {1, 2}), 0);
    FILE* p = popen(("pdfinfo -f 1 -l 9 " + pdf + " 2>&1").c_str(), "r");
    ASSERT_TRUE(p);
    std::string info;
    char buf[512];
    while (fgets(buf, sizeof buf, p)) info += buf;
    pclose(p);
    info = std::regex_replace(info, std::regex(" +"), " ");
    // 35 x 22.5 mm and 60 x 10 mm, in points.
    EXPECT_NE(info.find("Pages: 2\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Page 1 size: 99.2126 x 63.7795 pts"), std::string::npos) << info;
    EXPECT_NE(info.find("Page 2 size: 170.079 x 28.3465 pts"), std::string::npos) << info;
    // PDF's own hair-line, width 0, and the pens' colours.
    const std::string content = PageContents(Contents(pdf));
    for (const char* op : {"\n0 w\n", "0.501961 0 0 RG", "0 0 0.501961 RG"})
        EXPECT_NE(content.find(op), std::string::npos) << op << " in\n" << content;
}

TEST(VectorWriter, ReportsFilesThatCannotBeWritten) {
    const auto store = Read(Corner);
    for (const VectorFormat format : {VectorFormat::Svg, VectorFormat::Pdf}) {
        EXPECT_EQ(Kestrel_Output::SaveVector(Temp("missing/x"), format, store, {1}), 76);
        EXPECT_EQ(Kestrel_Output::SaveVector("/dev/full", format, store, {1}), 61);
    }
}

}  // namespace
