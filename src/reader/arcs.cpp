#include "reader/arcs.h"
#include "reader/units.h"

#include <algorithm>
#include <cmath>

namespace kestrel::reader {

namespace {

constexpr int MaxChords = static_cast<int>(360 / MinChordAngle);

double Cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool Same(Point a, Point b) { return a.x == b.x && a.y == b.y; }

// The turn in degrees from direction a to direction b, 0 when either has no length.
double Turn(Point a, Point b) {
    if ((a.x == 0 && a.y == 0) || (b.x == 0 && b.y == 0)) return 0;
    return std::fabs(std::atan2(a.x * b.y - a.y * b.x, a.x * b.x + a.y * b.y)) / Degree;
}

}  // namespace

double ChordAngle(double chord, double radius, bool deviation) {
    double angle = DefaultChordAngle;
    if (std::isfinite(chord)) {
        angle = std::fabs(chord);
        if (deviation) {
            // The chord of angle a lies r (1 - cos(a/2)) inside the arc at its middle.
            const double r = std::fabs(radius);
            angle = angle >= r || !(r > 0) ? MaxChordAngle : 2 * std::acos(1 - angle / r) / Degree;
        }
    }
    return std::clamp(angle, MinChordAngle, MaxChordAngle);
}

int ChordCount(double sweep, double chordAngle) {
    const double n = std::ceil(std::fabs(sweep) / chordAngle - 1e-9);
    if (!(n >= 1)) return 1;
    return n > MaxChords ? MaxChords : static_cast<int>(n);
}

std::vector<Point> ArcPoints(Point centre, Point start, double sweep, int n) {
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(n));
    const double dx = start.x - centre.x;
    const double dy = start.y - centre.y;
    for (int k = 1; k <= n; ++k) {
        const double a = sweep * k / n * Degree;
        const double c = std::cos(a), s = std::sin(a);
        points.push_back({centre.x + dx * c - dy * s, centre.y + dx * s + dy * c});
    }
    return points;
}

ThreePointArc ArcThrough(Point start, Point middle, Point end) {
    ThreePointArc arc;
    if (Same(middle, start) || Same(middle, end)) return arc;  // a line, or a dot
    if (Same(end, start)) {
        arc.kind = ThreePointArc::Kind::Circle;
        arc.centre = {(start.x + middle.x) / 2, (start.y + middle.y) / 2};
        arc.sweep = 360;
        return arc;
    }
    const double cross = Cross(start, middle, end);
    const double scale = std::hypot(middle.x - start.x, middle.y - start.y) *
                         std::hypot(end.x - start.x, end.y - start.y);
    if (!(std::fabs(cross) > 1e-12 * scale)) {
        // In line: the middle point either lies between the ends or the circle is
        // infinitely large and leaves the paper on both sides.
        const double t =
            ((middle.x - start.x) * (end.x - start.x) + (middle.y - start.y) * (end.y - start.y)) /
            ((end.x - start.x) * (end.x - start.x) + (end.y - start.y) * (end.y - start.y));
        if (!(t > 0 && t < 1)) arc.kind = ThreePointArc::Kind::Rays;
        return arc;
    }
    // The centre is where the perpendicular bisectors of start-middle and start-end meet.
    const double bx = middle.x - start.x, by = middle.y - start.y;
    const double cx = end.x - start.x, cy = end.y - start.y;
    const double d = 2 * (bx * cy - by * cx);
    const double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
    arc.centre = {start.x + (cy * b2 - by * c2) / d, start.y + (bx * c2 - cx * b2) / d};
    const double a0 = std::atan2(start.y - arc.centre.y, start.x - arc.centre.x);
    const double a1 = std::atan2(end.y - arc.centre.y, end.x - arc.centre.x);
    double sweep = (a1 - a0) / Degree;
    // Counter-clockwise when the middle point lies left of start-end.
    if (cross > 0) {
        while (sweep <= 0) sweep += 360;
    } else {
        while (sweep >= 0) sweep -= 360;
    }
    arc.kind = ThreePointArc::Kind::Arc;
    arc.sweep = sweep;
    if (!std::isfinite(arc.centre.x) || !std::isfinite(arc.centre.y))
        arc.kind = ThreePointArc::Kind::Line;
    return arc;
}

int BezierChords(Point p0, Point p1, Point p2, Point p3) {
    const Point a{p1.x - p0.x, p1.y - p0.y}, b{p2.x - p1.x, p2.y - p1.y},
        c{p3.x - p2.x, p3.y - p2.y};
    // A leg of no length (a control point on an end) takes no part in the turning.
    double turn = 0;
    if (b.x == 0 && b.y == 0) {
        turn = Turn(a, c);
    } else {
        turn = Turn(a, b) + Turn(b, c);
    }
    return ChordCount(turn, DefaultChordAngle);
}

Point BezierPoint(Point p0, Point p1, Point p2, Point p3, double t) {
    const double u = 1 - t;
    const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
    return {w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x,
            w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y};
}

bool Inverse(const Affine& m, Affine& inverse) {
    const double det = m.a * m.d - m.b * m.c;
    if (!(std::fabs(det) > 0) || !std::isfinite(det)) return false;
    inverse.a = m.d / det;
    inverse.b = -m.b / det;
    inverse.c = -m.c / det;
    inverse.d = m.a / det;
    inverse.e = -(inverse.a * m.e + inverse.b * m.f);
    inverse.f = -(inverse.c * m.e + inverse.d * m.f);
    return true;
}

}  // namespace kestrel::reader
