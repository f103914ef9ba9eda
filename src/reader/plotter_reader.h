#pragma once

#include <string_view>

#include "reader/plot_store.h"
#include "reader/reader.h"

namespace Kestrel_Plotter {

// Plotter reading: HPGL and HP-GL/2 as a pen plotter reads them, every page a plot.
Kestrel_Sub::ReadResult ReadPlotterText(Kestrel_Val::PlotStore& store, std::string_view text,
                                        const Kestrel_Sub::ReadOptions& options);

}  // namespace Kestrel_Plotter
