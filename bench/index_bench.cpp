// The spatial index of zoomed views: building it after reading (against the read's own
// time), its memory, and finding one frame's segments at x8 and deeper, on the
// 1.5-million-segment benchmark plot and on a 20-million-segment one.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bench_plot.h"
#include "indexed_plots.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "view/plot_drawing.h"
#include "view/raster_surface.h"
#include "view/spatial_index.h"

namespace {

using kestrel::reader::PlotStore;
using kestrel::view::PlotArea;
using kestrel::view::SpatialIndex;

constexpr int RasterWidth = 1600;
constexpr int RasterHeight = 1200;
constexpr double TwipsPerPixel = 15;

using kestrel::bench::CpuMs;
using kestrel::bench::IndexedPlot;
using kestrel::bench::Plot;

void BM_BuildIndex(benchmark::State& state) {
    const IndexedPlot& plot = Plot(state.range(0));
    SpatialIndex index;
    // The fastest build against the fastest reading: on a shared machine, other work
    // (memory traffic above all) slows the twenty-million-record plot by up to three times.
    double buildMs = std::numeric_limits<double>::infinity();
    for (auto _ : state) {
        const double start = CpuMs();
        index.Build(plot.Lines(), plot.Chars());
        buildMs = std::min(buildMs, CpuMs() - start);
    }
    const double records =
        plot.store.plots[1].LineCount + static_cast<double>(plot.store.plots[1].CharCount);
    state.counters["records"] = records;
    state.counters["bytes_per_record"] = static_cast<double>(index.MemoryBytes()) / records;
    state.counters["read_cpu_ms"] = plot.readMs;
    state.counters["build_per_read"] = buildMs / plot.readMs;
}
BENCHMARK(BM_BuildIndex)
    ->Arg(1)
    ->Arg(20)
    ->Arg(0)
    ->ArgName("plot")
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);

// The view at `zoom` times the fitted one (the plot's extents widened to the raster's
// proportions), centred at one of a few places of the plot.
PlotArea View(const PlotStore& store, double zoom, std::int64_t place) {
    constexpr double Places[][2] = {{0.5, 0.5}, {0.3, 0.7}, {0.8, 0.2}, {0.05, 0.05}};
    const double width = store.plots[1].MaxX - store.plots[1].MinX;
    const double height = store.plots[1].MaxY - store.plots[1].MinY;
    const double fit = std::max(width / RasterWidth, height / RasterHeight) / zoom;
    const double x = store.plots[1].MinX + Places[place][0] * width;
    const double y = store.plots[1].MinY + Places[place][1] * height;
    return {x - fit * RasterWidth / 2, y - fit * RasterHeight / 2, x + fit * RasterWidth / 2,
            y + fit * RasterHeight / 2};
}

// Arguments: the plot (as above), the zoom, the place.
void BM_FindLines(benchmark::State& state) {
    const IndexedPlot& plot = Plot(state.range(0));
    const PlotArea view = View(plot.store, static_cast<double>(state.range(1)), state.range(2));
    std::vector<std::uint32_t> found;
    for (auto _ : state) {
        plot.index.FindLines(view, found);
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["found"] = static_cast<double>(found.size());
}
BENCHMARK(BM_FindLines)
    ->ArgsProduct({{1, 20}, {2, 3, 4, 8, 64, 1024}, {0, 1, 2, 3}})
    ->ArgNames({"plot", "zoom", "place"})
    ->Unit(benchmark::kMicrosecond);

// A whole frame: finding the view's segments, clearing the raster and drawing them as
// hair-lines in their pens' colours.
void BM_IndexedFrame(benchmark::State& state) {
    const IndexedPlot& plot = Plot(state.range(0));
    const PlotArea view = View(plot.store, static_cast<double>(state.range(1)), 0);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(RasterWidth) * RasterHeight);
    kestrel::view::RasterSurface surface(pixels.data(), RasterWidth, RasterHeight, RasterWidth,
                                         TwipsPerPixel);
    const double scale = surface.Width() / (view.maxX - view.minX);
    const auto lines = plot.Lines();
    std::vector<std::uint32_t> found;
    for (auto _ : state) {
        plot.index.FindLines(view, found);
        surface.Clear();
        for (const std::uint32_t k : found) {
            const kestrel::reader::PlotLine& l = lines[k];
            surface.Line(static_cast<float>((l.X1 - view.minX) * scale),
                         static_cast<float>((view.maxY - l.Y1) * scale),
                         static_cast<float>((l.X2 - view.minX) * scale),
                         static_cast<float>((view.maxY - l.Y2) * scale),
                         kestrel::view::PenColour(l.Pen));
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["found"] = static_cast<double>(found.size());
}
BENCHMARK(BM_IndexedFrame)
    ->ArgsProduct({{1, 20}, {8, 64, 1024}})
    ->ArgNames({"plot", "zoom"})
    ->Unit(benchmark::kMillisecond);

// A page of text at x8: the characters whose strokes may show.
void BM_FindChars(benchmark::State& state) {
    const IndexedPlot& plot = Plot(0);
    const PlotArea view = View(plot.store, static_cast<double>(state.range(0)), 0);
    std::vector<std::uint32_t> found;
    for (auto _ : state) {
        plot.index.FindChars(view, found);
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["found"] = static_cast<double>(found.size());
}
BENCHMARK(BM_FindChars)->Arg(8)->Arg(64)->ArgName("zoom")->Unit(benchmark::kMicrosecond);

}  // namespace
