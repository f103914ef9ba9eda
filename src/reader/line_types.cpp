#include "reader/line_types.h"
#include "reader/rounding.h"

#include <algorithm>
#include <cmath>

namespace kestrel::reader {

namespace {

// The fixed line types 1 to 8, in percent of the pattern: dash, gap, dash, ...
constexpr double FixedPatterns[8][8] = {
    {0, 100},
    {50, 50},
    {70, 30},
    {80, 10, 0, 10},
    {70, 10, 10, 10},
    {50, 10, 10, 10, 10, 10},
    {70, 10, 0, 10, 0, 10},
    {50, 10, 0, 10, 10, 10, 0, 10},
};
constexpr int FixedCounts[8] = {2, 2, 2, 4, 4, 6, 6, 8};

LinePattern Fixed(int index) {
    LinePattern p;
    p.count = FixedCounts[index];
    for (int i = 0; i < p.count; ++i)
        p.parts[static_cast<std::size_t>(i)] = FixedPatterns[index][i] / 100;
    return p;
}

Point Along(Point a, Point b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

}  // namespace

void LineTypes::Initialize() {
    solid_ = true;
    current_ = {};
    current_.type = 1;
    saved_ = false;
    for (int i = 0; i < 8; ++i) patterns_[static_cast<std::size_t>(i)] = Fixed(i);
    haveDot_ = false;
}

bool LineTypes::Select(std::span<const double> p) {
    if (p.size() > 3 || !Finite(p)) return false;
    if (p.empty()) {
        if (!solid_) {
            savedSelection_ = current_;
            saved_ = true;
        }
        solid_ = true;
        return true;
    }
    const double type = std::round(p[0]);
    if (type == 99) {
        // Back to the pattern a bare LT put aside, where it was left.
        if (!solid_ || !saved_) return false;
        current_ = savedSelection_;
        solid_ = false;
        return true;
    }
    if (std::fabs(type) > 8) return false;
    if (p.size() >= 2 && !(p[1] > 0)) return false;
    if (p.size() == 3 && p[2] != 0 && p[2] != 1) return false;
    current_.type = static_cast<int>(type);
    if (p.size() >= 2) current_.length = p[1];
    if (p.size() == 3) current_.millimetres = p[2] == 1;
    current_.phase = 0;
    solid_ = false;
    saved_ = false;
    haveDot_ = false;
    return true;
}

bool LineTypes::Define(std::span<const double> p) {
    if (!Finite(p)) return false;
    if (p.empty()) {
        for (int i = 0; i < 8; ++i) patterns_[static_cast<std::size_t>(i)] = Fixed(i);
        return true;
    }
    const double index = std::round(std::fabs(p[0]));
    if (index < 1 || index > 8 || p.size() > 21) return false;
    const auto slot = static_cast<std::size_t>(index) - 1;
    if (p.size() == 1) {
        patterns_[slot] = Fixed(static_cast<int>(slot));
        return true;
    }
    double sum = 0;
    for (std::size_t i = 1; i < p.size(); ++i) {
        if (p[i] < 0) return false;
        sum += p[i];
    }
    if (!(sum > 0)) return false;
    LinePattern pattern;
    pattern.count = static_cast<int>(p.size() - 1);
    for (std::size_t i = 1; i < p.size(); ++i) pattern.parts[i - 1] = p[i] / sum;
    patterns_[slot] = pattern;
    return true;
}

double LineTypes::PatternLength(double diagonal) const {
    return current_.millimetres ? current_.length * PlotterUnitsPerMm
                                : current_.length / 100 * diagonal;
}

void LineTypes::Dots(Point a, Point b, GenerationBudget& budget, const Sink& sink) {
    // Line type 0 marks only the points the pen goes to.
    const bool startDrawn = haveDot_ && lastDot_.x == a.x && lastDot_.y == a.y;
    if (!startDrawn && budget.Take(1)) sink(a, a);
    if (budget.Take(1)) sink(b, b);
    haveDot_ = true;
    lastDot_ = b;
}

namespace {

// The dashes and dots of `patterns` patterns of `period` along a-b, the first begun
// `offset` before a. A dash, or a dot, counts where it starts: one that starts at the
// end of this line, within the rounding of the pattern arithmetic, belongs to the next.
void Pieces(const LinePattern& pattern, Point a, Point b, double length, double period,
            double offset, double patterns, const LineTypes::Sink& sink) {
    const double last = length * (1 - 1e-9);
    for (double k = 0; k < patterns; ++k) {
        double at = k * period - offset;
        for (int i = 0; i < pattern.count; ++i) {
            const double end = at + pattern.parts[static_cast<std::size_t>(i)] * period;
            if (i % 2 == 0) {
                const double lo = std::max(at, 0.0);
                const double hi = std::min(end, length);
                if (end == at ? (at >= 0 && at < last) : (lo < hi && lo < last))
                    sink(Along(a, b, lo / length), Along(a, b, std::max(lo, hi) / length));
            }
            at = end;
        }
    }
}

}  // namespace

void LineTypes::Draw(Point a, Point b, double patternLength, GenerationBudget& budget,
                     const Sink& sink) {
    if (solid_) {
        sink(a, b);
        return;
    }
    if (current_.type == 0) {
        Dots(a, b, budget, sink);
        return;
    }
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const bool adaptive = current_.type < 0;
    const LinePattern& pattern = patterns_[static_cast<std::size_t>(std::abs(current_.type)) - 1];
    if (!(length > 0) || !(patternLength > 0) || !std::isfinite(length)) {
        sink(a, b);
        return;
    }
    double period = patternLength;
    double offset = current_.phase * period;  // how far into a pattern the line begins
    // Patterns counted whole, so that no rounding of their sum puts one more at the end.
    double patterns = std::ceil((offset + length) / period);
    if (adaptive) {
        // Stretched or shrunk to whole patterns, each line starting afresh.
        patterns = std::max(1.0, std::round(length / patternLength));
        period = length / patterns;
        offset = 0;
    }
    const double pieces = (patterns + 1) * std::ceil(pattern.count / 2.0);
    if (!(pieces <= static_cast<double>(budget.Left())) ||
        !budget.Take(static_cast<std::int64_t>(pieces))) {
        sink(a, b);
    } else {
        Pieces(pattern, a, b, length, period, offset, patterns, sink);
    }
    current_.phase = adaptive ? 0 : std::fmod((offset + length) / period, 1.0);
}

}  // namespace kestrel::reader
