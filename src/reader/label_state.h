#pragma once

#include <string>

#include "reader/character_sets.h"
#include "reader/plotter_frame.h"

namespace kestrel::reader {

// What SD and AD say about a font, as far as it sizes labels.
struct LabelFont {
    bool proportional = false;
    double pitch = 9;      // characters per inch
    double height = 11.5;  // points
};

// The plotter's label attributes, set by the character commands and reset by IN and DF.
struct LabelState {
    enum class Sizing { Font, Absolute, Relative };

    unsigned char terminator = 3;
    bool terminatorPrinted = false;  // DT mode 0
    Sizing sizing = Sizing::Font;
    double width = 0;                // SI: cm; SR: percent of P2x - P1x
    double height = 0;               // SI: cm; SR: percent of P2y - P1y
    bool relativeDirection = false;  // DR rather than DI
    double run = 1;
    double rise = 0;
    int path = 0;  // DV: 0 right, 1 down, 2 left, 3 up
    bool reverseLineFeed = false;
    double slant = 0;       // SL: tangent of the angle
    double extraSpace = 0;  // ES: spaces added between characters
    double extraLines = 0;  // ES: lines added between lines
    int origin = 1;         // LO
    bool twoByte = false;   // LM 1 or 3: every character is two bytes
    LabelFont standard;
    LabelFont alternate;
    LabelSets sets;                  // CS, CA; SD and AD kind 1
    bool alternateSelected = false;  // SA, or SO within a label
    std::string symbol;              // SM: drawn at every later point; empty when off
    std::string buffer;              // BL, drawn by PB

    // Where CR in a label returns to: the pen position after the last move.
    Point carriageReturn;

    // IN, DF: everything but the carriage return point.
    void Defaults();
};

}  // namespace kestrel::reader
