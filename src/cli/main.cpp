// kestrel-convert: the reader and renderer without a window.
#include <malloc.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <variant>
#include <vector>

#include "cli/convert_arguments.h"
#include "interact/rotation.h"
#include "output/output_file.h"
#include "output/output_formats.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "reader/units.h"
#include "view/label_strokes.h"
#include "view/plot_drawing.h"
#include "view/raster_surface.h"

namespace {

using kestrel::cli::ConvertOptions;
using kestrel::cli::Mode;
using kestrel::cli::ReadChoice;

// Buffered text output; one fwrite per 64 KiB keeps large plots fast.
class Out {
public:
    void Float(float v) { Append("%.9g", static_cast<double>(v)); }
    void Int(long long v) { Append("%lld", v); }
    void Text(const char* s) { Append("%s", s); }
    void Flush() {
        if (used_ > 0 && std::fwrite(buf_, 1, used_, stdout) != used_ && error_ == 0)
            error_ = errno;
        used_ = 0;
    }
    // Writes what is left; false (with the one-line message given) when any write failed,
    // a full disk or a closed pipe for instance.
    bool Finish() {
        Flush();
        if (std::fflush(stdout) != 0 && error_ == 0) error_ = errno;
        if (error_ == 0 && std::ferror(stdout)) error_ = EIO;
        if (error_ == 0) return true;
        std::fprintf(stderr, "kestrel-convert: cannot write the standard output: %s\n",
                     std::strerror(error_));
        return false;
    }

private:
    template <typename T>
    void Append(const char* fmt, T v) {
        if (used_ + 64 > sizeof buf_) Flush();
        const int n = std::snprintf(buf_ + used_, sizeof buf_ - used_, fmt, v);
        if (n > 0) used_ += static_cast<std::size_t>(n);
    }
    char buf_[1 << 16];
    std::size_t used_ = 0;
    int error_ = 0;
};

// The word for why reading ended early, or none when it read to the end.
const char* StopWord(kestrel::reader::StopReason reason) {
    using kestrel::reader::StopReason;
    switch (reason) {
        case StopReason::EndOfFile: return nullptr;
        case StopReason::PageFeed: return "page-feed";
        case StopReason::BadPen: return "bad-pen";
        case StopReason::Overflow: return "overflow";
        case StopReason::SegmentLimit: return "segment-limit";
        case StopReason::PlotLimit: return "plot-limit";
        case StopReason::OutOfMemory: return "out-of-memory";
        case StopReason::Cancelled: return "cancelled";
        case StopReason::FileChanged: return "file-changed";
    }
    return "unknown";
}

// Reading that ran out of memory kept what it read, but the result is not the plot.
bool ReportOutOfMemory(const kestrel::reader::ReadResult& r, const std::string& path) {
    if (r.stop != kestrel::reader::StopReason::OutOfMemory) return false;
    std::fprintf(stderr, "kestrel-convert: out of memory reading %s\n", path.c_str());
    return true;
}

void SplitPath(kestrel::reader::PlotStore& store, const std::string& path) {
    const int p = kestrel::reader::LastPos(path, "/");
    store.PlotDir = path.substr(0, static_cast<std::size_t>(p));
    store.PlotName = path.substr(static_cast<std::size_t>(p));
}

// Reads `path` into the store and shows the plot chosen; false (with a one-line message)
// when the file cannot be read or has no such plot.
bool ReadPlot(kestrel::reader::PlotStore& store, const std::string& path, const ReadChoice& choice,
              kestrel::reader::ReadResult& r) {
    SplitPath(store, path);
    r = kestrel::reader::ReadPlotFile(store, path, {choice.reading});
    if (r.status == kestrel::reader::ReadStatus::CannotOpen) {
        std::fprintf(stderr, "kestrel-convert: cannot open %s: %s\n", path.c_str(),
                     r.errorNumber == kestrel::reader::ErrorNumber::FileNotFound ? "file not found"
                     : r.errorNumber == kestrel::reader::ErrorNumber::PermissionDenied
                         ? "permission denied"
                         : "not a readable file");
        return false;
    }
    if (choice.page > store.PlotTotal) {
        std::fprintf(stderr, "kestrel-convert: %s has %d plot%s, no plot %d\n", path.c_str(),
                     store.PlotTotal, store.PlotTotal == 1 ? "" : "s", choice.page);
        return false;
    }
    // The turns, in the order given, before anything is drawn or printed.
    store.PlotNo = static_cast<std::int16_t>(choice.page);
    for (const kestrel::interact::Turn t : choice.turns) kestrel::interact::RotatePlot(store, t);
    return true;
}

void PrepareHeap();

// The extents as four numbers; a plot without ink has none, unless the placeholders are
// asked for (`--segments` prints what the store holds).
void PrintExtents(Out& out, const kestrel::reader::Plot& plot, bool placeholders) {
    out.Text("extents ");
    if (!placeholders && !(plot.MinX <= plot.MaxX && plot.MinY <= plot.MaxY)) {
        out.Text("none\n");
        return;
    }
    for (const float v : {plot.MinX, plot.MinY, plot.MaxX}) {
        out.Float(v);
        out.Text(" ");
    }
    out.Float(plot.MaxY);
    out.Text("\n");
}

// Every segment, then the strokes of the labels: X1 Y1 X2 Y2 PEN.
void PrintSegments(Out& out, const kestrel::reader::PlotStore& store, int slot) {
    auto segment = [&out](float x1, float y1, float x2, float y2, std::int16_t pen) {
        for (const float v : {x1, y1, x2, y2}) {
            out.Float(v);
            out.Text(" ");
        }
        out.Int(pen);
        out.Text("\n");
    };
    for (std::int32_t k = 1; k <= store.plots[slot].LineCount; ++k) {
        const kestrel::reader::PlotLine& l = store.Line(slot, k);
        segment(l.X1, l.Y1, l.X2, l.Y2, store.PenNumber(slot, l.Pen));
    }
    kestrel::view::ForEachLabelStroke(store, slot, segment);
}

void PrintCount(Out& out, const char* name, long long count) {
    out.Text(name);
    out.Text(" ");
    out.Int(count);
    out.Text("\n");
}

int PrintPlot(const std::string& path, bool segments, const ReadChoice& choice) {
    PrepareHeap();
    static kestrel::reader::PlotStore store;
    kestrel::reader::ReadResult r;
    if (!ReadPlot(store, path, choice, r)) return 1;
    Out out;
    if (r.status == kestrel::reader::ReadStatus::NoDelimiter) out.Text("nodelimiter\n");
    const int slot = store.PlotNo;
    const kestrel::reader::Plot& plot = store.plots[slot];
    if (segments) {
        // One list: the label strokes follow the lines and count with them.
        PrintCount(out, "segments", plot.LineCount + kestrel::view::LabelStrokeCount(store, slot));
        PrintExtents(out, plot, true);
        PrintSegments(out, store, slot);
    } else {
        PrintCount(out, "plots", store.PlotTotal);
        PrintCount(out, "segments", plot.LineCount);
        PrintCount(out, "chars", plot.CharCount);
        if (r.charsDropped > 0) PrintCount(out, "chars-dropped", r.charsDropped);
        PrintExtents(out, plot, false);
        if (const char* word = StopWord(r.stop)) {
            out.Text("stopped ");
            out.Text(word);
            out.Text("\n");
        }
    }
    if (!out.Finish()) return 1;
    return ReportOutOfMemory(r, path) ? 1 : 0;
}

// The raster, on transparent huge pages where the system offers them: a fresh 4 KiB
// page costs a fault on first touch, which dominates a one-shot render otherwise.
class PixelBuffer {
public:
    PixelBuffer(int width, int height) {
        constexpr std::size_t Huge = std::size_t{2} << 20;
        const std::size_t bytes = static_cast<std::size_t>(width) *
                                  static_cast<std::size_t>(height) * sizeof(std::uint32_t);
        const std::size_t rounded = (bytes + Huge - 1) / Huge * Huge;
        pixels_.reset(static_cast<std::uint32_t*>(std::aligned_alloc(Huge, rounded)));
#ifdef MADV_HUGEPAGE
        if (pixels_) ::madvise(pixels_.get(), rounded, MADV_HUGEPAGE);
#endif
    }
    std::uint32_t* data() const { return pixels_.get(); }

private:
    struct Free {
        void operator()(std::uint32_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint32_t, Free> pixels_;
};

// A one-shot render touches some ten megabytes of fresh memory (file text, segment table,
// raster). In 4 KiB pages each first touch is a page fault. So large blocks stay in the
// heap, and the heap is grown once up front and advised onto transparent huge pages;
// untouched parts cost nothing. Measured on the 150,000-segment benchmark plot rendered
// to a 1600 x 1200 BMP: 20 ms of CPU time with this or the raster's own advice above,
// 24 ms with neither.
void PrepareHeap() {
#if defined(M_MMAP_THRESHOLD) && defined(MADV_HUGEPAGE)
    constexpr std::size_t Huge = std::size_t{2} << 20;
    // glibc's largest mmap threshold; the arena stays just below it to come from the heap.
    constexpr int MaxThreshold = 32 << 20;
    constexpr std::size_t Arena = MaxThreshold - Huge;
    if (mallopt(M_MMAP_THRESHOLD, MaxThreshold) == 0) return;
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    void* block = std::malloc(Arena);
    if (!block) return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(block) + Huge - 1) & ~(Huge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + Arena) & ~(Huge - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    std::free(block);
#endif
}

// 0 when written; else 1, with a line saying why.
int Report(const kestrel::output::WriteResult& result, const std::string& path) {
    switch (result.outcome) {
        case kestrel::output::WriteResult::Written: return 0;
        case kestrel::output::WriteResult::TooLarge:
            std::fprintf(
                stderr,
                "kestrel-convert: the plot is larger than %g m at 1:1; scale it with --fit WxH\n",
                kestrel::output::MaxPageMm / 1000);
            return 1;
        case kestrel::output::WriteResult::WriteFailed: break;
    }
    if (result.error == 0) {
        std::fprintf(stderr, "kestrel-convert: cannot write %s\n", path.c_str());
    } else {
        std::fprintf(stderr, "kestrel-convert: cannot write %s: %s\n", path.c_str(),
                     std::strerror(result.error));
    }
    return 1;
}

// The plot shown as paths; a PDF without a page given holds every plot, each turned alike.
int ExportPaths(kestrel::reader::PlotStore& store, const ConvertOptions& o) {
    std::vector<int> plots{store.PlotNo};
    if (o.format->everyPlot && !o.pageGiven) {
        const int shown = store.PlotNo;
        plots.clear();
        for (int slot = 1; slot <= store.PlotTotal; ++slot) {
            plots.push_back(slot);
            if (slot == shown) continue;  // turned when read
            store.PlotNo = static_cast<std::int16_t>(slot);
            for (const kestrel::interact::Turn t : o.choice.turns)
                kestrel::interact::RotatePlot(store, t);
        }
    }
    return Report(o.format->paths(o.output, store, plots, o.fit), o.output);
}

int Render(const ConvertOptions& o) {
    PrepareHeap();
    kestrel::reader::PlotStore store;
    kestrel::reader::ReadResult r;
    if (!ReadPlot(store, o.input, o.choice, r) || ReportOutOfMemory(r, o.input)) return 1;
    if (o.format->paths) return ExportPaths(store, o);

    PixelBuffer pixels(o.width, o.height);
    if (!pixels.data()) {
        std::fprintf(stderr, "kestrel-convert: not enough memory for %dx%d\n", o.width, o.height);
        return 1;
    }
    kestrel::view::RasterSurface surface(pixels.data(), o.width, o.height, o.width,
                                         kestrel::reader::ScreenTwipsPerPixel);
    const kestrel::view::DisplaySettings display;  // a frame on request, the pens' widths
    if (o.frame) {
        kestrel::view::DrawPlot(store, display, surface, {});
    } else {
        kestrel::view::RedrawPlot(store, display, surface);
    }

    return Report(o.format->image(o.output, pixels.data(), o.width, o.height, o.width), o.output);
}

}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write fails with EFBIG and the target stays as it was,
    // rather than the process being killed half-way.
    ::signal(SIGXFSZ, SIG_IGN);
    // Interrupted while writing, it leaves no temporary file behind.
    kestrel::output::RemoveTemporaryFilesOnSignals();
    const auto parsed = kestrel::cli::ParseArgs(argc, argv);
    if (const int* status = std::get_if<int>(&parsed)) return *status;
    const ConvertOptions& options = std::get<ConvertOptions>(parsed);
    try {
        if (options.mode != Mode::Render) {
            return PrintPlot(options.input, options.mode == Mode::Segments, options.choice);
        }
        return Render(options);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "kestrel-convert: out of memory\n");
        return 1;
    }
}
