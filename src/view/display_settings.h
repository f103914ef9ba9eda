#pragma once

#include <cstdint>
#include <vector>

namespace kestrel::view {

// The display settings of a run, each 0 for ON and 1 for OFF, as the display settings
// dialog shows them.
struct DisplaySettings {
    std::int16_t AdjustViewOff = 0;  // 0: a resized window draws the plot fitted afresh
    std::int16_t RangeFrameOff = 0;  // 0: DrawPlot frames the plot's extents
    std::int16_t PenWidthOff = 0;    // 1: pen widths are not shown, every line is a hair-line
    // Besides the dialog's: pens left out of the view (as the file numbers them, sorted),
    // and whether the pen-up moves show as thin dotted lines.
    std::vector<std::int16_t> HiddenPens;
    bool ShowTravel = false;
};

}  // namespace kestrel::view
