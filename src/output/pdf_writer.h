#pragma once

#include <string>
#include <vector>

#include "output/output_file.h"
#include "output/page_layout.h"
#include "reader/plot_store.h"

namespace kestrel::output {

// Writes plots `slots` as a PDF, a page each (no slots: one blank page): each run of joined
// strokes of one pen a path in the pen's colour and width, hair-lines PDF's own.
WriteResult WritePdf(const std::string& path, const reader::PlotStore& store,
                     const std::vector<int>& slots, FitPaper paper = {});

}  // namespace kestrel::output
