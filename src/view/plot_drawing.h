#pragma once

#include <cstdint>
#include <functional>

#include "reader/plot_store.h"
#include "view/drawing_surface.h"

namespace Kestrel_View {

// Colour of a pen: its lowest three bits pick one of seven colours, 7 being black.
Rgb PenColour(std::int16_t pen);

// Top margin factors of the two redraws.
inline constexpr double DrawPlotMargin = 0.025;
inline constexpr double RedrawPlotMargin = 0.01;

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
FitTransform ComputeFit(const Kestrel_Val::PlotStore& store, int slot, double W, double H, double m);

// Plain redraw of plot PlotNo with the optional range frame; runs processEvents once at the end.
void DrawPlot(const Kestrel_Val::PlotStore& store, DrawingSurface& surface,
              const std::function<void()>& processEvents);

// Redraw after the area or the plot changed: no frame, a smaller top margin.
void RedrawPlot(const Kestrel_Val::PlotStore& store, DrawingSurface& surface);

}  // namespace Kestrel_View
