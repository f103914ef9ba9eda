#pragma once

#include <cstdint>
#include <functional>

#include "reader/plot_store.h"
#include "view/display_settings.h"
#include "view/drawing_surface.h"
#include "view/plot_walk.h"
#include "view/raster_surface.h"
#include "view/spatial_index.h"

namespace kestrel::view {

// Colour of a pen: its lowest three bits pick one of seven colours, 7 being black.
Rgb PenColour(std::int16_t pen);

// A step of a drawing made in steps (DrawMoreLines) writes about this many pixels: a few
// milliseconds, so that a window stays live between steps.
inline constexpr double StepPixels = 4'000'000;
// The first step shares its frame with finding what the part shown holds.
inline constexpr double FirstStepPixels = StepPixels / 2;

// Top margin factor of both redraws: with one margin the plot stays in place whether or not
// the range frame is drawn.
inline constexpr double TopMargin = 0.01;

// Maps plotter units onto the drawing area, keeping the proportions.
struct FitTransform {
    double s = 0;   // drawing units per plotter unit
    double ox = 0;  // where MinX lands
    double oy = 0;  // where MaxY lands
    float minX = 0;
    float maxY = 0;

    double X(float x) const { return ox + s * (static_cast<double>(x) - minX); }
    double Y(float y) const { return oy + s * (static_cast<double>(maxY) - y); }
};

// The fit of plot `slot` into a W x H area with top margin factor m.
FitTransform ComputeFit(const reader::PlotStore& store, int slot, double W, double H,
                        double m = TopMargin);

// One drawing of plot PlotNo, made in steps so that a window can serve its events between them.
struct PlotDrawing {
    FitTransform fit;
    PlotWalk walk;
    bool Finished() const { return walk.Finished(); }
    // The share of lines and characters drawn, 0 to 1.
    double Done() const { return walk.Done(); }
    // Leaves the rest undrawn.
    void Stop() { walk.Stop(); }
};

// Clears the surface and draws the range frame when `framed`; the lines are left to
// DrawMoreLines, in their pens' widths unless the settings turn them off. With no file
// loaded the surface is not touched and nothing is left to draw.
PlotDrawing BeginDrawing(const reader::PlotStore& store, const DisplaySettings& settings,
                         DrawingSurface& surface, const FitTransform& fit, bool framed);

// What of plot `slot` may show on `surface` (its origin set) when `fit` maps the plot onto
// the whole drawing: the plotter-unit rectangle under its pixels, widened by a pixel for
// rounding and by as far as the widest pen reaches beyond its line.
PlotArea ShownPlotArea(const reader::PlotStore& store, int slot, const DisplaySettings& settings,
                       const FitTransform& fit, const RasterSurface& surface);

// BeginDrawing for the part of an `areaWidth` x `areaHeight` drawing area (twips) that
// `surface` shows, its origin set: the plot is fitted to the whole area, and the part
// comes out as that part of the whole. With `index` (built over plot PlotNo's tables as
// they are), a part much smaller than the area draws only the records found there. The
// drawing `recycled` (the last one, say) gives its memory for the records found.
PlotDrawing BeginViewDrawing(const reader::PlotStore& store, const DisplaySettings& settings,
                             RasterSurface& surface, double areaWidth, double areaHeight,
                             bool framed, const SpatialIndex* index,
                             PlotDrawing* recycled = nullptr);

// Whether the part of an `areaWidth` x `areaHeight` area (twips) that `surface` shows is
// small enough to draw from what a spatial index finds there.
bool WorthIndexing(const RasterSurface& surface, double areaWidth, double areaHeight);

// The view moved by whole pixels: `raster` (its origin the new one) had its pixels shifted
// by (dx, dy); draws at once the strips that uncovered, as BeginViewDrawing would, in
// `recycled`'s memory.
void DrawUncovered(const reader::PlotStore& store, const DisplaySettings& settings,
                   const RasterSurface& raster, int dx, int dy, double areaWidth, double areaHeight,
                   bool framed, const SpatialIndex* index, PlotDrawing* recycled = nullptr);

// Draws the next lines in store order, then the labels' characters, until the surface has
// spent about `budget` more.
void DrawMoreLines(const reader::PlotStore& store, DrawingSurface& surface, PlotDrawing& drawing,
                   double budget);

// Plain redraw of plot PlotNo with the range frame unless the settings turn it off; runs
// processEvents once at the end.
void DrawPlot(const reader::PlotStore& store, const DisplaySettings& settings,
              DrawingSurface& surface, const std::function<void()>& processEvents);

// Redraw after the area or the plot changed: the same, without the frame.
void RedrawPlot(const reader::PlotStore& store, const DisplaySettings& settings,
                DrawingSurface& surface);

}  // namespace kestrel::view
