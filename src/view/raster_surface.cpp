#include "view/raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace kestrel::view {

namespace {

constexpr std::uint32_t White = 0xFFFFFFFFu;
constexpr Rgb Black{0, 0, 0};

// Dash-dot as a repeating pixel pattern along the line's major axis:
// 9 on, 3 off, 3 on, 3 off. Bit i is pixel i of the period.
constexpr int DashPeriod = 18;
constexpr std::uint32_t DashMask = 0b000'111'000'111111111u;
// Dotted: one pixel in three.
constexpr int DotPeriod = 3;
constexpr std::uint32_t DotMask = 0b001u;

// Lines are clipped to the raster widened by this margin before their end points become
// integers. Inside the margin a line keeps its exact Bresenham path (the clip only
// changes lines that reach further out), and the integers stay small.
constexpr double ClipMargin = 2048;

// Beyond any raster; bounds the arithmetic of the clip for huge or infinite input.
constexpr double Huge = 1e18;

// Half the width of the widest line drawn as such, in pixels.
constexpr double WidestRadius = 16777216;

// What setting up a line costs, in pixels drawn: its transform, clip and set-up.
constexpr double LinePixels = 16;

std::uint32_t Pixel(Rgb c) {
    return 0xFF000000u | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

// floor(v + 0.5) for v within the clip box: truncation corrected for negative values,
// cheaper than floor without SSE4.1.
int RoundToPixel(double v) {
    const double t = v + 0.5;
    const int i = static_cast<int>(t);
    return i - (t < i ? 1 : 0);
}

// Liang-Barsky clip of (x1, y1)-(x2, y2) to [lo, hi] in both axes; false when nothing is
// left. Results are clamped into the box, since with far-out end points the rounding
// error of the intersection can exceed the box itself.
bool ClipToBox(double& x1, double& y1, double& x2, double& y2, double loX, double hiX, double loY,
               double hiY) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    double t0 = 0;
    double t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - loX, hiX - x1, y1 - loY, hiY - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;  // parallel to this edge and outside it
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const double ax = x1 + t0 * dx;
    const double ay = y1 + t0 * dy;
    const double bx = x1 + t1 * dx;
    const double by = y1 + t1 * dy;
    x1 = std::clamp(ax, loX, hiX);
    y1 = std::clamp(ay, loY, hiY);
    x2 = std::clamp(bx, loX, hiX);
    y2 = std::clamp(by, loY, hiY);
    return true;
}

// Integer Bresenham from (x0, y0) to (x1, y1), both ends included; halves round towards
// the start. Checked walks skip pixels outside the raster (the end points may lie in the
// clip margin); dashed walks skip the pattern's gaps.
template <bool Checked, bool Dashed>
void Walk(std::uint32_t* pixels, int width, int height, int stride, int x0, int y0, int x1, int y1,
          std::uint32_t colour, std::uint32_t mask = DashMask, int period = DashPeriod) {
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    const bool xMajor = dx >= dy;
    const int major = xMajor ? dx : dy;
    const int minor = xMajor ? dy : dx;
    // Steps along the major and the minor axis, as position and pixel-offset increments.
    const int majorX = xMajor ? sx : 0;
    const int majorY = xMajor ? 0 : sy;
    const int minorX = xMajor ? 0 : sx;
    const int minorY = xMajor ? sy : 0;
    const std::ptrdiff_t majorStep = majorX + static_cast<std::ptrdiff_t>(majorY) * stride;
    const std::ptrdiff_t minorStep = minorX + static_cast<std::ptrdiff_t>(minorY) * stride;

    int x = x0;
    int y = y0;
    // Only ever dereferenced in range; an offset rather than a pointer, so that a checked
    // walk outside the raster forms no out-of-bounds pointer.
    std::ptrdiff_t at = x0 + static_cast<std::ptrdiff_t>(y0) * stride;
    int err = 2 * minor - major;
    int phase = 0;
    for (int i = 0; i <= major; ++i) {
        bool draw = true;
        if constexpr (Dashed) {
            draw = (mask >> phase) & 1u;
            if (++phase == period) phase = 0;
        }
        if constexpr (Checked) {
            draw = draw && x >= 0 && x < width && y >= 0 && y < height;
        }
        if (draw) pixels[at] = colour;
        // Whether the minor axis steps follows the slope at random: without a branch, as
        // a mispredicted one per pixel would cost more than the rest of the walk.
        const int step = -static_cast<int>(err > 0);  // all ones when it steps
        at += majorStep + (minorStep & step);
        err += 2 * minor - (2 * major & step);
        if constexpr (Checked) {
            x += majorX + (minorX & step);
            y += majorY + (minorY & step);
        }
    }
}

// A drawing coordinate as a pixel of a raster whose first pixel is `origin` of the drawing:
// rounded as a raster of the whole drawing rounds it.
inline int PixelOf(double v, double origin) {
    return origin == 0 ? RoundToPixel(v) : static_cast<int>(std::floor(v + 0.5) - origin);
}

// Lines are cut to this box of the drawing before their ends become integers: beyond any
// drawing area, and fixed, so that every raster of a drawing cuts a line alike.
constexpr double FarLimit = 1125899906842624.0;  // 2^50

__extension__ typedef __int128 Wide;

// floor(a / b) for b > 0.
inline Wide FloorDiv(Wide a, Wide b) { return a / b - (a % b != 0 && a < 0 ? 1 : 0); }

// Bresenham's path from Walk, from (x0, y0) to (x1, y1) in the raster's pixels however far
// off, drawing only the stretch that lies inside: where the stretch starts and what the
// error term is there follow in closed form from the path's step count. Along the major
// axis, after i steps the minor axis has stepped m(i) = ceil((2 minor i - major) / (2 major))
// times.
template <bool Dashed>
void ClippedWalk(std::uint32_t* pixels, int width, int height, int stride, std::int64_t x0,
                 std::int64_t y0, std::int64_t x1, std::int64_t y1, std::uint32_t colour,
                 std::uint32_t mask = DashMask, int period = DashPeriod) {
    const std::int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1;
    const std::int64_t dy = y1 > y0 ? y1 - y0 : y0 - y1;
    const bool xMajor = dx >= dy;
    const std::int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const std::int64_t majorStart = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
    const int majorSign = (xMajor ? x0 < x1 : y0 < y1) ? 1 : -1;
    const int minorSign = (xMajor ? y0 < y1 : x0 < x1) ? 1 : -1;
    const std::int64_t majorEnd = (xMajor ? width : height) - 1;
    const std::int64_t minorEnd = (xMajor ? height : width) - 1;
    // Steps whose major coordinate lies inside, and minor step counts whose coordinate does.
    std::int64_t first = 0, last = major;
    first = std::max(first, majorSign > 0 ? -majorStart : majorStart - majorEnd);
    last = std::min(last, majorSign > 0 ? majorEnd - majorStart : majorStart);
    const std::int64_t leastM =
        std::max<std::int64_t>(0, minorSign > 0 ? -minorStart : minorStart - minorEnd);
    const std::int64_t mostM = std::min(minor, minorSign > 0 ? minorEnd - minorStart : minorStart);
    if (leastM > mostM) return;
    if (minor > 0) {
        // m(i) >= leastM from the first i with 2 minor i > major (2 leastM - 1); m(i) <= mostM
        // up to the last i with 2 minor i <= major (2 mostM + 1).
        if (leastM > 0)
            first = std::max<std::int64_t>(
                first, static_cast<std::int64_t>(
                           FloorDiv(Wide{major} * (2 * leastM - 1), Wide{2} * minor) + 1));
        last = std::min<std::int64_t>(last, static_cast<std::int64_t>(FloorDiv(
                                                Wide{major} * (2 * mostM + 1), Wide{2} * minor)));
    }
    if (first > last) return;
    const std::int64_t m = major == 0 ? 0
                                      : static_cast<std::int64_t>(-FloorDiv(
                                            -(Wide{2} * minor * first - major), Wide{2} * major));
    std::int64_t err =
        static_cast<std::int64_t>(Wide{2} * minor * (first + 1) - major - Wide{2} * major * m);
    const auto majorAt = static_cast<std::ptrdiff_t>(majorStart + majorSign * first);
    const auto minorAt = static_cast<std::ptrdiff_t>(minorStart + minorSign * m);
    const std::ptrdiff_t x = xMajor ? majorAt : minorAt, y = xMajor ? minorAt : majorAt;
    const std::ptrdiff_t majorStep = xMajor ? majorSign : majorSign * std::ptrdiff_t{stride};
    const std::ptrdiff_t minorStep = xMajor ? minorSign * std::ptrdiff_t{stride} : minorSign;
    std::ptrdiff_t at = x + y * stride;
    int phase = static_cast<int>(first % period);
    for (std::int64_t i = first; i <= last; ++i) {
        bool draw = true;
        if constexpr (Dashed) {
            draw = (mask >> phase) & 1u;
            if (++phase == period) phase = 0;
        }
        if (draw) pixels[at] = colour;
        const std::int64_t step = -static_cast<std::int64_t>(err > 0);
        at += majorStep + (minorStep & step);
        err += 2 * minor - (2 * major & step);
    }
}

// The rows of a line drawn wide with round ends: for the row at height y (a pixel centre),
// the span of x within r of the segment a-b. The shape is convex, so the span is the union
// of the band between the ends and the discs at them.
class Capsule {
public:
    Capsule(double ax, double ay, double bx, double by, double r, bool startDisc)
        : ax_(ax), ay_(ay), bx_(bx), by_(by), r2_(r * r), startDisc_(startDisc) {
        // Within the clip box: no overflow to guard against.
        const double length = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
        band_ = length > 0;
        if (!band_) return;
        const double ux = (bx - ax) / length, uy = (by - ay) / length;
        // Along: 0 <= (x - ax) ux + dy uy <= length; across: |dy ux - (x - ax) uy| <= r, with
        // dy = y - ay. Each bounds x - ax between two values linear in dy.
        Bound(ux, 0, length, -uy, along_);
        Bound(-uy, -r, r, -ux, across_);
    }

    bool Row(double y, double& lo, double& hi) const {
        lo = INFINITY;
        hi = -INFINITY;
        const double dy = y - ay_;
        if (band_) {
            double left = -INFINITY, right = INFINITY;
            if (along_.Span(dy, left, right) && across_.Span(dy, left, right) && left <= right) {
                lo = ax_ + left;
                hi = ax_ + right;
            }
        }
        if (startDisc_) Disc(ax_, dy, lo, hi);
        Disc(bx_, y - by_, lo, hi);
        return lo <= hi;
    }

private:
    // c (x - ax) within [from + k dy, to + k dy]; with c = 0 it holds for all x of a row
    // or for none.
    struct Limit {
        bool zero = false;
        double from = 0, to = 0, k = 0, inverse = 0;
        bool Span(double dy, double& left, double& right) const {
            const double f = from + k * dy, t = to + k * dy;
            if (zero) return f <= 0 && 0 <= t;
            const double p = f * inverse, q = t * inverse;
            left = std::max(left, std::min(p, q));
            right = std::min(right, std::max(p, q));
            return true;
        }
    };
    static void Bound(double c, double from, double to, double k, Limit& limit) {
        limit.zero = std::fabs(c) < 1e-12;
        limit.from = from;
        limit.to = to;
        limit.k = k;
        limit.inverse = limit.zero ? 0 : 1 / c;
    }
    void Disc(double cx, double dy, double& lo, double& hi) const {
        const double d2 = r2_ - dy * dy;
        if (d2 < 0) return;
        const double dx = std::sqrt(d2);
        lo = std::min(lo, cx - dx);
        hi = std::max(hi, cx + dx);
    }

    double ax_, ay_, bx_, by_, r2_;
    bool startDisc_;
    bool band_ = false;
    Limit along_, across_;
};

}  // namespace

RasterSurface::RasterSurface(std::uint32_t* pixels, int width, int height, int strideInPixels,
                             double twipsPerPixel)
    // A stride shorter than a row describes no valid raster: such a surface draws nothing.
    : pixels_(strideInPixels >= width ? pixels : nullptr),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      stride_(strideInPixels),
      twipsPerPixel_(twipsPerPixel > 0 && std::isfinite(twipsPerPixel) ? twipsPerPixel : 1.0),
      lineSetUp_(LinePixels * twipsPerPixel_),
      longest_(Width() + Height()),
      area_(Width() * Height()) {}

double RasterSurface::Width() const { return width_ * twipsPerPixel_; }

double RasterSurface::Height() const { return height_ * twipsPerPixel_; }

void RasterSurface::Clear() {
    if (!pixels_) return;
    for (int y = 0; y < height_; ++y) {
        std::uint32_t* row = pixels_ + static_cast<std::ptrdiff_t>(y) * stride_;
        std::fill(row, row + width_, White);
    }
}

void RasterSurface::SetLineStyle(LineStyle style) { style_ = style; }

void RasterSurface::SetOrigin(double x, double y) {
    originX_ = std::isfinite(x) ? x : 0;
    originY_ = std::isfinite(y) ? y : 0;
}

RasterSurface RasterSurface::Part(int x, int y, int width, int height) const {
    x = std::clamp(x, 0, width_);
    y = std::clamp(y, 0, height_);
    width = std::clamp(width, 0, width_ - x);
    height = std::clamp(height, 0, height_ - y);
    std::uint32_t* at = pixels_ ? pixels_ + x + static_cast<std::ptrdiff_t>(y) * stride_ : nullptr;
    RasterSurface part(at, width, height, stride_, twipsPerPixel_);
    part.SetOrigin(originX_ + x, originY_ + y);
    part.SetLineStyle(style_);
    return part;
}

void RasterSurface::Shift(int dx, int dy) {
    if (!pixels_ || std::abs(dx) >= width_ || std::abs(dy) >= height_) return;
    const auto count = static_cast<std::size_t>(width_ - std::abs(dx));
    const int from = std::max(0, -dx), to = std::max(0, dx);
    // Rows are moved in the order that reads each before it is written over.
    for (int i = 0; i < height_ - std::abs(dy); ++i) {
        const int y = dy > 0 ? height_ - 1 - i : i;
        std::uint32_t* row = pixels_ + static_cast<std::ptrdiff_t>(y) * stride_;
        const std::uint32_t* source = pixels_ + static_cast<std::ptrdiff_t>(y - dy) * stride_;
        std::memmove(row + to, source + from, count * sizeof(std::uint32_t));
    }
}

void RasterSurface::Line(float x1, float y1, float x2, float y2, Rgb colour) {
    if (!pixels_ || width_ == 0 || height_ == 0) return;
    const double ax = x1 / twipsPerPixel_;
    const double ay = y1 / twipsPerPixel_;
    const double bx = x2 / twipsPerPixel_;
    const double by = y2 / twipsPerPixel_;
    const double loX = originX_ - ClipMargin;
    const double loY = originY_ - ClipMargin;
    const double hiX = originX_ + width_ - 1 + ClipMargin;
    const double hiY = originY_ + height_ - 1 + ClipMargin;
    // The common case, a line near the raster, walks its path from end to end. NaN fails
    // every comparison and so takes the careful path.
    if (!(ax >= loX && ax <= hiX && bx >= loX && bx <= hiX && ay >= loY && ay <= hiY && by >= loY &&
          by <= hiY)) {
        FarLine(ax, ay, bx, by, Pixel(colour));
        return;
    }

    const int px0 = PixelOf(ax, originX_);
    const int py0 = PixelOf(ay, originY_);
    const int px1 = PixelOf(bx, originX_);
    const int py1 = PixelOf(by, originY_);
    const std::uint32_t c = Pixel(colour);
    const bool inside = std::min(px0, px1) >= 0 && std::max(px0, px1) < width_ &&
                        std::min(py0, py1) >= 0 && std::max(py0, py1) < height_;
    if (style_ == LineStyle::Solid) {
        if (inside) {
            Walk<false, false>(pixels_, width_, height_, stride_, px0, py0, px1, py1, c);
        } else {
            Walk<true, false>(pixels_, width_, height_, stride_, px0, py0, px1, py1, c);
        }
    } else {
        const bool dots = style_ == LineStyle::Dotted;
        const std::uint32_t mask = dots ? DotMask : DashMask;
        const int period = dots ? DotPeriod : DashPeriod;
        if (inside) {
            Walk<false, true>(pixels_, width_, height_, stride_, px0, py0, px1, py1, c, mask,
                              period);
        } else {
            Walk<true, true>(pixels_, width_, height_, stride_, px0, py0, px1, py1, c, mask,
                             period);
        }
    }
}

void RasterSurface::FarLine(double ax, double ay, double bx, double by, std::uint32_t colour) {
    if (std::isnan(ax) || std::isnan(ay) || std::isnan(bx) || std::isnan(by)) return;
    // Most lines of a zoomed view drawn from every record lie wholly to one side.
    if (std::max(ax, bx) < originX_ - 0.5 || std::min(ax, bx) > originX_ + width_ - 0.5 ||
        std::max(ay, by) < originY_ - 0.5 || std::min(ay, by) > originY_ + height_ - 0.5)
        return;
    // Infinities become merely huge so that the cut stays finite.
    ax = std::clamp(ax, -Huge, Huge);
    ay = std::clamp(ay, -Huge, Huge);
    bx = std::clamp(bx, -Huge, Huge);
    by = std::clamp(by, -Huge, Huge);
    if (std::max({std::fabs(ax), std::fabs(ay), std::fabs(bx), std::fabs(by)}) > FarLimit &&
        !ClipToBox(ax, ay, bx, by, -FarLimit, FarLimit, -FarLimit, FarLimit))
        return;
    const auto end = [](double v, double origin) {
        return static_cast<std::int64_t>(std::floor(v + 0.5) - origin);
    };
    const std::int64_t x0 = end(ax, originX_), y0 = end(ay, originY_);
    const std::int64_t x1 = end(bx, originX_), y1 = end(by, originY_);
    if (style_ == LineStyle::Solid) {
        ClippedWalk<false>(pixels_, width_, height_, stride_, x0, y0, x1, y1, colour);
    } else {
        const bool dots = style_ == LineStyle::Dotted;
        ClippedWalk<true>(pixels_, width_, height_, stride_, x0, y0, x1, y1, colour,
                          dots ? DotMask : DashMask, dots ? DotPeriod : DashPeriod);
    }
}

void RasterSurface::WideLine(float x1, float y1, float x2, float y2, Rgb colour, float width,
                             bool startCap) {
    double r = width / twipsPerPixel_ / 2;
    if (!(r > 0.5)) {
        Line(x1, y1, x2, y2, colour);
        return;
    }
    if (!pixels_ || width_ == 0 || height_ == 0) return;
    double ax = x1 / twipsPerPixel_;
    double ay = y1 / twipsPerPixel_;
    double bx = x2 / twipsPerPixel_;
    double by = y2 / twipsPerPixel_;
    if (std::isnan(ax) || std::isnan(ay) || std::isnan(bx) || std::isnan(by)) return;
    // Wider than any drawing is as good as infinitely wide; it also keeps r * r finite. The
    // bound is the drawing's, not the raster's, so that every part of a drawing agrees.
    r = std::min(r, WidestRadius);
    const double margin = r + ClipMargin;
    const double loX = originX_ - margin, loY = originY_ - margin;
    const double hiX = originX_ + width_ - 1 + margin, hiY = originY_ + height_ - 1 + margin;
    if (!(ax >= loX && ax <= hiX && bx >= loX && bx <= hiX && ay >= loY && ay <= hiY && by >= loY &&
          by <= hiY)) {
        ax = std::clamp(ax, -Huge, Huge);
        ay = std::clamp(ay, -Huge, Huge);
        bx = std::clamp(bx, -Huge, Huge);
        by = std::clamp(by, -Huge, Huge);
        if (!ClipToBox(ax, ay, bx, by, loX, hiX, loY, hiY)) return;
    }
    const Capsule capsule(ax, ay, bx, by, r, startCap);
    // Rows and columns are the drawing's, whole numbers held in doubles.
    const double top = std::max(originY_, std::ceil(std::min(ay, by) - r));
    const double bottom = std::min(originY_ + height_ - 1, std::floor(std::max(ay, by) + r));
    const std::uint32_t c = Pixel(colour);
    for (double y = top; y <= bottom; ++y) {
        double lo, hi;
        if (capsule.Row(y, lo, hi)) FillRow(y, lo, hi, c);
    }
}

// The pixels of the drawing's row y whose centres lie within [lo, hi], within the raster.
void RasterSurface::FillRow(double y, double lo, double hi, std::uint32_t colour) {
    const double right = originX_ + width_ - 1;
    if (hi < originX_ || lo > right) return;
    const auto first = static_cast<std::ptrdiff_t>(std::ceil(std::max(lo, originX_)) - originX_);
    const auto last = static_cast<std::ptrdiff_t>(std::min(right, std::floor(hi)) - originX_);
    if (first > last) return;
    std::uint32_t* row = pixels_ + static_cast<std::ptrdiff_t>(y - originY_) * stride_;
    std::fill(row + first, row + last + 1, colour);
}

void RasterSurface::SetPen(const StrokeLook& look) {
    Stroke();
    colour_ = look.colour;
    // A dotted look is a hair-line whatever its width.
    penWidth_ = look.dotted ? 0.0F : static_cast<float>(look.width);
    style_ = look.dotted ? LineStyle::Dotted : LineStyle::Solid;
    going_ = false;
    shaped_ = !look.Round() && penWidth_ > twipsPerPixel_;
    // Every piece drawn here: the bodies butt-ended, every cap and corner added.
    if (shaped_) shaper_ = StrokeShaper(look, {LineCap::Butt, LineJoin::None, true}, true);
}

void RasterSurface::MoveTo(double x, double y) {
    x_ = static_cast<float>(x);
    y_ = static_cast<float>(y);
    going_ = false;
    if (shaped_) shaper_.MoveTo({x_, y_}, [this](const StrokePiece& p) { FillPiece(p, colour_); });
}

void RasterSurface::Stroke() {
    if (shaped_) shaper_.End([this](const StrokePiece& p) { FillPiece(p, colour_); });
}

void RasterSurface::FillPiece(const StrokePiece& piece, Rgb colour) {
    if (!pixels_ || width_ == 0 || height_ == 0) return;
    if (piece.count > 0) {
        FillPolygon(piece, Pixel(colour));
        return;
    }
    // A disc: a capsule of no length.
    const double cx = piece.centre.x / twipsPerPixel_, cy = piece.centre.y / twipsPerPixel_;
    // Bounded by the drawing, not the raster, so that every part of a drawing agrees.
    const double r = std::min(piece.radius / twipsPerPixel_, WidestRadius);
    if (!(std::fabs(cx) < Huge && std::fabs(cy) < Huge) || !(r > 0)) return;
    const Capsule disc(cx, cy, cx, cy, r, false);
    const double top = std::max(originY_, std::ceil(cy - r));
    const double bottom = std::min(originY_ + height_ - 1, std::floor(cy + r));
    for (double y = top; y <= bottom; ++y) {
        double lo, hi;
        if (disc.Row(y, lo, hi)) FillRow(y, lo, hi, Pixel(colour));
    }
}

// The pixels whose centres lie inside a convex polygon, row by row.
void RasterSurface::FillPolygon(const StrokePiece& piece, std::uint32_t colour) {
    std::array<Vec, 6> p{};
    double minY = INFINITY, maxY = -INFINITY;
    for (int i = 0; i < piece.count; ++i) {
        const Vec v = piece.points[static_cast<std::size_t>(i)];
        p[static_cast<std::size_t>(i)] = {v.x / twipsPerPixel_, v.y / twipsPerPixel_};
        if (!(std::fabs(p[i].x) < Huge && std::fabs(p[i].y) < Huge)) return;
        minY = std::min(minY, p[i].y);
        maxY = std::max(maxY, p[i].y);
    }
    // Rows are the drawing's, whole numbers held in doubles.
    const double top = std::max(originY_, std::ceil(minY));
    const double bottom = std::min(originY_ + height_ - 1, std::floor(maxY));
    for (double y = top; y <= bottom; ++y) {
        double lo = INFINITY, hi = -INFINITY;
        for (int i = 0; i < piece.count; ++i) {
            const Vec a = p[static_cast<std::size_t>(i)];
            const Vec b = p[static_cast<std::size_t>((i + 1) % piece.count)];
            if ((y < a.y && y < b.y) || (y > a.y && y > b.y)) continue;
            const double x = a.y == b.y ? a.x : a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
            lo = std::min({lo, x, a.y == b.y ? b.x : x});
            hi = std::max({hi, x, a.y == b.y ? b.x : x});
        }
        if (lo <= hi) FillRow(y, lo, hi, colour);
    }
}

void RasterSurface::LineTo(double x, double y) {
    const float x1 = x_, y1 = y_;
    x_ = static_cast<float>(x);
    y_ = static_cast<float>(y);
    // A line going on from the last one finds the round end they share drawn already.
    const bool startCap = !going_;
    going_ = true;
    // A line's cost: its set-up, as much as a few pixels, and the pixels it covers. NaN
    // fails the comparisons and costs the most, as would a line across the surface. The
    // line is drawn last, so that nothing waits for it.
    const double side = std::max(std::abs(x_ - x1), std::abs(y_ - y1));
    if (shaped_) {
        const double covered = (side + penWidth_) * penWidth_;
        spent_ += lineSetUp_ + (covered < area_ ? covered : area_) / twipsPerPixel_;
        shaper_.LineTo({x_, y_}, [this](const StrokePiece& p) { FillPiece(p, colour_); });
        return;
    }
    if (penWidth_ > twipsPerPixel_) {
        const double covered = (side + penWidth_) * penWidth_;
        spent_ += lineSetUp_ + (covered < area_ ? covered : area_) / twipsPerPixel_;
        WideLine(x1, y1, x_, y_, colour_, penWidth_, startCap);
        return;
    }
    spent_ += lineSetUp_ + (side < longest_ ? side : longest_);
    Line(x1, y1, x_, y_, colour_);
}

void RasterSurface::Rectangle(float x1, float y1, float x2, float y2) {
    Line(x1, y1, x2, y1, Black);
    Line(x2, y1, x2, y2, Black);
    Line(x2, y2, x1, y2, Black);
    Line(x1, y2, x1, y1, Black);
}

}  // namespace kestrel::view
