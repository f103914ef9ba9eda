#pragma once

#include <cstdint>
#include <vector>

#include "reader/plot_store.h"
#include "view/pen_style.h"

namespace kestrel::view {

// One pen's share of a plot.
struct PenStatistics {
    std::int16_t pen = 0;  // as the file numbers it
    PenStyle style;        // the look it starts the plot with
    std::int64_t segments = 0;
    std::int64_t characters = 0;
    double drawnMm = 0;  // pen-down length of its segments and label strokes, on paper
};

// How much drawing a plot holds and how long a pen plotter takes over it.
struct PlotStatistics {
    std::vector<PenStatistics> pens;  // by pen number
    double penDownMm = 0;
    // The pen-up moves the reading kept, and those within labels; `penUpKnown` false when
    // the reading kept none (basic reading).
    double penUpMm = 0;
    bool penUpKnown = false;
    bool penUpPartial = false;  // the reading kept only some of the moves
    // Pen-down moves at the file's VS velocities, pen-up moves at the plotter's default,
    // at full speed throughout (a plotter's acceleration and pen changes come on top).
    double seconds = 0;
    std::int32_t penChanges = 0;
};

// The statistics of plot `slot`; empty for a slot the store does not have.
PlotStatistics PlotStatisticsOf(const reader::PlotStore& store, int slot);

}  // namespace kestrel::view
