#include "view/plot_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <limits>

#include "view/label_strokes.h"
#include "view/pen_style.h"

namespace kestrel::view {

using reader::PlotStore;

namespace {

constexpr double Fill = 0.95;         // share of the limiting dimension the plot fills
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
    const std::int32_t count = store.plots[store.PlotNo].LineCount;
    const auto stored = static_cast<std::int64_t>(store.plots[store.PlotNo].PlotLines.size()) - 1;
    return count > stored ? static_cast<std::int32_t>(stored) : count;
}

// A pixel of the screen: label strokes are drawn to that detail.
constexpr double PixelTwips = 15;

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

PlotDrawing BeginDrawing(const PlotStore& store, DrawingSurface& surface, const FitTransform& fit,
                         bool framed) {
    PlotDrawing drawing;
    if (store.PlotName.empty()) return drawing;
    surface.Clear();
    drawing.slot = store.PlotNo;
    drawing.fit = fit;
    drawing.count = DrawableCount(store);
    drawing.charCount = StoredCharCount(store, drawing.slot);
    if ((drawing.count >= 1 || drawing.charCount >= 1) && framed)
        DrawRangeFrame(store, surface, fit, drawing.slot);
    return drawing;
}

namespace {

// The labels over the lines, each character whole, in its pen's colour, as DrawMoreLines
// draws them, adding to what it has `spent`.
void DrawMoreChars(const PlotStore& store, DrawingSurface& surface, PlotDrawing& drawing,
                   double budget, double lineCost, double& spent) {
    const FitTransform& fit = drawing.fit;
    const double longest = surface.Width() + surface.Height();
    const StrokeMap map{fit.ox - fit.s * fit.minX, fit.oy + fit.s * fit.maxY, fit.s, -fit.s};
    std::int16_t labelPen = 0;
    Rgb labelColour = PenStyleOf(store, drawing.slot, labelPen).colour;
    auto stroke = [&](float x1, float y1, float x2, float y2, std::int16_t strokePen) {
        if (strokePen != labelPen) {
            labelPen = strokePen;
            labelColour = PenStyleOf(store, drawing.slot, labelPen).colour;
        }
        surface.Line(x1, y1, x2, y2, labelColour);
        const double side = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
        spent += lineCost + (side < longest ? side : longest);
    };
    const reader::PlotChar* chars = store.plots[drawing.slot].PlotChars.data();
    std::int64_t c = drawing.nextChar;
    for (; c <= drawing.charCount && spent < budget; ++c)
        ForEachCharStroke(chars[c], stroke, map, PixelTwips);
    drawing.nextChar = c;
}

}  // namespace

void DrawMoreLines(const PlotStore& store, const DisplaySettings& settings, DrawingSurface& surface,
                   PlotDrawing& drawing, double budget, double lineCost) {
    // The store may have changed since the drawing began; never read past its tables.
    if (!store.ValidSlot(drawing.slot)) drawing.count = 0;
    drawing.charCount = std::min(drawing.charCount, StoredCharCount(store, drawing.slot));
    const std::int64_t stored =
        drawing.count < 1 ? 0 : std::ssize(store.plots[drawing.slot].PlotLines) - 1;
    if (drawing.count > stored) drawing.count = static_cast<std::int32_t>(stored);
    if (drawing.Finished()) return;
    const reader::PlotLine* lines = store.plots[drawing.slot].PlotLines.data();
    const FitTransform& fit = drawing.fit;
    const double longest = surface.Width() + surface.Height();
    const double area = surface.Width() * surface.Height();
    const double pixel = surface.PixelSize();
    const double twipsPerMm = settings.PenWidthOff == 0 ? reader::PlotterUnitsPerMm * fit.s : 0;
    // Segments of one pen come in runs: its style is looked up once per run.
    std::int16_t pen = 0;
    Rgb colour = PenColour(pen);
    float width = 0;  // 0 draws one-pixel lines
    bool styled = false;
    double spent = 0;
    std::int32_t k = drawing.next;
    for (; k <= drawing.count && spent < budget; ++k) {
        const reader::PlotLine& l = lines[k];
        if (!styled || l.Pen != pen) {
            pen = l.Pen;
            const PenStyle style = PenStyleOf(store, drawing.slot, pen);
            colour = style.colour;
            width = static_cast<float>(style.widthMm * twipsPerMm);
            styled = true;
        }
        const auto x1 = static_cast<float>(fit.X(l.X1));
        const auto y1 = static_cast<float>(fit.Y(l.Y1));
        const auto x2 = static_cast<float>(fit.X(l.X2));
        const auto y2 = static_cast<float>(fit.Y(l.Y2));
        // NaN fails the comparisons and costs the most, as would a line across the surface.
        const double side = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
        if (width > pixel) {
            surface.WideLine(x1, y1, x2, y2, colour, width);
            // A wide line costs the pixels it covers, at most the surface's.
            const double covered = (side + width) * width;
            spent += lineCost + (covered < area ? covered : area) / pixel;
        } else {
            surface.Line(x1, y1, x2, y2, colour);
            spent += lineCost + (side < longest ? side : longest);
        }
    }
    drawing.next = k;
    if (drawing.next <= drawing.count) return;
    DrawMoreChars(store, surface, drawing, budget, lineCost, spent);
}

void DrawPlot(const PlotStore& store, const DisplaySettings& settings, DrawingSurface& surface,
              const std::function<void()>& processEvents) {
    if (store.PlotName.empty()) return;
    const FitTransform fit = ComputeFit(store, store.PlotNo, surface.Width(), surface.Height());
    PlotDrawing drawing = BeginDrawing(store, surface, fit, settings.RangeFrameOff == 0);
    DrawMoreLines(store, settings, surface, drawing, std::numeric_limits<double>::infinity(), 0);
    if (drawing.count >= 1) surface.SetLineStyle(LineStyle::Solid);
    if (processEvents) processEvents();
}

void RedrawPlot(const PlotStore& store, const DisplaySettings& settings, DrawingSurface& surface) {
    if (store.PlotName.empty()) return;
    const FitTransform fit = ComputeFit(store, store.PlotNo, surface.Width(), surface.Height());
    PlotDrawing drawing = BeginDrawing(store, surface, fit, false);
    DrawMoreLines(store, settings, surface, drawing, std::numeric_limits<double>::infinity(), 0);
    surface.SetLineStyle(LineStyle::Solid);
}

}  // namespace kestrel::view
