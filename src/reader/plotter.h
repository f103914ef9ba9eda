#pragma once

#include <cstdint>
#include <vector>

#include "reader/drawing_state.h"
#include "reader/labels.h"
#include "reader/plot_store.h"
#include "reader/plotter_frame.h"
#include "reader/read_stop.h"
#include "reader/reader.h"

namespace kestrel::reader {

// The pages of a file as plots of the store: slot 1 is the first page with anything
// drawn on it, and so on; empty pages make no plot.
class PlotPages {
public:
    PlotPages(PlotStore& store, std::int32_t segmentLimit);

    // One segment on the page being drawn. Throws Stop at the segment or plot limit.
    void Add(Point from, Point to, std::int16_t pen);
    // One character of a label on the page being drawn by pen `pen`; past the file's
    // character limit it is left out, and counted.
    void AddChar(const PlotChar& c, std::int16_t pen);
    std::int64_t CharsDropped() const { return charsDropped_; }
    bool PageEmpty() const { return count_ == 0 && chars_ == 0; }
    // PG: the page drawn so far becomes a plot, unless nothing is on it.
    void EndPage();
    // End of reading: the store's plot count and the last page's counts.
    void Finish();
    // The Pen value of a segment drawn in `look` on this page; the segment Add is given
    // next counts as drawn by the look's pen.
    std::int16_t PenCode(const PenLook& look) {
        drawingPen_ = look.Pen;
        return codes_.Code(look);
    }
    // A pen-up move of the plotter.
    void Travel(Point from, Point to);
    // VS: pen `pen` (every pen: -1) draws at `cmPerS` from here on; 0: the default.
    void SetVelocity(std::int16_t pen, float cmPerS);
    // The pen the segment Add is given next is drawn by, where its code was looked up before.
    void DrawingWith(std::int16_t pen) { drawingPen_ = pen; }
    // Changes with every page begun.
    std::uint32_t Serial() const { return serial_; }

private:
    void Begin(int slot);
    void Commit();
    // The pen went from `from` to `to` without drawing.
    void KeepTravel(Point from, Point to);
    // A stroke or character in `pen` follows, on the page being drawn.
    void DrawnBy(std::int16_t pen);

    PlotStore& store_;
    std::int32_t limit_;
    std::int32_t total_ = 0;  // segments of all pages
    int slot_ = 1;
    std::int32_t count_ = 0;      // segments of the page being drawn
    std::int32_t charTotal_ = 0;  // characters of all pages
    std::int32_t chars_ = 0;      // characters of the page being drawn
    std::int64_t charsDropped_ = 0;
    bool full_ = false;  // no plot number left for another page
    std::uint32_t serial_ = 0;
    PenCodes codes_;
    float maxX_ = 0, maxY_ = 0, minX_ = 0, minY_ = 0;
    // How the plotter goes about it: where the last stroke or pen-up move on the page left
    // the pen, the pen that drew last, and the velocities in force (every pen first).
    Point at_;
    bool placed_ = false;
    std::int32_t travelTotal_ = 0;  // pen-up moves kept, of all pages
    bool travelCut_ = false;
    std::int16_t drawingPen_ = 0;
    std::int16_t lastPen_ = 0;
    bool drawn_ = false;
    std::int32_t penChanges_ = 0;
    std::vector<VelocityChange> velocities_;
};

// The pen plotter: its pen, where the pen is, and its coordinate systems. Commands move
// the pen through it; what the pen draws goes onto the pages.
class Plotter {
public:
    explicit Plotter(PlotPages& pages) : pages_(pages) { Initialize(); }

    void Initialize();  // IN
    void Defaults();    // DF
    void EndPage();     // PG

    // Moves the pen to `to` (physical units), drawing in the current line type when the
    // pen is down; in polygon mode the move goes into the polygon buffer instead.
    void MoveTo(Point to);
    // A line in the current line type.
    void Draw(Point from, Point to);
    // A solid line in the current pen, clipped to the soft-clip window.
    void Stroke(Point from, Point to);
    // The same drawn in `look` rather than the pen's own (fills).
    void Stroke(Point from, Point to, const PenLook& look);
    // The P1-P2 distance in plotter units, which relative lengths are measured against.
    double Diagonal() const;

    // A point given in current units, absolute or relative to the pen.
    Point Absolute(Point user) const { return frame.UserToPhysical().Apply(user); }
    Point Relative(Point user) const {
        const Point d = frame.UserToPhysical().ApplyLinear(user);
        return {position.x + d.x, position.y + d.y};
    }
    PlotPages& Pages() { return pages_; }

    PlotterFrame frame;
    Point position;  // physical units
    bool penDown = false;
    bool relative = false;  // PR rather than PA
    std::int16_t pen = 1;   // 0: no pen, nothing is drawn
    LabelState labels;
    DrawingState drawing;

private:
    // The Pen value of a line in the pen's own look. Asked for every line, the last answer
    // is kept while neither the pen, the pens' settings nor the page change.
    std::int16_t PenCode();

    PlotPages& pages_;
    std::int16_t codePen_ = -1;
    std::uint32_t codeVersion_ = 0, codePage_ = 0;
    std::int16_t code_ = 0;
};

// Whether a point fits the store's single-precision coordinates.
bool Storable(Point p);

}  // namespace kestrel::reader
