#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "reader/plot_line_table.h"
#include "reader/units.h"

namespace kestrel::reader {

// One character of a label. Its glyph's strokes are drawn from the record: a glyph point
// (u, v) in character units lies at (X, Y) + u * (WidthX, WidthY) + v * (HeightX, HeightY).
// The position comes first: the nudge keys move only X and Y.
struct PlotChar {
    float X = 0;  // the character's origin: the left end of its baseline
    float Y = 0;
    float WidthX = 0;  // the character width along the baseline
    float WidthY = 0;
    float HeightX = 0;  // the cap height, slant included
    float HeightY = 0;
    std::uint16_t Glyph = 0;  // in the stroke font
    std::int16_t Pen = 0;
};

// How a pen draws in one plot when the file says so (PC, PW, FT, LA): its own colour, if it
// has one, the share of it a shaded fill lays down, its width on paper (0: a hair-line), and
// the shape of wide lines' ends and corners.
struct PenLook {
    std::int16_t Pen = 0;
    bool OwnColour = false;
    std::uint8_t R = 0, G = 0, B = 0;
    float WidthMm = 0;
    std::uint8_t Tint = 100;  // percent of the colour; the rest is white paper (FT10, FT11)
    // LA's kinds: ends 1 butt, 2 square, 3 triangular, 4 round; joins 1 mitered (cut at the
    // miter limit), 2 mitered or else beveled, 3 triangular, 4 round, 5 beveled, 6 none.
    // 0 for both: round, as a pen draws.
    std::uint8_t Ends = 0;
    std::uint8_t Joins = 0;
    float MiterLimit = 5;  // miter length over line width
};

// The pen looks of one plot. A segment's Pen is the real pen number while the pen draws
// as it started the plot (FirstLooks, or Kestrel's colour and a hair-line for a pen not
// listed there); a pen whose look changes later draws in Pen = -1 - i with LaterLooks[i].
struct PlotPens {
    std::vector<PenLook> FirstLooks;  // sorted by Pen
    std::vector<PenLook> LaterLooks;
};

// A move the plotter made with the pen up, from (X1, Y1) to (X2, Y2).
struct TravelMove {
    float X1 = 0;
    float Y1 = 0;
    float X2 = 0;
    float Y2 = 0;
};

// The pen-down velocity of a plotter the file sets none for (an HP 7475A's), in cm/s. Pen-up
// moves always go at it: VS sets the speed of drawing only.
inline constexpr float DefaultVelocityCmPerS = 38.1f;

// VS: from segment Line and character Char of the plot on, pen Pen (every pen: -1) draws
// at CmPerS cm/s; 0 stands for the plotter's default.
struct VelocityChange {
    std::int32_t Line = 1;
    std::int32_t Char = 1;
    std::int16_t Pen = -1;
    float CmPerS = 0;
};

// Pen-up moves of a whole file that are kept (16 bytes each); the rest are left out, which
// the plot notes.
inline constexpr std::int32_t MaxTravelMoves = 4'000'000;

// The extents' reset values: the nearest floats to -/+3.4e38 (bit patterns FF7FC99E, 7F7FC99E).
inline constexpr float ExtentLow = -3.4e38f;
inline constexpr float ExtentHigh = 3.4e38f;

// Segments of a whole file before reading stops; keeps a hostile file's memory bounded.
inline constexpr std::int32_t MaxSegments = 20'000'000;

// Characters of a whole file; labels past it are left out and reading goes on.
inline constexpr std::int32_t MaxChars = 1'000'000;

// Plots of one file: the plot number is a 16-bit count.
inline constexpr int MaxPlots = 32767;

// One plot of the file: its segments and label characters, their counts and extents, and
// its pens' looks.
struct Plot {
    // Records 1..LineCount are complete segments; record 0 is never used.
    PlotLineTable PlotLines;
    std::int32_t LineCount = 0;
    std::int32_t CharCount = 0;
    // Records 1..CharCount; record 0 is never used.
    std::vector<PlotChar> PlotChars;
    float MaxX = 0;
    float MaxY = 0;
    float MinX = 0;
    float MinY = 0;
    // Empty for plots whose pens all draw in Kestrel's colours as hair-lines.
    PlotPens Pens;
    // How the plotter went about it, as plotter reading keeps it (basic reading keeps
    // none): the pen-up moves in order, the velocity changes, and how often the pen that
    // drew changed.
    std::vector<TravelMove> Travel;
    bool TravelKept = false;
    bool TravelCut = false;  // past MaxTravelMoves in the file: later moves left out
    std::vector<VelocityChange> Velocities;
    std::int32_t PenChanges = 0;

    // For a reading that keeps no account of how the plot was drawn.
    void ForgetHowDrawn() {
        Travel = {};
        TravelKept = TravelCut = false;
        Velocities = {};
        PenChanges = 0;
    }

    // The look a segment's Pen stands for, or nullptr for Kestrel's default.
    const PenLook* LookOf(std::int16_t pen) const {
        if (pen < 0) {
            const auto i = static_cast<std::size_t>(-1 - pen);
            return i < Pens.LaterLooks.size() ? &Pens.LaterLooks[i] : nullptr;
        }
        const auto it =
            std::lower_bound(Pens.FirstLooks.begin(), Pens.FirstLooks.end(), pen,
                             [](const PenLook& l, std::int16_t p) { return l.Pen < p; });
        return it != Pens.FirstLooks.end() && it->Pen == pen ? &*it : nullptr;
    }
};

// The loaded file and its plots. `plots` is indexed by the slot (the plot number, from 1;
// slot 0 is never filled); use ValidSlot before indexing with a number that may be out of
// range.
struct PlotStore {
    PlotStore() { SetSlotCount(2); }

    std::vector<Plot> plots;

    std::int16_t PlotNo = 0;
    std::int16_t PlotTotal = 0;

    // The file the plots were read from: PlotDir (with its trailing separator) + PlotName.
    // PlotName is empty while nothing is loaded.
    std::string PlotName;
    std::string PlotDir;

    int SlotCount() const { return static_cast<int>(plots.size()); }
    bool ValidSlot(int slot) const { return slot >= 0 && slot < SlotCount(); }

    // Makes room for slots 0..count-1 (never fewer than two); new slots are empty.
    void SetSlotCount(int count) { plots.resize(static_cast<std::size_t>(count < 2 ? 2 : count)); }

    // Trades the plots (and PlotTotal) with `other`.
    void SwapPlots(PlotStore& other) {
        plots.swap(other.plots);
        std::swap(PlotTotal, other.PlotTotal);
    }

    // Segment k (1-based) of a slot; callers keep k within 1..LineCount of the slot.
    const PlotLine& Line(int slot, std::int32_t k) const {
        return plots.at(static_cast<std::size_t>(slot)).PlotLines[static_cast<std::size_t>(k)];
    }

    // The look a segment's Pen stands for in a slot, or nullptr for Kestrel's default.
    const PenLook* LookOf(int slot, std::int16_t pen) const {
        return ValidSlot(slot) ? plots[static_cast<std::size_t>(slot)].LookOf(pen) : nullptr;
    }

    // The pen number a segment was drawn with, as the file named it.
    std::int16_t PenNumber(int slot, std::int16_t pen) const {
        const PenLook* look = pen < 0 ? LookOf(slot, pen) : nullptr;
        return look ? look->Pen : pen;
    }
};

}  // namespace kestrel::reader
