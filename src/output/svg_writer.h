#pragma once

#include <string>
#include <vector>

#include "output/output_file.h"
#include "output/page_layout.h"
#include "reader/plot_store.h"

namespace kestrel::output {

// Writes the first of plots `slots` (none: a blank page) as an SVG: each run of joined
// strokes of one pen a path in the pen's colour and width, hair-lines 0.1 mm, the view box
// in the plot's plotter units and the size in millimetres.
WriteResult WriteSvg(const std::string& path, const reader::PlotStore& store,
                     const std::vector<int>& slots, FitPaper paper = {});

}  // namespace kestrel::output
