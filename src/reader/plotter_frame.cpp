#include "reader/plotter_frame.h"

#include <algorithm>
#include <cmath>

#include "reader/rounding.h"

namespace kestrel::reader {

namespace {

// HP 7475A, ISO A4: hard-clip limits and the default P1, P2.
constexpr double A4HardX = 11040, A4HardY = 7721;
constexpr Point A4P1{603, 521};
constexpr Point A4P2{10603, 7721};

Rect Bounds(Point a, Point b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

}  // namespace

Affine Affine::Then(const Affine& o) const {
    return {o.a * a + o.b * c, o.a * b + o.b * d,       o.c * a + o.d * c,
            o.c * b + o.d * d, o.a * e + o.b * f + o.e, o.c * e + o.d * f + o.f};
}

void PlotterFrame::Initialize() {
    if (hardX_ == 0) {
        hardX_ = A4HardX;
        hardY_ = A4HardY;
        defaultP1_ = A4P1;
        defaultP2_ = A4P2;
    }
    rotation_ = 0;
    DefaultP1P2();
    Defaults();
}

void PlotterFrame::Defaults() {
    scaled_ = false;
    hasWindow_ = false;
    Update();
}

// RO turns the frame counter-clockwise and shifts it back into the hard-clip limits,
// so that the rotated frame's origin is a corner of them.
Affine PlotterFrame::RotatedToPhysical() const {
    switch (rotation_) {
        case 90: return {0, -1, 1, 0, hardX_, 0};
        case 180: return {-1, 0, 0, -1, hardX_, hardY_};
        case 270: return {0, 1, -1, 0, 0, hardY_};
        default: return {};
    }
}

Rect PlotterFrame::RotatedHardClip() const {
    if (rotation_ == 90 || rotation_ == 270) return {0, 0, hardY_, hardX_};
    return {0, 0, hardX_, hardY_};
}

Point PlotterFrame::ToRotated(Point physical) const {
    // A quarter turn's inverse is its transpose, applied after undoing the shift.
    const Affine r = RotatedToPhysical();
    const double x = physical.x - r.e;
    const double y = physical.y - r.f;
    return {r.a * x + r.c * y, r.b * x + r.d * y};
}

void PlotterFrame::DefaultP1P2() {
    // The default corners are fixed on the paper; in a rotated frame they are the
    // lower-left and upper-right of the same area.
    const Rect area = Bounds(ToRotated(defaultP1_), ToRotated(defaultP2_));
    p1_ = {area.minX, area.minY};
    p2_ = {area.maxX, area.maxY};
}

bool PlotterFrame::PlotSize(std::span<const double> p) {
    if (p.size() > 2 || !Finite(p)) return false;
    // PS0 to PS4 is the paper size of older plotters (HP 7550A), no size in plotter units:
    // the default page, which nothing cuts.
    const bool paperCode = p.size() == 1 && p[0] >= 0 && p[0] <= 4 && p[0] == std::round(p[0]);
    if (p.empty() || paperCode) {
        hardX_ = A4HardX;
        hardY_ = A4HardY;
        defaultP1_ = A4P1;
        defaultP2_ = A4P2;
        pageSet_ = false;
    } else {
        const double length = std::fabs(p[0]);
        const double width = p.size() == 2 ? std::fabs(p[1]) : hardY_;
        // Plotter coordinates range over +-2^30.
        constexpr double MaxSize = 1 << 30;
        if (length == 0 || width == 0 || length > MaxSize || width > MaxSize) return false;
        hardX_ = length;
        hardY_ = width;
        defaultP1_ = {0, 0};
        defaultP2_ = {length, width};
        pageSet_ = true;
    }
    DefaultP1P2();
    hasWindow_ = false;
    Update();
    return true;
}

bool PlotterFrame::Rotate(std::span<const double> p) {
    if (p.size() > 1 || !Finite(p)) return false;
    const int angle = p.empty() ? 0 : Rounded<int>(p[0], Halves::AwayFromZero).value_or(-1);
    if (angle != 0 && angle != 90 && angle != 180 && angle != 270) return false;
    rotation_ = angle;
    Update();
    return true;
}

bool PlotterFrame::InputP1P2(std::span<const double> p) {
    if (!Finite(p)) return false;
    if (p.empty()) {
        DefaultP1P2();
    } else if (p.size() == 2) {
        // P2 follows P1 so that the distance between them stays.
        const Point shift{p[0] - p1_.x, p[1] - p1_.y};
        p1_ = {p[0], p[1]};
        p2_ = {p2_.x + shift.x, p2_.y + shift.y};
    } else if (p.size() == 4) {
        p1_ = {p[0], p[1]};
        p2_ = {p[2], p[3]};
    } else {
        return false;
    }
    Update();
    return true;
}

bool PlotterFrame::InputRelative(std::span<const double> p) {
    if (p.empty()) return InputP1P2(p);
    if (p.size() != 2 && p.size() != 4) return false;
    const Rect hard = RotatedHardClip();
    double absolute[4];
    for (std::size_t i = 0; i < p.size(); ++i) {
        const double size = i % 2 == 0 ? hard.maxX - hard.minX : hard.maxY - hard.minY;
        const double low = i % 2 == 0 ? hard.minX : hard.minY;
        absolute[i] = low + p[i] / 100 * size;
    }
    return InputP1P2(std::span<const double>(absolute, p.size()));
}

bool PlotterFrame::Scale(std::span<const double> p) {
    if (!Finite(p)) return false;
    if (p.empty()) {
        scaled_ = false;
        Update();
        return true;
    }
    if (p.size() != 4 && p.size() != 5 && p.size() != 7) return false;
    const int type = p.size() >= 5 ? Rounded<int>(p[4], Halves::AwayFromZero).value_or(-1) : 0;
    if (type < 0 || type > 2 || (type != 1 && p.size() == 7)) return false;
    if (type == 2 ? (p[1] == 0 || p[3] == 0) : (p[0] == p[1] || p[2] == p[3])) return false;
    scaleType_ = type;
    std::copy(p.begin(), p.begin() + 4, scale_);
    scale_[4] = p.size() == 7 ? p[5] : 50;
    scale_[5] = p.size() == 7 ? p[6] : 50;
    scaled_ = true;
    Update();
    return true;
}

bool PlotterFrame::InputWindow(std::span<const double> p) {
    if (!Finite(p)) return false;
    if (p.empty()) {
        hasWindow_ = false;
        Update();
        return true;
    }
    if (p.size() != 4) return false;
    // Given in current units, the window then stays where it is on the paper when the
    // scaling changes.
    auto rotated = [this](Point u) { return ToRotated(userToPhysical_.Apply(u)); };
    rotatedWindow_ = Bounds(rotated({p[0], p[1]}), rotated({p[2], p[3]}));
    hasWindow_ = true;
    Update();
    return true;
}

void PlotterFrame::Update() {
    Affine scale;
    if (scaled_) {
        const double xmin = scale_[0], ymin = scale_[2];
        if (scaleType_ == 2) {
            scale = {
                scale_[1], 0, 0, scale_[3], p1_.x - xmin * scale_[1], p1_.y - ymin * scale_[3]};
        } else {
            const double xmax = scale_[1], ymax = scale_[3];
            double sx = (p2_.x - p1_.x) / (xmax - xmin);
            double sy = (p2_.y - p1_.y) / (ymax - ymin);
            double ox = p1_.x, oy = p1_.y;
            if (scaleType_ == 1) {
                // Equal units on both axes; the spare room of the longer side is shared
                // out by the left and bottom percentages, and xmin, ymin stay on the side
                // of P1 as without isotropy.
                const double s = std::min(std::fabs(sx), std::fabs(sy));
                const double spanX = s * std::fabs(xmax - xmin);
                const double spanY = s * std::fabs(ymax - ymin);
                const double lowX =
                    std::min(p1_.x, p2_.x) + (std::fabs(p2_.x - p1_.x) - spanX) * scale_[4] / 100;
                const double lowY =
                    std::min(p1_.y, p2_.y) + (std::fabs(p2_.y - p1_.y) - spanY) * scale_[5] / 100;
                sx = std::copysign(s, sx);
                sy = std::copysign(s, sy);
                ox = p1_.x <= p2_.x ? lowX : lowX + spanX;
                oy = p1_.y <= p2_.y ? lowY : lowY + spanY;
            }
            scale = {sx, 0, 0, sy, ox - xmin * sx, oy - ymin * sy};
        }
    }
    const Affine r = RotatedToPhysical();
    userToPhysical_ = scale.Then(r);
    if (hasWindow_) {
        physicalWindow_ = Bounds(r.Apply({rotatedWindow_.minX, rotatedWindow_.minY}),
                                 r.Apply({rotatedWindow_.maxX, rotatedWindow_.maxY}));
    }
    // The hard-clip limits stay on the paper whatever RO does; the window lies within them.
    clips_ = hasWindow_ || pageSet_;
    clip_ = hasWindow_ ? physicalWindow_ : Rect{0, 0, hardX_, hardY_};
    if (pageSet_) {
        clip_ = {std::max(clip_.minX, 0.0), std::max(clip_.minY, 0.0), std::min(clip_.maxX, hardX_),
                 std::min(clip_.maxY, hardY_)};
    }
}

}  // namespace kestrel::reader
