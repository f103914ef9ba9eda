#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "reader/plot_store.h"

namespace kestrel::view {

// A closed rectangle in plotter units. One with minX > maxX or minY > maxY, or a NaN
// side, holds nothing.
struct PlotArea {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// Whether a segment may show in `area`: it touches the rectangle (a zero-length segment as
// its point). Rounding only ever keeps a segment, and one with a NaN coordinate is kept.
// A caller drawing wide pens widens the area by half the widest pen first.
bool LineMeetsArea(const reader::PlotLine& line, const PlotArea& area);

// Whether the box of a character's strokes (reader::CharBounds) touches `area`.
bool CharMeetsArea(const reader::PlotChar& c, const PlotArea& area);

// The tables of plot `slot` as an index is built over them: records 0..LineCount
// (0..CharCount) as far as the store holds them; empty when the slot does not exist.
std::span<const reader::PlotLine> IndexedLines(const reader::PlotStore& store, int slot);
std::span<const reader::PlotChar> IndexedChars(const reader::PlotStore& store, int slot);

// Finds the segments and label characters of one plot that meet a rectangle, so that a
// zoomed view draws only what it shows. Answers hold record numbers in ascending order,
// the order the plot draws in (later segments paint over earlier ones), each at most once:
// exactly the records LineMeetsArea (CharMeetsArea) accepts.
//
// The index refers to the tables it was built from and answers from their coordinates:
// build it again after they change. A turn (interact::RotatePlot) rewrites every
// coordinate, and the index is rebuilt then: about 11 ms for 1.5 million segments, twice
// the turn itself, as a turn moves every run's corner. Nudging the labels
// (interact::ShiftPlotChars) needs only BuildChars.
class SpatialIndex {
public:
    // `lines` and `chars` are tables as the store keeps them: records 1..size-1, record 0
    // unused (pass records 0..LineCount and 0..CharCount). Throws std::length_error past
    // 2^31 - 1 records, std::bad_alloc when memory runs out.
    void Build(std::span<const reader::PlotLine> lines, std::span<const reader::PlotChar> chars);
    void BuildChars(std::span<const reader::PlotChar> chars);

    // Replaces `found` with the record numbers meeting `area`. The vector serves as working
    // space too (a little more than the candidates): one kept from frame to frame allocates
    // once. At the fitted view, drawing every record in order is quicker than asking.
    void FindLines(const PlotArea& area, std::vector<std::uint32_t>& found) const;
    void FindChars(const PlotArea& area, std::vector<std::uint32_t>& found) const;

    // Memory the index holds, the tables it refers to not included.
    std::size_t MemoryBytes() const { return lineGrid_.MemoryBytes() + charGrid_.MemoryBytes(); }

    // A stack of square grids over the records' boxes, each level's cells twice the size of
    // the level below; the top level is one cell. Consecutive records that lie together
    // (a polyline's segments, a label's characters) form runs of up to 16, and each run is
    // filed once, by its box's lower-left corner, in the lowest level whose cells are
    // larger than the box. A query looks at the cells its rectangle covers, widened by one
    // cell down and left at each level, so that a run is found however far it reaches;
    // then it sorts the runs into store order and tests their records exactly.
    //
    // Filing a long segment in every cell it crosses would cost memory without bound, and
    // a flat grid with a list of long segments degrades on plots of mixed lengths (hatching
    // across a drawing). Here memory is one 4-byte start per cell and one 4-byte entry per
    // run (under half a byte a segment on the benchmark plots, 4.2 bytes at worst, when no
    // two consecutive records lie together), and building reads the table once. Cells hold
    // about 32 records, or a run of typical records where those are long; the grid spans
    // where most corners lie, so that a stray point at 1e30 does not squeeze the drawing into
    // one cell (a few far-off records land in its edge cells).
    struct Grid {
        struct Level {
            double cellSize = 0;
            double inverse = 0;  // 1 / cellSize, for mapping coordinates to cells
            std::uint32_t columns = 1;
            std::uint32_t rows = 1;
            std::uint32_t firstCell = 0;  // in cellStart
        };
        double originX = 0;
        double originY = 0;
        std::uint32_t recordEnd = 0;  // record numbers run below it
        int runBits = 0;              // a run's length less one in its low bits
        std::vector<Level> levels;
        std::vector<std::uint32_t> cellStart;  // per cell, into `runs`; one more at the end
        // First record << runBits | length - 1, ascending within each cell.
        std::vector<std::uint32_t> runs;

        std::size_t MemoryBytes() const {
            return levels.capacity() * sizeof(Level) +
                   (cellStart.capacity() + runs.capacity()) * sizeof(std::uint32_t);
        }
    };

private:
    std::span<const reader::PlotLine> lines_;
    std::span<const reader::PlotChar> chars_;
    Grid lineGrid_;
    Grid charGrid_;
};

}  // namespace kestrel::view
