#include "reader/shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "reader/arcs.h"

namespace kestrel::reader {

namespace {

constexpr double Degree = std::numbers::pi / 180;
// PT's range: the pen thicknesses a pen plotter hatches solid fills at.
constexpr double MinThicknessMm = 0.1;
constexpr double MaxThicknessMm = 5;
// Solid fills' lines lie this much closer than the pen is wide.
constexpr double SolidOverlap = 0.95;
constexpr double UnitsPerMm = PlotterUnitsPerMm;

bool Finite(std::span<const double> p) {
    return std::all_of(p.begin(), p.end(), [](double v) { return std::isfinite(v); });
}

bool AllStorable(const std::vector<Point>& points) {
    return std::all_of(points.begin(), points.end(), [](Point q) { return Storable(q); });
}

double Optional(std::span<const double> p, std::size_t i) { return p.size() > i ? p[i] : NAN; }

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

}  // namespace

bool ShapeCommands::UserPosition(Point& user) const {
    Affine inverse;
    if (!Inverse(p_.frame.UserToPhysical(), inverse)) return false;
    user = inverse.Apply(p_.position);
    return std::isfinite(user.x) && std::isfinite(user.y);
}

int ShapeCommands::Afford(int n) {
    GenerationBudget& budget = p_.drawing.budget;
    if (budget.Take(n)) return n;
    // What is left, and at least one chord, which costs no more than a coordinate pair.
    const auto left = static_cast<int>(std::min<std::int64_t>(budget.Left(), n));
    budget.Take(left);
    return std::max(left, 1);
}

void ShapeCommands::ArcAbout(Point centre, Point start, double sweep, double chord) {
    sweep = std::clamp(sweep, -360.0, 360.0);
    const double radius = std::hypot(start.x - centre.x, start.y - centre.y);
    const int n =
        radius > 0 ? Afford(ChordCount(sweep, ChordAngle(chord, radius, p_.drawing.chordDeviation)))
                   : 1;
    std::vector<Point> points = ArcPoints(centre, start, sweep, n);
    for (Point& q : points) q = p_.Absolute(q);
    if (!AllStorable(points)) return;
    for (const Point& q : points) p_.MoveTo(q);
}

void ShapeCommands::ArcAbsolute(std::span<const double> p) {
    Point start;
    if ((p.size() != 3 && p.size() != 4) || !Finite(p.first(3)) || !UserPosition(start)) return;
    ArcAbout({p[0], p[1]}, start, p[2], Optional(p, 3));
}

void ShapeCommands::ArcRelative(std::span<const double> p) {
    Point start;
    if ((p.size() != 3 && p.size() != 4) || !Finite(p.first(3)) || !UserPosition(start)) return;
    ArcAbout({start.x + p[0], start.y + p[1]}, start, p[2], Optional(p, 3));
}

void ShapeCommands::ArcThrough(Point middle, Point end, double chord) {
    Point start;
    if (!UserPosition(start)) return;
    const ThreePointArc arc = reader::ArcThrough(start, middle, end);
    const Point endPhysical = p_.Absolute(end);
    if (!Storable(endPhysical)) return;
    switch (arc.kind) {
        case ThreePointArc::Kind::Line: p_.MoveTo(endPhysical); return;
        case ThreePointArc::Kind::Rays: {
            // Out from both ends, away from each other, to the window or the paper's edge.
            const Point from = p_.position;
            const Rect box = p_.frame.HasWindow() ? p_.frame.Window() : PhysicalHardClip(p_.frame);
            if (p_.penDown && !p_.drawing.polygon.Active() && p_.drawing.budget.Take(2)) {
                Point far;
                if (RayEnd(from, {from.x - endPhysical.x, from.y - endPhysical.y}, box, far))
                    p_.Draw(from, far);
                if (RayEnd(endPhysical, {endPhysical.x - from.x, endPhysical.y - from.y}, box,
                           far)) {
                    p_.Draw(endPhysical, far);
                }
            }
            const bool down = p_.penDown;
            p_.penDown = false;
            p_.MoveTo(endPhysical);
            p_.penDown = down;
            return;
        }
        case ThreePointArc::Kind::Circle:
        case ThreePointArc::Kind::Arc: {
            const double radius = std::hypot(start.x - arc.centre.x, start.y - arc.centre.y);
            const int n =
                Afford(ChordCount(arc.sweep, ChordAngle(chord, radius, p_.drawing.chordDeviation)));
            std::vector<Point> points = ArcPoints(arc.centre, start, arc.sweep, n);
            for (Point& q : points) q = p_.Absolute(q);
            // The arc ends exactly where it was told to.
            points.back() = arc.kind == ThreePointArc::Kind::Arc ? endPhysical : p_.position;
            if (!AllStorable(points)) return;
            for (const Point& q : points) p_.MoveTo(q);
            return;
        }
    }
}

void ShapeCommands::ArcThreePointAbsolute(std::span<const double> p) {
    if ((p.size() != 4 && p.size() != 5) || !Finite(p.first(4))) return;
    ArcThrough({p[0], p[1]}, {p[2], p[3]}, Optional(p, 4));
}

void ShapeCommands::ArcThreePointRelative(std::span<const double> p) {
    Point start;
    if ((p.size() != 4 && p.size() != 5) || !Finite(p.first(4)) || !UserPosition(start)) return;
    ArcThrough({start.x + p[0], start.y + p[1]}, {start.x + p[2], start.y + p[3]}, Optional(p, 4));
}

void ShapeCommands::Bezier(bool relative, std::span<const double, 6> p) {
    if (!Finite(p)) return;
    const Point p0 = p_.position;
    Point c[3];
    for (int i = 0; i < 3; ++i) {
        // Relative control points all count from the curve's start.
        const Point user{p[static_cast<std::size_t>(2 * i)],
                         p[static_cast<std::size_t>(2 * i + 1)]};
        c[i] = relative ? p_.Relative(user) : p_.Absolute(user);
        if (!Storable(c[i])) return;
    }
    const int n = Afford(BezierChords(p0, c[0], c[1], c[2]));
    std::vector<Point> points;
    for (int k = 1; k < n; ++k)
        points.push_back(BezierPoint(p0, c[0], c[1], c[2], static_cast<double>(k) / n));
    points.push_back(c[2]);
    if (!AllStorable(points)) return;
    for (const Point& q : points) p_.MoveTo(q);
}

void ShapeCommands::Circle(std::span<const double> p) {
    Point centre;
    if ((p.size() != 1 && p.size() != 2) || !std::isfinite(p[0]) || !UserPosition(centre)) return;
    const double radius = p[0];
    // A negative radius starts the circle on the other side; it goes round the same way.
    const Point startUser{centre.x + radius, centre.y};
    const int n =
        radius != 0
            ? Afford(ChordCount(360, ChordAngle(Optional(p, 1), radius, p_.drawing.chordDeviation)))
            : 1;
    std::vector<Point> outline = ArcPoints(centre, startUser, 360, n);
    outline.insert(outline.begin(), startUser);
    for (Point& q : outline) q = p_.Absolute(q);
    outline.back() = outline.front();
    if (!AllStorable(outline)) return;
    if (p_.drawing.polygon.Active()) {
        // A closed subpolygon of its own; the pen stays at the centre.
        p_.drawing.polygon.AddClosed(outline);
        return;
    }
    // Up to the circumference, down round it, up back to the centre.
    const Point centrePhysical = p_.position;
    const bool down = p_.penDown;
    p_.penDown = false;
    p_.MoveTo(outline.front());
    p_.penDown = true;
    for (std::size_t i = 1; i < outline.size(); ++i) p_.MoveTo(outline[i]);
    p_.penDown = false;
    p_.MoveTo(centrePhysical);
    p_.penDown = down;
}

bool ShapeCommands::Rectangle(bool relative, std::span<const double> p,
                              std::vector<Point>& outline) {
    Point corner;
    if (p.size() != 2 || !Finite(p) || p_.drawing.polygon.Active() || !UserPosition(corner))
        return false;
    const Point far = relative ? Point{corner.x + p[0], corner.y + p[1]} : Point{p[0], p[1]};
    outline = {p_.position, p_.Absolute({far.x, corner.y}), p_.Absolute(far),
               p_.Absolute({corner.x, far.y}), p_.position};
    return AllStorable(outline);
}

bool ShapeCommands::Wedge(std::span<const double> p, std::vector<Point>& outline) {
    Point centre;
    if ((p.size() != 3 && p.size() != 4) || !Finite(p.first(3)) || p_.drawing.polygon.Active() ||
        !UserPosition(centre)) {
        return false;
    }
    const double radius = p[0];
    const double start = std::fmod(p[1], 360) * Degree;
    const double sweep = std::clamp(p[2], -360.0, 360.0);
    // As for circles, a negative radius turns the start by half a turn.
    const Point startUser{centre.x + radius * std::cos(start), centre.y + radius * std::sin(start)};
    const int n = radius != 0 ? Afford(ChordCount(sweep, ChordAngle(Optional(p, 3), radius,
                                                                    p_.drawing.chordDeviation)))
                              : 1;
    outline = ArcPoints(centre, startUser, sweep, n);
    outline.insert(outline.begin(), startUser);
    for (Point& q : outline) q = p_.Absolute(q);
    outline.insert(outline.begin(), p_.position);
    outline.push_back(p_.position);
    return AllStorable(outline);
}

void ShapeCommands::Outline(const std::vector<Point>& outline) {
    if (outline.size() < 2 ||
        !p_.drawing.budget.Take(static_cast<std::int64_t>(outline.size()) - 1))
        return;
    for (std::size_t i = 1; i < outline.size(); ++i) p_.Draw(outline[i - 1], outline[i]);
}

void ShapeCommands::EdgeRectangle(bool relative, std::span<const double> p) {
    std::vector<Point> outline;
    if (!Rectangle(relative, p, outline)) return;
    p_.drawing.polygon.Set(outline);
    Outline(outline);
}

void ShapeCommands::FillRectangle(bool relative, std::span<const double> p) {
    std::vector<Point> outline;
    if (!Rectangle(relative, p, outline)) return;
    p_.drawing.polygon.Set(outline);
    Fill(false);
}

void ShapeCommands::EdgeWedge(std::span<const double> p) {
    std::vector<Point> outline;
    if (!Wedge(p, outline)) return;
    p_.drawing.polygon.Set(outline);
    Outline(outline);
}

void ShapeCommands::FillWedge(std::span<const double> p) {
    std::vector<Point> outline;
    if (!Wedge(p, outline)) return;
    p_.drawing.polygon.Set(outline);
    Fill(false);
}

void ShapeCommands::PolygonMode(std::span<const double> p) {
    if (p.size() > 1 || !Finite(p)) return;
    const double mode = p.empty() ? 0 : std::round(p[0]);
    PolygonBuffer& polygon = p_.drawing.polygon;
    if (mode == 0) {
        polygon.Enter(p_.position);
    } else if (mode == 1 && polygon.Active()) {
        polygon.CloseSubpolygon();
    } else if (mode == 2 && polygon.Active()) {
        polygon.Exit();
    }
}

void ShapeCommands::EdgePolygon(std::span<const double> p) {
    const PolygonBuffer& polygon = p_.drawing.polygon;
    if (!p.empty() || polygon.Active()) return;
    const auto& v = polygon.Vertices();
    std::int64_t edges = 0;
    for (std::size_t i = 1; i < v.size(); ++i) edges += !v[i].starts && v[i].penDown;
    if (!p_.drawing.budget.Take(edges)) return;
    // Only the edges drawn with the pen down, in the current line type.
    for (std::size_t i = 1; i < v.size(); ++i) {
        if (!v[i].starts && v[i].penDown) p_.Draw(v[i - 1].p, v[i].p);
    }
}

void ShapeCommands::FillPolygon(std::span<const double> p) {
    if (p.size() > 1 || !Finite(p) || p_.drawing.polygon.Active()) return;
    const double method = p.empty() ? 0 : std::round(p[0]);
    if (method != 0 && method != 1) return;
    Fill(method == 1);
}

void ShapeCommands::Fill(bool nonZero) {
    if (p_.pen == 0) return;  // nothing would be drawn
    const FillSettings& f = p_.drawing.fill;
    // Angles are in the rotated frame, turning the way the user's axes do.
    const Affine& m = p_.frame.UserToPhysical();
    const double turn = m.a * m.d - m.b * m.c < 0 ? -1 : 1;
    const double frameAngle = p_.frame.Rotation() * Degree;
    const Point anchor = f.anchored ? f.anchor : Point{0, 0};
    if (f.type != 3 && f.type != 4) {
        // Solid: lines a pen's width apart (PT's thickness for a pen drawn as a hair-line),
        // alternating in direction unless type 2 says not.
        const float penWidth = p_.drawing.pens.WidthMm(p_.pen);
        const double widthMm = penWidth > 0 ? penWidth : f.penThicknessMm;
        // A little closer than the pen is wide, so that neighbouring strokes overlap on any
        // raster instead of meeting at an edge that rounding may open.
        Hatch hatch(p_.drawing.polygon, widthMm * UnitsPerMm * SolidOverlap, frameAngle, anchor);
        hatch.Fit(p_.drawing.budget);
        // Lines drawn further apart are drawn as wide, so that the fill stays solid.
        const auto width =
            static_cast<float>(std::max(widthMm, hatch.Spacing() / UnitsPerMm / SolidOverlap));
        const bool alternate = f.type != 2;
        hatch.Draw(nonZero, [&](Point a, Point b, std::int64_t line) {
            if (alternate && line % 2 == 1) std::swap(a, b);
            p_.Stroke(a, b, width);
        });
        return;
    }
    const int k = f.type - 3;
    const double spacing = f.spacing[k] > 0 ? f.spacing[k] : p_.Diagonal() / 100;
    const double angle = frameAngle + turn * f.angle[k] * Degree;
    for (int direction = 0; direction <= k; ++direction) {
        Hatch hatch(p_.drawing.polygon, spacing, angle + direction * std::numbers::pi / 2, anchor);
        hatch.Fit(p_.drawing.budget);
        hatch.Draw(nonZero, [this](Point a, Point b, std::int64_t) { p_.Draw(a, b); });
    }
}

void ShapeCommands::FillType(std::span<const double> p) {
    FillSettings& f = p_.drawing.fill;
    if (p.size() > 3 || !Finite(p)) return;
    if (p.empty()) {
        const FillSettings kept = f;
        f = {};
        f.anchored = kept.anchored;
        f.anchor = kept.anchor;
        f.penThicknessMm = kept.penThicknessMm;
        return;
    }
    const int type = static_cast<int>(std::round(p[0]));
    if (type != 1 && type != 2 && type != 3 && type != 4 && type != 10 && type != 11 &&
        type != 21 && type != 22)
        return;
    f.type = type;
    if (type != 3 && type != 4) return;
    const int k = type - 3;
    if (p.size() >= 2) {
        // Spacing in current units, measured along x.
        const Affine& m = p_.frame.UserToPhysical();
        const double unit = p_.frame.Scaled() ? std::hypot(m.a, m.c) : 1;
        f.spacing[k] = std::fabs(p[1]) * unit;
    }
    if (p.size() == 3) f.angle[k] = p[2];
}

void ShapeCommands::AnchorCorner(std::span<const double> p) {
    FillSettings& f = p_.drawing.fill;
    if (p.empty()) {
        f.anchored = false;
    } else if (p.size() == 2 && Finite(p)) {
        const Point anchor = p_.Absolute({p[0], p[1]});
        if (!Storable(anchor)) return;
        f.anchored = true;
        f.anchor = anchor;
    }
}

void ShapeCommands::PenThickness(std::span<const double> p) {
    if (p.size() > 1 || !Finite(p)) return;
    const double mm = p.empty() ? 0.3 : p[0];
    if (mm >= MinThicknessMm && mm <= MaxThicknessMm) p_.drawing.fill.penThicknessMm = mm;
}

void ShapeCommands::ChordTolerance(std::span<const double> p) {
    if (p.size() > 1 || !Finite(p)) return;
    const double mode = p.empty() ? 0 : std::round(p[0]);
    if (mode == 0 || mode == 1) p_.drawing.chordDeviation = mode == 1;
}

void ShapeCommands::LineType(std::span<const double> p) { p_.drawing.lineType.Select(p); }
void ShapeCommands::UserLineType(std::span<const double> p) { p_.drawing.lineType.Define(p); }
void ShapeCommands::PenWidth(std::span<const double> p) { p_.drawing.pens.Width(p, p_.Diagonal()); }
void ShapeCommands::WidthUnit(std::span<const double> p) {
    p_.drawing.pens.WidthUnit(p, p_.Diagonal());
}
void ShapeCommands::PenColour(std::span<const double> p) { p_.drawing.pens.Colour(p); }
void ShapeCommands::PenCount(std::span<const double> p) { p_.drawing.pens.PenCount(p); }
void ShapeCommands::ColourRange(std::span<const double> p) { p_.drawing.pens.ColourRange(p); }

}  // namespace kestrel::reader
