#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "output/output_file.h"
#include "output/page_layout.h"
#include "reader/plot_store.h"

namespace kestrel::output {

// Writes a drawn picture of 32-bit pixels (0xAARRGGBB).
using ImageWriter = WriteResult (*)(const std::string& path, const std::uint32_t* pixels, int width,
                                    int height, int strideInPixels);
// Writes plots `slots` of the store as paths.
using PathWriter = WriteResult (*)(const std::string& path, const reader::PlotStore& store,
                                   const std::vector<int>& slots, FitPaper paper);

// A format Kestrel writes, as the converter and the save dialog know it. Exactly one of
// the writers is set.
struct OutputFormat {
    std::string_view extension;  // lower case, without the dot
    const char* saveFilter;      // the save dialog's filter; nullptr: the dialog does not offer it
    ImageWriter image;
    PathWriter paths;
    bool everyPlot;  // a file holds every plot of the plot file, unless one is picked
};

// Every format, the default first: it is written where a name gives no format to go by.
std::span<const OutputFormat> OutputFormats();

// The format the end of `path` names, in upper or lower case; nullptr for none.
const OutputFormat* FormatOfPath(std::string_view path);

}  // namespace kestrel::output
