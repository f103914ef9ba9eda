// Labels against lines: reading and drawing 100,000 characters, and the same number of
// line segments, into the window-sized raster of the other benchmarks.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench_plot.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "view/label_strokes.h"
#include "view/plot_drawing.h"
#include "view/raster_surface.h"

namespace {

constexpr std::int64_t Count = 100000;
constexpr int RasterWidth = 1600;
constexpr int RasterHeight = 1200;
constexpr double TwipsPerPixel = 15;

// Argument 0: line segments, 1: characters.
const std::string& Text(std::int64_t kind) {
    static const std::string segments = kestrel::bench::MakeBenchPlot(Count);
    static const std::string labels = kestrel::bench::MakeLabelPlot(Count);
    return kind == 0 ? segments : labels;
}

void Report(benchmark::State& state, const kestrel::reader::PlotStore& store) {
    state.counters["segments"] = store.plots[1].LineCount;
    state.counters["chars"] = store.plots[1].CharCount;
    state.counters["label_strokes"] =
        static_cast<double>(kestrel::view::LabelStrokeCount(store, 1));
}

void BM_ReadLabels(benchmark::State& state) {
    const std::string& text = Text(state.range(0));
    kestrel::reader::PlotStore store;
    for (auto _ : state) {
        kestrel::reader::ReadPlotText(store, text);
        benchmark::DoNotOptimize(store.plots[1].CharCount);
    }
    Report(state, store);
}
BENCHMARK(BM_ReadLabels)->Arg(0)->Arg(1)->ArgName("chars")->Unit(benchmark::kMillisecond);

void BM_RedrawLabels(benchmark::State& state) {
    kestrel::reader::PlotStore store;
    kestrel::reader::ReadPlotText(store, Text(state.range(0)));
    store.PlotName = "bench.hpg";
    store.PlotNo = 1;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(RasterWidth) * RasterHeight);
    kestrel::view::RasterSurface surface(pixels.data(), RasterWidth, RasterHeight, RasterWidth,
                                         TwipsPerPixel);
    for (auto _ : state) {
        kestrel::view::RedrawPlot(store, {}, surface);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    Report(state, store);
    // The strokes drawn at this size: pixel-sized detail of the glyphs is passed over.
    const auto fit = kestrel::view::ComputeFit(store, 1, surface.Width(), surface.Height());
    double drawn = 0;
    kestrel::view::ForEachLabelStroke(
        store, 1, [&drawn](float, float, float, float, std::int16_t) { ++drawn; },
        {fit.ox - fit.s * fit.minX, fit.oy + fit.s * fit.maxY, fit.s, -fit.s}, TwipsPerPixel);
    state.counters["strokes_drawn"] = drawn;
}
BENCHMARK(BM_RedrawLabels)->Arg(0)->Arg(1)->ArgName("chars")->Unit(benchmark::kMillisecond);

// What opening a file costs: reading it and the first redraw.
void BM_ReadAndRedrawLabels(benchmark::State& state) {
    const std::string& text = Text(state.range(0));
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(RasterWidth) * RasterHeight);
    kestrel::view::RasterSurface surface(pixels.data(), RasterWidth, RasterHeight, RasterWidth,
                                         TwipsPerPixel);
    kestrel::reader::PlotStore store;
    store.PlotName = "bench.hpg";
    for (auto _ : state) {
        kestrel::reader::ReadPlotText(store, text);
        store.PlotNo = 1;
        kestrel::view::RedrawPlot(store, {}, surface);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    Report(state, store);
}
BENCHMARK(BM_ReadAndRedrawLabels)->Arg(0)->Arg(1)->ArgName("chars")->Unit(benchmark::kMillisecond);

}  // namespace
