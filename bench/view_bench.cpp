#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "bench_plot.h"
#include "interact/rotation.h"
#include "output/bmp_writer.h"
#include "output/png_writer.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "view/plot_drawing.h"
#include "view/raster_surface.h"

namespace {

constexpr int RasterWidth = 1600;
constexpr int RasterHeight = 1200;
constexpr double TwipsPerPixel = 15;

const kestrel::reader::PlotStore& BenchStore() {
    static const kestrel::reader::PlotStore store = [] {
        kestrel::reader::PlotStore s;
        kestrel::reader::ReadPlotText(s, kestrel::bench::MakeBenchPlot(150000));
        s.PlotName = "bench.hpg";
        s.PlotNo = 1;
        return s;
    }();
    return store;
}

// The redraw after opening or zooming: clear and 150000 lines into a window-sized raster.
void BM_RedrawPlot(benchmark::State& state) {
    const kestrel::reader::PlotStore& store = BenchStore();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(RasterWidth) * RasterHeight);
    kestrel::view::RasterSurface surface(pixels.data(), RasterWidth, RasterHeight, RasterWidth,
                                         TwipsPerPixel);
    for (auto _ : state) {
        kestrel::view::RedrawPlot(store, {}, surface);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["segments"] = store.plots[1].LineCount;
}
BENCHMARK(BM_RedrawPlot)->Unit(benchmark::kMillisecond);

// 20 million segments of the same kind: short ones must cost about one pixel write each.
const kestrel::reader::PlotStore& HugeStore() {
    static const kestrel::reader::PlotStore store = [] {
        kestrel::reader::PlotStore s;
        kestrel::reader::ReadPlotText(s, kestrel::bench::MakeBenchPlot(20'000'000));
        s.PlotName = "huge.hpg";
        s.PlotNo = 1;
        return s;
    }();
    return store;
}

void BM_RedrawHugePlot(benchmark::State& state) {
    const kestrel::reader::PlotStore& store = HugeStore();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(RasterWidth) * RasterHeight);
    kestrel::view::RasterSurface surface(pixels.data(), RasterWidth, RasterHeight, RasterWidth,
                                         TwipsPerPixel);
    for (auto _ : state) {
        kestrel::view::RedrawPlot(store, {}, surface);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["segments"] = store.plots[1].LineCount;
}
BENCHMARK(BM_RedrawHugePlot)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same plot with every pen's width set (PW, in hundredths of a millimetre), widths
// shown. Fitted into 1600 x 1200 a millimetre is about 0.7 pixels: 0.35 mm stays a
// one-pixel line, 4 mm and 10 mm are drawn about 3 and 7 pixels wide.
void BM_RedrawPlotPenWidth(benchmark::State& state) {
    static kestrel::reader::PlotStore store;
    std::string text = kestrel::bench::MakeBenchPlot(150000);
    text.insert(text.find('\n') + 1, "PW" + std::to_string(state.range(0) / 100.0) + ";\r\n");
    kestrel::reader::ReadPlotText(store, text);
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
    state.counters["segments"] = store.plots[1].LineCount;
}
BENCHMARK(BM_RedrawPlotPenWidth)->Arg(35)->Arg(400)->Arg(1000)->Unit(benchmark::kMillisecond);

// The same with the range frame drawn first, as DrawPlot does.
void BM_DrawPlot(benchmark::State& state) {
    const kestrel::reader::PlotStore& store = BenchStore();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(RasterWidth) * RasterHeight);
    kestrel::view::RasterSurface surface(pixels.data(), RasterWidth, RasterHeight, RasterWidth,
                                         TwipsPerPixel);
    for (auto _ : state) {
        kestrel::view::DrawPlot(store, {}, surface, {});
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawPlot)->Unit(benchmark::kMillisecond);

// Clearing alone, the floor under every redraw.
void BM_ClearRaster(benchmark::State& state) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(RasterWidth) * RasterHeight);
    kestrel::view::RasterSurface surface(pixels.data(), RasterWidth, RasterHeight, RasterWidth,
                                         TwipsPerPixel);
    for (auto _ : state) {
        surface.Clear();
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearRaster)->Unit(benchmark::kMillisecond);

// Saving the rendered raster as the CLI does, 24-bit BMP of 1829 x 1281.
void BM_WriteBmp(benchmark::State& state) {
    constexpr int Width = 1829;
    constexpr int Height = 1281;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(Width) * Height);
    kestrel::view::RasterSurface surface(pixels.data(), Width, Height, Width, TwipsPerPixel);
    kestrel::view::RedrawPlot(BenchStore(), {}, surface);
    const auto path = std::filesystem::temp_directory_path() / "kestrel_bench.bmp";
    for (auto _ : state) {
        if (!kestrel::output::WriteBmp(path.string(), pixels.data(), Width, Height, Width)) {
            state.SkipWithError("cannot write the BMP file");
            break;
        }
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteBmp)->Unit(benchmark::kMillisecond);

// Saving the CLI's default 1600 x 1200 render as PNG: conversion, deflate and CRCs.
void BM_WritePng(benchmark::State& state) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(RasterWidth) * RasterHeight);
    kestrel::view::RasterSurface surface(pixels.data(), RasterWidth, RasterHeight, RasterWidth,
                                         TwipsPerPixel);
    kestrel::view::RedrawPlot(BenchStore(), {}, surface);
    const auto path = std::filesystem::temp_directory_path() / "kestrel_bench.png";
    for (auto _ : state) {
        if (!kestrel::output::WritePng(path.string(), pixels.data(), RasterWidth, RasterHeight,
                                       RasterWidth)) {
            state.SkipWithError("cannot write the PNG file");
            break;
        }
    }
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    if (!error) state.counters["file_bytes"] = static_cast<double>(bytes);
    std::filesystem::remove(path, error);
}
BENCHMARK(BM_WritePng)->Unit(benchmark::kMillisecond);

// A right turn of the 150000-segment plot: rewrite every segment and its extents.
void BM_RotatePlot(benchmark::State& state) {
    kestrel::reader::PlotStore store = BenchStore();
    for (auto _ : state) {
        kestrel::interact::RotatePlot(store, kestrel::interact::Turn::Right);
        benchmark::ClobberMemory();
    }
    state.counters["segments"] = store.plots[1].LineCount;
}
BENCHMARK(BM_RotatePlot)->Unit(benchmark::kMillisecond);

}  // namespace
