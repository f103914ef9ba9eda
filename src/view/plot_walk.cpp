#include "view/plot_walk.h"

#include <algorithm>
#include <cmath>

#include "view/label_strokes.h"
#include "view/pen_style.h"

namespace kestrel::view {

using reader::PlotStore;

namespace {

// The map for the strokes of labels, which the font gives relative to the origin.
StrokeMap LabelMap(const PlotMap& map) {
    return {map.originX - map.scaleX * map.fromX, map.originY - map.scaleY * map.fromY, map.scaleX,
            map.scaleY};
}

}  // namespace

std::int32_t StoredLineCount(const PlotStore& store, int slot) {
    if (slot < 1 || !store.ValidSlot(slot)) return 0;
    const std::int64_t count = store.plots[slot].LineCount;
    const auto stored = static_cast<std::int64_t>(store.plots[slot].PlotLines.size()) - 1;
    return static_cast<std::int32_t>(std::max<std::int64_t>(0, std::min(count, stored)));
}

PlotWalk::PlotWalk(const PlotStore& store, int slot, const WalkOptions& options)
    : slot_(slot),
      options_(options),
      count_(StoredLineCount(store, slot)),
      charCount_(StoredCharCount(store, slot)),
      moveCount_(options.travel && slot >= 1 && store.ValidSlot(slot)
                     ? store.plots[slot].Travel.size()
                     : 0) {}

PlotWalk::PlotWalk(const PlotStore& store, int slot, const WalkOptions& options,
                   std::vector<std::uint32_t> lines, std::vector<std::uint32_t> chars)
    : PlotWalk(store, slot, options) {
    listed_ = true;
    lineList_ = std::move(lines);
    charList_ = std::move(chars);
    // Records the store does not hold are left out, as the walk over all leaves them.
    const auto upTo = [](std::vector<std::uint32_t>& list, std::int64_t count) {
        list.erase(std::upper_bound(list.begin(), list.end(), count), list.end());
        if (!list.empty() && list.front() == 0) list.erase(list.begin());
        return static_cast<std::int64_t>(list.size());
    };
    count_ = static_cast<std::int32_t>(upTo(lineList_, count_));
    charCount_ = upTo(charList_, charCount_);
}

void PlotWalk::GiveListsTo(std::vector<std::uint32_t>& lines, std::vector<std::uint32_t>& chars) {
    lines.swap(lineList_);
    chars.swap(charList_);
    // Whatever came back in exchange is not this walk's: nothing is left to walk.
    lineList_.clear();
    charList_.clear();
    next_ = 1;
    nextChar_ = 1;
    nextMove_ = 0;
    Stop();
}

double PlotWalk::Done() const {
    const double all = static_cast<double>(count_) + static_cast<double>(charCount_) +
                       static_cast<double>(moveCount_);
    return all > 0 ? (static_cast<double>(next_ - 1) + static_cast<double>(nextChar_ - 1) +
                      static_cast<double>(nextMove_)) /
                         all
                   : 1.0;
}

void PlotWalk::Stop() {
    count_ = next_ - 1;
    charCount_ = nextChar_ - 1;
    moveCount_ = nextMove_;
}

// The store may have changed since the walk began; never read past its tables.
void PlotWalk::Clamp(const PlotStore& store) {
    const auto stored = store.ValidSlot(slot_)
                            ? static_cast<std::int64_t>(store.plots[slot_].PlotLines.size()) - 1
                            : 0;
    moveCount_ = std::min(
        moveCount_, store.ValidSlot(slot_) ? store.plots[slot_].Travel.size() : std::size_t{0});
    if (listed_) {
        // The lists are ascending: what lies beyond the tables is at their ends.
        while (count_ > 0 && lineList_[count_ - 1] > stored) --count_;
        const std::int64_t chars = StoredCharCount(store, slot_);
        while (charCount_ > 0 && charList_[charCount_ - 1] > chars) --charCount_;
        return;
    }
    if (count_ > stored) count_ = static_cast<std::int32_t>(stored);
    charCount_ = std::min(charCount_, StoredCharCount(store, slot_));
}

void PlotWalk::Continue(const PlotStore& store, StrokeTarget& target, double budget) {
    Clamp(store);
    const double limit = target.Spent() + budget;
    if (next_ <= count_) {
        Lines(store, target, limit);
        EndPath(target);  // the labels' paths are their own
    }
    if (next_ > count_ && nextChar_ <= charCount_) Labels(store, target, limit);
    EndPath(target);
    if (next_ > count_ && nextChar_ > charCount_ && nextMove_ < moveCount_)
        Travel(store, target, limit);
}

// Drawn over the plot, so that they show where they cross it.
void PlotWalk::Travel(const PlotStore& store, StrokeTarget& target, double limit) {
    const PlotMap& map = options_.map;
    const reader::TravelMove* moves = store.plots[slot_].Travel.data();
    target.SetPen(TravelLook);
    for (; nextMove_ < moveCount_ && target.Spent() < limit; ++nextMove_) {
        const reader::TravelMove& m = moves[nextMove_];
        target.MoveTo(map.X(m.X1), map.Y(m.Y1));
        target.LineTo(map.X(m.X2), map.Y(m.Y2));
    }
    target.Stroke();
}

bool PlotWalk::Hidden(const PlotStore& store, std::int16_t pen) {
    if (!hiddenKnown_ || pen != hiddenCode_) {
        const std::vector<std::int16_t>& hidden = options_.hiddenPens;
        hidden_ = std::binary_search(hidden.begin(), hidden.end(), store.PenNumber(slot_, pen));
        hiddenCode_ = pen;
        hiddenKnown_ = true;
    }
    return hidden_;
}

void PlotWalk::EndPath(StrokeTarget& target) {
    if (open_) target.Stroke();
    open_ = false;
}

// A pen's look on the output: its width scales with the plot, as the whole drawing does.
void PlotWalk::SetPen(const PlotStore& store, StrokeTarget& target, std::int16_t pen, bool widths) {
    EndPath(target);
    const PenStyle style = PenStyleOf(store, slot_, pen);
    const double unitsPerMm =
        widths ? reader::PlotterUnitsPerMm * std::abs(options_.map.scaleX) : 0;
    target.SetPen(
        {style.colour, style.widthMm * unitsPerMm, style.cap, style.join, style.miterLimit});
    pen_ = pen;
    open_ = true;
}

// A stroke in another pen starts a path, and one that does not start where the last one
// ended a subpath.
inline void PlotWalk::Pass(const PlotStore& store, StrokeTarget& target,
                           const reader::PlotLine& stroke, const PlotMap& map, bool widths) {
    if (!options_.hiddenPens.empty() && Hidden(store, stroke.Pen)) return;
    const bool goesOn = open_ && stroke.Pen == pen_ && stroke.X1 == endX_ && stroke.Y1 == endY_;
    if (!open_ || stroke.Pen != pen_) SetPen(store, target, stroke.Pen, widths);
    if (!goesOn) target.MoveTo(map.X(stroke.X1), map.Y(stroke.Y1));
    target.LineTo(map.X(stroke.X2), map.Y(stroke.Y2));
    endX_ = stroke.X2;
    endY_ = stroke.Y2;
}

// With lists, the n-th stroke walked is the list's n-th entry; without, the store's n-th.
void PlotWalk::Lines(const PlotStore& store, StrokeTarget& target, double limit) {
    const reader::PlotLine* lines = store.plots[slot_].PlotLines.data();
    auto walk = [&](auto stored) {
        for (; next_ <= count_ && target.Spent() < limit; ++next_)
            Pass(store, target, lines[stored(next_)], options_.map, options_.penWidths);
    };
    if (listed_) {
        walk([this](std::int32_t n) { return lineList_[static_cast<std::size_t>(n) - 1]; });
    } else {
        walk([](std::int32_t n) { return n; });
    }
}

void PlotWalk::Labels(const PlotStore& store, StrokeTarget& target, double limit) {
    // The font's strokes come mapped already.
    const PlotMap mapped;
    auto stroke = [&](float x1, float y1, float x2, float y2, std::int16_t pen) {
        Pass(store, target, {.X1 = x1, .X2 = x2, .Y1 = y1, .Y2 = y2, .Pen = pen}, mapped,
             options_.labelWidths);
    };
    const reader::PlotChar* chars = store.plots[slot_].PlotChars.data();
    const StrokeMap map = LabelMap(options_.map);
    for (; nextChar_ <= charCount_ && target.Spent() < limit; ++nextChar_) {
        const auto at = listed_ ? charList_[static_cast<std::size_t>(nextChar_) - 1] : nextChar_;
        ForEachCharStroke(chars[at], stroke, map, options_.labelDetail);
    }
}

}  // namespace kestrel::view
