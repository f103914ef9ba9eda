#pragma once

#include <string_view>

#include "reader/label_state.h"
#include "reader/plot_store.h"
#include "reader/plotter_frame.h"

namespace kestrel::reader {

class Plotter;

// How labels are laid out at the moment, in physical plotter units. Positions within a
// label are local: (along the label direction, up from the baseline).
struct LabelGeometry {
    Point along;        // unit vector of the label direction
    Point up;           // at right angles to it, counter-clockwise
    double width = 0;   // character width; negative mirrors
    double height = 0;  // cap height; negative turns upside down
    double slant = 0;
    double cell = 0;         // a fixed-pitch cell's width: the character and space beside it
    double line = 0;         // from one line's baseline to the next
    bool horizontal = true;  // text path along the label direction
    Point charStep;          // local: one character cell along the text path
    Point lineFeed;          // local

    Point Physical(Point origin, Point local) const {
        return {origin.x + along.x * local.x + up.x * local.y,
                origin.y + along.y * local.x + up.y * local.y};
    }
    Point PhysicalVector(Point local) const {
        return {along.x * local.x + up.x * local.y, along.y * local.x + up.y * local.y};
    }
};

LabelGeometry LabelLayout(const Plotter& plotter);

// LB: draws `text` from the pen position in the current pen and moves the pen on as
// the plotter does.
void DrawLabel(Plotter& plotter, std::string_view text);

// SM: the symbol centred on `at`.
void DrawSymbol(Plotter& plotter, Point at);

// The box the strokes of a character record lie in.
struct CharBox {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
};
CharBox CharBounds(const PlotChar& c);

}  // namespace kestrel::reader
