#include "reader/polygons.h"

#include <algorithm>
#include <cmath>

namespace kestrel::reader {

namespace {

// More lines than this in one fill are drawn further apart; a fill that fine is solid
// to the eye anyway (16384 lines of a 0.35 mm pen cover 5.7 m).
constexpr std::int64_t MaxHatchLines = 16384;

bool Same(Point a, Point b) { return a.x == b.x && a.y == b.y; }

}  // namespace

void PolygonBuffer::Enter(Point from) {
    vertices_.clear();
    vertices_.push_back({from, false, true});
    subStart_ = 0;
    active_ = true;
    nextStarts_ = false;
}

void PolygonBuffer::CloseSubpolygon(bool penDown) {
    if (vertices_.size() > subStart_ + 1 && !nextStarts_) {
        const Point first = vertices_[subStart_].p;
        if (!Same(vertices_.back().p, first)) vertices_.push_back({first, penDown, false});
    }
    nextStarts_ = true;
}

void PolygonBuffer::Exit(bool penDown) {
    CloseSubpolygon(penDown);
    active_ = false;
}

void PolygonBuffer::Clear() {
    vertices_.clear();
    subStart_ = 0;
    active_ = false;
    nextStarts_ = false;
}

void PolygonBuffer::Add(Point p, bool penDown) {
    if (nextStarts_ || vertices_.empty()) {
        subStart_ = vertices_.size();
        vertices_.push_back({p, false, true});
        nextStarts_ = false;
        return;
    }
    vertices_.push_back({p, penDown, false});
}

void PolygonBuffer::AddClosed(const std::vector<Point>& outline) {
    if (outline.empty()) return;
    // The subpolygon before a circle closes as its last edge was drawn.
    CloseSubpolygon(vertices_.size() > subStart_ + 1 && vertices_.back().penDown);
    subStart_ = vertices_.size();
    vertices_.push_back({outline.front(), false, true});
    for (std::size_t i = 1; i < outline.size(); ++i) vertices_.push_back({outline[i], true, false});
    if (!Same(outline.back(), outline.front())) vertices_.push_back({outline.front(), true, false});
    nextStarts_ = true;
}

void PolygonBuffer::Set(const std::vector<Point>& outline) {
    Clear();
    AddClosed(outline);
    nextStarts_ = false;
}

namespace {

// A quarter turn's sine and cosine exactly, so that lines along an edge are all on one side.
double Exact(double v) { return std::fabs(v) < 1e-12 ? 0 : v; }

}  // namespace

Hatch::Hatch(const PolygonBuffer& polygon, double spacing, double angle, Point anchor)
    : anchor_(anchor), cos_(Exact(std::cos(angle))), sin_(Exact(std::sin(angle))) {
    const auto& vertices = polygon.Vertices();
    auto addEdge = [this](Point a, Point b) {
        const double ax = a.x - anchor_.x, ay = a.y - anchor_.y;
        const double bx = b.x - anchor_.x, by = b.y - anchor_.y;
        const Edge e{-sin_ * ax + cos_ * ay, -sin_ * bx + cos_ * by, cos_ * ax + sin_ * ay,
                     cos_ * bx + sin_ * by};
        // An edge along the lines crosses none of them; the edges next to it close the gap.
        if (e.v0 != e.v1 && std::isfinite(e.v0) && std::isfinite(e.v1)) edges_.push_back(e);
    };
    // Every subpolygon is filled as closed, pen-up edges included.
    for (std::size_t start = 0; start < vertices.size();) {
        std::size_t end = start + 1;
        while (end < vertices.size() && !vertices[end].starts) ++end;
        for (std::size_t i = start + 1; i < end; ++i) addEdge(vertices[i - 1].p, vertices[i].p);
        if (end - start > 2) addEdge(vertices[end - 1].p, vertices[start].p);
        start = end;
    }
    if (edges_.empty()) return;
    std::sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) {
        return std::min(a.v0, a.v1) < std::min(b.v0, b.v1);
    });
    minV_ = std::min(edges_.front().v0, edges_.front().v1);
    maxV_ = minV_;
    for (const Edge& e : edges_) maxV_ = std::max({maxV_, e.v0, e.v1});
    Layout(spacing);
}

void Hatch::Layout(double spacing) {
    lines_ = 0;
    crossings_ = 0;
    if (edges_.empty() || !(spacing > 0) || !std::isfinite(spacing)) return;
    const double range = maxV_ - minV_;
    if (!std::isfinite(range)) return;
    spacing_ = std::max(spacing, range / MaxHatchLines);
    // A line belongs to an edge from its lower end up to, not including, its upper end,
    // so that a line through a vertex is crossed once by the edges meeting there.
    firstLine_ = std::ceil(minV_ / spacing_);
    const double last = std::ceil(maxV_ / spacing_) - 1;
    if (!(last >= firstLine_) || std::fabs(firstLine_) > 1e15) return;
    lines_ = static_cast<std::int64_t>(last - firstLine_) + 1;
    for (const Edge& e : edges_) {
        crossings_ +=
            std::ceil(std::max(e.v0, e.v1) / spacing_) - std::ceil(std::min(e.v0, e.v1) / spacing_);
    }
}

void Hatch::Fit(GenerationBudget& budget) {
    // Each round at least doubles the spacing; a fill that still does not fit when its
    // lines are that far apart is not drawn.
    for (int round = 0; round < 64 && lines_ > 0; ++round) {
        const double cost = crossings_ / 2 + static_cast<double>(lines_);
        if (cost <= static_cast<double>(budget.Left())) {
            budget.Take(static_cast<std::int64_t>(cost));
            return;
        }
        const double left = static_cast<double>(std::max<std::int64_t>(budget.Left(), 1));
        Layout(spacing_ * std::max(2.0, std::ceil(cost / left)));
    }
    lines_ = 0;
}

void Hatch::Draw(bool nonZero, const Sink& sink) const {
    struct Crossing {
        double u;
        int direction;
    };
    std::vector<std::size_t> active;
    std::vector<Crossing> crossings;
    std::size_t next = 0;
    for (std::int64_t line = 0; line < lines_; ++line) {
        const double v = (firstLine_ + static_cast<double>(line)) * spacing_;
        while (next < edges_.size() && std::min(edges_[next].v0, edges_[next].v1) <= v)
            active.push_back(next++);
        crossings.clear();
        for (std::size_t i = 0; i < active.size();) {
            const Edge& e = edges_[active[i]];
            if (std::max(e.v0, e.v1) <= v) {
                active[i] = active.back();
                active.pop_back();
                continue;
            }
            crossings.push_back(
                {e.u0 + (v - e.v0) * (e.u1 - e.u0) / (e.v1 - e.v0), e.v1 > e.v0 ? 1 : -1});
            ++i;
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.u < b.u; });
        const auto at = [&](double u) {
            return Point{anchor_.x + u * cos_ - v * sin_, anchor_.y + u * sin_ + v * cos_};
        };
        int winding = 0;
        double from = 0;
        for (std::size_t i = 0; i < crossings.size(); ++i) {
            const int before = winding;
            winding += crossings[i].direction;
            const bool inBefore = nonZero ? before != 0 : (i % 2 == 1);
            const bool inAfter = nonZero ? winding != 0 : (i % 2 == 0);
            if (!inBefore && inAfter) from = crossings[i].u;
            if (inBefore && !inAfter && crossings[i].u > from)
                sink(at(from), at(crossings[i].u), line);
        }
    }
}

}  // namespace kestrel::reader
