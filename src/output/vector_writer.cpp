#include "output/vector_writer.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "output/bmp_writer.h"
#include "view/pen_style.h"

namespace Kestrel_Output {

namespace {

using Kestrel_Val::PlotStore;

constexpr double PointsPerMm = 72 / 25.4;
// SVG has no device hair-line; the finest technical pen stands in for it.
constexpr double SvgHairlineMm = 0.1;
// cairo holds device coordinates in 24.8 fixed point (about +-8.4 million units);
// an SVG's units are chosen to keep its pages well inside that.
constexpr double MaxSvgUnits = 4'000'000;
// A page too large to write is reported as a file that could not be written.
constexpr int PageTooLargeError = 31037;

std::int32_t SegmentCount(const PlotStore& store, int slot) {
    if (slot < 1 || !store.ValidSlot(slot)) return 0;
    const std::int64_t count = store.LineCount[slot];
    const auto stored = static_cast<std::int64_t>(store.PlotLines[slot].size()) - 1;
    return static_cast<std::int32_t>(std::max<std::int64_t>(0, std::min(count, stored)));
}

// Width of the range lo..hi in double precision (single precision could overflow);
// 0 for none, as an empty plot's reset extents give.
double Extent(float lo, float hi) {
    const double d = static_cast<double>(hi) - static_cast<double>(lo);
    return d > 0 ? d : 0;
}

// Maps plotter units onto a page in device units, y turned to grow downwards.
struct DeviceMap {
    double perMm = 1;  // device units per paper millimetre
    double scale = 1;  // device units per plotter unit
    double left = 0;
    double top = 0;
    double minX = 0;
    double maxY = 0;
    double penScale = 1;  // paper width of a pen's line per plotter millimetre

    DeviceMap(const PlotStore& store, int slot, const PageLayout& page, double unitsPerMm)
        : perMm(unitsPerMm),
          scale(page.mmPerUnit * unitsPerMm),
          left(page.leftMm * unitsPerMm),
          top(page.topMm * unitsPerMm),
          penScale(page.mmPerUnit / MmPerPlotterUnit) {
        if (SegmentCount(store, slot) > 0) {
            minX = store.MinX[slot];
            maxY = store.MaxY[slot];
        }
    }
    double X(float x) const { return left + scale * (static_cast<double>(x) - minX); }
    double Y(float y) const { return top + scale * (maxY - static_cast<double>(y)); }
};

// Device units per millimetre of an SVG: whole plotter units where the page allows,
// so that coordinates are written as the plot has them; finer when a plot is enlarged,
// coarser for pages of more than a hundred metres.
double SvgUnitsPerMm(const PageLayout& page) {
    double unitMm = page.mmPerUnit;
    while (unitMm > MmPerPlotterUnit) unitMm /= 2;
    while (std::max(page.widthMm, page.heightMm) / unitMm > MaxSvgUnits) unitMm *= 2;
    return 1 / unitMm;
}

void SetHairline(cairo_t* cr, VectorFormat format, const DeviceMap& map) {
    if (format == VectorFormat::Svg) {
        cairo_set_line_width(cr, SvgHairlineMm * map.perMm);
        return;
    }
#if CAIRO_VERSION >= CAIRO_VERSION_ENCODE(1, 17, 6)
    cairo_set_hairline(cr, true);
#else
    // Older cairo drops strokes of width 0, but writes a width this small as PDF's
    // "0 w": the thinnest line the device can draw.
    cairo_set_line_width(cr, 1e-30);
#endif
}

void ApplyPenStyle(cairo_t* cr, const Kestrel_View::PenStyle& style, VectorFormat format,
                   const DeviceMap& map) {
    cairo_set_source_rgb(cr, style.colour.r / 255.0, style.colour.g / 255.0, style.colour.b / 255.0);
    if (style.widthMm <= 0) {
        SetHairline(cr, format, map);
        return;
    }
#if CAIRO_VERSION >= CAIRO_VERSION_ENCODE(1, 17, 6)
    cairo_set_hairline(cr, false);
#endif
    // A pen's line scales with the plot, as the whole drawing does.
    cairo_set_line_width(cr, style.widthMm * map.penScale * map.perMm);
}

// Strokes the segments of plot `slot`: each run of segments of one pen is one path, a
// run that continues where the last segment ended one subpath. Store order is kept,
// so later lines still cover earlier ones.
void DrawSegments(cairo_t* cr, const PlotStore& store, int slot, const DeviceMap& map,
                  VectorFormat format) {
    const std::int32_t count = SegmentCount(store, slot);
    if (count == 0) return;
    // Round ends and corners, as a plotter's pen leaves them.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const Kestrel_Val::PlotLine* lines = store.PlotLines[slot].data();
    std::int16_t pen = lines[1].Pen;
    ApplyPenStyle(cr, Kestrel_View::PenStyleOf(store, slot, pen), format, map);
    float endX = 0;
    float endY = 0;
    for (std::int32_t k = 1; k <= count; ++k) {
        const Kestrel_Val::PlotLine& l = lines[k];
        if (l.Pen != pen) {
            cairo_stroke(cr);
            pen = l.Pen;
            ApplyPenStyle(cr, Kestrel_View::PenStyleOf(store, slot, pen), format, map);
            cairo_move_to(cr, map.X(l.X1), map.Y(l.Y1));
        } else if (k == 1 || l.X1 != endX || l.Y1 != endY) {
            cairo_move_to(cr, map.X(l.X1), map.Y(l.Y1));
        }
        cairo_line_to(cr, map.X(l.X2), map.Y(l.Y2));
        endX = l.X2;
        endY = l.Y2;
    }
    cairo_stroke(cr);
}

// Takes cairo's output in small pieces and writes it in large blocks. For an SVG it first
// gives the document element its size in millimetres: cairo states the size in the same
// numbers as the view box, which is in plotter units.
class Sink {
public:
    Sink(OutputFile& file, std::string svgWidth, std::string svgHeight)
        : file_(file),
          svgWidth_(std::move(svgWidth)),
          svgHeight_(std::move(svgHeight)),
          sizing_(!svgWidth_.empty()) {
        buffer_.reserve(BlockBytes);
    }

    static cairo_status_t Write(void* closure, const unsigned char* data, unsigned int length) {
        auto* sink = static_cast<Sink*>(closure);
        return sink->Take(reinterpret_cast<const char*>(data), length) ? CAIRO_STATUS_SUCCESS
                                                                       : CAIRO_STATUS_WRITE_ERROR;
    }

    // Writes what is left; false when anything failed.
    bool Finish() { return !sizing_ && Flush(); }
    std::uint64_t Length() const { return length_; }
    int Error() const { return error_ != 0 ? error_ : file_.Error(); }

private:
    static constexpr std::size_t BlockBytes = std::size_t{1} << 16;
    static constexpr std::size_t MaxHeaderBytes = std::size_t{1} << 14;

    bool Take(const char* data, std::size_t size) {
        if (failed_) return false;
        buffer_.append(data, size);
        if (sizing_ && !SizeDocument()) return false;
        return sizing_ || buffer_.size() < BlockBytes || Flush();
    }

    bool Flush() {
        if (failed_) return false;
        if (!buffer_.empty() && !file_.Write(buffer_.data(), buffer_.size())) failed_ = true;
        length_ += buffer_.size();
        buffer_.clear();
        return !failed_;
    }

    // Once the opening tag of the document element is complete, sets its width and height.
    bool SizeDocument() {
        const std::size_t start = buffer_.find("<svg");
        const std::size_t end = start == std::string::npos ? start : buffer_.find('>', start);
        if (end == std::string::npos) {
            if (buffer_.size() <= MaxHeaderBytes) return true;  // wait for more
            return Fail();
        }
        std::string tag = buffer_.substr(start, end - start);
        if (!SetAttribute(tag, "width", svgWidth_) || !SetAttribute(tag, "height", svgHeight_)) return Fail();
        buffer_.replace(start, end - start, tag);
        sizing_ = false;
        return true;
    }

    static bool SetAttribute(std::string& tag, std::string_view name, const std::string& value) {
        const std::string opening = " " + std::string(name) + "=\"";
        const std::size_t at = tag.find(opening);
        if (at == std::string::npos) return false;
        const std::size_t from = at + opening.size();
        const std::size_t to = tag.find('"', from);
        if (to == std::string::npos) return false;
        tag.replace(from, to - from, value);
        return true;
    }

    bool Fail() {
        error_ = EIO;  // not the SVG this cairo was expected to write
        failed_ = true;
        return false;
    }

    OutputFile& file_;
    std::string svgWidth_;
    std::string svgHeight_;
    bool sizing_;
    bool failed_ = false;
    int error_ = 0;
    std::string buffer_;
    std::uint64_t length_ = 0;
};

std::string Millimetres(double mm) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10gmm", mm);
    return text;
}

// Draws the pages and finishes the document; the errno of a failure, or 0.
int DrawDocument(cairo_surface_t* surface, VectorFormat format, const PlotStore& store,
                 const std::vector<int>& pages, const std::vector<PageLayout>& layouts) {
    cairo_t* cr = cairo_create(surface);
    for (std::size_t i = 0; i < pages.size() && cairo_status(cr) == CAIRO_STATUS_SUCCESS; ++i) {
        double perMm = PointsPerMm;
        if (format == VectorFormat::Svg) {
            perMm = SvgUnitsPerMm(layouts[i]);
        } else {
            cairo_pdf_surface_set_size(surface, layouts[i].widthMm * perMm, layouts[i].heightMm * perMm);
        }
        DrawSegments(cr, store, pages[i], DeviceMap(store, pages[i], layouts[i], perMm), format);
        // An SVG holds one page, which finishing writes.
        if (format == VectorFormat::Pdf) cairo_show_page(cr);
    }
    const cairo_status_t drawn = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t finished = cairo_surface_status(surface);
    if (drawn == CAIRO_STATUS_SUCCESS && finished == CAIRO_STATUS_SUCCESS) return 0;
    return drawn == CAIRO_STATUS_NO_MEMORY || finished == CAIRO_STATUS_NO_MEMORY ? ENOMEM : EIO;
}

}  // namespace

std::optional<PageLayout> LayOutPage(const PlotStore& store, int slot, FitPaper paper) {
    double dx = 0;
    double dy = 0;
    if (SegmentCount(store, slot) > 0) {
        dx = Extent(store.MinX[slot], store.MaxX[slot]);
        dy = Extent(store.MinY[slot], store.MaxY[slot]);
    }
    PageLayout page;
    if (paper.widthMm <= 0 || paper.heightMm <= 0) {
        page.widthMm = dx * MmPerPlotterUnit + 2 * PageMarginMm;
        page.heightMm = dy * MmPerPlotterUnit + 2 * PageMarginMm;
        page.leftMm = PageMarginMm;
        page.topMm = PageMarginMm;
    } else {
        // Small paper keeps most of itself for the plot.
        const double margin = std::min(PageMarginMm, 0.05 * std::min(paper.widthMm, paper.heightMm));
        const double sx = dx > 0 ? (paper.widthMm - 2 * margin) / dx : HUGE_VAL;
        const double sy = dy > 0 ? (paper.heightMm - 2 * margin) / dy : HUGE_VAL;
        const double s = std::min(sx, sy);
        if (std::isfinite(s) && s > 0) page.mmPerUnit = s;  // a single point keeps 1:1
        page.widthMm = paper.widthMm;
        page.heightMm = paper.heightMm;
        page.leftMm = (paper.widthMm - page.mmPerUnit * dx) / 2;
        page.topMm = (paper.heightMm - page.mmPerUnit * dy) / 2;
    }
    if (!(page.widthMm <= MaxPageMm && page.heightMm <= MaxPageMm)) return std::nullopt;
    return page;
}

VectorResult WriteVector(const std::string& path, VectorFormat format,
                         const PlotStore& store, const std::vector<int>& slots, FitPaper paper) {
    // Slot 0 is never filled: it stands for the blank page of a file without plots.
    std::vector<int> pages = slots.empty() ? std::vector<int>{0} : slots;
    if (format == VectorFormat::Svg) pages.resize(1);
    std::vector<PageLayout> layouts;
    for (const int slot : pages) {
        const auto layout = LayOutPage(store, slot, paper);
        if (!layout) return {VectorOutcome::TooLarge, 0};
        layouts.push_back(*layout);
    }

    OutputFile file(path);
    if (!file.IsOpen()) return {VectorOutcome::WriteFailed, file.Error()};
    const PageLayout& first = layouts.front();
    const bool svg = format == VectorFormat::Svg;
    Sink sink(file, svg ? Millimetres(first.widthMm) : "", svg ? Millimetres(first.heightMm) : "");
    const double perMm = svg ? SvgUnitsPerMm(first) : PointsPerMm;
    cairo_surface_t* surface =
        svg ? cairo_svg_surface_create_for_stream(Sink::Write, &sink, first.widthMm * perMm,
                                                  first.heightMm * perMm)
            : cairo_pdf_surface_create_for_stream(Sink::Write, &sink, first.widthMm * perMm,
                                                  first.heightMm * perMm);
    int error = DrawDocument(surface, format, store, pages, layouts);
    cairo_surface_destroy(surface);
    if (!sink.Finish() && error == 0) error = EIO;
    if (error != 0) {
        const int written = sink.Error();
        return {VectorOutcome::WriteFailed, written != 0 ? written : error};
    }
    if (!file.Finish()) return {VectorOutcome::WriteFailed, file.Error()};
    return {};
}

int SaveVector(const std::string& path, VectorFormat format, const PlotStore& store,
               const std::vector<int>& slots) {
    const VectorResult result = WriteVector(path, format, store, slots);
    switch (result.outcome) {
        case VectorOutcome::Written: return 0;
        case VectorOutcome::TooLarge: return PageTooLargeError;
        case VectorOutcome::WriteFailed: break;
    }
    return SaveErrorNumber(result.error);
}

}  // namespace Kestrel_Output
