// Rectangles, wedges, polygons and their fills: EA ER RA RR EW WG PM EP FP, and how areas
// are filled (FT AC PT RF).
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "reader/arcs.h"
#include "reader/command_table.h"
#include "reader/rounding.h"
#include "reader/shapes.h"
#include "reader/units.h"

namespace kestrel::reader {

namespace {

// PT's range: the pen thicknesses a pen plotter hatches solid fills at.
constexpr double MinThicknessMm = 0.1;
constexpr double MaxThicknessMm = 5;
// Solid fills' lines lie this much closer than the pen is wide.
constexpr double SolidOverlap = 0.95;

// The rectangle from the pen to the far corner, as a closed outline in physical units.
bool Rectangle(Plotter& pl, bool relative, std::span<const double> p, std::vector<Point>& outline) {
    Point corner;
    if (p.size() != 2 || !Finite(p) || !UserPosition(pl, corner)) return false;
    const Point far = relative ? Point{corner.x + p[0], corner.y + p[1]} : Point{p[0], p[1]};
    outline = {pl.position, pl.Absolute({far.x, corner.y}), pl.Absolute(far),
               pl.Absolute({corner.x, far.y}), pl.position};
    return AllStorable(outline);
}

// The wedge's outline in physical units: centre, arc, centre.
bool Wedge(Plotter& pl, std::span<const double> p, std::vector<Point>& outline) {
    Point centre;
    if ((p.size() != 3 && p.size() != 4) || !Finite(p.first(3)) || !UserPosition(pl, centre))
        return false;
    const double radius = p[0];
    const double start = std::fmod(p[1], 360) * Degree;
    const double sweep = std::clamp(p[2], -360.0, 360.0);
    // As for circles, a negative radius turns the start by half a turn.
    const Point startUser{centre.x + radius * std::cos(start), centre.y + radius * std::sin(start)};
    const int n = radius != 0 ? Afford(pl, ChordCount(sweep, ChordAngle(Optional(p, 3), radius,
                                                                        pl.drawing.chordDeviation)))
                              : 1;
    outline = ArcPoints(centre, startUser, sweep, n);
    outline.insert(outline.begin(), startUser);
    for (Point& q : outline) q = pl.Absolute(q);
    outline.insert(outline.begin(), pl.position);
    outline.push_back(pl.position);
    return AllStorable(outline);
}

// A closed outline in the current line type, whatever the pen's state.
void Outline(Plotter& pl, const std::vector<Point>& outline) {
    if (outline.size() < 2 ||
        !pl.drawing.budget.Take(static_cast<std::int64_t>(outline.size()) - 1))
        return;
    for (std::size_t i = 1; i < outline.size(); ++i) pl.Draw(outline[i - 1], outline[i]);
}

// Solid: lines a pen's width apart (PT's thickness for a pen drawn as a hair-line),
// alternating in direction unless type 2 says not, in `look`.
void FillSolid(Plotter& pl, bool nonZero, double frameAngle, Point anchor, PenLook look) {
    const FillSettings& f = pl.drawing.fill;
    const double widthMm = look.WidthMm > 0 ? look.WidthMm : f.penThicknessMm;
    // A little closer than the pen is wide, so that neighbouring strokes overlap on any
    // raster instead of meeting at an edge that rounding may open.
    Hatch hatch(pl.drawing.polygon, widthMm * PlotterUnitsPerMm * SolidOverlap, frameAngle, anchor);
    hatch.Fit(pl.drawing.budget);
    // Lines drawn further apart are drawn as wide, so that the fill stays solid.
    look.WidthMm =
        static_cast<float>(std::max(widthMm, hatch.Spacing() / PlotterUnitsPerMm / SolidOverlap));
    const bool alternate = f.type != 2;
    hatch.Draw(nonZero, [&](Point a, Point b, std::int64_t line) {
        if (alternate && line % 2 == 1) std::swap(a, b);
        pl.Stroke(a, b, look);
    });
}

// FT21: the PCL cross-hatch patterns, 16 pixels of 300 dpi square, their lines two pixels
// wide (three across, on the diagonals), fixed to the paper.
void FillCrossHatchPattern(Plotter& pl, bool nonZero, Point anchor) {
    constexpr double Cell = 16 * 25.4 * PlotterUnitsPerMm / 300;
    constexpr double LineMm = 2 * 25.4 / 300;
    constexpr double Diagonal = std::numbers::sqrt2 / 2;
    const int pattern = pl.drawing.fill.crossHatch;
    const bool diagonal = pattern == 3 || pattern == 4 || pattern == 6;
    PenLook look = pl.drawing.pens.RoundLook(pl.pen);
    look.WidthMm = static_cast<float>(diagonal ? LineMm * 1.5 * Diagonal : LineMm);
    const double spacing = diagonal ? Cell * Diagonal : Cell;
    const double first = pattern == 2 ? 90 : pattern == 4 ? 135 : diagonal ? 45 : 0;
    const int directions = pattern >= 5 ? 2 : 1;
    for (int d = 0; d < directions; ++d) {
        Hatch hatch(pl.drawing.polygon, spacing, (first + 90 * d) * Degree, anchor);
        hatch.Fit(pl.drawing.budget);
        hatch.Draw(nonZero, [&](Point a, Point b, std::int64_t) { pl.Stroke(a, b, look); });
    }
}

// FT10 and FT11: a solid fill in a share of a pen's colour; none for white, which shows
// what lies under it as on a printer's transparent pattern.
void FillShaded(Plotter& pl, bool nonZero, double frameAngle, Point anchor) {
    const FillSettings& f = pl.drawing.fill;
    std::int16_t pen = pl.pen;
    double percent = f.shading;
    if (f.type == 11) {
        const RasterFill& r = pl.drawing.rasterFills[static_cast<std::size_t>(f.rasterFill - 1)];
        percent = r.defined ? r.coverage : 100;
        if (r.defined && !r.uncoloured && !f.rasterInCurrentPen) pen = r.pen;
    }
    PenLook look = pl.drawing.pens.RoundLook(pen);
    look.Tint = static_cast<std::uint8_t>(std::clamp(std::round(percent), 0.0, 100.0));
    if (look.Tint > 0) FillSolid(pl, nonZero, frameAngle, anchor, look);
}

// The polygon buffer filled as FT says.
void Fill(Plotter& pl, bool nonZero) {
    if (pl.pen == 0) return;  // nothing would be drawn
    const FillSettings& f = pl.drawing.fill;
    // Angles are in the rotated frame, turning the way the user's axes do.
    const Affine& m = pl.frame.UserToPhysical();
    const double turn = m.a * m.d - m.b * m.c < 0 ? -1 : 1;
    const double frameAngle = pl.frame.Rotation() * Degree;
    const Point anchor = f.anchored ? f.anchor : Point{0, 0};
    if (f.type == 21) return FillCrossHatchPattern(pl, nonZero, anchor);
    if (f.type == 10 || f.type == 11) return FillShaded(pl, nonZero, frameAngle, anchor);
    if (f.type != 3 && f.type != 4)
        return FillSolid(pl, nonZero, frameAngle, anchor, pl.drawing.pens.RoundLook(pl.pen));
    const int k = f.type - 3;
    const double spacing = f.spacing[k] > 0 ? f.spacing[k] : pl.Diagonal() / 100;
    const double angle = frameAngle + turn * f.angle[k] * Degree;
    for (int direction = 0; direction <= k; ++direction) {
        Hatch hatch(pl.drawing.polygon, spacing, angle + direction * std::numbers::pi / 2, anchor);
        hatch.Fit(pl.drawing.budget);
        hatch.Draw(nonZero, [&pl](Point a, Point b, std::int64_t) { pl.Draw(a, b); });
    }
}

// EA, ER x,y: the rectangle's outline; RA, RR: the rectangle filled. The polygon buffer
// keeps the rectangle.
template <bool Relative, bool Filled>
void RectangleCommand(CommandContext& c) {
    std::span<const double> p;
    std::vector<Point> outline;
    if (!c.Numbers(p) || !Rectangle(c.plotter, Relative, p, outline)) return;
    c.plotter.drawing.polygon.Set(outline);
    if (Filled) {
        Fill(c.plotter, false);
    } else {
        Outline(c.plotter, outline);
    }
}

// EW radius,start,sweep[,chord]: the wedge's outline; WG: the wedge filled.
template <bool Filled>
void WedgeCommand(CommandContext& c) {
    std::span<const double> p;
    std::vector<Point> outline;
    if (!c.Numbers(p) || !Wedge(c.plotter, p, outline)) return;
    c.plotter.drawing.polygon.Set(outline);
    if (Filled) {
        Fill(c.plotter, false);
    } else {
        Outline(c.plotter, outline);
    }
}

// PM [0 enter | 1 close the subpolygon | 2 leave]: the closing edge is a move of the pen as
// it is now, drawn by EP only when the pen is down.
void PolygonMode(CommandContext& c) {
    std::span<const double> p;
    if (!c.Numbers(p) || p.size() > 1 || !Finite(p)) return;
    const double mode = p.empty() ? 0 : std::round(p[0]);
    PolygonBuffer& polygon = c.plotter.drawing.polygon;
    if (mode == 0) {
        polygon.Enter(c.plotter.position);
    } else if (mode == 1 && polygon.Active()) {
        polygon.CloseSubpolygon(c.plotter.penDown);
    } else if (mode == 2 && polygon.Active()) {
        polygon.Exit(c.plotter.penDown);
    }
}

// EP: the edges of the polygon buffer drawn with the pen down, in the current line type.
void EdgePolygon(CommandContext& c) {
    std::span<const double> p;
    if (!c.Numbers(p) || !p.empty()) return;
    const auto& v = c.plotter.drawing.polygon.Vertices();
    std::int64_t edges = 0;
    for (std::size_t i = 1; i < v.size(); ++i) edges += !v[i].starts && v[i].penDown;
    if (!c.plotter.drawing.budget.Take(edges)) return;
    for (std::size_t i = 1; i < v.size(); ++i) {
        if (!v[i].starts && v[i].penDown) c.plotter.Draw(v[i - 1].p, v[i].p);
    }
}

// FP [0 even-odd | 1 non-zero]
void FillPolygon(CommandContext& c) {
    std::span<const double> p;
    if (!c.Numbers(p) || p.size() > 1 || !Finite(p)) return;
    const double method = p.empty() ? 0 : std::round(p[0]);
    if (method != 0 && method != 1) return;
    Fill(c.plotter, method == 1);
}

// The parameters of FT3 and FT4: spacing in current units, measured along x, and angle.
void HatchParameters(CommandContext& c, FillSettings& f, int k, std::span<const double> p) {
    if (p.size() >= 2) {
        const Affine& m = c.plotter.frame.UserToPhysical();
        const double unit = c.plotter.frame.Scaled() ? std::hypot(m.a, m.c) : 1;
        f.spacing[k] = std::fabs(p[1]) * unit;
    }
    if (p.size() == 3) f.angle[k] = p[2];
}

// The option of FT10, FT11 and FT21, checked against its range; false leaves FT out.
bool FillOption(FillSettings& f, int type, std::span<const double> p) {
    if (p.size() < 2) return true;  // the option kept
    const double v = std::round(p[1]);
    if (type == 10 && p.size() == 2 && v >= 0 && v <= 100)
        f.shading = v;
    else if (type == 21 && p.size() == 2 && v >= 1 && v <= 6)
        f.crossHatch = static_cast<int>(v);
    else if (type == 11 && v >= 1 && v <= 8 && (p.size() == 2 || p[2] == 0 || p[2] == 1)) {
        f.rasterFill = static_cast<int>(v);
        if (p.size() == 3) f.rasterInCurrentPen = p[2] == 1;
    } else {
        return false;
    }
    return true;
}

// FT [type[,option...]]. FT22 names a PCL user pattern, which is PCL data Kestrel skips:
// it changes nothing.
void FillType(CommandContext& c) {
    std::span<const double> p;
    FillSettings& f = c.plotter.drawing.fill;
    if (!c.Numbers(p) || p.size() > 3 || !Finite(p)) return;
    const int type = p.empty() ? 1 : RoundedClamped<int>(p[0], Halves::AwayFromZero);
    if (p.empty() || type == 1 || type == 2) {
        // The parameters of every type go back to their defaults.
        const FillSettings kept = f;
        f = {};
        f.type = type;
        f.anchored = kept.anchored;
        f.anchor = kept.anchor;
        f.penThicknessMm = kept.penThicknessMm;
        return;
    }
    if (type == 3 || type == 4) {
        HatchParameters(c, f, type - 3, p);
    } else if ((type != 10 && type != 11 && type != 21) || !FillOption(f, type, p)) {
        return;
    }
    f.type = type;
}

// RF [index[,width,height,pen...]]: the share of a pattern's pixels that are not pen 0,
// and the pen most of them name. RF; forgets all patterns, RF index one.
void RasterFillDefinition(CommandContext& c) {
    std::array<RasterFill, 8>& fills = c.plotter.drawing.rasterFills;
    constexpr int MostSide = 255;
    double v[3] = {};
    int n = 0;
    while (n < 3 && c.scan.Number(v[n]) == HpglScanner::Param::Number) ++n;
    const int index = n > 0 ? RoundedClamped<int>(v[0], Halves::AwayFromZero) : 0;
    const bool valid = n == 0 || (index >= 1 && index <= 8 && (n == 1 || n == 3));
    const bool sized = n == 3 && v[1] >= 1 && v[1] <= MostSide && v[2] >= 1 && v[2] <= MostSide;
    if (!valid || (n == 3 && !sized)) return c.scan.SkipParameters();
    if (n == 0) return fills.fill({});
    RasterFill& fill = fills[static_cast<std::size_t>(index - 1)];
    fill = {};
    if (n == 1) return c.scan.SkipParameters();
    const auto pixels = static_cast<long>(std::round(v[1]) * std::round(v[2]));
    std::map<std::int16_t, long> pens;
    long read = 0, inked = 0;
    for (double pen; read < pixels && c.scan.Number(pen) == HpglScanner::Param::Number; ++read) {
        const auto number = static_cast<std::int16_t>(std::clamp(std::round(pen), 0.0, 32767.0));
        if (number == 0) continue;
        ++inked;
        ++pens[number];
        fill.uncoloured = fill.uncoloured && number == 1;
    }
    c.scan.SkipParameters();
    if (read < pixels) return;  // too few pixels: no pattern
    fill.defined = true;
    fill.coverage = 100.0 * static_cast<double>(inked) / static_cast<double>(pixels);
    long most = 0;
    for (const auto& [pen, count] : pens) {
        if (count > most) {
            most = count;
            fill.pen = pen;
        }
    }
}

// AC [x,y]
void AnchorCorner(CommandContext& c) {
    std::span<const double> p;
    FillSettings& f = c.plotter.drawing.fill;
    if (!c.Numbers(p)) return;
    if (p.empty()) {
        f.anchored = false;
    } else if (p.size() == 2 && Finite(p)) {
        const Point anchor = c.plotter.Absolute({p[0], p[1]});
        if (!Storable(anchor)) return;
        f.anchored = true;
        f.anchor = anchor;
    }
}

// PT [mm]
void PenThickness(CommandContext& c) {
    std::span<const double> p;
    if (!c.Numbers(p) || p.size() > 1 || !Finite(p)) return;
    const double mm = p.empty() ? DefaultPenThicknessMm : p[0];
    if (mm >= MinThicknessMm && mm <= MaxThicknessMm) c.plotter.drawing.fill.penThicknessMm = mm;
}

// The shapes that set the polygon buffer of their own, and its outline and fill, are left
// out in polygon mode.
constexpr CommandRow Rows[] = {
    {Mnemonic('E', 'A'), RectangleCommand<false, false>, NoFlags},
    {Mnemonic('E', 'R'), RectangleCommand<true, false>, NoFlags},
    {Mnemonic('R', 'A'), RectangleCommand<false, true>, NoFlags},
    {Mnemonic('R', 'R'), RectangleCommand<true, true>, NoFlags},
    {Mnemonic('E', 'W'), WedgeCommand<false>, NoFlags},
    {Mnemonic('W', 'G'), WedgeCommand<true>, NoFlags},
    {Mnemonic('P', 'M'), PolygonMode, InPolygonMode},
    {Mnemonic('E', 'P'), EdgePolygon, NoFlags},
    {Mnemonic('F', 'P'), FillPolygon, NoFlags},
    {Mnemonic('F', 'T'), FillType, InPolygonMode},
    {Mnemonic('A', 'C'), AnchorCorner, InPolygonMode},
    {Mnemonic('P', 'T'), PenThickness, InPolygonMode},
    {Mnemonic('R', 'F'), RasterFillDefinition, InPolygonMode},
};

}  // namespace

std::span<const CommandRow> PolygonCommands() { return Rows; }

}  // namespace kestrel::reader
