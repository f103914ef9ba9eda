#pragma once

#include <cstdint>

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
    // One character of a label on the page being drawn; past the file's character
    // limit it is left out, and counted.
    void AddChar(const PlotChar& c);
    std::int64_t CharsDropped() const { return charsDropped_; }
    bool PageEmpty() const { return count_ == 0 && chars_ == 0; }
    // PG: the page drawn so far becomes a plot, unless nothing is on it.
    void EndPage();
    // End of reading: the store's plot count and the last page's counts.
    void Finish();
    // The Pen value of a segment drawn in `look` on this page.
    std::int16_t PenCode(const PenLook& look) { return codes_.Code(look); }

private:
    void Begin(int slot);
    void Commit();

    PlotStore& store_;
    std::int32_t limit_;
    std::int32_t total_ = 0;  // segments of all pages
    int slot_ = 1;
    std::int32_t count_ = 0;      // segments of the page being drawn
    std::int32_t charTotal_ = 0;  // characters of all pages
    std::int32_t chars_ = 0;      // characters of the page being drawn
    std::int64_t charsDropped_ = 0;
    bool full_ = false;  // no plot number left for another page
    PenCodes codes_;
    float maxX_ = 0, maxY_ = 0, minX_ = 0, minY_ = 0;
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
    // The same drawn `widthMm` wide, whatever the pen's own width (solid fills).
    void Stroke(Point from, Point to, float widthMm);
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
    PlotPages& pages_;
};

// Whether a point fits the store's single-precision coordinates.
bool Storable(Point p);

}  // namespace kestrel::reader
