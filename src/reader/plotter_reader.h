#pragma once

#include <string_view>

#include "reader/plot_store.h"
#include "reader/reader.h"

namespace kestrel::reader {

// Plotter reading: HPGL and HP-GL/2 as a pen plotter reads them, every page a plot.
ReadResult ReadPlotterText(PlotStore& store, std::string_view text, const ReadOptions& options);

}  // namespace kestrel::reader
