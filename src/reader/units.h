#pragma once

#include <numbers>

namespace kestrel::reader {

// Plotter units are 0.025 mm: pen widths, lengths and paper sizes are measured against them.
inline constexpr double PlotterUnitsPerMm = 40;
inline constexpr double MmPerPlotterUnit = 1 / PlotterUnitsPerMm;
inline constexpr double PlotterUnitsPerCm = 10 * PlotterUnitsPerMm;

inline constexpr double Degree = std::numbers::pi / 180;

// The pen thickness solid fills are drawn with until PT says otherwise.
inline constexpr double DefaultPenThicknessMm = 0.3;

// Window positions are twips, 1/1440 inch; a screen of 96 dots per inch has 15 to a pixel.
inline constexpr double TwipsPerInch = 1440;
inline constexpr double ScreenTwipsPerPixel = 15;

}  // namespace kestrel::reader
