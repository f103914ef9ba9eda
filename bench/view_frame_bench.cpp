// Frames of a zoomed view, as the window makes them, on the 1.5-million-segment benchmark
// plot and on a 20-million-segment one, in a 1600 x 1200 viewport:
// - a pan: the kept pixels move and the strips they uncover are drawn from what the spatial
//   index finds there (a drag of 24 x 16 pixels, a wheel notch of 3 lines);
// - a zoom step: the part shown drawn afresh in steps, the first at once: the frame is the
//   query and that step; the rest follow between events;
// - the whole of a zoomed view drawn at once, and a step at the fitted view for comparison.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "indexed_plots.h"
#include "view/plot_drawing.h"
#include "view/raster_surface.h"

namespace {

using kestrel::bench::Plot;
using kestrel::view::RasterSurface;

constexpr int Width = 1600;
constexpr int Height = 1200;
constexpr double TwipsPerPixel = 15;
constexpr double Notch = 1.189207115002721;  // a wheel notch of zoom

// A raster of the viewport over an area `zoom` times the viewport, showing the part centred
// on the plot's middle.
struct View {
    explicit View(double zoom)
        : zoom(zoom), pixels(std::size_t{Width} * Height), surface(Raster()) {
        Centre();
    }
    RasterSurface Raster() { return {pixels.data(), Width, Height, Width, TwipsPerPixel}; }
    void Centre() {
        surface.SetOrigin(std::round((Width * zoom - Width) / 2),
                          std::round((Height * zoom - Height) / 2));
    }
    double AreaWidth() const { return Width * zoom * TwipsPerPixel; }
    double AreaHeight() const { return Height * zoom * TwipsPerPixel; }
    // Draws the part shown in steps, as the window does after a zoom, `most` of them at
    // most; the steps it took.
    int Draw(const kestrel::bench::IndexedPlot& plot, int most = 1 << 30) {
        drawing = kestrel::view::BeginViewDrawing(plot.store, {}, surface, AreaWidth(),
                                                  AreaHeight(), false, &plot.index, &drawing);
        int steps = 0;
        while (!drawing.Finished() && steps < most) {
            const double pixels =
                steps == 0 ? kestrel::view::FirstStepPixels : kestrel::view::StepPixels;
            kestrel::view::DrawMoreLines(plot.store, surface, drawing, pixels * TwipsPerPixel);
            ++steps;
        }
        return steps;
    }
    // At once.
    void DrawWhole(const kestrel::bench::IndexedPlot& plot) {
        drawing = kestrel::view::BeginViewDrawing(plot.store, {}, surface, AreaWidth(),
                                                  AreaHeight(), false, &plot.index, &drawing);
        kestrel::view::DrawMoreLines(plot.store, surface, drawing,
                                     std::numeric_limits<double>::infinity());
    }

    double zoom;
    std::vector<std::uint32_t> pixels;
    RasterSurface surface;
    kestrel::view::PlotDrawing drawing;  // the last, whose memory the next takes over
};

// Arguments: the plot (1 or 20), the zoom, the pan (0: a drag of 24 x 16, 1: a wheel notch).
void BM_PanFrame(benchmark::State& state) {
    const auto& plot = Plot(state.range(0));
    View view(static_cast<double>(state.range(1)));
    view.DrawWhole(plot);
    const int dx = state.range(2) == 0 ? 24 : 0, dy = state.range(2) == 0 ? 16 : 66;
    int sign = 1;
    for (auto _ : state) {
        // Back and forth, so that every frame shows the same kind of place.
        view.surface.SetOrigin(view.surface.OriginX() - sign * dx,
                               view.surface.OriginY() - sign * dy);
        view.surface.Shift(sign * dx, sign * dy);
        kestrel::view::DrawUncovered(plot.store, {}, view.surface, sign * dx, sign * dy,
                                     view.AreaWidth(), view.AreaHeight(), false, &plot.index);
        sign = -sign;
        benchmark::DoNotOptimize(view.pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PanFrame)
    ->ArgsProduct({{1, 20}, {8, 64, 1024}, {0, 1}})
    ->ArgNames({"plot", "zoom", "wheel"})
    ->Unit(benchmark::kMillisecond);

// The first step after a notch of zoom about the centre; `steps` how many the whole takes.
void BM_ZoomFrame(benchmark::State& state) {
    const auto& plot = Plot(state.range(0));
    View near(static_cast<double>(state.range(1))), far(state.range(1) * Notch);
    bool in = true;
    for (auto _ : state) {
        (in ? far : near).Draw(plot, 1);
        in = !in;
        benchmark::DoNotOptimize(near.pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["steps"] = near.Draw(plot);
}
BENCHMARK(BM_ZoomFrame)
    ->ArgsProduct({{1, 20}, {8, 64, 1024}})
    ->ArgNames({"plot", "zoom"})
    ->Unit(benchmark::kMillisecond);

// The whole part shown at once, for the time until the picture is complete.
void BM_ZoomedViewWhole(benchmark::State& state) {
    const auto& plot = Plot(state.range(0));
    View view(static_cast<double>(state.range(1)));
    for (auto _ : state) {
        view.DrawWhole(plot);
        benchmark::DoNotOptimize(view.pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ZoomedViewWhole)
    ->ArgsProduct({{1, 20}, {8, 64}})
    ->ArgNames({"plot", "zoom"})
    ->Unit(benchmark::kMillisecond);

// A step of the fitted view's drawing, which walks every record: what keeps the window live
// while a large plot is drawn.
void BM_FittedStep(benchmark::State& state) {
    const auto& plot = Plot(state.range(0));
    View view(1);
    kestrel::view::PlotDrawing drawing;
    for (auto _ : state) {
        if (drawing.Finished()) {
            drawing =
                kestrel::view::BeginViewDrawing(plot.store, {}, view.surface, view.AreaWidth(),
                                                view.AreaHeight(), false, &plot.index);
        }
        kestrel::view::DrawMoreLines(plot.store, view.surface, drawing,
                                     kestrel::view::StepPixels * TwipsPerPixel);
        benchmark::DoNotOptimize(view.pixels.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FittedStep)->Arg(1)->Arg(20)->ArgName("plot")->Unit(benchmark::kMillisecond);

}  // namespace
