#pragma once

#include <array>
#include <functional>
#include <span>

#include "reader/generation_budget.h"
#include "reader/plot_store.h"
#include "reader/plotter_frame.h"

namespace kestrel::reader {

// One line pattern: dash and gap lengths alternating, dash first, as fractions of the
// pattern length (a dash of 0 is a dot).
struct LinePattern {
    std::array<double, 20> parts{};
    int count = 0;
};

// LT and UL: the line type lines are drawn in, and what is left of a fixed pattern at the
// end of a line, which the next line goes on with.
class LineTypes {
public:
    LineTypes() { Initialize(); }

    void Initialize();  // IN, DF: solid lines, patterns 4 % of P1-P2 long, the fixed patterns
    bool Select(std::span<const double> p);  // LT
    bool Define(std::span<const double> p);  // UL

    bool Solid() const { return solid_; }
    // One pattern's length in plotter units, for a P1-P2 diagonal of `diagonal` units.
    double PatternLength(double diagonal) const;

    using Sink = std::function<void(Point from, Point to)>;
    // The pieces of the line a-b the pen draws down; a piece from a point to itself is a
    // dot. When the budget cannot pay for the pieces, the line is drawn solid.
    void Draw(Point a, Point b, double patternLength, GenerationBudget& budget, const Sink& sink);

private:
    struct Selection {
        int type = 0;       // -8..8; 0 draws dots at the ends of lines
        double length = 4;  // percent of the P1-P2 diagonal, or mm
        bool millimetres = false;
        double phase = 0;  // where in the pattern the next line starts, 0..1
    };
    void Dots(Point a, Point b, GenerationBudget& budget, const Sink& sink);

    bool solid_ = true;
    Selection current_;
    bool saved_ = false;  // LT; keeps the pattern for LT99
    Selection savedSelection_;
    std::array<LinePattern, 8> patterns_{};
    bool haveDot_ = false;
    Point lastDot_;
};

}  // namespace kestrel::reader
