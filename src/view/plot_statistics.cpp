#include "view/plot_statistics.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <unordered_map>

#include "reader/units.h"
#include "view/label_strokes.h"
#include "view/plot_walk.h"

namespace kestrel::view {

namespace {

using reader::PlotStore;
using reader::VelocityChange;

double LengthMm(double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy) * reader::MmPerPlotterUnit;
}

// Seconds a move of `mm` takes at `cmPerS`.
double Seconds(double mm, float cmPerS) { return mm / (10.0 * cmPerS); }

// The velocities in force as a run of strokes goes on: the changes are replayed up to the
// stroke at hand, counted in segments or in characters.
class VelocityReplay {
public:
    VelocityReplay(std::span<const VelocityChange> changes, bool byChar)
        : changes_(changes), byChar_(byChar) {}

    // Takes in the changes that come into force by stroke `index`; true when any did.
    bool Reach(std::int64_t index) {
        bool changed = false;
        for (; next_ < changes_.size(); ++next_) {
            const VelocityChange& c = changes_[next_];
            if ((byChar_ ? c.Char : c.Line) > index) break;
            const float speed = c.CmPerS > 0 ? c.CmPerS : reader::DefaultVelocityCmPerS;
            if (c.Pen < 0) {
                every_ = speed;
                pens_.clear();
            } else {
                pens_[c.Pen] = speed;
            }
            changed = true;
        }
        return changed;
    }
    float Of(std::int16_t pen) const {
        const auto it = pens_.find(pen);
        return it != pens_.end() ? it->second : every_;
    }

private:
    std::span<const VelocityChange> changes_;
    bool byChar_;
    std::size_t next_ = 0;
    float every_ = reader::DefaultVelocityCmPerS;
    std::unordered_map<std::int16_t, float> pens_;
};

// Adds strokes up pen by pen; a run of one pen costs one look-up.
class Tally {
public:
    Tally(const PlotStore& store, int slot, PlotStatistics& stats)
        : store_(store), slot_(slot), stats_(stats) {}

    // Makes `code` (a segment's or a character's Pen as the store keeps it) the pen the next
    // strokes count for; returns its number.
    std::int16_t Select(std::int16_t code, bool isChar) {
        if (have_ && code == code_ && isChar == isChar_) return stats_.pens[index_].pen;
        const std::int16_t pen = store_.PenNumber(slot_, code);
        auto [it, added] = indices_.try_emplace(pen, stats_.pens.size());
        if (added) stats_.pens.push_back({pen, PenStyleOf(store_, slot_, code), 0, 0, 0});
        index_ = it->second;
        code_ = code;
        isChar_ = isChar;
        have_ = true;
        return pen;
    }
    void Stroke(double mm, float cmPerS) {
        stats_.pens[index_].drawnMm += mm;
        stats_.penDownMm += mm;
        stats_.seconds += Seconds(mm, cmPerS);
    }
    void Count() { ++(isChar_ ? stats_.pens[index_].characters : stats_.pens[index_].segments); }

private:
    const PlotStore& store_;
    int slot_;
    PlotStatistics& stats_;
    std::unordered_map<std::int16_t, std::size_t> indices_;
    bool have_ = false;
    bool isChar_ = false;
    std::int16_t code_ = 0;
    std::size_t index_ = 0;
};

void AddSegments(const PlotStore& store, int slot, Tally& tally) {
    const reader::Plot& plot = store.plots[static_cast<std::size_t>(slot)];
    VelocityReplay speeds(plot.Velocities, false);
    const std::int32_t count = StoredLineCount(store, slot);
    float speed = 0;
    std::int16_t code = 0;
    for (std::int32_t i = 1; i <= count; ++i) {
        const reader::PlotLine& l = plot.PlotLines[static_cast<std::size_t>(i)];
        if (speeds.Reach(i) || i == 1 || l.Pen != code) {
            speed = speeds.Of(tally.Select(l.Pen, false));
            code = l.Pen;
        }
        tally.Stroke(LengthMm(l.X1, l.Y1, l.X2, l.Y2), speed);
        tally.Count();
    }
}

// Label strokes draw as segments do; the pen is lifted between strokes that do not join.
void AddLabels(const PlotStore& store, int slot, Tally& tally, PlotStatistics& stats) {
    const reader::Plot& plot = store.plots[static_cast<std::size_t>(slot)];
    VelocityReplay speeds(plot.Velocities, true);
    const std::int64_t count = StoredCharCount(store, slot);
    float speed = 0;
    std::int16_t pen = 0;
    bool placed = false;
    float endX = 0, endY = 0;
    for (std::int64_t i = 1; i <= count; ++i) {
        const reader::PlotChar& c = plot.PlotChars[static_cast<std::size_t>(i)];
        if (speeds.Reach(i) || i == 1 || c.Pen != pen) {
            speed = speeds.Of(tally.Select(c.Pen, true));
            pen = c.Pen;
        }
        tally.Count();
        ForEachCharStroke(c, [&](float x1, float y1, float x2, float y2, std::int16_t) {
            if (placed && (x1 != endX || y1 != endY)) stats.penUpMm += LengthMm(endX, endY, x1, y1);
            tally.Stroke(LengthMm(x1, y1, x2, y2), speed);
            endX = x2;
            endY = y2;
            placed = true;
        });
    }
}

}  // namespace

PlotStatistics PlotStatisticsOf(const PlotStore& store, int slot) {
    PlotStatistics stats;
    if (slot < 1 || !store.ValidSlot(slot)) return stats;
    const reader::Plot& plot = store.plots[static_cast<std::size_t>(slot)];
    Tally tally(store, slot, stats);
    AddSegments(store, slot, tally);
    AddLabels(store, slot, tally, stats);
    for (const reader::TravelMove& m : plot.Travel)
        stats.penUpMm += LengthMm(m.X1, m.Y1, m.X2, m.Y2);
    stats.penUpKnown = plot.TravelKept;
    stats.penUpPartial = plot.TravelCut;
    stats.seconds += Seconds(stats.penUpMm, reader::DefaultVelocityCmPerS);
    stats.penChanges = plot.PenChanges;
    std::sort(stats.pens.begin(), stats.pens.end(),
              [](const PenStatistics& a, const PenStatistics& b) { return a.pen < b.pen; });
    return stats;
}

}  // namespace kestrel::view
