#pragma once

#include <array>
#include <cmath>
#include <vector>

#include "view/stroke_target.h"

namespace kestrel::view {

struct Vec {
    double x = 0;
    double y = 0;
};

// A piece of a wide stroke's outline: a convex polygon of up to six points, or a disc.
struct StrokePiece {
    std::array<Vec, 6> points{};
    int count = 0;  // 0: the disc
    Vec centre;
    double radius = 0;
};

// What an output that strokes round, butt and square ends and round, beveled and mitered
// (else beveled) corners itself strokes of a look; the rest it adds as pieces. Without
// joins every line is a subpath of its own, ended butt.
struct NativeStroke {
    LineCap cap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    bool splitCorners = false;
};
NativeStroke NativeOf(const StrokeLook& look);

// Follows the subpaths of a wide stroke and gives the pieces its look has beyond what the
// output strokes itself (`native`): the caps at the ends of each subpath, the joins at its
// corners, and with `bodies` each line's body as a butt-ended band. Positions and the width
// are in the output's units.
class StrokeShaper {
public:
    StrokeShaper() = default;
    StrokeShaper(const StrokeLook& look, const NativeStroke& native, bool bodies);

    // Sink: void(const StrokePiece&).
    template <typename Sink>
    void MoveTo(Vec p, Sink&& sink) {
        End(sink);
        at_ = p;
    }
    template <typename Sink>
    void LineTo(Vec p, Sink&& sink);
    // The subpath under way ends: its end cap.
    template <typename Sink>
    void End(Sink&& sink) {
        if (lines_ > 0 && caps_) sink(Cap(at_, direction_));
        lines_ = 0;
    }

    StrokePiece Cap(Vec end, Vec outward) const;
    // The corner at `at` from a line going `in` to one going `out` (unit vectors).
    bool Join(Vec at, Vec in, Vec out, StrokePiece& piece) const;
    StrokePiece Body(Vec a, Vec b, Vec direction) const;

private:
    LineCap cap_ = LineCap::Round;
    LineJoin join_ = LineJoin::Round;
    double half_ = 0;
    double miterLimit_ = 5;
    bool caps_ = false, joins_ = false, bodies_ = false;
    Vec at_;
    Vec direction_{1, 0};  // of the last line
    long lines_ = 0;       // of the subpath under way
};

template <typename Sink>
void StrokeShaper::LineTo(Vec p, Sink&& sink) {
    const double dx = p.x - at_.x, dy = p.y - at_.y;
    const double length = std::hypot(dx, dy);
    // A line of no length keeps the direction it had (along x, at first).
    const Vec direction =
        length > 0 && std::isfinite(length) ? Vec{dx / length, dy / length} : direction_;
    if (lines_ == 0) {
        if (caps_) sink(Cap(at_, {-direction.x, -direction.y}));
    } else if (joins_) {
        StrokePiece piece;
        if (Join(at_, direction_, direction, piece)) sink(piece);
    }
    if (bodies_ && length > 0) sink(Body(at_, p, direction));
    direction_ = direction;
    at_ = p;
    ++lines_;
}

// What a path writer (SVG, PDF) keeps of the path under way: where it is, and for a wide
// look with ends or corners the format does not stroke itself, the pieces to fill beside it.
class PathPieces {
public:
    // A new path; returns what the format strokes of `look` itself.
    NativeStroke Start(const StrokeLook& look) {
        shaped_ = look.width > 0 && !look.Round();
        const NativeStroke native = shaped_ ? NativeOf(look) : NativeStroke{};
        if (shaped_) shaper_ = StrokeShaper(look, native, false);
        split_ = native.splitCorners;
        return native;
    }
    bool Shaped() const { return shaped_; }
    // Without joins each line is a subpath of its own: true, with where the last line ended,
    // when the next line must start again there.
    bool Restart(double& x, double& y) const {
        x = x_;
        y = y_;
        return split_ && afterLine_;
    }
    void Follow(double x, double y, bool line) {
        x_ = x;
        y_ = y;
        afterLine_ = line;
        if (!shaped_) return;
        const auto keep = [this](const StrokePiece& p) { pieces_.push_back(p); };
        if (line) {
            shaper_.LineTo({x, y}, keep);
        } else {
            shaper_.MoveTo({x, y}, keep);
        }
    }
    // The path is complete: its pieces, the last end cap included, until the next Start.
    const std::vector<StrokePiece>& Finish() {
        if (shaped_) shaper_.End([this](const StrokePiece& p) { pieces_.push_back(p); });
        finished_.swap(pieces_);
        pieces_.clear();
        return finished_;
    }

private:
    bool shaped_ = false, split_ = false;
    double x_ = 0, y_ = 0;
    bool afterLine_ = false;  // the last point ended a line
    StrokeShaper shaper_;
    std::vector<StrokePiece> pieces_, finished_;
};

}  // namespace kestrel::view
