#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "reader/generation_budget.h"
#include "reader/plotter_frame.h"

namespace kestrel::reader {

// The polygon buffer: what polygon mode (PM) records and the rectangle and wedge
// commands leave, for EP to outline and FP to fill. Points are physical units.
class PolygonBuffer {
public:
    struct Vertex {
        Point p;
        bool penDown = false;  // the edge into this point is drawn by EP
        bool starts = false;   // begins a subpolygon: no edge leads into it
    };

    bool Active() const { return active_; }
    void Enter(Point from);  // PM0: empty, the pen's position its first point
    // PM1: closed back to its first point, the closing edge drawn by EP only when the pen
    // is down; the next point starts anew.
    void CloseSubpolygon(bool penDown);
    void Exit(bool penDown);  // PM2
    void Clear();             // IN, DF: out of polygon mode, nothing kept
    void Add(Point p, bool penDown);
    // A closed outline of its own (a circle in polygon mode), after which the next point
    // starts a new subpolygon.
    void AddClosed(const std::vector<Point>& outline);
    // The buffer holds just this closed outline, every edge drawn (EA, RA, EW, WG).
    void Set(const std::vector<Point>& outline);

    const std::vector<Vertex>& Vertices() const { return vertices_; }

private:
    std::vector<Vertex> vertices_;
    std::size_t subStart_ = 0;
    bool active_ = false;
    bool nextStarts_ = false;
};

// Lines across the polygon at `spacing` plotter units, `angle` radians from the x axis,
// through `anchor`: the hatching and the solid fill of a pen plotter.
class Hatch {
public:
    Hatch(const PolygonBuffer& polygon, double spacing, double angle, Point anchor);

    // The spacing used: widened where a fill would need more lines than a plotter would
    // draw in one go, or more than the budget has left.
    double Spacing() const { return spacing_; }

    // Each inside piece of each line, line by line (`line` counts from 0). Pieces are
    // ended where an edge crosses, by the even-odd or the non-zero winding rule.
    using Sink = std::function<void(Point from, Point to, std::int64_t line)>;
    void Draw(bool nonZero, const Sink& sink) const;

    // Makes the spacing wide enough that the fill fits the budget, and takes its cost.
    void Fit(GenerationBudget& budget);

private:
    struct Edge {
        double v0, v1, u0, u1;  // across and along the lines
    };
    void Layout(double spacing);

    std::vector<Edge> edges_;  // sorted by their lower v
    Point anchor_;
    double cos_ = 1, sin_ = 0;
    double spacing_ = 0;
    double minV_ = 0, maxV_ = 0;
    double firstLine_ = 0;  // k of the first line v = k * spacing
    std::int64_t lines_ = 0;
    double crossings_ = 0;  // over all lines
};

}  // namespace kestrel::reader
