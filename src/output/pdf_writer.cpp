#include "output/pdf_writer.h"

#include <hpdf.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <memory>

#include "view/plot_walk.h"
#include "view/stroke_target.h"

namespace kestrel::output {

namespace {

using reader::PlotStore;

constexpr double PointsPerMm = 72 / 25.4;
// The document is read out of libharu in blocks of this size.
constexpr std::size_t BlockBytes = std::size_t{1} << 16;
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
class HaruStrokes final : public view::StrokeTarget {
public:
    explicit HaruStrokes(HPDF_Page page) : page_(page) {
        // Round ends and corners, as a plotter's pen leaves them.
        HPDF_Page_SetLineCap(page, HPDF_ROUND_END);
        HPDF_Page_SetLineJoin(page, HPDF_ROUND_JOIN);
    }
    void SetPen(const view::StrokeLook& look) override {
        HPDF_Page_SetRGBStroke(page_, look.colour.r / 255.0F, look.colour.g / 255.0F,
                               look.colour.b / 255.0F);
        // Width 0 is PDF's hair-line, the thinnest line the device can draw.
        HPDF_Page_SetLineWidth(page_, static_cast<HPDF_REAL>(look.width));
    }
    void MoveTo(double x, double y) override {
        HPDF_Page_MoveTo(page_, static_cast<HPDF_REAL>(x), static_cast<HPDF_REAL>(y));
    }
    void LineTo(double x, double y) override {
        HPDF_Page_LineTo(page_, static_cast<HPDF_REAL>(x), static_cast<HPDF_REAL>(y));
    }
    void Stroke() override { HPDF_Page_Stroke(page_); }

private:
    HPDF_Page page_;
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

// Adds a page for `page` and draws its plot on it.
void AddPdfPage(HPDF_Doc pdf, const PlotStore& store, Page page) {
    const HPDF_Page pdfPage = HPDF_AddPage(pdf);
    if (pdfPage == nullptr) return;
    const HPDF_Array box = HPDF_Array_New(pdfPage->mmgr);
    if (box == nullptr) return;
    HPDF_Array_AddNumber(box, 0);
    HPDF_Array_AddNumber(box, 0);
    PageLayout& layout = page.layout;
    layout.widthMm = AddBoxSide(box, layout.widthMm * PointsPerMm) / PointsPerMm;
    layout.heightMm = AddBoxSide(box, layout.heightMm * PointsPerMm) / PointsPerMm;
    if (HPDF_Dict_Add(pdfPage, "MediaBox", box) != HPDF_OK) return;
    // Points where the page allows, so that the page is drawn as it measures.
    double pointsPerUnit = 1;
    while (std::max(layout.widthMm, layout.heightMm) * PointsPerMm / pointsPerUnit > MaxHaruReal)
        pointsPerUnit *= 2;
    if (pointsPerUnit > 1) {
        const auto k = static_cast<HPDF_REAL>(pointsPerUnit);
        HPDF_Page_Concat(pdfPage, k, 0, 0, k, 0, 0);
    }
    HaruStrokes strokes(pdfPage);
    view::PlotWalk walk(store, page.slot, PageWalk(store, page, PointsPerMm / pointsPerUnit, true));
    walk.Continue(store, strokes);
}

// Reads the finished document out of libharu into `file`; the errno of a failure, or 0.
int ReadOut(HPDF_Doc pdf, OutputFile& file) {
    // Not zeroed: libharu fills what it hands over, and a small PDF touches little of it.
    const std::unique_ptr<HPDF_BYTE[]> block(new HPDF_BYTE[BlockBytes]);
    for (;;) {
        HPDF_UINT32 size = BlockBytes;
        const HPDF_STATUS status = HPDF_ReadFromStream(pdf, block.get(), &size);
        if (size > 0 && !file.Write(block.get(), size)) return file.Error();
        if (status == HPDF_STREAM_EOF) return 0;
        if (status != HPDF_OK) return EIO;
    }
}

}  // namespace

WriteResult WritePdf(const std::string& path, const PlotStore& store, const std::vector<int>& slots,
                     FitPaper paper) {
    const auto pages = LayOutPages(store, slots, paper);
    if (!pages) return {WriteResult::TooLarge};
    OutputFile file(path);
    if (!file.IsOpen()) return file.Failed();
    HaruErrors errors;
    const HPDF_Doc pdf = HPDF_New(HaruErrors::Record, &errors);
    if (pdf == nullptr) return {WriteResult::WriteFailed, ENOMEM};
    // Uncompressed: libharu compresses only at zlib's default level, which takes longer
    // than drawing the plot.
    HPDF_SetCompressionMode(pdf, HPDF_COMP_NONE);
    for (std::size_t i = 0; i < pages->size() && errors.first == HPDF_OK; ++i)
        AddPdfPage(pdf, store, (*pages)[i]);
    if (errors.first == HPDF_OK) HPDF_SaveToStream(pdf);
    const int error = errors.first == HPDF_OK ? ReadOut(pdf, file) : errors.Errno();
    HPDF_Free(pdf);
    if (error != 0) return {WriteResult::WriteFailed, error};
    if (!file.Finish()) return file.Failed();
    return {};
}

}  // namespace kestrel::output
