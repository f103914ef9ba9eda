#pragma once

#include <array>
#include <cstdint>

#include "reader/generation_budget.h"
#include "reader/line_types.h"
#include "reader/pen_looks.h"
#include "reader/polygons.h"
#include "reader/units.h"

namespace kestrel::reader {

// FT and AC: how areas are filled.
struct FillSettings {
    // 1, 2 solid; 3 hatching; 4 cross-hatching; 10 shading; 11 an RF pattern; 21 a PCL
    // cross-hatch pattern.
    int type = 1;
    // Types 3 and 4 keep their own spacing (plotter units; 0: 1 % of the P1-P2 diagonal)
    // and angle (degrees).
    double spacing[2] = {0, 0};
    double angle[2] = {0, 0};
    double shading = 100;  // type 10: percent of the pen's colour
    int rasterFill = 1;    // type 11: the RF pattern
    bool rasterInCurrentPen = false;
    // Type 21: 1 horizontal, 2 vertical, 3 rising and 4 falling diagonal lines, 5 both of
    // 1 and 2, 6 both diagonals.
    int crossHatch = 1;
    bool anchored = false;  // AC; otherwise the lines run through the plotter's origin
    Point anchor;           // physical units
    // PT: the pen thickness solid fills are hatched at, in mm, for pens without a width.
    double penThicknessMm = DefaultPenThicknessMm;
};

// RF: a raster fill pattern, drawn as the share of its pixels that are not white, in the
// pen most of them name (or the current pen, for a pattern of only 0 and 1).
struct RasterFill {
    bool defined = false;
    double coverage = 0;  // percent
    std::int16_t pen = 0;
    bool uncoloured = true;
};

// What the plotter draws with besides the pen and its position: widths and colours,
// line type, fill type, the chord tolerance and the polygon buffer.
struct DrawingState {
    PenSettings pens;
    LineTypes lineType;
    FillSettings fill;
    bool chordDeviation = false;              // CT1: chord parameters are distances, not angles
    std::array<RasterFill, 8> rasterFills{};  // RF 1..8
    PolygonBuffer polygon;
    GenerationBudget budget;  // for the whole read

    // DF; IN also sets the pens back (pens.Initialize).
    void Defaults() {
        lineType.Initialize();
        fill = {};
        rasterFills = {};
        pens.DefaultLineAttributes();
        chordDeviation = false;
        polygon.Clear();
    }
};

}  // namespace kestrel::reader
