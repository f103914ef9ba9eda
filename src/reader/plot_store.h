#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Kestrel_Val {

// One pen-down move. Field order is the file format's historical one: both x first.
struct PlotLine {
    float X1 = 0;
    float X2 = 0;
    float Y1 = 0;
    float Y2 = 0;
    std::int16_t Pen = 0;
};

// A character's record; only the position (the first two values) is ever read or written.
struct PlotChar {
    float X = 0;
    float Y = 0;
    float Unused[5] = {};
};

inline constexpr int MaxPlotChars = 2000;

// The extents' reset values: the nearest floats to -/+3.4e38 (bit patterns FF7FC99E, 7F7FC99E).
inline constexpr float ExtentLow = -3.4e38f;
inline constexpr float ExtentHigh = 3.4e38f;

// Segments per plot before reading stops; keeps a hostile file's memory bounded.
inline constexpr std::int32_t MaxSegments = 20'000'000;

inline constexpr int SlotCount = 2;  // slot 0 is never filled; the reader fills slot 1

// Everything the program shares: the loaded plot, its extents and the view flags.
// Per-slot tables are indexed by the slot; use the accessors, which check it.
struct PlotStore {
    // Records 1..LineCount of a slot are complete segments; record 0 is never used.
    std::array<std::vector<PlotLine>, SlotCount> PlotLines;
    std::array<std::int32_t, SlotCount> LineCount{};
    std::array<std::int32_t, SlotCount> CharCount{};
    // Records 1..CharCount of a slot; no command produces characters, so none is ever filled.
    std::array<std::vector<PlotChar>, SlotCount> PlotChars{std::vector<PlotChar>(MaxPlotChars + 1),
                                                           std::vector<PlotChar>(MaxPlotChars + 1)};
    std::array<float, SlotCount> MaxX{};
    std::array<float, SlotCount> MaxY{};
    std::array<float, SlotCount> MinX{};
    std::array<float, SlotCount> MinY{};

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

    static bool ValidSlot(int slot) { return slot >= 0 && slot < SlotCount; }

    // Segment k (1-based) of a slot; callers keep k within 1..LineCount(slot).
    const PlotLine& Line(int slot, std::int32_t k) const { return PlotLines.at(slot)[k]; }
};

}  // namespace Kestrel_Val
