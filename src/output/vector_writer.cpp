#include "output/vector_writer.h"

#include <cairo-svg.h>
#include <cairo.h>
#include <hpdf.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "output/bmp_writer.h"
#include "view/label_strokes.h"
#include "view/pen_style.h"

namespace kestrel::output {

namespace {

using reader::PlotStore;

constexpr double PointsPerMm = 72 / 25.4;
// Output is gathered and written in blocks of this size.
constexpr std::size_t BlockBytes = std::size_t{1} << 16;
// SVG has no device hair-line; the finest technical pen stands in for it.
constexpr double SvgHairlineMm = 0.1;
// cairo holds device coordinates in 24.8 fixed point (about +-8.4 million units);
// an SVG's units are chosen to keep its pages well inside that.
constexpr double MaxSvgUnits = 4'000'000;

std::int32_t SegmentCount(const PlotStore& store, int slot) {
    if (slot < 1 || !store.ValidSlot(slot)) return 0;
    const std::int64_t count = store.plots[slot].LineCount;
    const auto stored = static_cast<std::int64_t>(store.plots[slot].PlotLines.size()) - 1;
    return static_cast<std::int32_t>(std::max<std::int64_t>(0, std::min(count, stored)));
}

// Whether the plot has anything drawn: its extents mean something only then.
bool HasDrawing(const PlotStore& store, int slot) {
    return SegmentCount(store, slot) > 0 ||
           (slot >= 1 && store.ValidSlot(slot) && store.plots[slot].CharCount > 0);
}

// Width of the range lo..hi in double precision (single precision could overflow);
// 0 for none, as an empty plot's reset extents give.
double Extent(float lo, float hi) {
    const double d = static_cast<double>(hi) - static_cast<double>(lo);
    return d > 0 ? d : 0;
}

// Maps plotter units onto a page in device units. The plot's y grows upwards; `yDown` turns
// it for devices whose y grows downwards from the top edge.
struct DeviceMap {
    double perMm = 1;  // device units per paper millimetre
    double scale = 1;  // device units per plotter unit
    double left = 0;
    double top = 0;     // the device y of the plot's MaxY
    double yScale = 1;  // device y per plotter unit downwards
    double minX = 0;
    double maxY = 0;
    double penScale = 1;  // paper width of a pen's line per plotter millimetre

    DeviceMap(const PlotStore& store, int slot, const PageLayout& page, double unitsPerMm,
              bool yDown = true)
        : perMm(unitsPerMm),
          scale(page.mmPerUnit * unitsPerMm),
          left(page.leftMm * unitsPerMm),
          top((yDown ? page.topMm : page.heightMm - page.topMm) * unitsPerMm),
          yScale(yDown ? scale : -scale),
          penScale(page.mmPerUnit / MmPerPlotterUnit) {
        if (HasDrawing(store, slot)) {
            minX = store.plots[slot].MinX;
            maxY = store.plots[slot].MaxY;
        }
    }
    double X(float x) const { return left + scale * (static_cast<double>(x) - minX); }
    double Y(float y) const { return top + yScale * (maxY - static_cast<double>(y)); }
    // A pen's line scales with the plot, as the whole drawing does.
    double LineWidth(const view::PenStyle& style) const { return style.widthMm * penScale * perMm; }
};

// Receives a plot's strokes in drawing order, in plotter units.
class StrokeTarget {
public:
    virtual ~StrokeTarget() = default;
    virtual void SetPen(const view::PenStyle& style) = 0;
    virtual void MoveTo(float x, float y) = 0;
    virtual void LineTo(float x, float y) = 0;
    virtual void Stroke() = 0;
};

// Passes on segments `lines` of plot `slot`: each run of segments of one pen is one path,
// a run that continues where the last segment ended one subpath. Their order is kept,
// so later lines still cover earlier ones.
void TraceRuns(const reader::PlotLine* lines, std::int32_t count, const PlotStore& store, int slot,
               StrokeTarget& target) {
    if (count <= 0) return;
    std::int16_t pen = lines[0].Pen;
    target.SetPen(view::PenStyleOf(store, slot, pen));
    float endX = 0;
    float endY = 0;
    for (std::int32_t k = 0; k < count; ++k) {
        const reader::PlotLine& l = lines[k];
        if (l.Pen != pen) {
            target.Stroke();
            pen = l.Pen;
            target.SetPen(view::PenStyleOf(store, slot, pen));
            target.MoveTo(l.X1, l.Y1);
        } else if (k == 0 || l.X1 != endX || l.Y1 != endY) {
            target.MoveTo(l.X1, l.Y1);
        }
        target.LineTo(l.X2, l.Y2);
        endX = l.X2;
        endY = l.Y2;
    }
    target.Stroke();
}

// Passes on the strokes of plot `slot`'s labels: a character's strokes that go on from
// one another make one subpath, the characters of one pen in a row one path.
void TraceLabels(const PlotStore& store, int slot, StrokeTarget& target) {
    bool open = false;
    std::int16_t pen = 0;
    float endX = 0;
    float endY = 0;
    view::ForEachLabelStroke(store, slot,
                             [&](float x1, float y1, float x2, float y2, std::int16_t strokePen) {
                                 if (!open || strokePen != pen) {
                                     if (open) target.Stroke();
                                     pen = strokePen;
                                     target.SetPen(view::PenStyleOf(store, slot, pen));
                                     target.MoveTo(x1, y1);
                                     open = true;
                                 } else if (x1 != endX || y1 != endY) {
                                     target.MoveTo(x1, y1);
                                 }
                                 target.LineTo(x2, y2);
                                 endX = x2;
                                 endY = y2;
                             });
    if (open) target.Stroke();
}

// Everything plot `slot` draws, in drawing order: the one place both formats take a plot's
// strokes from.
void TracePlot(const PlotStore& store, int slot, StrokeTarget& target) {
    const std::int32_t count = SegmentCount(store, slot);
    if (count > 0) TraceRuns(store.plots[slot].PlotLines.data() + 1, count, store, slot, target);
    if (slot >= 1 && store.ValidSlot(slot)) TraceLabels(store, slot, target);
}

// Device units per millimetre of an SVG: whole plotter units where the page allows,
// so that coordinates are written as the plot has them; finer when a plot is enlarged,
// coarser for pages of more than a hundred metres.
double SvgUnitsPerMm(const PageLayout& page) {
    double unitMm = page.mmPerUnit;
    while (unitMm > MmPerPlotterUnit) unitMm /= 2;
    while (std::max(page.widthMm, page.heightMm) / unitMm > MaxSvgUnits) unitMm *= 2;
    return 1 / unitMm;
}

// Strokes into a cairo context, for the SVG.
class CairoStrokes final : public StrokeTarget {
public:
    CairoStrokes(cairo_t* cr, const DeviceMap& map) : cr_(cr), map_(map) {
        // Round ends and corners, as a plotter's pen leaves them.
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    }
    void SetPen(const view::PenStyle& style) override {
        cairo_set_source_rgb(cr_, style.colour.r / 255.0, style.colour.g / 255.0,
                             style.colour.b / 255.0);
        cairo_set_line_width(
            cr_, style.widthMm > 0 ? map_.LineWidth(style) : SvgHairlineMm * map_.perMm);
    }
    void MoveTo(float x, float y) override { cairo_move_to(cr_, map_.X(x), map_.Y(y)); }
    void LineTo(float x, float y) override { cairo_line_to(cr_, map_.X(x), map_.Y(y)); }
    void Stroke() override { cairo_stroke(cr_); }

private:
    cairo_t* cr_;
    const DeviceMap& map_;
};

// Takes cairo's SVG in small pieces and writes it in large blocks, first giving the document
// element its size in millimetres: cairo states the size in the same numbers as the view
// box, which is in plotter units.
class SvgSink {
public:
    SvgSink(OutputFile& file, std::string width, std::string height)
        : file_(file), width_(std::move(width)), height_(std::move(height)) {
        buffer_.reserve(BlockBytes);
    }

    static cairo_status_t Write(void* closure, const unsigned char* data, unsigned int length) {
        auto* sink = static_cast<SvgSink*>(closure);
        return sink->Take(reinterpret_cast<const char*>(data), length) ? CAIRO_STATUS_SUCCESS
                                                                       : CAIRO_STATUS_WRITE_ERROR;
    }

    // Writes what is left; false when anything failed.
    bool Finish() { return !sizing_ && Flush(); }
    std::uint64_t Length() const { return length_; }
    int Error() const { return error_ != 0 ? error_ : file_.Error(); }

private:
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
        if (!SetAttribute(tag, "width", width_) || !SetAttribute(tag, "height", height_))
            return Fail();
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
    std::string width_;
    std::string height_;
    bool sizing_ = true;
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

// Writes plot `slot` as an SVG into `file`; the errno of a failure, or 0.
int WriteSvg(OutputFile& file, const PlotStore& store, int slot, const PageLayout& page,
             std::uint64_t& length) {
    SvgSink sink(file, Millimetres(page.widthMm), Millimetres(page.heightMm));
    const double perMm = SvgUnitsPerMm(page);
    cairo_surface_t* surface = cairo_svg_surface_create_for_stream(
        SvgSink::Write, &sink, page.widthMm * perMm, page.heightMm * perMm);
    cairo_t* cr = cairo_create(surface);
    if (cairo_status(cr) == CAIRO_STATUS_SUCCESS) {
        const DeviceMap map(store, slot, page, perMm);
        CairoStrokes strokes(cr, map);
        TracePlot(store, slot, strokes);
    }
    const cairo_status_t drawn = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);  // writes the page
    const cairo_status_t finished = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    const bool written = sink.Finish();
    length = sink.Length();
    if (drawn == CAIRO_STATUS_SUCCESS && finished == CAIRO_STATUS_SUCCESS && written) return 0;
    if (sink.Error() != 0) return sink.Error();
    return drawn == CAIRO_STATUS_NO_MEMORY || finished == CAIRO_STATUS_NO_MEMORY ? ENOMEM : EIO;
}

// libharu writes no real number beyond this; larger pages are drawn in coarser units.
constexpr double MaxHaruReal = 32767;

// The first failure libharu reported while building a document.
struct HaruErrors {
    HPDF_STATUS first = HPDF_OK;

    static void Record(HPDF_STATUS error, HPDF_STATUS /*detail*/, void* data) {
        auto* errors = static_cast<HaruErrors*>(data);
        if (errors->first == HPDF_OK) errors->first = error;
    }
    int Errno() const { return first == HPDF_FAILD_TO_ALLOC_MEM ? ENOMEM : EIO; }
};

// Strokes onto a PDF page through libharu.
class HaruStrokes final : public StrokeTarget {
public:
    HaruStrokes(HPDF_Page page, const DeviceMap& map) : page_(page), map_(map) {
        // Round ends and corners, as a plotter's pen leaves them.
        HPDF_Page_SetLineCap(page, HPDF_ROUND_END);
        HPDF_Page_SetLineJoin(page, HPDF_ROUND_JOIN);
    }
    void SetPen(const view::PenStyle& style) override {
        HPDF_Page_SetRGBStroke(page_, style.colour.r / 255.0F, style.colour.g / 255.0F,
                               style.colour.b / 255.0F);
        // Width 0 is PDF's hair-line, the thinnest line the device can draw.
        HPDF_Page_SetLineWidth(
            page_, static_cast<HPDF_REAL>(style.widthMm > 0 ? map_.LineWidth(style) : 0));
    }
    void MoveTo(float x, float y) override {
        HPDF_Page_MoveTo(page_, static_cast<HPDF_REAL>(map_.X(x)),
                         static_cast<HPDF_REAL>(map_.Y(y)));
    }
    void LineTo(float x, float y) override {
        HPDF_Page_LineTo(page_, static_cast<HPDF_REAL>(map_.X(x)),
                         static_cast<HPDF_REAL>(map_.Y(y)));
    }
    void Stroke() override { HPDF_Page_Stroke(page_); }

private:
    HPDF_Page page_;
    const DeviceMap& map_;
};

// One side of a page box: libharu's own page calls refuse pages under 3 or over 14400
// points (tiny fitted paper, long rolls at one to one), so the box is set directly; a
// side longer than libharu writes as a real is rounded up to whole points.
double AddBoxSide(HPDF_Array box, double points) {
    if (points <= MaxHaruReal) {
        HPDF_Array_AddReal(box, static_cast<HPDF_REAL>(points));
        return points;
    }
    const double whole = std::ceil(points);
    HPDF_Array_AddNumber(box, static_cast<HPDF_INT32>(whole));
    return whole;
}

// Adds a page for `layout` and draws plot `slot` on it.
void AddPdfPage(HPDF_Doc pdf, const PlotStore& store, int slot, PageLayout layout) {
    const HPDF_Page page = HPDF_AddPage(pdf);
    if (page == nullptr) return;
    const HPDF_Array box = HPDF_Array_New(page->mmgr);
    if (box == nullptr) return;
    HPDF_Array_AddNumber(box, 0);
    HPDF_Array_AddNumber(box, 0);
    layout.widthMm = AddBoxSide(box, layout.widthMm * PointsPerMm) / PointsPerMm;
    layout.heightMm = AddBoxSide(box, layout.heightMm * PointsPerMm) / PointsPerMm;
    if (HPDF_Dict_Add(page, "MediaBox", box) != HPDF_OK) return;
    // Points where the page allows, so that the page is drawn as it measures.
    double pointsPerUnit = 1;
    while (std::max(layout.widthMm, layout.heightMm) * PointsPerMm / pointsPerUnit > MaxHaruReal)
        pointsPerUnit *= 2;
    if (pointsPerUnit > 1) {
        const auto k = static_cast<HPDF_REAL>(pointsPerUnit);
        HPDF_Page_Concat(page, k, 0, 0, k, 0, 0);
    }
    const DeviceMap map(store, slot, layout, PointsPerMm / pointsPerUnit, false);
    HaruStrokes strokes(page, map);
    TracePlot(store, slot, strokes);
}

// Writes plots `pages` as a PDF into `file`; the errno of a failure, or 0.
int WritePdf(OutputFile& file, const PlotStore& store, const std::vector<int>& pages,
             const std::vector<PageLayout>& layouts, std::uint64_t& length) {
    HaruErrors errors;
    const HPDF_Doc pdf = HPDF_New(HaruErrors::Record, &errors);
    if (pdf == nullptr) return ENOMEM;
    // Uncompressed: libharu compresses only at zlib's default level, which takes longer
    // than drawing the plot.
    HPDF_SetCompressionMode(pdf, HPDF_COMP_NONE);
    for (std::size_t i = 0; i < pages.size() && errors.first == HPDF_OK; ++i)
        AddPdfPage(pdf, store, pages[i], layouts[i]);
    if (errors.first == HPDF_OK) HPDF_SaveToStream(pdf);
    int error = errors.first == HPDF_OK ? 0 : errors.Errno();
    std::vector<HPDF_BYTE> block(BlockBytes);
    while (error == 0) {
        HPDF_UINT32 size = BlockBytes;
        const HPDF_STATUS status = HPDF_ReadFromStream(pdf, block.data(), &size);
        if (size > 0 && !file.Write(block.data(), size)) error = file.Error();
        length += size;
        if (status == HPDF_STREAM_EOF) break;
        if (status != HPDF_OK) error = EIO;
    }
    HPDF_Free(pdf);
    return error;
}

}  // namespace

std::optional<PageLayout> LayOutPage(const PlotStore& store, int slot, FitPaper paper) {
    double dx = 0;
    double dy = 0;
    if (HasDrawing(store, slot)) {
        dx = Extent(store.plots[slot].MinX, store.plots[slot].MaxX);
        dy = Extent(store.plots[slot].MinY, store.plots[slot].MaxY);
    }
    PageLayout page;
    if (paper.widthMm <= 0 || paper.heightMm <= 0) {
        page.widthMm = dx * MmPerPlotterUnit + 2 * PageMarginMm;
        page.heightMm = dy * MmPerPlotterUnit + 2 * PageMarginMm;
        page.leftMm = PageMarginMm;
        page.topMm = PageMarginMm;
    } else {
        // Small paper keeps most of itself for the plot.
        const double margin =
            std::min(PageMarginMm, 0.05 * std::min(paper.widthMm, paper.heightMm));
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

VectorResult WriteVector(const std::string& path, VectorFormat format, const PlotStore& store,
                         const std::vector<int>& slots, FitPaper paper) {
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
    std::uint64_t length = 0;
    const int error = format == VectorFormat::Svg
                          ? WriteSvg(file, store, pages.front(), layouts.front(), length)
                          : WritePdf(file, store, pages, layouts, length);
    if (error != 0) return {VectorOutcome::WriteFailed, error};
    if (!file.Finish()) return {VectorOutcome::WriteFailed, file.Error()};
    return {};
}

reader::ErrorNumber SaveVector(const std::string& path, VectorFormat format, const PlotStore& store,
                               const std::vector<int>& slots) {
    const VectorResult result = WriteVector(path, format, store, slots);
    switch (result.outcome) {
        case VectorOutcome::Written: return reader::ErrorNumber::None;
        // A page too large to write is reported as a file that could not be written.
        case VectorOutcome::TooLarge: return reader::ErrorNumber::FileWriteError;
        case VectorOutcome::WriteFailed: break;
    }
    return SaveErrorNumber(result.error);
}

}  // namespace kestrel::output
