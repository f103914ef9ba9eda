#include "output/pdf_writer.h"

#include <hpdf.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "view/plot_walk.h"
#include "view/stroke_shapes.h"
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

HPDF_LineCap HaruCap(view::LineCap cap) {
    switch (cap) {
        case view::LineCap::Butt: return HPDF_BUTT_END;
        case view::LineCap::Square: return HPDF_PROJECTING_SCUARE_END;  // libharu's spelling
        default: return HPDF_ROUND_END;
    }
}

HPDF_LineJoin HaruJoin(view::LineJoin join) {
    switch (join) {
        case view::LineJoin::Round: return HPDF_ROUND_JOIN;
        case view::LineJoin::MiterOrBevel: return HPDF_MITER_JOIN;
        default: return HPDF_BEVEL_JOIN;
    }
}

// Strokes onto a PDF page through libharu. A wide path of other ends and corners than a
// pen's sets them; those PDF does not stroke follow the path as filled pieces.
class HaruStrokes final : public view::StrokeTarget {
public:
    explicit HaruStrokes(HPDF_Page page) : page_(page) {
        // Round ends and corners, as a plotter's pen leaves them.
        SetShape(HPDF_ROUND_END, HPDF_ROUND_JOIN, 10);
    }
    void SetPen(const view::StrokeLook& look) override {
        HPDF_Page_SetRGBStroke(page_, look.colour.r / 255.0F, look.colour.g / 255.0F,
                               look.colour.b / 255.0F);
        // Width 0 is PDF's hair-line, the thinnest line the device can draw.
        HPDF_Page_SetLineWidth(page_, static_cast<HPDF_REAL>(look.width));
        colour_ = look.colour;
        const view::NativeStroke native = path_.Start(look);
        SetShape(HaruCap(native.cap), HaruJoin(native.join), std::max(1.0, look.miterLimit));
    }
    void MoveTo(double x, double y) override {
        HPDF_Page_MoveTo(page_, static_cast<HPDF_REAL>(x), static_cast<HPDF_REAL>(y));
        path_.Follow(x, y, false);
    }
    void LineTo(double x, double y) override {
        if (double x0, y0; path_.Restart(x0, y0))
            HPDF_Page_MoveTo(page_, static_cast<HPDF_REAL>(x0), static_cast<HPDF_REAL>(y0));
        HPDF_Page_LineTo(page_, static_cast<HPDF_REAL>(x), static_cast<HPDF_REAL>(y));
        path_.Follow(x, y, true);
    }
    void Stroke() override {
        HPDF_Page_Stroke(page_);
        FillPieces(path_.Finish());
    }

private:
    void SetShape(HPDF_LineCap cap, HPDF_LineJoin join, double miterLimit) {
        if (cap != cap_) HPDF_Page_SetLineCap(page_, cap_ = cap);
        if (join != join_) HPDF_Page_SetLineJoin(page_, join_ = join);
        if (join == HPDF_MITER_JOIN && miterLimit != miterLimit_)
            HPDF_Page_SetMiterLimit(page_, static_cast<HPDF_REAL>(miterLimit_ = miterLimit));
    }
    void FillPieces(const std::vector<view::StrokePiece>& pieces) {
        if (pieces.empty()) return;
        HPDF_Page_SetRGBFill(page_, colour_.r / 255.0F, colour_.g / 255.0F, colour_.b / 255.0F);
        for (const view::StrokePiece& p : pieces) {
            if (p.count == 0) {
                HPDF_Page_Circle(page_, static_cast<HPDF_REAL>(p.centre.x),
                                 static_cast<HPDF_REAL>(p.centre.y),
                                 static_cast<HPDF_REAL>(p.radius));
            }
            for (int i = 0; i < p.count; ++i) {
                const auto x = static_cast<HPDF_REAL>(p.points[i].x);
                const auto y = static_cast<HPDF_REAL>(p.points[i].y);
                if (i == 0) {
                    HPDF_Page_MoveTo(page_, x, y);
                } else {
                    HPDF_Page_LineTo(page_, x, y);
                }
            }
            HPDF_Page_Fill(page_);
        }
    }

    HPDF_Page page_;
    HPDF_LineCap cap_ = HPDF_LINECAP_EOF;
    HPDF_LineJoin join_ = HPDF_LINEJOIN_EOF;
    double miterLimit_ = 10;  // PDF's own
    view::Rgb colour_;
    view::PathPieces path_;
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
