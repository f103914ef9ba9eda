#pragma once

#include <cstdint>

#include "reader/plot_store.h"
#include "view/stroke_target.h"

namespace kestrel::view {

// How a pen draws on paper.
struct PenStyle {
    Rgb colour;
    double widthMm = 0;  // on the plotter's paper; 0 is a hair-line, the finest the output has
    LineCap cap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    double miterLimit = 5;
    bool operator==(const PenStyle&) const = default;
};

// The style of `pen` in plot `slot`: the one place that decides a segment's colour, width
// and shape. A shaded look's colour is its share of the pen's colour on white paper.
PenStyle PenStyleOf(const reader::PlotStore& store, int slot, std::int16_t pen);

}  // namespace kestrel::view
