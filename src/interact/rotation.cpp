#include "interact/rotation.h"

#include <algorithm>
#include <vector>

#include "reader/labels.h"

namespace kestrel::interact {

namespace {

using reader::PlotLine;
using reader::PlotStore;

void MapPoint(Turn turn, float& x, float& y) {
    const float oldX = x;
    const float oldY = y;
    switch (turn) {
        case Turn::Right:
            x = oldY;
            y = -oldX;
            break;
        case Turn::Left:
            x = -oldY;
            y = oldX;
            break;
        case Turn::Half:
            x = -oldX;
            y = -oldY;
            break;
    }
}

// Strict comparisons: on a tie (and for NaN) the extent keeps its earlier value.
void Fold(float x, float y, float& maxX, float& maxY, float& minX, float& minY) {
    if (x > maxX) maxX = x;
    if (y > maxY) maxY = y;
    if (x < minX) minX = x;
    if (y < minY) minY = y;
}

}  // namespace

bool RotatePlot(PlotStore& store, Turn turn) {
    const int slot = store.PlotNo;
    if (!store.ValidSlot(slot)) return false;
    reader::Plot& plot = store.plots[static_cast<std::size_t>(slot)];
    float& maxX = plot.MaxX;
    float& maxY = plot.MaxY;
    float& minX = plot.MinX;
    float& minY = plot.MinY;
    maxX = reader::ExtentLow;
    maxY = reader::ExtentLow;
    minX = reader::ExtentHigh;
    minY = reader::ExtentHigh;

    // The count is taken once; a count beyond the stored records (never made by the
    // reader) stops at the last record rather than reading past the table.
    auto& lines = plot.PlotLines;
    const auto stored = static_cast<std::int64_t>(lines.size()) - 1;
    const std::int64_t count = std::min<std::int64_t>(plot.LineCount, stored);
    for (std::int64_t i = 1; i <= count; ++i) {
        PlotLine& l = lines[static_cast<std::size_t>(i)];
        MapPoint(turn, l.X1, l.Y1);
        MapPoint(turn, l.X2, l.Y2);
        Fold(l.X1, l.Y1, maxX, maxY, minX, minY);
        Fold(l.X2, l.Y2, maxX, maxY, minX, minY);
    }

    // Characters turn about the same origin: their position, and with their width and
    // height vectors the way they face.
    std::vector<reader::PlotChar>& chars = plot.PlotChars;
    const std::int64_t charCount =
        std::min<std::int64_t>(plot.CharCount, static_cast<std::int64_t>(chars.size()) - 1);
    for (std::int64_t i = 1; i <= charCount; ++i) {
        reader::PlotChar& c = chars[static_cast<std::size_t>(i)];
        MapPoint(turn, c.X, c.Y);
        MapPoint(turn, c.WidthX, c.WidthY);
        MapPoint(turn, c.HeightX, c.HeightY);
        const reader::CharBox box = reader::CharBounds(c);
        Fold(box.minX, box.minY, maxX, maxY, minX, minY);
        Fold(box.maxX, box.maxY, maxX, maxY, minX, minY);
    }

    // The pen-up moves turn with the drawing; they are no part of its extents.
    for (reader::TravelMove& move : plot.Travel) {
        MapPoint(turn, move.X1, move.Y1);
        MapPoint(turn, move.X2, move.Y2);
    }
    return true;
}

void ShiftPlotChars(reader::PlotStore& store, std::int16_t code) {
    const int slot = store.PlotNo;
    if (!store.ValidSlot(slot)) return;
    double a = 0;
    double b = 0;
    switch (code) {
        case 10: a = 0.1; break;
        case 11: a = -0.1; break;
        case 12: b = -0.1; break;
        case 13: b = 0.1; break;
        default: break;
    }
    reader::Plot& plot = store.plots[static_cast<std::size_t>(slot)];
    std::vector<reader::PlotChar>& chars = plot.PlotChars;
    const auto stored = static_cast<std::int64_t>(chars.size()) - 1;
    const std::int64_t count = std::min<std::int64_t>(plot.CharCount, stored);
    for (std::int64_t i = 1; i <= count; ++i) {
        reader::PlotChar& c = chars[static_cast<std::size_t>(i)];
        // The difference is taken in double and stored back as a float.
        c.X = static_cast<float>(static_cast<double>(c.X) - a);
        c.Y = static_cast<float>(static_cast<double>(c.Y) - b);
    }
}

}  // namespace kestrel::interact
