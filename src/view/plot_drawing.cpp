#include "view/plot_drawing.h"
#include "reader/units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace kestrel::view {

using reader::PlotStore;

namespace {

constexpr double Fill = 0.95;         // share of the limiting dimension the plot fills
constexpr double SideMargin = 0.025;  // left margin factor

// How far a pen's strokes reach beyond their line, in pen widths: half a width at a round
// end, less than a width at a square one; a mitred corner reaches as far as its limit.
constexpr double PenReach = 3;

// A part of the drawing area under this share of it is drawn from what the index finds
// there; a larger one is quicker drawn whole, clipped.
constexpr double IndexedShare = 0.25;

constexpr std::array<Rgb, 7> PenColours{{
    {0, 0, 0},
    {0, 0, 128},
    {0, 128, 0},
    {0, 128, 128},
    {128, 0, 0},
    {128, 0, 128},
    {128, 128, 0},
}};

// The scale one axis allows, or none when the plot has no extent in it. An
// overflowed (infinite) extent allows only 0, which piles the plot up in the centre.
bool AxisScale(double size, float extent, double& scale) {
    if (!(extent > 0)) return false;  // zero, negative (empty plot) or NaN
    scale = std::isinf(extent) ? 0.0 : Fill * size / extent;
    return true;
}

// A pixel of the screen: label strokes are drawn to that detail.

// The frame outlines the plot's extents, drawn dash-dot before the lines.
void DrawRangeFrame(const PlotStore& store, DrawingSurface& surface, const FitTransform& fit,
                    int slot) {
    const double x1 = fit.X(store.plots[slot].MinX);
    const double y1 = fit.Y(store.plots[slot].MaxY);
    const double x2 = fit.X(store.plots[slot].MaxX);
    const double y2 = fit.Y(store.plots[slot].MinY);
    surface.SetLineStyle(LineStyle::DashDot);
    if (std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2)) {
        surface.Rectangle(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                          static_cast<float>(y2));
    }
    surface.SetLineStyle(LineStyle::Solid);
}

// How far beyond their lines a plot's strokes reach at most, in mm on paper.
double FarthestReachMm(const reader::Plot& plot) {
    double farthest = 0;
    for (const auto* looks : {&plot.Pens.FirstLooks, &plot.Pens.LaterLooks})
        for (const reader::PenLook& look : *looks) {
            // A mitred corner (LA joins 1 and 2) reaches at most half its limit's widths.
            const double miter = look.Joins == 1 || look.Joins == 2 ? look.MiterLimit / 2.0 : 0.0;
            farthest = std::max<double>(farthest, look.WidthMm * std::max(PenReach, miter));
        }
    return farthest;
}

WalkOptions ViewWalkOptions(const DisplaySettings& settings, const FitTransform& fit) {
    WalkOptions options;
    options.map = {fit.ox, fit.oy, fit.minX, fit.maxY, fit.s, -fit.s};
    options.labelDetail = reader::ScreenTwipsPerPixel;
    options.penWidths = settings.PenWidthOff == 0;
    // Labels are drawn in one-pixel lines whatever their pens' widths.
    options.labelWidths = false;
    options.hiddenPens = settings.HiddenPens;
    options.travel = settings.ShowTravel;
    return options;
}

}  // namespace

Rgb PenColour(std::int16_t pen) {
    const unsigned index = static_cast<std::uint16_t>(pen) & 7u;
    return index == 7 ? PenColours[0] : PenColours[index];
}

FitTransform ComputeFit(const PlotStore& store, int slot, double W, double H, double m) {
    FitTransform fit;
    float dx = 0;
    float dy = 0;
    if (store.ValidSlot(slot)) {
        // Single-precision differences, like the extents: a huge extent may overflow to
        // infinity here, which AxisScale turns into a zero scale.
        dx = store.plots[slot].MaxX - store.plots[slot].MinX;
        dy = store.plots[slot].MaxY - store.plots[slot].MinY;
        fit.minX = store.plots[slot].MinX;
        fit.maxY = store.plots[slot].MaxY;
    }
    double sx = 0;
    double sy = 0;
    const bool hasX = AxisScale(W, dx, sx);
    const bool hasY = AxisScale(H, dy, sy);
    // A flat plot takes its scale from the axis it extends in; a single point gets 0.
    if (hasX && hasY) {
        fit.s = sy < sx ? sy : sx;
    } else if (hasX) {
        fit.s = sx;
    } else if (hasY) {
        fit.s = sy;
    }
    // s * extent is 0 whenever s is, even for an infinite extent (0 * inf would be NaN).
    const double spanX = fit.s == 0 || !hasX ? 0.0 : fit.s * dx;
    const double spanY = fit.s == 0 || !hasY ? 0.0 : fit.s * dy;
    fit.ox = (Fill * W - spanX) / 2 + SideMargin * W;
    fit.oy = (Fill * H - spanY) / 2 + m * H;
    return fit;
}

PlotDrawing BeginDrawing(const PlotStore& store, const DisplaySettings& settings,
                         DrawingSurface& surface, const FitTransform& fit, bool framed) {
    PlotDrawing drawing;
    if (store.PlotName.empty()) return drawing;
    surface.Clear();
    drawing.fit = fit;
    drawing.walk = PlotWalk(store, store.PlotNo, ViewWalkOptions(settings, fit));
    if (!drawing.Finished() && framed) DrawRangeFrame(store, surface, fit, store.PlotNo);
    return drawing;
}

PlotArea ShownPlotArea(const PlotStore& store, int slot, const DisplaySettings& settings,
                       const FitTransform& fit, const RasterSurface& surface) {
    constexpr double All = std::numeric_limits<double>::infinity();
    // With no scale the whole plot lies on one point: every record may show anywhere.
    if (!(fit.s > 0) || !std::isfinite(fit.s) || !store.ValidSlot(slot))
        return {-All, -All, All, All};
    const double t = surface.TwipsPerPixel();
    const double reachMm = settings.PenWidthOff == 0 ? FarthestReachMm(store.plots[slot]) : 0;
    const double reach = (t + reachMm * reader::PlotterUnitsPerMm * fit.s) / fit.s;
    const double left = surface.OriginX() * t, top = surface.OriginY() * t;
    const double right = left + surface.Width(), bottom = top + surface.Height();
    return {fit.minX + (left - fit.ox) / fit.s - reach,
            fit.maxY - (bottom - fit.oy) / fit.s - reach,
            fit.minX + (right - fit.ox) / fit.s + reach, fit.maxY - (top - fit.oy) / fit.s + reach};
}

PlotDrawing BeginViewDrawing(const PlotStore& store, const DisplaySettings& settings,
                             RasterSurface& surface, double areaWidth, double areaHeight,
                             bool framed, const SpatialIndex* index, PlotDrawing* recycled) {
    const FitTransform fit = ComputeFit(store, store.PlotNo, areaWidth, areaHeight);
    PlotDrawing drawing = BeginDrawing(store, settings, surface, fit, framed);
    if (index == nullptr || drawing.Finished() || !WorthIndexing(surface, areaWidth, areaHeight))
        return drawing;
    const PlotArea shown = ShownPlotArea(store, store.PlotNo, settings, fit, surface);
    // Large answers in fresh memory would cost more in page faults than the query itself.
    std::vector<std::uint32_t> lines, chars;
    if (recycled != nullptr) recycled->walk.GiveListsTo(lines, chars);
    index->FindLines(shown, lines);
    index->FindChars(shown, chars);
    drawing.walk = PlotWalk(store, store.PlotNo, ViewWalkOptions(settings, fit), std::move(lines),
                            std::move(chars));
    return drawing;
}

bool WorthIndexing(const RasterSurface& surface, double areaWidth, double areaHeight) {
    return surface.Width() * surface.Height() < IndexedShare * areaWidth * areaHeight;
}

void DrawUncovered(const PlotStore& store, const DisplaySettings& settings,
                   const RasterSurface& raster, int dx, int dy, double areaWidth, double areaHeight,
                   bool framed, const SpatialIndex* index, PlotDrawing* recycled) {
    const int w = raster.PixelWidth(), h = raster.PixelHeight();
    // The columns on the side the pixels moved away from, then the rows beside them.
    const int columns = std::min(std::abs(dx), w);
    RasterSurface strips[] = {
        raster.Part(dx > 0 ? 0 : w - columns, 0, columns, h),
        raster.Part(dx > 0 ? columns : 0, dy > 0 ? 0 : h + dy, w - columns, std::abs(dy))};
    PlotDrawing part;
    for (RasterSurface& strip : strips) {
        if (strip.PixelWidth() == 0 || strip.PixelHeight() == 0) continue;
        part = BeginViewDrawing(store, settings, strip, areaWidth, areaHeight, framed, index,
                                recycled != nullptr ? recycled : &part);
        DrawMoreLines(store, strip, part, std::numeric_limits<double>::infinity());
        if (recycled != nullptr) *recycled = std::move(part);
    }
}

void DrawMoreLines(const PlotStore& store, DrawingSurface& surface, PlotDrawing& drawing,
                   double budget) {
    drawing.walk.Continue(store, surface, budget);
}

void DrawPlot(const PlotStore& store, const DisplaySettings& settings, DrawingSurface& surface,
              const std::function<void()>& processEvents) {
    if (store.PlotName.empty()) return;
    const FitTransform fit = ComputeFit(store, store.PlotNo, surface.Width(), surface.Height());
    PlotDrawing drawing = BeginDrawing(store, settings, surface, fit, settings.RangeFrameOff == 0);
    DrawMoreLines(store, surface, drawing, std::numeric_limits<double>::infinity());
    if (processEvents) processEvents();
}

void RedrawPlot(const PlotStore& store, const DisplaySettings& settings, DrawingSurface& surface) {
    if (store.PlotName.empty()) return;
    const FitTransform fit = ComputeFit(store, store.PlotNo, surface.Width(), surface.Height());
    PlotDrawing drawing = BeginDrawing(store, settings, surface, fit, false);
    DrawMoreLines(store, surface, drawing, std::numeric_limits<double>::infinity());
}

}  // namespace kestrel::view
