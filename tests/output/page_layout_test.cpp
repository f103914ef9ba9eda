// Pages of SVG and PDF files: one to one with a margin, or fitted to paper.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "output/page_layout.h"
#include "reader/reader.h"

namespace {

using kestrel::output::FitPaper;

kestrel::reader::PlotStore Read(const char* text) {
    kestrel::reader::PlotStore store;
    kestrel::reader::ReadPlotText(store, text);
    return store;
}

TEST(PageLayout, OneToOneAndFitted) {
    // A plot 1000 x 500 units (25 x 12.5 mm).
    const auto plot = Read("IN;SP4;PU0,0;PD1000,0,1000,500;"), empty = Read("IN;PU0,0;");
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
    EXPECT_FALSE(kestrel::output::LayOutPage(huge, 1, {}));
    EXPECT_TRUE(kestrel::output::LayOutPage(huge, 1, {420, 297}));
}

}  // namespace
