#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>

#include "reader/plot_store.h"
#include "reader/stroke_font.h"

namespace kestrel::view {

// Where label strokes go: x' = offsetX + scaleX * x, y' = offsetY + scaleY * y in output
// units (an output whose y grows downwards takes a negative scaleY).
struct StrokeMap {
    double offsetX = 0;
    double offsetY = 0;
    double scaleX = 1;
    double scaleY = 1;
};

// The strokes of one character record: emit(x1, y1, x2, y2, pen) with float output
// coordinates and the character's pen. `pixel` is the size of an output pixel for a raster
// (0: every stroke as the font has it). Then a character under two pixels high gives a
// single stroke across its middle, which is all that shows of text that small, and within
// a stroke the points less than a pixel from the last one drawn to are passed over, the
// stroke's end always kept.
template <typename Emit>
void ForEachCharStroke(const reader::PlotChar& c, Emit&& emit, const StrokeMap& map = {},
                       double pixel = 0) {
    const reader::StrokeFont& font = reader::StrokeFont::Standard();
    if (c.Glyph >= font.Count()) return;
    // The record in output units; each glyph point then costs four products.
    const double ox = map.offsetX + map.scaleX * c.X;
    const double oy = map.offsetY + map.scaleY * c.Y;
    const double wx = map.scaleX * c.WidthX;
    const double wy = map.scaleY * c.WidthY;
    const double hx = map.scaleX * c.HeightX;
    const double hy = map.scaleY * c.HeightY;
    const reader::Glyph& glyph = font.At(c.Glyph);
    if (hx * hx + hy * hy < 4 * pixel * pixel) {
        const double v = (glyph.minV + glyph.maxV) / 2.0;
        emit(static_cast<float>(ox + glyph.minU * wx + v * hx),
             static_cast<float>(oy + glyph.minU * wy + v * hy),
             static_cast<float>(ox + glyph.maxU * wx + v * hx),
             static_cast<float>(oy + glyph.maxU * wy + v * hy), c.Pen);
        return;
    }
    const std::span<const reader::GlyphPoint> points = font.Points(c.Glyph);
    double lastX = 0;
    double lastY = 0;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const reader::GlyphPoint& p = points[k];
        const double x = ox + p.u * wx + p.v * hx;
        const double y = oy + p.u * wy + p.v * hy;
        if (!p.starts) {
            const bool strokeEnds = k + 1 == points.size() || points[k + 1].starts;
            if (!strokeEnds && std::fabs(x - lastX) + std::fabs(y - lastY) < pixel) continue;
            emit(static_cast<float>(lastX), static_cast<float>(lastY), static_cast<float>(x),
                 static_cast<float>(y), c.Pen);
        }
        lastX = x;
        lastY = y;
    }
}

// Characters 1..count of plot `slot` that the store holds; 0 when the slot does not exist.
inline std::int64_t StoredCharCount(const reader::PlotStore& store, int slot) {
    if (slot < 1 || !store.ValidSlot(slot)) return 0;
    const reader::Plot& plot = store.plots[static_cast<std::size_t>(slot)];
    return std::max<std::int64_t>(
        0, std::min<std::int64_t>(plot.CharCount,
                                  static_cast<std::int64_t>(plot.PlotChars.size()) - 1));
}

// The strokes of all characters of plot `slot`, in store order, as ForEachCharStroke gives them
// but each with the pen number the file named (see PlotStore::PenNumber).
template <typename Emit>
void ForEachLabelStroke(const reader::PlotStore& store, int slot, Emit&& emit,
                        const StrokeMap& map = {}, double pixel = 0) {
    const std::int64_t count = StoredCharCount(store, slot);
    if (count < 1) return;
    const auto& chars = store.plots[static_cast<std::size_t>(slot)].PlotChars;
    for (std::int64_t i = 1; i <= count; ++i) {
        const reader::PlotChar& c = chars[static_cast<std::size_t>(i)];
        const std::int16_t pen = store.PenNumber(slot, c.Pen);
        ForEachCharStroke(
            c,
            [&](float x1, float y1, float x2, float y2, std::int16_t) {
                emit(x1, y1, x2, y2, pen);
            },
            map, pixel);
    }
}

// How many strokes ForEachLabelStroke gives for plot `slot` at full detail.
std::int64_t LabelStrokeCount(const reader::PlotStore& store, int slot);

}  // namespace kestrel::view
