#pragma once

#include "reader/plot_store.h"
#include "view/plot_drawing.h"
#include "view/view_layout.h"

namespace kestrel::view {

// The deepest view: one plotter unit this many screen pixels, or for a plot so small that
// its fitted view comes near that, this many times the fitted view.
inline constexpr double MostPixelsPerUnit = 20;
inline constexpr double MostOfFitted = 4;
// The widest view: this share of the fitted one.
inline constexpr double LeastOfFitted = 1.0 / 8;

// Zoom steps: a wheel notch, and a key press (about the view's centre); four notches or two
// presses make one enlargement.
inline constexpr double WheelZoomStep = 1.189207115002721;  // 2^(1/4)
inline constexpr double KeyZoomStep = 1.4142135623730951;   // 2^(1/2)

// The drawing area in whole pixels of the screen, as the window shows it: its size, and
// where its top-left corner lies in the viewport (at or left of and above the viewport's
// own when scrolled).
struct AreaPixels {
    double width = 0;
    double height = 0;
    double left = 0;
    double top = 0;
    bool operator==(const AreaPixels&) const = default;
};
AreaPixels PixelsOf(const Rect& area, double twipsPerPixel);

// The fit of plot `slot` into the area as it is drawn: into its whole pixels.
FitTransform AreaFit(const reader::PlotStore& store, int slot, const AreaPixels& area,
                     double twipsPerPixel);

// A point of the plot as the store holds it, in plotter units.
struct PlotPoint {
    double x = 0;
    double y = 0;
    bool operator==(const PlotPoint&) const = default;
};

// The plot point drawn at (x, y) twips of the drawing area, and the way back. With no
// scale (an empty plot, a single point) every position shows the plot's corner.
PlotPoint PlotPointAt(const FitTransform& fit, double x, double y);
PlotPoint AreaPointOf(const FitTransform& fit, const PlotPoint& p);

// Where a point of a plot that has been turned `quarterTurns` quarters counter-clockwise
// (a turn to the right is -1) lies in the file's own coordinates.
PlotPoint FilePoint(const PlotPoint& turned, int quarterTurns);

// What a view shows of a plot in the plot's own terms: the point at the centre of the
// viewport's visible part, and the area's twips per plotter unit. A plot read again keeps
// them, though its extents, and with them its fit, may have changed.
struct PlotView {
    PlotPoint centre;
    double scale = 0;
};
PlotView PlotViewOf(const reader::PlotStore& store, int slot, const ViewLayout& layout,
                    const WindowMetrics& m);
// Scales and scrolls a zoomed layout so that plot `slot` shows as `view` says, as far as the
// zoom limits and the bars allow. False, changing nothing, when either has no scale.
bool ShowPlotView(ViewLayout& layout, const WindowMetrics& m, const reader::PlotStore& store,
                  int slot, const PlotView& view);

// How far the view of plot `slot` may zoom from the layout's present area: down to a
// fraction of the fitted view, up to the deepest view, and never so far that positions
// would outgrow the arithmetic.
ZoomLimits ZoomLimitsOf(const reader::PlotStore& store, int slot, const ViewLayout& layout,
                        double twipsPerPixel);

}  // namespace kestrel::view
