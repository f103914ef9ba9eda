#pragma once

// The benchmark plots of the zoomed views, read once per run and shared by the benchmarks
// that use them: the 1.5-million-segment plot, a 20-million-segment one and a page of a
// million characters, each with its spatial index.

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>

#include "bench_plot.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "view/spatial_index.h"

namespace kestrel::bench {

// CPU time, which other work on a shared machine disturbs less than the time passed.
inline double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct IndexedPlot {
    reader::PlotStore store;
    double readMs = 0;  // the fastest of a few plotter readings of the text, in CPU time
    view::SpatialIndex index;

    std::span<const reader::PlotLine> Lines() const { return view::IndexedLines(store, 1); }
    std::span<const reader::PlotChar> Chars() const { return view::IndexedChars(store, 1); }
};

// Each reading into a new store, as opening a file does: the table's memory is fresh.
inline std::unique_ptr<IndexedPlot> ReadAndIndex(const std::string& text, int readings) {
    auto plot = std::make_unique<IndexedPlot>();
    plot->readMs = std::numeric_limits<double>::infinity();
    for (int i = 0; i < readings; ++i) {
        reader::PlotStore store;
        const double start = CpuMs();
        reader::ReadPlotText(store, text);
        plot->readMs = std::min(plot->readMs, CpuMs() - start);
        plot->store.SwapPlots(store);
    }
    plot->store.PlotNo = 1;
    plot->store.PlotName = "bench.hpg";
    plot->index.Build(plot->Lines(), plot->Chars());
    return plot;
}

// 1 for the 1.5-million-segment plot, 20 for the 20-million one, 0 for a page of a million
// characters (the most a file holds).
inline const IndexedPlot& Plot(std::int64_t which) {
    if (which == 1) {
        static const auto plot = ReadAndIndex(MakeBenchPlot(1'500'000), 3);
        return *plot;
    }
    if (which == 20) {
        static const auto plot = ReadAndIndex(MakeBenchPlot(20'000'000), 2);
        return *plot;
    }
    static const auto plot = ReadAndIndex(MakeLabelPlot(1'000'000), 3);
    return *plot;
}

}  // namespace kestrel::bench
