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

// Printing a plot as the plotter draws it: at true scale over as many sheets as it needs,
// neighbours overlapping by this much so that they can be put together by their marks.
inline constexpr double SheetOverlapMm = 10;
// More sheets than this are refused rather than sent to a printer.
inline constexpr int MostSheets = 500;

// One sheet of a tiled plot: the part of the drawing it shows begins `x`, `y` mm from the
// drawing's top left corner; the flags say which sides overlap a neighbour.
struct SheetTile {
    int row = 0;  // from 0, top to bottom
    int column = 0;
    double x = 0;
    double y = 0;
    bool left = false, right = false, top = false, bottom = false;
    bool operator==(const SheetTile&) const = default;
};

struct SheetPlan {
    int rows = 0;
    int columns = 0;
    std::vector<SheetTile> tiles;  // row by row, each from left to right
};

// The sheets of `sheetWidthMm` x `sheetHeightMm` printable paper that show a drawing of
// `widthMm` x `heightMm` at true scale, overlapping by `overlapMm`. No sheets when the
// paper is no larger than the overlap or the drawing would take more than `mostSheets`.
SheetPlan PlanSheets(double widthMm, double heightMm, double sheetWidthMm, double sheetHeightMm,
                     double overlapMm = SheetOverlapMm, int mostSheets = MostSheets);

}  // namespace kestrel::output
