#include "output/svg_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "view/plot_walk.h"
#include "view/stroke_shapes.h"
#include "view/stroke_target.h"

namespace kestrel::output {

namespace {

using reader::PlotStore;

// Output is gathered and written in blocks of this size.
constexpr std::size_t BlockBytes = std::size_t{1} << 16;
// Room for any one item put at the end of a block: a point's two numbers at most.
constexpr std::size_t ItemBytes = 256;
// Below this a float is a whole number exactly when it equals its truncation.
constexpr float ExactIntegers = 16'777'216;

// The text of an SVG file, gathered in blocks and written as they fill.
class SvgText {
public:
    explicit SvgText(OutputFile& file)
        : file_(file), start_(new char[BlockBytes + ItemBytes]), at_(start_.get()) {}

    void Put(std::string_view text) {
        while (!text.empty()) {
            const std::size_t n = std::min(text.size(), ItemBytes);
            std::memcpy(at_, text.data(), n);
            at_ += n;
            text.remove_prefix(n);
            Filled();
        }
    }
    // x and y after a path command; false, and nothing written, when either is no number
    // SVG can hold.
    bool Point(char command, double x, double y) {
        const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
        if (!std::isfinite(fx) || !std::isfinite(fy)) return false;
        *at_++ = command;
        at_ = Number(at_, fx);
        *at_++ = ' ';
        at_ = Number(at_, fy);
        Filled();
        return true;
    }
    void Number(double v) {
        at_ = Number(at_, static_cast<float>(v));
        Filled();
    }
    void Colour(view::Rgb c) {
        constexpr char Hex[] = "0123456789abcdef";
        *at_++ = '#';
        for (const std::uint8_t v : {c.r, c.g, c.b}) {
            *at_++ = Hex[v >> 4];
            *at_++ = Hex[v & 15];
        }
        Filled();
    }
    // Writes what is left; false when any write failed.
    bool Finish() {
        Flush();
        return !failed_;
    }

private:
    // The shortest text that reads back as the same float: whole plotter units, the most
    // common, the quick way.
    static char* Number(char* at, float v) {
        if (std::fabs(v) < ExactIntegers) {
            const auto whole = static_cast<std::int32_t>(v);
            if (static_cast<float>(whole) == v) return std::to_chars(at, at + ItemBytes, whole).ptr;
        }
        return std::to_chars(at, at + ItemBytes / 2, v, std::chars_format::fixed).ptr;
    }
    void Filled() {
        if (at_ >= start_.get() + BlockBytes) Flush();
    }
    void Flush() {
        const auto size = static_cast<std::size_t>(at_ - start_.get());
        if (!failed_ && size > 0 && !file_.Write(start_.get(), size)) failed_ = true;
        at_ = start_.get();
    }

    OutputFile& file_;
    std::unique_ptr<char[]> start_;
    char* at_;
    bool failed_ = false;
};

const char* CapName(view::LineCap cap) {
    switch (cap) {
        case view::LineCap::Butt: return "butt";
        case view::LineCap::Square: return "square";
        default: return "round";
    }
}

const char* JoinName(view::LineJoin join) {
    switch (join) {
        case view::LineJoin::Round: return "round";
        case view::LineJoin::MiterOrBevel: return "miter";
        default: return "bevel";
    }
}

// Strokes as SVG paths, in one group that gives them round ends and corners, as a
// plotter's pen leaves them. A wide path of other ends and corners says so; those SVG does
// not stroke follow the path as filled pieces.
class SvgPaths final : public view::StrokeTarget {
public:
    SvgPaths(SvgText& text, double hairLine) : text_(text), hairLine_(hairLine) {}

    void SetPen(const view::StrokeLook& look) override {
        text_.Put("<path stroke=\"");
        text_.Colour(look.colour);
        text_.Put("\" stroke-width=\"");
        text_.Number(look.width > 0 ? look.width : hairLine_);
        colour_ = look.colour;
        const view::NativeStroke native = path_.Start(look);
        if (path_.Shaped()) Shape(look, native);
        text_.Put("\" d=\"");
        lost_ = true;
    }
    void MoveTo(double x, double y) override {
        lost_ = !text_.Point('M', x, y);
        path_.Follow(x, y, false);
    }
    // A point that is no number breaks the subpath: nothing is drawn to or from it.
    void LineTo(double x, double y) override {
        if (double x0, y0; path_.Restart(x0, y0) && !lost_) text_.Point('M', x0, y0);
        lost_ = !text_.Point(lost_ ? 'M' : 'L', x, y);
        path_.Follow(x, y, true);
    }
    void Stroke() override {
        text_.Put("\"/>\n");
        PutPieces(path_.Finish());
    }

private:
    void Shape(const view::StrokeLook& look, const view::NativeStroke& native) {
        text_.Put("\" stroke-linecap=\"");
        text_.Put(CapName(native.cap));
        text_.Put("\" stroke-linejoin=\"");
        text_.Put(JoinName(native.join));
        text_.Put("\" stroke-miterlimit=\"");
        text_.Number(std::max(1.0, look.miterLimit));
    }
    void PutPieces(const std::vector<view::StrokePiece>& pieces) {
        if (pieces.empty()) return;
        text_.Put("<g fill=\"");
        text_.Colour(colour_);
        text_.Put("\" stroke=\"none\">\n");
        for (const view::StrokePiece& p : pieces) {
            text_.Put("<path d=\"");
            if (p.count == 0) {
                // A disc: two half circles.
                text_.Point('M', p.centre.x - p.radius, p.centre.y);
                for (const double end : {p.radius, -p.radius}) {
                    text_.Put("A");
                    text_.Number(p.radius);
                    text_.Put(" ");
                    text_.Number(p.radius);
                    text_.Put(" 0 1 0 ");
                    text_.Point(' ', p.centre.x + end, p.centre.y);
                }
            }
            for (int i = 0; i < p.count; ++i)
                text_.Point(i == 0 ? 'M' : 'L', p.points[i].x, p.points[i].y);
            text_.Put("Z\"/>\n");
        }
        text_.Put("</g>\n");
    }

    SvgText& text_;
    double hairLine_;
    bool lost_ = true;  // the pen's position is no point: the next line starts a subpath
    view::Rgb colour_;
    view::PathPieces path_;
};

std::string Millimetres(double mm) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10gmm", mm);
    return text;
}

void PutHeader(SvgText& text, const PageLayout& page, double unitsPerMm) {
    text.Put(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"");
    text.Put(Millimetres(page.widthMm));
    text.Put("\" height=\"");
    text.Put(Millimetres(page.heightMm));
    text.Put("\" viewBox=\"0 0 ");
    text.Number(page.widthMm * unitsPerMm);
    text.Put(" ");
    text.Number(page.heightMm * unitsPerMm);
    text.Put("\">\n<g fill=\"none\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n");
}

}  // namespace

WriteResult WriteSvg(const std::string& path, const PlotStore& store, const std::vector<int>& slots,
                     FitPaper paper) {
    // An SVG holds one plot.
    const std::vector<int> first(slots.begin(), slots.begin() + (slots.empty() ? 0 : 1));
    const auto pages = LayOutPages(store, first, paper);
    if (!pages) return {WriteResult::TooLarge};
    OutputFile file(path);
    if (!file.IsOpen()) return file.Failed();
    const Page& page = pages->front();
    // A unit of the view box is a plotter unit of the plot, at the page's scale.
    const double unitsPerMm = 1 / page.layout.mmPerUnit;
    SvgText text(file);
    PutHeader(text, page.layout, unitsPerMm);
    SvgPaths paths(text, HairLineMm * unitsPerMm);
    view::PlotWalk walk(store, page.slot, PageWalk(store, page, unitsPerMm));
    walk.Continue(store, paths);
    text.Put("</g>\n</svg>\n");
    if (!text.Finish() || !file.Finish()) return file.Failed();
    return {};
}

}  // namespace kestrel::output
