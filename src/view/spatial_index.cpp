#include "view/spatial_index.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "reader/labels.h"
#include "view/label_strokes.h"
#include "view/plot_walk.h"

namespace kestrel::view {

namespace {

using reader::PlotChar;
using reader::PlotLine;
using Grid = SpatialIndex::Grid;

// Records per bottom cell on an evenly spread plot: fewer cost memory (4 bytes a cell),
// more cost candidates that the exact test then throws away.
constexpr double RecordsPerCell = 32;

// Consecutive records filed as one run at most; a run is 4 bytes however long.
constexpr int MaxRunBits = 4;

// A bottom cell is at least this many typical records wide, so that runs of them fit.
constexpr double RunSpan = 4;

// Marks, in a query's working list, a run found in a cell that lies inside the area with
// all it may reach: its records are taken without being tested (or read).
constexpr std::uint32_t Inside = 1u << 31;

// A record's box as the index files it. A record whose box has no finite size (a NaN or
// an infinite coordinate) reaches everywhere: the top level takes it and every query
// looks at it.
struct Box {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    // Exact, for the level a box is filed in.
    double Width() const { return static_cast<double>(maxX) - minX; }
    double Height() const { return static_cast<double>(maxY) - minY; }
    // Rounded, for estimates: twice as fast to work out for every record.
    float Size() const { return std::max(maxX - minX, maxY - minY); }
};

constexpr float Infinite = std::numeric_limits<float>::infinity();
constexpr Box Everywhere{-Infinite, -Infinite, Infinite, Infinite};

// Whether a box of these sides counts as reaching everywhere: a side is NaN or infinite
// (or beyond the float range, which only the top level would take anyway).
inline bool Unbounded(float width, float height) {
    return !(std::fabs(width) <= std::numeric_limits<float>::max() &&
             std::fabs(height) <= std::numeric_limits<float>::max());
}

inline Box LineBox(const PlotLine& l) {
    if (Unbounded(l.X2 - l.X1, l.Y2 - l.Y1)) return Everywhere;
    return {std::min(l.X1, l.X2), std::min(l.Y1, l.Y2), std::max(l.X1, l.X2), std::max(l.Y1, l.Y2)};
}

inline Box CharBox(const PlotChar& c) {
    const reader::CharBox b = reader::CharBounds(c);
    return Unbounded(b.maxX - b.minX, b.maxY - b.minY) ? Everywhere
                                                       : Box{b.minX, b.minY, b.maxX, b.maxY};
}

inline Box Join(const Box& a, const Box& b) {
    return {std::min(a.minX, b.minX), std::min(a.minY, b.minY), std::max(a.maxX, b.maxX),
            std::max(a.maxY, b.maxY)};
}

// A coordinate's column (row) in a level, t being its distance from the origin in cells.
// Far-off and NaN coordinates land in the edge cells. Only monotony matters for finding
// records: whatever rounding does, a larger coordinate never maps to a smaller column.
inline std::uint32_t Slot(double t, std::uint32_t count) {
    const double last = count - 1;
    t = t >= 0 ? t : 0;  // NaN too
    return static_cast<std::uint32_t>(t < last ? t : last);
}

inline std::uint32_t Column(const Grid& g, const Grid::Level& level, double x) {
    return Slot((x - g.originX) * level.inverse, level.columns);
}

inline std::uint32_t Row(const Grid& g, const Grid::Level& level, double y) {
    return Slot((y - g.originY) * level.inverse, level.rows);
}

// About the lowest level whose cells are larger than a box, from the exponent of the box's
// size in bottom cells, without branches that would mispredict on mixed lengths. Infinite
// sizes give the top. Rounding may leave it one level low.
inline std::int64_t RoughLevel(const Grid& g, const Box& b) {
    constexpr std::uint64_t Magnitude = ~(std::uint64_t{1} << 63);
    const double size = b.Size() * g.levels[0].inverse;
    const auto exponent =
        static_cast<std::int64_t>((std::bit_cast<std::uint64_t>(size) & Magnitude) >> 52);
    return std::clamp<std::int64_t>(exponent - 1022, 0,
                                    static_cast<std::int64_t>(g.levels.size() - 1));
}

// The cell a box is filed in: the lowest level whose cells are larger than the box, tested
// exactly and strictly, so that rounding cannot make a box reach a cell further; else the
// top.
inline std::uint32_t FileCell(const Grid& g, const Box& b) {
    std::size_t k = static_cast<std::size_t>(RoughLevel(g, b));
    if (k + 1 < g.levels.size() &&
        !(b.Width() < g.levels[k].cellSize && b.Height() < g.levels[k].cellSize)) {
        ++k;
    }
    const Grid::Level& level = g.levels[k];
    return level.firstCell + Row(g, level, b.minY) * level.columns + Column(g, level, b.minX);
}

// Consecutive records that lie together (a polyline's segments, a label's characters) are
// filed as one run: building and memory then cost per run rather than per record. A run
// grows while its box stays smaller than a bottom cell or than twice its largest record,
// so that it is found hardly more often than its records would be; a jump to another
// place ends it, and a record reaching everywhere stays alone. Calls visit(first record,
// records, box).
template <typename BoxOf, typename Visit>
void ForEachRun(const Grid& g, BoxOf boxOf, Visit visit) {
    const std::uint32_t maxRun = std::uint32_t{1} << g.runBits;
    const auto cell = static_cast<float>(g.levels[0].cellSize);
    std::uint32_t first = 1;
    while (first < g.recordEnd) {
        Box run = boxOf(first);
        float largest = run.Size();
        std::uint32_t count = 1;
        for (; count < maxRun && first + count < g.recordEnd; ++count) {
            const Box next = boxOf(first + count);
            const Box joined = Join(run, next);
            largest = std::max(largest, next.Size());
            if (!(joined.Size() < std::max(2 * largest, cell))) break;  // an infinite size too
            run = joined;
        }
        visit(first, count, run);
        first += count;
    }
}

// The sample's low and high value, its farthest 1/4096 at each end left out.
std::pair<float, float> InnerRange(std::vector<float>& values) {
    const std::size_t cut = values.size() / 4096;
    std::nth_element(values.begin(), values.begin() + cut, values.end());
    const float low = values[cut];
    const auto high = values.end() - 1 - cut;
    std::nth_element(values.begin(), high, values.end());
    return {low, *high};
}

// What a sample of 65536 records tells: where most lower-left corners lie, so that a few
// stray records do not stretch the grid, and the typical (median) record size. The sample
// is 1024 stretches spread over the table: a memory page read whole rather than 1024
// records each on a page of its own. All zero when no box is finite.
struct Sample {
    std::array<double, 4> range{};  // minX, minY, maxX, maxY
    double typicalSize = 0;
};

template <typename BoxOf>
Sample SampleRecords(std::uint32_t end, BoxOf boxOf) {
    constexpr std::uint32_t Stretches = 1024, Stretch = 64;
    const std::uint32_t step = std::max<std::uint32_t>(Stretch, (end - 1) / Stretches);
    std::vector<float> xs, ys, sizes;
    for (std::uint32_t start = 1; start < end; start += step) {
        for (std::uint32_t i = start; i < std::min(start + Stretch, end); ++i) {
            const Box b = boxOf(i);
            if (std::isinf(b.minX)) continue;  // everywhere
            xs.push_back(b.minX);
            ys.push_back(b.minY);
            sizes.push_back(b.Size());
        }
    }
    if (xs.empty()) return {};
    const auto [minX, maxX] = InnerRange(xs);
    const auto [minY, maxY] = InnerRange(ys);
    const auto middle = sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2);
    std::nth_element(sizes.begin(), middle, sizes.end());
    return {{minX, minY, maxX, maxY}, *middle};
}

// The levels over the sample's range: square cells of about RecordsPerCell records at
// the bottom, or of a run of RunSpan typical records if that is larger (dense plots of
// long segments), each level halving the columns and rows, up to a single cell.
void LayOutLevels(Grid& g, const Sample& sample) {
    const std::array<double, 4>& range = sample.range;
    const double width = range[2] - range[0];
    const double height = range[3] - range[1];
    const double cells = std::max(1.0, (g.recordEnd - 1) / RecordsPerCell);
    // A thin range (one line of text) gets a row of cells rather than very many columns.
    double size = std::max({std::sqrt(width * height / cells), std::max(width, height) / cells,
                            RunSpan * sample.typicalSize});
    if (!(size > 0 && std::isfinite(size))) size = 1;  // every corner at one point
    g.originX = range[0];
    g.originY = range[1];
    auto columns = static_cast<std::uint64_t>(width / size) + 1;
    auto rows = static_cast<std::uint64_t>(height / size) + 1;
    std::uint64_t total = 0;
    for (;;) {
        g.levels.push_back({size, 1 / size, static_cast<std::uint32_t>(columns),
                            static_cast<std::uint32_t>(rows), static_cast<std::uint32_t>(total)});
        total += columns * rows;
        if (columns == 1 && rows == 1) break;
        columns = (columns + 1) / 2;
        rows = (rows + 1) / 2;
        size *= 2;
    }
    // The top takes whatever no cell holds: long and unbounded records.
    g.levels.back().cellSize = std::numeric_limits<double>::infinity();
    g.cellStart.assign(total + 1, 0);
}

// Files the runs: counts them by cell, noting each run's cell and length in store order,
// then places them at the cells' starts, ascending (compressed rows: one start per cell,
// the runs in one array). A run is its first record number shifted left by runBits, plus
// its length less one. The notes take 4 bytes a run while building, in pages touched only
// as they are written.
template <typename BoxOf>
Grid BuildGrid(std::size_t size, BoxOf boxOf) {
    if (size >= Inside) {
        throw std::length_error("too many records for the spatial index");
    }
    Grid g;
    g.recordEnd = static_cast<std::uint32_t>(std::max<std::size_t>(size, 1));
    LayOutLevels(g, SampleRecords(g.recordEnd, boxOf));
    const auto bitsOf = [](std::size_t n) { return static_cast<int>(std::bit_width(n)); };
    g.runBits =
        std::min({MaxRunBits, 31 - bitsOf(g.recordEnd - 1), 32 - bitsOf(g.cellStart.size())});
    std::vector<std::uint32_t> notes;
    notes.reserve(g.recordEnd - 1);
    ForEachRun(g, boxOf, [&](std::uint32_t, std::uint32_t count, const Box& b) {
        const std::uint32_t cell = FileCell(g, b);
        ++g.cellStart[cell + 1];
        notes.push_back(cell << g.runBits | (count - 1));
    });
    std::partial_sum(g.cellStart.begin(), g.cellStart.end(), g.cellStart.begin());
    g.runs.resize(notes.size());
    const std::uint32_t lengthMask = (1u << g.runBits) - 1;
    std::uint32_t first = 1;
    for (const std::uint32_t note : notes) {
        g.runs[g.cellStart[note >> g.runBits]++] = first << g.runBits | (note & lengthMask);
        first += (note & lengthMask) + 1;
    }
    // Each start has moved on to the next cell's: move them back by one.
    std::copy_backward(g.cellStart.begin(), g.cellStart.end() - 1, g.cellStart.end());
    g.cellStart[0] = 0;
    return g;
}

// Appends the runs of cells [from, to) of a level's row, marked with `mark`.
void Append(const Grid& g, const std::uint32_t* starts, std::uint32_t from, std::uint32_t to,
            std::uint32_t mark, std::vector<std::uint32_t>& found) {
    const std::size_t size = found.size();
    found.resize(size + starts[to] - starts[from]);
    std::transform(g.runs.begin() + starts[from], g.runs.begin() + starts[to],
                   found.begin() + static_cast<std::ptrdiff_t>(size),
                   [mark](std::uint32_t run) { return run | mark; });
}

// The runs of every cell that may hold one meeting the area, unordered; those of cells
// inside it marked Inside.
void Gather(const Grid& g, const PlotArea& a, std::vector<std::uint32_t>& found) {
    found.clear();
    if (!(a.minX <= a.maxX && a.minY <= a.maxY)) return;
    for (const Grid::Level& level : g.levels) {
        // A run reaches less than one cell up and right of the corner it is filed by.
        const double reach = level.cellSize;
        const std::uint32_t left = Column(g, level, a.minX - reach);
        const std::uint32_t right = Column(g, level, a.maxX) + 1;
        const std::uint32_t bottom = Row(g, level, a.minY - reach);
        const std::uint32_t top = Row(g, level, a.maxY);
        // Inside: a corner beyond the area's low sides (monotony of the mapping), and more
        // than the reach from its high sides, with a margin for rounding while the cells
        // are not too small for the coordinates' precision.
        const bool sure = reach >= 0x1p-30 * std::max(std::fabs(a.maxX), std::fabs(a.maxY));
        const double inward = reach * (1 + 0x1p-20);
        const std::uint32_t innerLeft = Column(g, level, a.minX) + 1;
        const std::uint32_t innerRight = sure ? Column(g, level, a.maxX - inward) : 0;
        const std::uint32_t innerBottom = Row(g, level, a.minY) + 1;
        const std::uint32_t innerTop = sure ? Row(g, level, a.maxY - inward) : 0;
        for (std::uint32_t row = bottom; row <= top; ++row) {
            const std::uint32_t* starts = &g.cellStart[level.firstCell + row * level.columns];
            if (row < innerBottom || row >= innerTop || innerLeft >= innerRight) {
                Append(g, starts, left, right, 0, found);
                continue;
            }
            Append(g, starts, left, innerLeft, 0, found);
            Append(g, starts, innerLeft, innerRight, Inside, found);
            Append(g, starts, innerRight, right, 0, found);
        }
    }
}

// Runs in ascending order, that is in store order, whatever their marks. A view gathers
// many thousands of them from its cells; sorting them by 11-bit digits takes a fraction
// of std::sort's time. The upper half of `v` serves as the second buffer.
void SortRuns(std::vector<std::uint32_t>& v, const Grid& g) {
    const std::size_t n = v.size();
    if (n < 1024) {
        std::sort(v.begin(), v.end(),
                  [](std::uint32_t a, std::uint32_t b) { return (a & ~Inside) < (b & ~Inside); });
        return;
    }
    const int bits = static_cast<int>(std::bit_width(g.recordEnd - 1)) + g.runBits;
    const int passes = std::max(1, (bits + 10) / 11);
    const int digit = (bits + passes - 1) / passes;
    const std::uint32_t mask = (1u << digit) - 1;
    v.resize(2 * n);
    std::uint32_t* from = v.data();
    std::uint32_t* to = v.data() + n;
    std::array<std::uint32_t, 2048> starts;
    for (int shift = 0; shift < passes * digit; shift += digit) {
        const auto digitOf = [&](std::uint32_t run) { return ((run & ~Inside) >> shift) & mask; };
        starts.fill(0);
        for (std::size_t i = 0; i < n; ++i) ++starts[digitOf(from[i])];
        std::exclusive_scan(starts.begin(), starts.end(), starts.begin(), 0u);
        for (std::size_t i = 0; i < n; ++i) to[starts[digitOf(from[i])]++] = from[i];
        std::swap(from, to);
    }
    if (from != v.data()) std::copy(from, from + n, v.data());
    v.resize(n);
}

// Replaces the sorted runs in `found` with the numbers of their records that `meets`
// accepts, or all of a run marked Inside. The runs move to the end first, where the
// records written never reach them.
template <typename Record, typename Meets>
void KeepRecords(const Grid& g, std::span<const Record> table, std::vector<std::uint32_t>& found,
                 Meets meets) {
    const std::uint32_t lengthMask = (1u << g.runBits) - 1;
    const std::size_t runs = found.size();
    std::size_t records = 0;
    for (const std::uint32_t run : found) records += (run & lengthMask) + 1;
    found.resize(records + runs);
    std::copy_backward(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(runs),
                       found.end());
    std::size_t kept = 0;
    for (std::size_t i = records; i < records + runs; ++i) {
        const std::uint32_t first = (found[i] & ~Inside) >> g.runBits;
        const std::uint32_t end = first + (found[i] & lengthMask) + 1;
        if (found[i] & Inside) {
            for (std::uint32_t k = first; k < end; ++k) found[kept++] = k;
            continue;
        }
        for (std::uint32_t k = first; k < end; ++k) {
            if (meets(table[k])) found[kept++] = k;
        }
    }
    found.resize(kept);
}

// Whether all four corners lie clearly on one side of the segment's line: then a segment
// whose box meets the area still passes it by, as a long diagonal past a corner does.
// Anything within rounding of the line, or NaN, counts as meeting.
bool AreaBesideLine(const PlotLine& l, const PlotArea& a) {
    const double dx = static_cast<double>(l.X2) - l.X1;
    const double dy = static_cast<double>(l.Y2) - l.Y1;
    int above = 0;
    for (const double x : {a.minX, a.maxX}) {
        for (const double y : {a.minY, a.maxY}) {
            const double across = dx * (y - l.Y1);
            const double along = dy * (x - l.X1);
            const double slack = 1e-9 * (std::fabs(across) + std::fabs(along));
            if (across - along > slack) {
                ++above;
            } else if (!(across - along < -slack)) {
                return false;
            }
        }
    }
    return above == 0 || above == 4;
}

}  // namespace

bool LineMeetsArea(const PlotLine& l, const PlotArea& a) {
    if (!(a.minX <= a.maxX && a.minY <= a.maxY)) return false;
    // Both ends beyond one side; a NaN compares false and keeps the segment.
    if ((l.X1 < a.minX && l.X2 < a.minX) || (l.X1 > a.maxX && l.X2 > a.maxX) ||
        (l.Y1 < a.minY && l.Y2 < a.minY) || (l.Y1 > a.maxY && l.Y2 > a.maxY)) {
        return false;
    }
    // Most segments of a view start in it: no need to look further.
    if (l.X1 >= a.minX && l.X1 <= a.maxX && l.Y1 >= a.minY && l.Y1 <= a.maxY) return true;
    return !AreaBesideLine(l, a);
}

bool CharMeetsArea(const PlotChar& c, const PlotArea& a) {
    if (!(a.minX <= a.maxX && a.minY <= a.maxY)) return false;
    const reader::CharBox b = reader::CharBounds(c);
    return !(b.maxX < a.minX || b.minX > a.maxX || b.maxY < a.minY || b.minY > a.maxY);
}

void SpatialIndex::Build(std::span<const PlotLine> lines, std::span<const PlotChar> chars) {
    // The old index goes first, so that a rebuild never holds two; a failed build leaves
    // an empty index, which finds nothing.
    lines_ = {};
    lineGrid_ = Grid{};
    lineGrid_ = BuildGrid(lines.size(), [lines](std::uint32_t i) { return LineBox(lines[i]); });
    lines_ = lines;
    BuildChars(chars);
}

void SpatialIndex::BuildChars(std::span<const PlotChar> chars) {
    chars_ = {};
    charGrid_ = Grid{};
    charGrid_ = BuildGrid(chars.size(), [chars](std::uint32_t i) { return CharBox(chars[i]); });
    chars_ = chars;
}

void SpatialIndex::FindLines(const PlotArea& area, std::vector<std::uint32_t>& found) const {
    Gather(lineGrid_, area, found);
    SortRuns(found, lineGrid_);
    KeepRecords(lineGrid_, lines_, found,
                [&](const PlotLine& l) { return LineMeetsArea(l, area); });
}

void SpatialIndex::FindChars(const PlotArea& area, std::vector<std::uint32_t>& found) const {
    Gather(charGrid_, area, found);
    SortRuns(found, charGrid_);
    KeepRecords(charGrid_, chars_, found,
                [&](const PlotChar& c) { return CharMeetsArea(c, area); });
}

std::span<const PlotLine> IndexedLines(const reader::PlotStore& store, int slot) {
    if (slot < 1 || !store.ValidSlot(slot) || store.plots[slot].PlotLines.size() == 0) return {};
    const auto count = static_cast<std::size_t>(StoredLineCount(store, slot)) + 1;
    return {store.plots[static_cast<std::size_t>(slot)].PlotLines.data(), count};
}

std::span<const PlotChar> IndexedChars(const reader::PlotStore& store, int slot) {
    if (slot < 1 || !store.ValidSlot(slot) || store.plots[slot].PlotChars.empty()) return {};
    const auto count = static_cast<std::size_t>(StoredCharCount(store, slot)) + 1;
    return {store.plots[static_cast<std::size_t>(slot)].PlotChars.data(), count};
}

}  // namespace kestrel::view
