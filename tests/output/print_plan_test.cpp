#include <gtest/gtest.h>

#include <vector>

#include "output/print_plan.h"

using Kestrel_Output::PlanPages;
using Kestrel_Output::PrintPage;
using Kestrel_Output::TileForSheet;
using Kestrel_Output::TileSize;

namespace {

TEST(PrintPlan, TileIsTheSheetLess12MmInThePrintersOrientation) {
    struct Row {
        const char* name;
        double widthMm, heightMm;
        bool landscape;
        double width, height;  // twips
    };
    // A4 and A3 must equal 567 times the centimetre values bit for bit.
    const Row rows[] = {
        {"A4 portrait", 210, 297, false, 567.0 * 19.8, 567.0 * 28.5},
        {"A4 landscape", 210, 297, true, 567.0 * 28.5, 567.0 * 19.8},
        {"A3 portrait", 297, 420, false, 567.0 * 28.5, 567.0 * 40.8},
        {"A3 landscape", 297, 420, true, 567.0 * 40.8, 567.0 * 28.5},
        {"Letter", 215.9, 279.4, false, 567 * 20.39, 567 * 26.74},
        {"Letter landscape", 215.9, 279.4, true, 567 * 26.74, 567 * 20.39},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const TileSize tile = TileForSheet(r.widthMm, r.heightMm, r.landscape);
        const double tolerance = r.widthMm == 215.9 ? 1e-6 : 0;  // Letter is given in inches
        EXPECT_NEAR(tile.width, r.width, tolerance);
        EXPECT_NEAR(tile.height, r.height, tolerance);
    }
    EXPECT_EQ(567.0 * 19.8, 11226.6);
    EXPECT_EQ(567.0 * 40.8, 23133.6);
    // A sheet no larger than the margins leaves no tile, and no pages.
    const TileSize none = TileForSheet(12, 297, false);
    EXPECT_EQ(none.width, 0);
    EXPECT_TRUE(PlanPages(100, 100, none).empty());
}

bool Same(const PrintPage& a, const PrintPage& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(PrintPlan, PagesRunColumnByColumnTopToBottom) {
    const TileSize a4 = TileForSheet(210, 297, false);
    const double w = a4.width, h = a4.height;
    struct Row {
        const char* name;
        double width, height;
        std::vector<PrintPage> pages;
    };
    const Row rows[] = {
        {"smaller than a tile", 9600, 7200, {{0, 0, w, h}}},
        {"empty image", 0, 0, {{0, 0, w, h}}},
        {"2.5 x 1.2 tiles",
         2.5 * w,
         1.2 * h,
         {{0, 0, w, h}, {0, h, w, h}, {w, 0, w, h}, {w, h, w, h}, {2 * w, 0, w, h}, {2 * w, h, w, h}}},
        // An exact multiple still starts another column: the loop runs while X <= width.
        {"exactly 2 tiles wide", 2 * w, h - 1, {{0, 0, w, h}, {w, 0, w, h}, {2 * w, 0, w, h}}},
        {"just under 2 tiles wide", 2 * w - 0.01, h - 1, {{0, 0, w, h}, {w, 0, w, h}}},
        {"exactly 1 tile high", w - 1, h, {{0, 0, w, h}, {0, h, w, h}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto pages = PlanPages(r.width, r.height, a4);
        ASSERT_EQ(pages.size(), r.pages.size());
        for (std::size_t i = 0; i < pages.size(); ++i) EXPECT_TRUE(Same(pages[i], r.pages[i])) << i;
    }
}

}  // namespace
