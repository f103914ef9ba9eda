#pragma once

#include "reader/generation_budget.h"
#include "reader/line_types.h"
#include "reader/pen_looks.h"
#include "reader/polygons.h"
#include "reader/units.h"

namespace kestrel::reader {

// FT and AC: how areas are filled.
struct FillSettings {
    int type = 1;  // 1, 2 solid; 3 hatching; 4 cross-hatching; shading and patterns draw solid
    // Types 3 and 4 keep their own spacing (plotter units; 0: 1 % of the P1-P2 diagonal)
    // and angle (degrees).
    double spacing[2] = {0, 0};
    double angle[2] = {0, 0};
    bool anchored = false;  // AC; otherwise the lines run through the plotter's origin
    Point anchor;           // physical units
    // PT: the pen thickness solid fills are hatched at, in mm, for pens without a width.
    double penThicknessMm = DefaultPenThicknessMm;
};

// What the plotter draws with besides the pen and its position: widths and colours,
// line type, fill type, the chord tolerance and the polygon buffer.
struct DrawingState {
    PenSettings pens;
    LineTypes lineType;
    FillSettings fill;
    bool chordDeviation = false;  // CT1: chord parameters are distances, not angles
    PolygonBuffer polygon;
    GenerationBudget budget;  // for the whole read

    // DF; IN also sets the pens back (pens.Initialize).
    void Defaults() {
        lineType.Initialize();
        fill = {};
        chordDeviation = false;
        polygon.Clear();
    }
};

}  // namespace kestrel::reader
