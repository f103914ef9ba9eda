#include "reader/labels.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "reader/character_sets.h"
#include "reader/plotter.h"
#include "reader/stroke_font.h"
#include "reader/units.h"

namespace kestrel::reader {

namespace {

constexpr double CmPerPoint = 2.54 / 72;
// The stick font: capitals are two thirds of the font height, a fixed-pitch cell holds
// the character and half its width of space, and lines are two cap heights apart.
constexpr double CapPerFontHeight = 2.0 / 3;
constexpr double CellPerWidth = 1.5;
constexpr double LinePerHeight = 2;
// Proportional fonts have no pitch: their width keeps the default font's proportion.
constexpr double ProportionalAspect = (2.54 / LabelFont{}.pitch / CellPerWidth) /
                                      (LabelFont{}.height * CmPerPoint * CapPerFontHeight);

Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point operator*(Point a, double k) { return {a.x * k, a.y * k}; }

// The rotated frame's directions on the paper (RO turns it counter-clockwise).
Point RotatedToPhysical(const PlotterFrame& frame, Point v) {
    switch (frame.Rotation()) {
        case 90: return {-v.y, v.x};
        case 180: return {-v.x, -v.y};
        case 270: return {v.y, -v.x};
        default: return v;
    }
}

// Whether a label leaves the pen where the next label goes on, rather than where it was.
bool Concatenates(int origin, int path) {
    if (origin == 21) return path == 0 || path == 3;
    const int q = origin % 10;
    switch (path) {
        case 1: return q % 3 == 0;
        case 2: return q >= 7;
        case 3: return (q - 1) % 3 == 0;
        default: return q <= 3;
    }
}

enum class ItemKind : std::uint8_t {
    Glyph,
    Backspace,
    Tab,
    CarriageReturn,
    LineFeed,
    Alternate,
    Standard
};

struct Item {
    ItemKind kind = ItemKind::Glyph;
    std::uint16_t glyph = 0;
};

// The characters and control codes of a label's bytes, one at a time, read with the
// label's character sets.
class LabelDecoder {
public:
    LabelDecoder(const LabelState& s, std::string_view text)
        : text_(text), chars_(s.sets, text, s.twoByte), alternate_(s.alternateSelected) {}

    bool Next(Item& item) {
        while (at_ < text_.size()) {
            const std::size_t p = at_;
            const auto c = static_cast<unsigned char>(text_[p]);
            if (c < 0x20 || c == 0x7F) {
                ++at_;
                if (Control(c, item)) return true;
                continue;
            }
            const LabelCharacter ch = chars_.At(p, alternate_);
            at_ = p + ch.length;
            item = {ItemKind::Glyph, ch.glyph};
            return true;
        }
        return false;
    }

private:
    bool Control(unsigned char c, Item& item) {
        switch (c) {
            case 8: item = {ItemKind::Backspace}; return true;
            case 9: item = {ItemKind::Tab}; return true;
            case 10: item = {ItemKind::LineFeed}; return true;
            case 13: item = {ItemKind::CarriageReturn}; return true;
            case 14:
                alternate_ = true;
                item = {ItemKind::Alternate};
                return true;
            case 15:
                alternate_ = false;
                item = {ItemKind::Standard};
                return true;
            case 0x1B: Escape(); return false;
            default: return false;  // other control codes do nothing
        }
    }

    // ISO-2022-JP: ESC $ B or ESC $ @ starts JIS two-byte text, ESC ( B or ESC ( J ends it.
    void Escape() {
        if (at_ + 1 >= text_.size()) return;
        const char next = text_[at_], f = text_[at_ + 1];
        if (next == '$' && (f == 'B' || f == '@')) {
            chars_.SetJis(true);
            at_ += 2;
        } else if (next == '(' && (f == 'B' || f == 'J')) {
            chars_.SetJis(false);
            at_ += 2;
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    LabelCharacters chars_;
    bool alternate_;  // SO/SI within the label
};

bool RunItem(ItemKind k) {
    return k == ItemKind::Glyph || k == ItemKind::Backspace || k == ItemKind::Tab;
}

// One character record at `origin`, unless the pen draws nothing or it lies wholly
// outside the clip (the window, the page).
void Place(Plotter& plotter, const LabelGeometry& g, Point origin, std::uint16_t glyph) {
    if (plotter.pen == 0) return;
    const Point width = g.along * g.width;
    const Point height = g.up * g.height + g.along * (g.slant * g.height);
    if (!Storable(origin) || !Storable(width) || !Storable(height) ||
        !Storable(origin + width + height))
        return;
    const PlotChar c{static_cast<float>(origin.x),
                     static_cast<float>(origin.y),
                     static_cast<float>(width.x),
                     static_cast<float>(width.y),
                     static_cast<float>(height.x),
                     static_cast<float>(height.y),
                     glyph,
                     plotter.Pages().PenCode(plotter.drawing.pens.RoundLook(plotter.pen))};
    if (plotter.frame.Clips()) {
        const CharBox box = CharBounds(c);
        const Rect& w = plotter.frame.ClipRect();
        if (box.maxX < w.minX || box.minX > w.maxX || box.maxY < w.minY || box.minY > w.maxY)
            return;
    }
    plotter.Pages().AddChar(c, plotter.pen);
}

// Walks the characters of a run from `at`, calling visit(code, glyph, cell) with each
// character's cell; returns the point after the run.
template <typename Visit>
Point WalkRun(const LabelGeometry& g, Point at, const Item* begin, const Item* end, Visit visit) {
    const StrokeFont& font = StrokeFont::Standard();
    for (const Item* it = begin; it != end; ++it) {
        if (it->kind == ItemKind::Backspace) {
            at = at - g.charStep;
        } else if (it->kind == ItemKind::Tab) {
            at = at + g.charStep * 0.5;
        } else {
            const Glyph& glyph = font.At(it->glyph);
            visit(it->glyph, glyph, at);
            // A non-escaping accent advances on no path: the next character is drawn under it.
            const int cells = glyph.cells == 0 ? 0 : (g.horizontal ? glyph.cells : 1);
            at = at + g.charStep * cells;
        }
    }
    return at;
}

// Characters up to the next CR, LF or font change, placed as the label origin says;
// returns the pen position after them.
Point DrawRun(Plotter& plotter, const LabelGeometry& g, Point pen, const Item* begin,
              const Item* end) {
    // First the cells the run covers, from the pen, to find how far to shift it.
    double minA = 0, maxA = 0, minB = 0, maxB = 0;
    bool any = false;
    const Point advance =
        WalkRun(g, Point{}, begin, end, [&](std::uint16_t, const Glyph& glyph, Point at) {
            const double a2 = at.x + glyph.body * g.width;
            const double b2 = at.y + g.height;
            const double lowA = std::min(at.x, a2), highA = std::max(at.x, a2);
            const double lowB = std::min(at.y, b2), highB = std::max(at.y, b2);
            minA = any ? std::min(minA, lowA) : lowA;
            maxA = any ? std::max(maxA, highA) : highA;
            minB = any ? std::min(minB, lowB) : lowB;
            maxB = any ? std::max(maxB, highB) : highB;
            any = true;
        });

    // LO: which point of the run's box sits on the pen, and the offset of 11..19.
    const int origin = plotter.labels.origin;
    const int q = origin == 21 ? 1 : origin % 10;
    const int column = (q - 1) / 3;  // left, centre, right
    const int row = (q - 1) % 3;     // bottom, middle, top
    Point shift{-(minA + (maxA - minA) * column * 0.5), -(minB + (maxB - minB) * row * 0.5)};
    if (origin >= 11 && origin <= 19) {
        shift.x += (1 - column) * std::fabs(g.width) / 2;
        shift.y += (1 - row) * std::fabs(g.height) / 2;
    }

    WalkRun(g, shift, begin, end, [&](std::uint16_t code, const Glyph& glyph, Point at) {
        if (glyph.count > 0) Place(plotter, g, g.Physical(pen, at), code);
    });
    return g.Physical(pen, advance);
}

}  // namespace

LabelGeometry LabelLayout(const Plotter& plotter) {
    const LabelState& s = plotter.labels;
    const PlotterFrame& frame = plotter.frame;
    const Point span = frame.P2() - frame.P1();
    LabelGeometry g;
    switch (s.sizing) {
        case LabelState::Sizing::Absolute:
            g.width = s.width * PlotterUnitsPerCm;
            g.height = s.height * PlotterUnitsPerCm;
            break;
        case LabelState::Sizing::Relative:
            g.width = s.width / 100 * span.x;
            g.height = s.height / 100 * span.y;
            break;
        case LabelState::Sizing::Font: {
            const LabelFont& font = s.alternateSelected ? s.alternate : s.standard;
            g.height = font.height * CmPerPoint * CapPerFontHeight * PlotterUnitsPerCm;
            g.width = font.proportional ? g.height * ProportionalAspect
                                        : 2.54 / font.pitch / CellPerWidth * PlotterUnitsPerCm;
            break;
        }
    }
    Point direction = s.relativeDirection ? Point{s.run / 100 * span.x, s.rise / 100 * span.y}
                                          : Point{s.run, s.rise};
    const double length = std::hypot(direction.x, direction.y);
    direction = length > 0 && std::isfinite(length) ? direction * (1 / length) : Point{1, 0};
    g.along = RotatedToPhysical(frame, direction);
    g.up = {-g.along.y, g.along.x};
    g.slant = s.slant;

    g.horizontal = s.path == 0 || s.path == 2;
    g.cell = CellPerWidth * g.width;
    g.line = LinePerHeight * g.height;
    const double step = (g.horizontal ? g.cell : g.line) * (1 + s.extraSpace);
    const double feed =
        (g.horizontal ? g.line : g.cell) * (1 + s.extraLines) * (s.reverseLineFeed ? -1 : 1);
    switch (s.path) {
        case 1:
            g.charStep = {0, -step};
            g.lineFeed = {-feed, 0};
            break;
        case 2:
            g.charStep = {-step, 0};
            g.lineFeed = {0, feed};
            break;
        case 3:
            g.charStep = {0, step};
            g.lineFeed = {feed, 0};
            break;
        default:
            g.charStep = {step, 0};
            g.lineFeed = {0, -feed};
            break;
    }
    return g;
}

void DrawLabel(Plotter& plotter, std::string_view text) {
    // Runs are laid out whole; one longer than this (no real label is) is laid out in parts,
    // which keeps the memory of a hostile label bounded.
    constexpr std::size_t MaxRun = 1 << 16;
    thread_local std::vector<Item> run;
    LabelState& s = plotter.labels;
    LabelDecoder decoder(s, text);
    LabelGeometry g = LabelLayout(plotter);
    const Point start = plotter.position;
    Point pen = start;
    Item item;
    bool more = decoder.Next(item);
    while (more) {
        switch (item.kind) {
            case ItemKind::CarriageReturn:
                pen = s.carriageReturn;
                more = decoder.Next(item);
                continue;
            case ItemKind::LineFeed: {
                const Point feed = g.PhysicalVector(g.lineFeed);
                pen = pen + feed;
                s.carriageReturn = s.carriageReturn + feed;
                more = decoder.Next(item);
                continue;
            }
            case ItemKind::Alternate:
            case ItemKind::Standard:
                s.alternateSelected = item.kind == ItemKind::Alternate;
                g = LabelLayout(plotter);
                more = decoder.Next(item);
                continue;
            default: break;
        }
        run.clear();
        while (more && RunItem(item.kind) && run.size() < MaxRun) {
            run.push_back(item);
            more = decoder.Next(item);
        }
        pen = DrawRun(plotter, g, pen, run.data(), run.data() + run.size());
    }
    // A pen position no float can hold stays where it was.
    const Point to = Concatenates(s.origin, s.path) ? pen : start;
    if (Storable(to)) plotter.position = to;
}

void DrawSymbol(Plotter& plotter, Point at) {
    LabelDecoder decoder(plotter.labels, plotter.labels.symbol);
    Item item;
    while (decoder.Next(item)) {
        if (item.kind != ItemKind::Glyph) continue;
        const LabelGeometry g = LabelLayout(plotter);
        const Glyph& glyph = StrokeFont::Standard().At(item.glyph);
        if (glyph.count > 0)
            Place(plotter, g, g.Physical(at, {-glyph.body * g.width / 2, -g.height / 2}),
                  item.glyph);
        return;
    }
}

CharBox CharBounds(const PlotChar& c) {
    const Glyph& g = StrokeFont::Standard().At(c.Glyph);
    CharBox box;
    bool first = true;
    // In double, as the strokes are worked out, so that the box holds them exactly.
    for (const double u : {g.minU, g.maxU}) {
        for (const double v : {g.minV, g.maxV}) {
            const auto x = static_cast<float>(c.X + u * c.WidthX + v * c.HeightX);
            const auto y = static_cast<float>(c.Y + u * c.WidthY + v * c.HeightY);
            box.minX = first ? x : std::min(box.minX, x);
            box.maxX = first ? x : std::max(box.maxX, x);
            box.minY = first ? y : std::min(box.minY, y);
            box.maxY = first ? y : std::max(box.maxY, y);
            first = false;
        }
    }
    return box;
}

}  // namespace kestrel::reader
