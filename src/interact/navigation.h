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

}  // namespace kestrel::interact
