#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_plot.h"
#include "reader/plot_store.h"
#include "reader/reader.h"

namespace {

const std::string& Plot(std::int64_t segments) {
    static std::string small = kestrel::bench::MakeBenchPlot(150000);
    static std::string large = kestrel::bench::MakeBenchPlot(1500000);
    return segments == 150000 ? small : large;
}

// Arguments: segments, then 0 for plotter reading or 1 for basic reading.
void BM_ReadPlotText(benchmark::State& state) {
    const std::string& text = Plot(state.range(0));
    const auto reading =
        state.range(1) == 1 ? kestrel::reader::Reading::Basic : kestrel::reader::Reading::Plotter;
    kestrel::reader::PlotStore store;
    for (auto _ : state) {
        kestrel::reader::ReadPlotText(store, text, {reading});
        benchmark::DoNotOptimize(store.plots[1].LineCount);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    state.counters["segments"] = store.plots[1].LineCount;
    // What the segment table holds in memory per segment read, spare capacity included.
    state.counters["store_bytes_per_segment"] =
        static_cast<double>(store.plots[1].PlotLines.capacity() *
                            sizeof(kestrel::reader::PlotLine)) /
        store.plots[1].LineCount;
}
BENCHMARK(BM_ReadPlotText)
    ->ArgsProduct({{150000, 1500000}, {0, 1}})
    ->ArgNames({"segments", "basic"})
    ->Unit(benchmark::kMillisecond);

// The whole read as the window does it: file to plot store. Arguments as above.
void BM_ReadPlotFile(benchmark::State& state) {
    const std::string& text = Plot(state.range(0));
    const auto reading =
        state.range(1) == 1 ? kestrel::reader::Reading::Basic : kestrel::reader::Reading::Plotter;
    const auto dir = std::filesystem::temp_directory_path();
    const std::string name = "kestrel_bench_" + std::to_string(::getpid()) + "_" +
                             std::to_string(state.range(0)) + ".hpg";
    std::ofstream(dir / name, std::ios::binary) << text;
    kestrel::reader::PlotStore store;
    const std::string path = (dir / name).string();
    for (auto _ : state) {
        kestrel::reader::ReadPlotFile(store, path, {reading});
        benchmark::DoNotOptimize(store.plots[1].LineCount);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    std::filesystem::remove(dir / name);
}
BENCHMARK(BM_ReadPlotFile)
    ->ArgsProduct({{150000, 1500000}, {0, 1}})
    ->ArgNames({"segments", "basic"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
