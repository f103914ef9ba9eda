#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "reader/plot_store.h"
#include "view/stroke_target.h"

namespace kestrel::view {

// Where plotter units land on an output: x' = originX + scaleX (x - fromX), likewise y.
// An output whose y grows downwards has a negative scaleY.
struct PlotMap {
    double originX = 0;
    double originY = 0;
    double fromX = 0;
    double fromY = 0;
    double scaleX = 1;
    double scaleY = 1;

    double X(float x) const { return originX + scaleX * (static_cast<double>(x) - fromX); }
    double Y(float y) const { return originY + scaleY * (static_cast<double>(y) - fromY); }
};

struct WalkOptions {
    PlotMap map;
    // Label strokes are drawn to this detail, in output units (see ForEachCharStroke).
    double labelDetail = 0;
    bool penWidths = true;    // false: every line a hair-line
    bool labelWidths = true;  // false: label strokes hair-lines
    // Pens, as the file numbers them (sorted), whose strokes are left out.
    std::vector<std::int16_t> hiddenPens;
    // After the drawing, the plot's pen-up moves as dotted hair-lines.
    bool travel = false;
};

// The look of pen-up moves.
inline constexpr StrokeLook TravelLook{.colour = {150, 150, 150}, .width = 0, .dotted = true};

// One walk over a plot's strokes, the one every output draws a plot by: its segments in
// store order, then its labels' strokes, each in its pen's look. A run of strokes of one
// pen is one path, and a stroke that starts where the last ended goes on with its
// subpath; the order is kept, so later lines still cover earlier ones. The walk can stop
// after any segment or character and go on later, the store's tables read afresh.
class PlotWalk {
public:
    PlotWalk() = default;  // nothing to walk
    PlotWalk(const reader::PlotStore& store, int slot, const WalkOptions& options);
    // A walk over the listed segments and characters only (record numbers, ascending), such
    // as a spatial index finds for a part of the plot: the same strokes in the same order
    // as the walk over all, less those that cannot show there.
    PlotWalk(const reader::PlotStore& store, int slot, const WalkOptions& options,
             std::vector<std::uint32_t> lines, std::vector<std::uint32_t> chars);

    // Passes strokes on to `target` until all are passed or the target has spent `budget`
    // more (checked before each segment and each character). The path under way is
    // stroked before it returns.
    void Continue(const reader::PlotStore& store, StrokeTarget& target,
                  double budget = std::numeric_limits<double>::infinity());

    bool Finished() const {
        return next_ > count_ && nextChar_ > charCount_ && nextMove_ >= moveCount_;
    }
    // Hands the lists' memory over for another walk's lists, leaving this walk with nothing
    // left to walk.
    void GiveListsTo(std::vector<std::uint32_t>& lines, std::vector<std::uint32_t>& chars);
    // The share of segments and characters passed on, 0 to 1.
    double Done() const;
    // Leaves the rest out.
    void Stop();

private:
    void Clamp(const reader::PlotStore& store);
    void SetPen(const reader::PlotStore& store, StrokeTarget& target, std::int16_t pen,
                bool widths);
    void Lines(const reader::PlotStore& store, StrokeTarget& target, double limit);
    void Labels(const reader::PlotStore& store, StrokeTarget& target, double limit);
    // Passes on a stroke from (X1, Y1) to (X2, Y2) in `Pen`, mapped by `map`.
    void Pass(const reader::PlotStore& store, StrokeTarget& target, const reader::PlotLine& stroke,
              const PlotMap& map, bool widths);
    void EndPath(StrokeTarget& target);
    void Travel(const reader::PlotStore& store, StrokeTarget& target, double limit);
    // Whether strokes in `Pen` are left out.
    bool Hidden(const reader::PlotStore& store, std::int16_t pen);

    int slot_ = 0;
    WalkOptions options_;
    std::int32_t next_ = 1;       // the next segment
    std::int32_t count_ = 0;      // segments 1..count_ are walked
    std::int64_t nextChar_ = 1;   // the next character
    std::int64_t charCount_ = 0;  // then characters 1..charCount_
    // With lists, next_ and nextChar_ count list entries, from 1.
    bool listed_ = false;
    std::vector<std::uint32_t> lineList_;
    std::vector<std::uint32_t> charList_;
    // The path under way: its pen, and where its last stroke ended (plotter units for
    // segments, output units for label strokes).
    bool open_ = false;
    std::int16_t pen_ = 0;
    float endX_ = 0;
    float endY_ = 0;
    // Then the pen-up moves from 0 to moveCount_ - 1, when they are shown.
    std::size_t nextMove_ = 0;
    std::size_t moveCount_ = 0;
    // The last Pen asked about, and whether it is hidden.
    bool hiddenKnown_ = false;
    std::int16_t hiddenCode_ = 0;
    bool hidden_ = false;
};

// Segments 1..n of plot `slot` that the store holds; 0 when the slot does not exist.
std::int32_t StoredLineCount(const reader::PlotStore& store, int slot);

}  // namespace kestrel::view
