// libFuzzer entry point for the writers: any bytes are a plot file, read as the converter
// reads it and written in every format Kestrel writes, to /dev/null so that the disk
// costs nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "interact/rotation.h"
#include "output/output_formats.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "reader/units.h"
#include "view/plot_drawing.h"
#include "view/raster_surface.h"

namespace {

constexpr int Width = 64;
constexpr int Height = 48;
constexpr const char* Sink = "/dev/null";

// Writing to /dev/null cannot fail; a plot too large for 1:1 may be refused, and only then.
void Expect(const kestrel::output::WriteResult& result, bool mayBeTooLarge) {
    if (result) return;
    if (mayBeTooLarge && result.outcome == kestrel::output::WriteResult::TooLarge) return;
    std::abort();
}

// The raster as the converter draws it, with and without the range frame.
void WriteImages(const kestrel::reader::PlotStore& store, bool framed) {
    static std::vector<std::uint32_t> pixels(Width * Height);
    kestrel::view::RasterSurface surface(pixels.data(), Width, Height, Width,
                                         kestrel::reader::ScreenTwipsPerPixel);
    const kestrel::view::DisplaySettings display;
    if (framed) {
        kestrel::view::DrawPlot(store, display, surface, {});
    } else {
        kestrel::view::RedrawPlot(store, display, surface);
    }
    for (const auto& format : kestrel::output::OutputFormats()) {
        if (format.image) Expect(format.image(Sink, pixels.data(), Width, Height, Width), false);
    }
}

// Every plot as paths, each format one to one or fitted to A4, by turns.
void WritePaths(const kestrel::reader::PlotStore& store, bool fitFirst) {
    std::vector<int> slots;
    for (int slot = 1; slot <= store.PlotTotal; ++slot) slots.push_back(slot);
    bool fit = fitFirst;
    for (const auto& format : kestrel::output::OutputFormats()) {
        if (!format.paths) continue;
        if (fit) {
            Expect(format.paths(Sink, store, slots, {297, 210}), false);
        } else {
            Expect(format.paths(Sink, store, slots, {}), true);
        }
        fit = !fit;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kestrel::reader::PlotStore store;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A lower segment limit keeps each run short; writing past it is the same code.
    constexpr std::int32_t SegmentLimit = 1 << 12;
    kestrel::reader::ReadPlotText(store, text, {kestrel::reader::Reading::Plotter, SegmentLimit});
    // The first plot drawn; turned a quarter for odd lengths, so that both orientations
    // are written.
    store.PlotNo = 1;
    if (size % 2 == 1) kestrel::interact::RotatePlot(store, kestrel::interact::Turn::Right);
    WriteImages(store, size % 4 < 2);
    WritePaths(store, size % 8 < 4);
    return 0;
}
