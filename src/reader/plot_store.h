#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "reader/plot_line_table.h"

namespace Kestrel_Val {

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

// The extents' reset values: the nearest floats to -/+3.4e38 (bit patterns FF7FC99E, 7F7FC99E).
inline constexpr float ExtentLow = -3.4e38f;
inline constexpr float ExtentHigh = 3.4e38f;

// Segments of a whole file before reading stops; keeps a hostile file's memory bounded.
inline constexpr std::int32_t MaxSegments = 20'000'000;

// Characters of a whole file; labels past it are left out and reading goes on.
inline constexpr std::int32_t MaxChars = 1'000'000;

// Plots of one file: the plot number is a 16-bit count.
inline constexpr int MaxPlots = 32767;

// Everything the program shares: the loaded plots, their extents and the view flags.
// Per-plot tables are indexed by the slot (the plot number, from 1; slot 0 is never
// filled); use ValidSlot before indexing with a number that may be out of range.
struct PlotStore {
    PlotStore() { SetSlotCount(2); }

    // Records 1..LineCount of a slot are complete segments; record 0 is never used.
    std::vector<PlotLineTable> PlotLines;
    std::vector<std::int32_t> LineCount;
    std::vector<std::int32_t> CharCount;
    // Records 1..CharCount of a slot; record 0 is never used.
    std::vector<std::vector<PlotChar>> PlotChars;
    std::vector<float> MaxX;
    std::vector<float> MaxY;
    std::vector<float> MinX;
    std::vector<float> MinY;

    std::int16_t PlotNo = 0;
    std::int16_t PlotTotal = 0;

    std::string PlotName;
    std::string PlotDir;
    std::string FileFilter;
    std::int16_t FilterIndex = 0;

    std::string SaveDir;
    std::string SaveName;

    std::int16_t PrintCancelled = 0;  // 1 when the last print dialog ended without OK

    std::int16_t AdjustViewOff = 0;
    std::int16_t RangeFrameOff = 0;

    int SlotCount() const { return static_cast<int>(PlotLines.size()); }
    bool ValidSlot(int slot) const { return slot >= 0 && slot < SlotCount(); }

    // Makes room for slots 0..count-1 (never fewer than two); new slots are empty.
    void SetSlotCount(int count) {
        const auto n = static_cast<std::size_t>(count < 2 ? 2 : count);
        PlotLines.resize(n);
        LineCount.resize(n, 0);
        CharCount.resize(n, 0);
        PlotChars.resize(n);
        MaxX.resize(n, 0);
        MaxY.resize(n, 0);
        MinX.resize(n, 0);
        MinY.resize(n, 0);
    }

    // Trades the plots (every per-plot table and PlotTotal) with `other`; a table added to
    // the store belongs here and in SetSlotCount.
    void SwapPlots(PlotStore& other) {
        PlotLines.swap(other.PlotLines);
        LineCount.swap(other.LineCount);
        CharCount.swap(other.CharCount);
        PlotChars.swap(other.PlotChars);
        MaxX.swap(other.MaxX);
        MaxY.swap(other.MaxY);
        MinX.swap(other.MinX);
        MinY.swap(other.MinY);
        std::swap(PlotTotal, other.PlotTotal);
    }

    // Segment k (1-based) of a slot; callers keep k within 1..LineCount(slot).
    const PlotLine& Line(int slot, std::int32_t k) const { return PlotLines.at(slot)[k]; }
};

}  // namespace Kestrel_Val
