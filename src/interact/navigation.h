#pragma once

#include <cstdint>

#include "reader/plot_store.h"

namespace kestrel::interact {

// What a key does on the drawing area.
enum class KeyCommand {
    None,
    PreviousPlot,  // Page Up
    NextPlot,      // Page Down
    TurnRight,     // the left arrow
    TurnLeft,      // the right arrow
    TurnHalf,      // the down arrow
    Redraw,        // the up arrow
    NudgeChars,    // 4, 6, 2, 8 of the main keys or the keypad
    FirstPlot,     // Home
    LastPlot,      // End
    Cancel,        // Esc: ends a selection drag under way, else a view's drag or its measure
};

struct KeyAction {
    KeyCommand command = KeyCommand::None;
    std::int16_t nudgeCode = 0;  // with NudgeChars: ShiftPlotChars's direction code
};

// The action of a key, by its Windows virtual-key code; the modifiers play no part.
KeyAction ActionOfKey(int keyCode);

// The plot Page Up shows: the one before PlotNo, but not below 1.
std::int16_t PreviousPlotNo(const reader::PlotStore& store);
// The plot Page Down shows: the one after PlotNo, but not beyond PlotTotal.
std::int16_t NextPlotNo(const reader::PlotStore& store);
// The plots Home and End show: the file's first and last (PlotNo while there are none).
std::int16_t FirstPlotNo(const reader::PlotStore& store);
std::int16_t LastPlotNo(const reader::PlotStore& store);

// A step that could go no further: Page Up on the first plot, Page Down on the last.
enum class PlotEdge { None, First, Last };
PlotEdge EdgeOfStep(const reader::PlotStore& store, KeyCommand command);

}  // namespace kestrel::interact
