// The printed tiles: their size for a sheet, and the pages that cover an image with them.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "output/print_plan.h"

using kestrel::output::PlanPages;
using kestrel::output::PrintPage;
using kestrel::output::TileForSheet;

namespace {

TEST(PrintPlan, TileIsTheSheetLess12MmInThePrintersOrientation) {
    // Sheet in mm, landscape; the tile in twips. A4 equals 567 times the cm values bit for bit.
    const std::tuple<const char*, double, double, bool, double, double> rows[] = {
        {"A4 portrait", 210, 297, false, 567.0 * 19.8, 567.0 * 28.5},
        {"A4 landscape", 210, 297, true, 567.0 * 28.5, 567.0 * 19.8},
        {"Letter landscape", 215.9, 279.4, true, 567 * 26.74, 567 * 20.39},
    };
    for (const auto& [name, widthMm, heightMm, landscape, width, height] : rows) {
        SCOPED_TRACE(name);
        const auto tile = TileForSheet(widthMm, heightMm, landscape);
        const double tolerance = widthMm == 215.9 ? 1e-6 : 0;  // Letter is given in inches
        EXPECT_NEAR(tile.width, width, tolerance);
        EXPECT_NEAR(tile.height, height, tolerance);
    }
    // A sheet no larger than the margins leaves no tile, and no pages.
    const auto none = TileForSheet(12, 297, false);
    EXPECT_EQ(none.width, 0);
    EXPECT_TRUE(PlanPages(100, 100, none).empty());
}

TEST(PrintPlan, PagesRunColumnByColumnTopToBottom) {
    const auto a4 = TileForSheet(210, 297, false);
    const double w = a4.width, h = a4.height;
    const std::tuple<const char*, double, double, std::vector<PrintPage>> rows[] = {
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
    const auto regions = [](const std::vector<PrintPage>& pages) {
        std::vector<std::vector<double>> out;
        for (const PrintPage& p : pages) out.push_back({p.x, p.y, p.width, p.height});
        return out;
    };
    for (const auto& [name, width, height, pages] : rows)
        EXPECT_EQ(regions(PlanPages(width, height, a4)), regions(pages)) << name;
}

TEST(PrintPlan, TrueScaleSheetsOverlap) {
    using kestrel::output::PlanSheets;
    using kestrel::output::SheetTile;
    // A drawing in mm on A4's printable 200 x 287 mm, sheets overlapping by 10 mm: steps of
    // 190 across and 277 down.
    const std::tuple<const char*, double, double, int, int, std::vector<SheetTile>> rows[] = {
        {"fits one sheet", 200, 287, 1, 1, {{0, 0, 0, 0, false, false, false, false}}},
        {"nothing drawn", 0, 0, 1, 1, {{0, 0, 0, 0, false, false, false, false}}},
        {"exactly two sheets across",
         390,
         100,
         1,
         2,
         {{0, 0, 0, 0, false, true, false, false}, {0, 1, 190, 0, true, false, false, false}}},
        {"A3 landscape",
         420,
         297,
         2,
         3,
         {{0, 0, 0, 0, false, true, false, true},
          {0, 1, 190, 0, true, true, false, true},
          {0, 2, 380, 0, true, false, false, true},
          {1, 0, 0, 277, false, true, true, false},
          {1, 1, 190, 277, true, true, true, false},
          {1, 2, 380, 277, true, false, true, false}}},
        {"more sheets than allowed", 190 * 30 + 10, 277 * 20 + 10, 0, 0, {}},
        {"a drawing no number measures", NAN, 100, 0, 0, {}},
    };
    for (const auto& [name, width, height, rowCount, columnCount, tiles] : rows) {
        SCOPED_TRACE(name);
        const auto plan = PlanSheets(width, height, 200, 287);
        EXPECT_EQ(plan.rows, rowCount);
        EXPECT_EQ(plan.columns, columnCount);
        EXPECT_EQ(plan.tiles, tiles);
    }
    EXPECT_TRUE(PlanSheets(100, 100, 10, 287).tiles.empty());  // paper no wider than the overlap
}

}  // namespace
