#include "view/plot_drawing.h"

#include <array>
#include <cmath>

#include "view/label_strokes.h"

namespace Kestrel_View {

using Kestrel_Val::PlotStore;

namespace {

constexpr double Fill = 0.95;        // share of the limiting dimension the plot fills
constexpr double SideMargin = 0.025;  // left margin factor

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

// Lines 1..count of the slot, or 0 when the slot does not exist.
std::int32_t DrawableCount(const PlotStore& store) {
    if (!store.ValidSlot(store.PlotNo)) return 0;
    const std::int32_t count = store.LineCount[store.PlotNo];
    const auto stored = static_cast<std::int64_t>(store.PlotLines[store.PlotNo].size()) - 1;
    return count > stored ? static_cast<std::int32_t>(stored) : count;
}

void DrawLines(const PlotStore& store, DrawingSurface& surface, const FitTransform& fit,
               std::int32_t count) {
    const Kestrel_Val::PlotLine* lines = store.PlotLines[store.PlotNo].data();
    for (std::int32_t k = 1; k <= count; ++k) {
        const Kestrel_Val::PlotLine& l = lines[k];
        surface.Line(static_cast<float>(fit.X(l.X1)), static_cast<float>(fit.Y(l.Y1)),
                     static_cast<float>(fit.X(l.X2)), static_cast<float>(fit.Y(l.Y2)),
                     PenColour(l.Pen));
    }
}

// A pixel of the screen: label strokes are drawn to that detail.
constexpr double PixelTwips = 15;

bool HasChars(const PlotStore& store) {
    return store.ValidSlot(store.PlotNo) && store.CharCount[store.PlotNo] > 0;
}

// Labels over the lines, each character in its pen's colour.
void DrawLabels(const PlotStore& store, DrawingSurface& surface, const FitTransform& fit) {
    const StrokeMap map{fit.ox - fit.s * fit.minX, fit.oy + fit.s * fit.maxY, fit.s, -fit.s};
    std::int16_t pen = 0;
    Rgb colour = PenColour(pen);
    ForEachLabelStroke(
        store, store.PlotNo,
        [&](float x1, float y1, float x2, float y2, std::int16_t strokePen) {
            if (strokePen != pen) {
                pen = strokePen;
                colour = PenColour(pen);
            }
            surface.Line(x1, y1, x2, y2, colour);
        },
        map, PixelTwips);
}

// The frame spans MaxX by MaxY plotter units from the image of (MinX, MaxY). With the
// frame length L = s * max(MaxX, MaxY) the maximum cancels out, so no division is needed.
void DrawRangeFrame(const PlotStore& store, DrawingSurface& surface, const FitTransform& fit) {
    const double x2 = fit.ox + fit.s * static_cast<double>(store.MaxX[store.PlotNo]);
    const double y2 = fit.oy + fit.s * static_cast<double>(store.MaxY[store.PlotNo]);
    surface.SetLineStyle(LineStyle::DashDot);
    if (std::isfinite(fit.ox) && std::isfinite(fit.oy) && std::isfinite(x2) && std::isfinite(y2)) {
        surface.Rectangle(static_cast<float>(fit.ox), static_cast<float>(fit.oy),
                          static_cast<float>(x2), static_cast<float>(y2));
    }
    surface.SetLineStyle(LineStyle::Solid);
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
        dx = store.MaxX[slot] - store.MinX[slot];
        dy = store.MaxY[slot] - store.MinY[slot];
        fit.minX = store.MinX[slot];
        fit.maxY = store.MaxY[slot];
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

void DrawPlot(const PlotStore& store, DrawingSurface& surface,
              const std::function<void()>& processEvents) {
    if (store.PlotName.empty()) return;
    surface.Clear();
    const std::int32_t count = DrawableCount(store);
    if (count >= 1 || HasChars(store)) {
        const FitTransform fit =
            ComputeFit(store, store.PlotNo, surface.Width(), surface.Height(), DrawPlotMargin);
        if (store.RangeFrameOff == 0) DrawRangeFrame(store, surface, fit);
        DrawLines(store, surface, fit, count);
        DrawLabels(store, surface, fit);
        surface.SetLineStyle(LineStyle::Solid);
    }
    if (processEvents) processEvents();
}

void RedrawPlot(const PlotStore& store, DrawingSurface& surface) {
    if (store.PlotName.empty()) return;
    surface.Clear();
    const std::int32_t count = DrawableCount(store);
    if (count >= 1 || HasChars(store)) {
        const FitTransform fit =
            ComputeFit(store, store.PlotNo, surface.Width(), surface.Height(), RedrawPlotMargin);
        DrawLines(store, surface, fit, count);
        DrawLabels(store, surface, fit);
    }
    surface.SetLineStyle(LineStyle::Solid);
}

}  // namespace Kestrel_View
