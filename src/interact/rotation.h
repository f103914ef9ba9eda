#pragma once

#include <cstdint>

#include "reader/plot_store.h"

namespace kestrel::interact {

// The three turns of the plot shown, about the plot's origin.
enum class Turn {
    Right,  // clockwise: (x, y) -> (y, -x)
    Left,   // counter-clockwise: (x, y) -> (-y, x)
    Half,   // 180 degrees: (x, y) -> (-x, -y)
};

// Turns segments 1..LineCount and characters 1..CharCount of slot PlotNo in place and
// recomputes that slot's extents from them. Only swaps and negations, so turns that add
// up to a full circle restore every coordinate bit for bit. False, changing nothing, when PlotNo
// names no slot.
bool RotatePlot(reader::PlotStore& store, Turn turn);

// Nudges the positions of character records 1..CharCount of slot PlotNo by 0.1 plotter
// units: code 10 towards smaller x, 11 larger x, 12 larger y, 13 smaller y; any other
// code rewrites them unchanged. Nothing happens when PlotNo names no slot.
void ShiftPlotChars(reader::PlotStore& store, std::int16_t code);

}  // namespace kestrel::interact
