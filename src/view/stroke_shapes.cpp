#include "view/stroke_shapes.h"

#include <algorithm>
#include <cmath>

namespace kestrel::view {

namespace {

Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
double Cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
Vec Left(Vec d) { return {-d.y, d.x}; }

StrokePiece Polygon(std::initializer_list<Vec> points) {
    StrokePiece piece;
    for (const Vec p : points) piece.points[static_cast<std::size_t>(piece.count++)] = p;
    return piece;
}

StrokePiece Disc(Vec centre, double radius) {
    StrokePiece piece;
    piece.centre = centre;
    piece.radius = radius;
    return piece;
}

}  // namespace

NativeStroke NativeOf(const StrokeLook& look) {
    NativeStroke native;
    native.splitCorners = look.join == LineJoin::None;
    native.cap = look.cap == LineCap::Triangle || native.splitCorners ? LineCap::Butt : look.cap;
    switch (look.join) {
        case LineJoin::Round:
        case LineJoin::MiterOrBevel: native.join = look.join; break;
        case LineJoin::None: native.join = LineJoin::None; break;
        default: native.join = LineJoin::Bevel; break;  // the pieces go beyond the bevel
    }
    return native;
}

StrokeShaper::StrokeShaper(const StrokeLook& look, const NativeStroke& native, bool bodies)
    : cap_(look.cap),
      join_(look.join),
      half_(look.width / 2),
      miterLimit_(std::max(1.0, look.miterLimit)),
      caps_(look.cap != native.cap && look.cap != LineCap::Butt),
      joins_(look.join != native.join && look.join != LineJoin::None),
      bodies_(bodies) {}

StrokePiece StrokeShaper::Cap(Vec end, Vec outward) const {
    const Vec side = Left(outward) * half_, ahead = outward * half_;
    switch (cap_) {
        case LineCap::Square:
            return Polygon({end + side, end - side, end - side + ahead, end + side + ahead});
        case LineCap::Triangle: return Polygon({end + side, end - side, end + ahead});
        default: return Disc(end, half_);
    }
}

bool StrokeShaper::Join(Vec at, Vec in, Vec out, StrokePiece& piece) const {
    if (join_ == LineJoin::Round) {
        piece = Disc(at, half_);
        return true;
    }
    const double turn = Cross(in, out);
    if (turn == 0 && Dot(in, out) > 0) return false;  // straight on: the bodies meet
    // The outer side of the corner, and the bodies' outer corners there.
    const double side = turn > 0 ? -1 : 1;
    const Vec n1 = Left(in) * side, n2 = Left(out) * side;
    const Vec a = at + n1 * half_, b = at + n2 * half_;
    const Vec sum = n1 + n2;
    const double sumLength = std::hypot(sum.x, sum.y);
    // cos of the angle between the bisector and either normal; 0 when the line turns back.
    const double cosine = sumLength / 2;
    const Vec bisector = sumLength > 0 ? sum * (1 / sumLength) : in;
    if (join_ == LineJoin::Triangle) {
        piece = Polygon({at, a, at + bisector * half_, b});
        return true;
    }
    // The miter's length over the width is 1 / cosine.
    const bool within = cosine > 0 && 1 / cosine <= miterLimit_;
    if (join_ == LineJoin::Bevel || (join_ == LineJoin::MiterOrBevel && !within)) {
        piece = Polygon({at, a, b});
        return true;
    }
    if (within) {
        piece = Polygon({at, a, at + bisector * (half_ / cosine), b});
        return true;
    }
    // Mitered, cut square to the bisector where the miter reaches the limit, measured from
    // the inner corner.
    const double cut = miterLimit_ * 2 * half_ - (cosine > 0 ? half_ / cosine : 0);
    const double bevel = half_ * cosine;  // the bevel's distance from the corner
    if (cut <= bevel) {
        piece = Polygon({at, a, b});
        return true;
    }
    const Vec along1 = Left(n1) * (Dot(Left(n1), bisector) < 0 ? -1 : 1);
    const Vec along2 = Left(n2) * (Dot(Left(n2), bisector) < 0 ? -1 : 1);
    const double reach1 = Dot(along1, bisector), reach2 = Dot(along2, bisector);
    const Vec a2 = reach1 > 0 ? a + along1 * ((cut - bevel) / reach1) : a;
    const Vec b2 = reach2 > 0 ? b + along2 * ((cut - bevel) / reach2) : b;
    piece = Polygon({at, a, a2, b2, b});
    return true;
}

StrokePiece StrokeShaper::Body(Vec a, Vec b, Vec direction) const {
    const Vec side = Left(direction) * half_;
    return Polygon({a + side, b + side, b - side, a - side});
}

}  // namespace kestrel::view
