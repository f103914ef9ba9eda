#pragma once

#include <vector>

#include "reader/plotter_frame.h"

namespace kestrel::reader {

// Chord angles in degrees: HP-GL/2's default and its range.
inline constexpr double DefaultChordAngle = 5;
inline constexpr double MinChordAngle = 0.5;
inline constexpr double MaxChordAngle = 180;

// The chord angle an arc of `radius` (current units) is drawn with. `chord` is the
// command's chord parameter, NaN when it was left out: an angle, or under CT1 the largest
// distance in current units between the arc and its chords.
double ChordAngle(double chord, double radius, bool deviation);

// Chords for `sweep` degrees (at most a full turn): the fewest whose angle is at most
// `chordAngle`.
int ChordCount(double sweep, double chordAngle);

// The n chord ends of the arc from `start` about `centre` through `sweep` degrees
// (positive: from +X towards +Y), the last one the arc's end.
std::vector<Point> ArcPoints(Point centre, Point start, double sweep, int n);

// A circle through three points: the arc from `start` through `middle` to `end`.
struct ThreePointArc {
    enum class Kind {
        Arc,     // centre and sweep hold the arc
        Line,    // a straight line from start to end
        Rays,    // in line, middle outside: a line away from each end, out to the limits
        Circle,  // end at the start: the circle whose diameter is start-middle
    } kind = Kind::Line;
    Point centre;
    double sweep = 0;
};
ThreePointArc ArcThrough(Point start, Point middle, Point end);

// Chords for a cubic Bezier curve: one for each chord angle its control polygon turns
// through, as arcs have.
int BezierChords(Point p0, Point p1, Point p2, Point p3);
Point BezierPoint(Point p0, Point p1, Point p2, Point p3, double t);

// The map from physical units back to current units, when there is one.
bool Inverse(const Affine& m, Affine& inverse);

}  // namespace kestrel::reader
