#include "output/print_plan.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace kestrel::output {

namespace {

constexpr double MarginMm = 12;  // 6 mm lost at each edge of the sheet

// Millimetres to centimetres by a division: for whole millimetres this gives exactly
// the double of the written value (198 mm -> 19.8), so A4 and A3 come out as 567 * 19.8
// and so on, bit for bit.
double TileCm(double sheetMm) { return (sheetMm - MarginMm) / 10; }

}  // namespace

TileSize TileForSheet(double sheetWidthMm, double sheetHeightMm, bool landscape) {
    TileSize tile{TwipsPerCm * TileCm(sheetWidthMm), TwipsPerCm * TileCm(sheetHeightMm)};
    if (!(tile.width > 0) || !(tile.height > 0)) return {};
    if (landscape) std::swap(tile.width, tile.height);
    return tile;
}

std::vector<PrintPage> PlanPages(double imageWidth, double imageHeight, TileSize tile) {
    std::vector<PrintPage> pages;
    if (!(tile.width > 0) || !(tile.height > 0) || !(imageWidth >= 0) || !(imageHeight >= 0)) {
        return pages;
    }
    const auto columns = static_cast<std::size_t>(std::floor(imageWidth / tile.width)) + 1;
    const auto rows = static_cast<std::size_t>(std::floor(imageHeight / tile.height)) + 1;
    pages.reserve(columns * rows);
    for (std::size_t c = 0; c < columns; ++c) {
        for (std::size_t r = 0; r < rows; ++r) {
            pages.push_back({static_cast<double>(c) * tile.width,
                             static_cast<double>(r) * tile.height, tile.width, tile.height});
        }
    }
    return pages;
}

}  // namespace kestrel::output
