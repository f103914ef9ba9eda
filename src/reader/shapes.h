#pragma once

#include <span>
#include <vector>

#include "reader/plotter.h"
#include "reader/rounding.h"

namespace kestrel::reader {

// What the shape and the polygon commands share.

bool AllStorable(const std::vector<Point>& points);
// Parameter `i`, NaN when it was left out.
double Optional(std::span<const double> p, std::size_t i);

// The pen's position in current units; false when they have no inverse.
bool UserPosition(const Plotter& plotter, Point& user);

// How many of `n` chords the budget pays for: all, or what is left, at least one.
int Afford(Plotter& plotter, int n);

// The pen's state that a shape drawn with a pen of its own puts back.
struct SavedPen {
    Point position;
    bool down = false;
};
inline SavedPen SavePen(const Plotter& plotter) { return {plotter.position, plotter.penDown}; }
// A move with the pen lifted, which then is up or down as before.
void MoveLifted(Plotter& plotter, Point to);
inline void RestorePen(Plotter& plotter, const SavedPen& saved) {
    plotter.penDown = saved.down;
    MoveLifted(plotter, saved.position);
}

}  // namespace kestrel::reader
