// Arcs, circles and curves: AA AR AT RT BZ BR CI, and the chord tolerance CT.
#include <algorithm>
#include <cmath>

#include "reader/arcs.h"
#include "reader/command_table.h"
#include "reader/rounding.h"
#include "reader/shapes.h"

namespace kestrel::reader {

bool AllStorable(const std::vector<Point>& points) {
    return std::all_of(points.begin(), points.end(), [](Point q) { return Storable(q); });
}

double Optional(std::span<const double> p, std::size_t i) { return p.size() > i ? p[i] : NAN; }

bool UserPosition(const Plotter& plotter, Point& user) {
    Affine inverse;
    if (!Inverse(plotter.frame.UserToPhysical(), inverse)) return false;
    user = inverse.Apply(plotter.position);
    return std::isfinite(user.x) && std::isfinite(user.y);
}

int Afford(Plotter& plotter, int n) {
    GenerationBudget& budget = plotter.drawing.budget;
    if (budget.Take(n)) return n;
    // What is left, and at least one chord, which costs no more than a coordinate pair.
    const auto left = static_cast<int>(std::min<std::int64_t>(budget.Left(), n));
    budget.Take(left);
    return std::max(left, 1);
}

void MoveLifted(Plotter& plotter, Point to) {
    const bool down = plotter.penDown;
    plotter.penDown = false;
    plotter.MoveTo(to);
    plotter.penDown = down;
}

namespace {

using Param = HpglScanner::Param;

// Where a ray from `from` along `direction` leaves `box`; false when it never is inside.
bool RayEnd(Point from, Point direction, const Rect& box, Point& end) {
    double t1 = INFINITY;
    const double o[2] = {from.x, from.y}, d[2] = {direction.x, direction.y};
    const double lo[2] = {box.minX, box.minY}, hi[2] = {box.maxX, box.maxY};
    for (int i = 0; i < 2; ++i) {
        if (d[i] > 0) t1 = std::min(t1, (hi[i] - o[i]) / d[i]);
        if (d[i] < 0) t1 = std::min(t1, (lo[i] - o[i]) / d[i]);
    }
    if (!(t1 > 0) || !std::isfinite(t1)) return false;
    end = {from.x + t1 * direction.x, from.y + t1 * direction.y};
    return true;
}

// The paper's hard-clip limits, which RO turns the frame within.
Rect PhysicalHardClip(const PlotterFrame& frame) {
    const Rect r = frame.RotatedHardClip();
    const bool quarter = frame.Rotation() == 90 || frame.Rotation() == 270;
    return quarter ? Rect{0, 0, r.maxY, r.maxX} : r;
}

// Arcs and curves are drawn with the pen up or down as it is, and leave it at their end.
void ArcAbout(Plotter& p, Point centre, Point start, double sweep, double chord) {
    sweep = std::clamp(sweep, -360.0, 360.0);
    const double radius = std::hypot(start.x - centre.x, start.y - centre.y);
    const int n =
        radius > 0
            ? Afford(p, ChordCount(sweep, ChordAngle(chord, radius, p.drawing.chordDeviation)))
            : 1;
    std::vector<Point> points = ArcPoints(centre, start, sweep, n);
    for (Point& q : points) q = p.Absolute(q);
    if (!AllStorable(points)) return;
    for (const Point& q : points) p.MoveTo(q);
}

// AA x,y,sweep[,chord]
void ArcAbsolute(CommandContext& c) {
    std::span<const double> p;
    Point start;
    if (!c.Numbers(p) || (p.size() != 3 && p.size() != 4) || !Finite(p.first(3)) ||
        !UserPosition(c.plotter, start))
        return;
    ArcAbout(c.plotter, {p[0], p[1]}, start, p[2], Optional(p, 3));
}

// AR dx,dy,sweep[,chord]
void ArcRelative(CommandContext& c) {
    std::span<const double> p;
    Point start;
    if (!c.Numbers(p) || (p.size() != 3 && p.size() != 4) || !Finite(p.first(3)) ||
        !UserPosition(c.plotter, start))
        return;
    ArcAbout(c.plotter, {start.x + p[0], start.y + p[1]}, start, p[2], Optional(p, 3));
}

// Out from both ends of a line, away from each other, to the window or the paper's edge.
void Rays(Plotter& p, Point end) {
    const Point from = p.position;
    const Rect box = p.frame.HasWindow() ? p.frame.Window() : PhysicalHardClip(p.frame);
    if (p.penDown && !p.drawing.polygon.Active() && p.drawing.budget.Take(2)) {
        Point far;
        if (RayEnd(from, {from.x - end.x, from.y - end.y}, box, far)) p.Draw(from, far);
        if (RayEnd(end, {end.x - from.x, end.y - from.y}, box, far)) p.Draw(end, far);
    }
    MoveLifted(p, end);
}

void ArcThrough(Plotter& p, Point middle, Point end, double chord) {
    Point start;
    if (!UserPosition(p, start)) return;
    const ThreePointArc arc = reader::ArcThrough(start, middle, end);
    const Point endPhysical = p.Absolute(end);
    if (!Storable(endPhysical)) return;
    switch (arc.kind) {
        case ThreePointArc::Kind::Line: p.MoveTo(endPhysical); return;
        case ThreePointArc::Kind::Rays: Rays(p, endPhysical); return;
        case ThreePointArc::Kind::Circle:
        case ThreePointArc::Kind::Arc: {
            const double radius = std::hypot(start.x - arc.centre.x, start.y - arc.centre.y);
            const int n = Afford(
                p, ChordCount(arc.sweep, ChordAngle(chord, radius, p.drawing.chordDeviation)));
            std::vector<Point> points = ArcPoints(arc.centre, start, arc.sweep, n);
            for (Point& q : points) q = p.Absolute(q);
            // The arc ends exactly where it was told to.
            points.back() = arc.kind == ThreePointArc::Kind::Arc ? endPhysical : p.position;
            if (!AllStorable(points)) return;
            for (const Point& q : points) p.MoveTo(q);
            return;
        }
    }
}

// AT xi,yi,xe,ye[,chord]
void ArcThreePointAbsolute(CommandContext& c) {
    std::span<const double> p;
    if (!c.Numbers(p) || (p.size() != 4 && p.size() != 5) || !Finite(p.first(4))) return;
    ArcThrough(c.plotter, {p[0], p[1]}, {p[2], p[3]}, Optional(p, 4));
}

// RT dxi,dyi,dxe,dye[,chord]
void ArcThreePointRelative(CommandContext& c) {
    std::span<const double> p;
    Point start;
    if (!c.Numbers(p) || (p.size() != 4 && p.size() != 5) || !Finite(p.first(4)) ||
        !UserPosition(c.plotter, start))
        return;
    ArcThrough(c.plotter, {start.x + p[0], start.y + p[1]}, {start.x + p[2], start.y + p[3]},
               Optional(p, 4));
}

void Bezier(Plotter& p, bool relative, const double (&v)[6]) {
    if (!Finite(v)) return;
    const Point p0 = p.position;
    Point c[3];
    for (int i = 0; i < 3; ++i) {
        // Relative control points all count from the curve's start.
        const Point user{v[2 * i], v[2 * i + 1]};
        c[i] = relative ? p.Relative(user) : p.Absolute(user);
        if (!Storable(c[i])) return;
    }
    const int n = Afford(p, BezierChords(p0, c[0], c[1], c[2]));
    std::vector<Point> points;
    for (int k = 1; k < n; ++k)
        points.push_back(BezierPoint(p0, c[0], c[1], c[2], static_cast<double>(k) / n));
    points.push_back(c[2]);
    if (!AllStorable(points)) return;
    for (const Point& q : points) p.MoveTo(q);
}

// Curves of three points each; an incomplete last one is left out.
void Beziers(CommandContext& c, bool relative) {
    for (;;) {
        double v[6];
        int n = 0;
        Param r = Param::Number;
        while (n < 6 && (r = c.scan.Number(v[n])) == Param::Number) ++n;
        if (r == Param::Bad) {
            c.scan.SkipParameters();
            return;
        }
        if (n < 6) return;
        Bezier(c.plotter, relative, v);
        c.Poll();
    }
}

void BezierAbsolute(CommandContext& c) { Beziers(c, false); }  // BZ
void BezierRelative(CommandContext& c) { Beziers(c, true); }   // BR

// CI radius[,chord]: drawn with a pen down of its own; the pen ends where and as it was.
void Circle(CommandContext& c) {
    std::span<const double> p;
    Plotter& pl = c.plotter;
    Point centre;
    if (!c.Numbers(p) || (p.size() != 1 && p.size() != 2) || !std::isfinite(p[0]) ||
        !UserPosition(pl, centre))
        return;
    const double radius = p[0];
    // A negative radius starts the circle on the other side; it goes round the same way.
    const Point startUser{centre.x + radius, centre.y};
    const int n = radius != 0 ? Afford(pl, ChordCount(360, ChordAngle(Optional(p, 1), radius,
                                                                      pl.drawing.chordDeviation)))
                              : 1;
    std::vector<Point> outline = ArcPoints(centre, startUser, 360, n);
    outline.insert(outline.begin(), startUser);
    for (Point& q : outline) q = pl.Absolute(q);
    outline.back() = outline.front();
    if (!AllStorable(outline)) return;
    if (pl.drawing.polygon.Active()) {
        // A closed subpolygon of its own; the pen stays at the centre.
        pl.drawing.polygon.AddClosed(outline);
        return;
    }
    // Up to the circumference, down round it, up back to the centre.
    const SavedPen saved = SavePen(pl);
    pl.penDown = false;
    pl.MoveTo(outline.front());
    pl.penDown = true;
    for (std::size_t i = 1; i < outline.size(); ++i) pl.MoveTo(outline[i]);
    RestorePen(pl, saved);
}

// CT [0 angles | 1 distances]
void ChordTolerance(CommandContext& c) {
    std::span<const double> p;
    if (!c.Numbers(p) || p.size() > 1 || !Finite(p)) return;
    const double mode = p.empty() ? 0 : std::round(p[0]);
    if (mode == 0 || mode == 1) c.plotter.drawing.chordDeviation = mode == 1;
}

constexpr CommandRow Rows[] = {
    {Mnemonic('A', 'A'), ArcAbsolute, InPolygonMode},
    {Mnemonic('A', 'R'), ArcRelative, InPolygonMode},
    {Mnemonic('A', 'T'), ArcThreePointAbsolute, InPolygonMode},
    {Mnemonic('R', 'T'), ArcThreePointRelative, InPolygonMode},
    {Mnemonic('B', 'Z'), BezierAbsolute, InPolygonMode},
    {Mnemonic('B', 'R'), BezierRelative, InPolygonMode},
    {Mnemonic('C', 'I'), Circle, InPolygonMode},
    {Mnemonic('C', 'T'), ChordTolerance, InPolygonMode},
};

}  // namespace

std::span<const CommandRow> ShapeCommands() { return Rows; }

}  // namespace kestrel::reader
