#pragma once

#include <cstdint>

namespace kestrel::view {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// The ends of a wide stroke's subpaths: round as a pen's, cut square at the end, squared
// off half the width beyond it, or a point half the width beyond it.
enum class LineCap : std::uint8_t { Round, Butt, Square, Triangle };

// A wide stroke's corners: round; mitered, the miter cut off where it reaches the miter
// limit; mitered, or beveled where the miter would pass the limit; a point half the width
// out from the corner; beveled; or none, each line ending butt at the corner.
enum class LineJoin : std::uint8_t { Round, Miter, MiterOrBevel, Triangle, Bevel, None };

// How the strokes of a path are drawn, in the output's own units.
struct StrokeLook {
    Rgb colour;
    double width = 0;  // 0: a hair-line, the finest line the output draws
    LineCap cap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    double miterLimit = 5;  // miter length over the width
    bool dotted = false;    // a hair-line of dots, for what the pen did not draw
    bool operator==(const StrokeLook&) const = default;
    // Round ends and corners: what a pen draws, and every output's quickest.
    bool Round() const { return cap == LineCap::Round && join == LineJoin::Round; }
};

// Where a plot's strokes go: a raster, an SVG or PDF page. A path is made of subpaths, each
// a MoveTo and the LineTos that go on from it, in one look set before it; Stroke ends it.
// Positions are in the output's units, as the walk over the plot maps them.
class StrokeTarget {
public:
    virtual ~StrokeTarget() = default;
    // The look of the next path; comes before its first MoveTo.
    virtual void SetPen(const StrokeLook& look) = 0;
    virtual void MoveTo(double x, double y) = 0;
    virtual void LineTo(double x, double y) = 0;
    // The path is complete; an output that draws as it goes has nothing left to do.
    virtual void Stroke() = 0;

    // What drawing has cost so far, in the target's own measure; a walk in steps is paced by
    // it. Outputs written in one go leave it at 0.
    double Spent() const { return spent_; }

protected:
    double spent_ = 0;
};

}  // namespace kestrel::view
