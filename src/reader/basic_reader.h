#pragma once

#include <string_view>

#include "reader/plot_store.h"
#include "reader/reader.h"

namespace kestrel::reader {

// Basic reading: the exact reading of the basic commands (IN, DF, PG, SP, PA, PR, PU, PD
// and their joined forms) into one plot, slot 1; the first page feed ends it.
ReadResult ReadBasicText(PlotStore& store, std::string_view text, const ReadOptions& options);

// The plot a file that cannot be read leaves, whichever the reading: slot 1 with no
// segments and no characters, and its extents at their reset values.
void EmptyPlot(PlotStore& store);

}  // namespace kestrel::reader
