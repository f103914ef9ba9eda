#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/plot_store.h"

namespace kestrel::interact {

// Status bar panel 2: "PLOT Files : 1 / 1".
std::string PlotStatusText(std::int16_t plotNo, std::int16_t plotTotal);
// Status bar panel 4: "L/S : 523 / 0", the counts of plot PlotNo.
std::string LineStatusText(const reader::PlotStore& store);
// The window menu's plot list after a load: "PLOT No.1" .. "PLOT No.n".
std::vector<std::string> PlotMenuCaptions(std::int16_t plotTotal);

}  // namespace kestrel::interact
