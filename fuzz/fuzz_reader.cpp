// libFuzzer entry point: any bytes are a plot file, for both readings.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "reader/generation_budget.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "reader/stroke_font.h"

namespace {

// What every read must leave: plots 1..PlotTotal, each with its counted segments and
// characters stored and finite, no more segments than `most` and no more characters than
// bytes of input (`size`).
void CheckStore(const Kestrel_Val::PlotStore& store, std::size_t size, std::size_t most) {
    if (store.PlotTotal < 1 || store.PlotTotal >= store.SlotCount()) std::abort();
    std::size_t total = 0;
    std::size_t totalChars = 0;
    for (int plot = 1; plot <= store.PlotTotal; ++plot) {
        const std::int32_t count = store.LineCount[plot];
        if (count < 0 || store.PlotLines[plot].size() < static_cast<std::size_t>(count) + 1) std::abort();
        for (std::int32_t k = 1; k <= count; ++k) {
            const auto& l = store.Line(plot, k);
            if (!std::isfinite(l.X1) || !std::isfinite(l.Y1) || !std::isfinite(l.X2) || !std::isfinite(l.Y2)) {
                std::abort();
            }
        }
        total += static_cast<std::size_t>(count);
        // Characters: stored as counted, finite, of the font; each costs a byte of input.
        const std::int32_t chars = store.CharCount[plot];
        if (chars < 0 || (chars > 0 && store.PlotChars[plot].size() <= static_cast<std::size_t>(chars))) std::abort();
        for (std::int32_t k = 1; k <= chars; ++k) {
            const auto& c = store.PlotChars[plot][static_cast<std::size_t>(k)];
            for (const float v : {c.X, c.Y, c.WidthX, c.WidthY, c.HeightX, c.HeightY}) {
                if (!std::isfinite(v)) std::abort();
            }
            if (c.Glyph >= Kestrel_Plotter::StrokeFont::Standard().Count()) std::abort();
        }
        totalChars += static_cast<std::size_t>(chars);
    }
    if (total > most || totalChars > size) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Kestrel_Val::PlotStore store;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // Basic reading: every stored segment costs at least two bytes of input (",,").
    Kestrel_Sub::ReadPlotText(store, text, {Kestrel_Sub::Reading::Basic});
    if (store.PlotTotal != 1) std::abort();
    CheckStore(store, size, size / 2 + 1);

    // Plotter reading: a pair costs two bytes at least (PE's shortest numbers), and so
    // does a command that draws a shape (a chord, say, when the budget is spent); what
    // shapes make beyond that (chords, dashes, hatch lines, outlines) is budgeted per byte.
    const auto generated = Kestrel_Plotter::GeneratedPerByte * static_cast<std::int64_t>(size) +
                           Kestrel_Plotter::GeneratedFloor;
    // A lower segment limit keeps each run short: a few bytes of fine hatching can make a
    // million lines, and reading past the limit is the same code whatever the limit.
    constexpr std::int32_t SegmentLimit = 1 << 12;
    Kestrel_Sub::ReadPlotText(store, text, {Kestrel_Sub::Reading::Plotter, SegmentLimit});
    CheckStore(store, size, size / 2 + 1 + static_cast<std::size_t>(generated));
    return 0;
}
