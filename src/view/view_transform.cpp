#include "view/view_transform.h"

#include <algorithm>
#include <cmath>

namespace kestrel::view {

namespace {

// The largest area side, in twips: pixel positions stay exact integers in a double.
constexpr double LargestArea = 1125899906842624.0;  // 2^50

double WholePixels(double twips, double twipsPerPixel) { return std::round(twips / twipsPerPixel); }

// The centre of the viewport's part that the bars leave visible, in viewport twips.
PlotPoint VisibleCentre(const ViewLayout& layout, const WindowMetrics& m) {
    const double bar = m.scrollBarThickness;
    return {(layout.viewport.width - (layout.vscroll.visible ? bar : 0)) / 2,
            (layout.viewport.height - (layout.hscroll.visible ? bar : 0)) / 2};
}

bool Scaled(double s) { return s > 0 && std::isfinite(s); }

}  // namespace

AreaPixels PixelsOf(const Rect& area, double twipsPerPixel) {
    return {WholePixels(area.width, twipsPerPixel), WholePixels(area.height, twipsPerPixel),
            WholePixels(area.left, twipsPerPixel), WholePixels(area.top, twipsPerPixel)};
}

FitTransform AreaFit(const reader::PlotStore& store, int slot, const AreaPixels& area,
                     double twipsPerPixel) {
    return ComputeFit(store, slot, area.width * twipsPerPixel, area.height * twipsPerPixel);
}

PlotPoint PlotPointAt(const FitTransform& fit, double x, double y) {
    if (!(fit.s > 0) || !std::isfinite(fit.s)) return {fit.minX, fit.maxY};
    return {fit.minX + (x - fit.ox) / fit.s, fit.maxY - (y - fit.oy) / fit.s};
}

PlotPoint AreaPointOf(const FitTransform& fit, const PlotPoint& p) {
    return {fit.ox + fit.s * (p.x - fit.minX), fit.oy + fit.s * (fit.maxY - p.y)};
}

PlotPoint FilePoint(const PlotPoint& turned, int quarterTurns) {
    // Undoing q quarters counter-clockwise is turning the other way: (x, y) -> (y, -x) each.
    PlotPoint p = turned;
    for (int q = ((quarterTurns % 4) + 4) % 4; q > 0; --q) p = {p.y, -p.x};
    return p;
}

PlotView PlotViewOf(const reader::PlotStore& store, int slot, const ViewLayout& layout,
                    const WindowMetrics& m) {
    const FitTransform fit =
        AreaFit(store, slot, PixelsOf(layout.area, m.twipsPerPixel), m.twipsPerPixel);
    const PlotPoint c = VisibleCentre(layout, m);
    return {PlotPointAt(fit, c.x - layout.area.left, c.y - layout.area.top), fit.s};
}

bool ShowPlotView(ViewLayout& layout, const WindowMetrics& m, const reader::PlotStore& store,
                  int slot, const PlotView& view) {
    const double t = m.twipsPerPixel;
    const double now = AreaFit(store, slot, PixelsOf(layout.area, t), t).s;
    if (!Scaled(now) || !Scaled(view.scale)) return false;
    const PlotPoint before = VisibleCentre(layout, m);
    ZoomAbout(layout, m, view.scale / now, before.x, before.y,
              ZoomLimitsOf(store, slot, layout, t));
    // Then the point is brought to the centre, which the bars may have moved.
    const PlotPoint c = VisibleCentre(layout, m);
    const PlotPoint at =
        AreaPointOf(AreaFit(store, slot, PixelsOf(layout.area, t), t), view.centre);
    Pan(layout, c.x - layout.area.left - at.x, c.y - layout.area.top - at.y);
    return true;
}

ZoomLimits ZoomLimitsOf(const reader::PlotStore& store, int slot, const ViewLayout& layout,
                        double twipsPerPixel) {
    const Rect& area = layout.area;
    const double longer = std::max(area.width, area.height);
    ZoomLimits limits;
    limits.most = longer > 0 ? LargestArea / longer : 1;
    const double scale = ComputeFit(store, slot, area.width, area.height).s;
    const double fitted = ComputeFit(store, slot, layout.viewport.width, layout.viewport.height).s;
    if (scale > 0 && std::isfinite(scale) && fitted > 0) {
        const double deepest = std::max(MostPixelsPerUnit * twipsPerPixel, MostOfFitted * fitted);
        limits.most = std::min(limits.most, deepest / scale);
        limits.least = LeastOfFitted * fitted / scale;
    } else if (area.width > 0) {
        // Nothing to scale: the area's own size against the viewport's.
        limits.least = LeastOfFitted * layout.viewport.width / area.width;
    }
    return limits;
}

}  // namespace kestrel::view
