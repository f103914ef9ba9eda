#pragma once

#include <vector>

namespace kestrel::output {

// Printer positions and sizes are twips; the conversion from centimetres uses the
// whole number 567 twips per centimetre, as the tile table always has.
inline constexpr double TwipsPerCm = 567;

// The part of a sheet one tile covers, in twips.
struct TileSize {
    double width = 0;
    double height = 0;
};

// The tile for a sheet given in millimetres in its portrait reading: 1.2 cm shorter
// than the sheet on each side, turned for landscape. A sheet too small to leave a
// tile gives a zero size.
TileSize TileForSheet(double sheetWidthMm, double sheetHeightMm, bool landscape);

// One printed page: the region of the image it shows, in twips of the image.
struct PrintPage {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// The pages that print an image of the given size at one twip of paper per twip of
// image: (floor(width / W) + 1) columns of (floor(height / H) + 1) tiles, column by
// column, each top to bottom. Empty when the tile has no area.
std::vector<PrintPage> PlanPages(double imageWidth, double imageHeight, TileSize tile);

}  // namespace kestrel::output
