// The glyphs the Hershey simplex Roman lacks but the plotters' character sets have:
// Latin letters with accents, composed from the Roman letter and accent strokes; signs
// taken from the Hershey Greek, mathematical and symbol fonts; and a few drawn here in
// Hershey units (y down, baseline 9, capitals from -12, small letters from -5).
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

#include "reader/stroke_font.h"

namespace kestrel::reader {

namespace {

using Shape = std::vector<ShapePoint>;

// "M-6,9 -6,-7 M0,1 3,1": M starts a stroke, each pair a point.
Shape Parse(std::string_view text) {
    Shape out;
    bool starts = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        std::string_view token = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!token.empty() && token.front() == 'M') {
            starts = true;
            token.remove_prefix(1);
        }
        const std::size_t comma = token.find(',');
        if (comma == std::string_view::npos) continue;
        int x = 0, y = 0;
        std::from_chars(token.data(), token.data() + comma, x);
        std::from_chars(token.data() + comma + 1, token.data() + token.size(), y);
        out.push_back({double(x), double(y), starts || out.empty()});
        starts = false;
    }
    return out;
}

struct Extent {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

Extent Bounds(const Shape& s) {
    Extent e;
    for (std::size_t i = 0; i < s.size(); ++i) {
        e.minX = i == 0 ? s[i].x : std::min(e.minX, s[i].x);
        e.maxX = i == 0 ? s[i].x : std::max(e.maxX, s[i].x);
        e.minY = i == 0 ? s[i].y : std::min(e.minY, s[i].y);
        e.maxY = i == 0 ? s[i].y : std::max(e.maxY, s[i].y);
    }
    return e;
}

// `from` scaled by `scale` about the origin and moved by (dx, dy), after `to`'s strokes.
void Append(Shape& to, const Shape& from, double scale = 1, double dx = 0, double dy = 0,
            double scaleX = 0) {
    const double sx = scaleX != 0 ? scaleX : scale;
    for (ShapePoint p : from) to.push_back({p.x * sx + dx, p.y * scale + dy, p.starts});
}

// A glyph being composed, and its centre in Hershey units (as the font places it).
struct Composed {
    Shape points;
    double centre = 0;
};

Composed FromJhf(const std::vector<JhfGlyph>& font, char32_t position) {
    Composed c;
    const std::size_t i = position - 0x20;
    if (i >= font.size()) return c;
    for (const auto& p : font[i].points) c.points.push_back({double(p.x), double(p.y), p.starts});
    c.centre = (font[i].left + font[i].right) / 2.0;
    return c;
}

enum class Mark : std::uint8_t {
    Grave,
    Acute,
    Circumflex,
    Tilde,
    Diaeresis,
    Ring,
    Caron,
    Macron,
    Cedilla,  // below the baseline
    Stroke,   // a slash through the letter
};

// The accents above a letter, x from its middle and y from its top (up is negative).
constexpr std::array<std::string_view, 8> MarksAbove{
    "M-2,-5 1,-2",                                               // grave
    "M-1,-2 2,-5",                                               // acute
    "M-3,-2 0,-5 3,-2",                                          // circumflex
    "M-4,-2 -3,-4 -1,-4 1,-2 3,-2 4,-4",                         // tilde
    "M-3,-4 -4,-3 -3,-2 -2,-3 -3,-4 M3,-4 2,-3 3,-2 4,-3 3,-4",  // diaeresis
    "M-1,-6 1,-6 2,-5 2,-3 1,-2 -1,-2 -2,-3 -2,-5 -1,-6",        // ring
    "M-3,-5 0,-2 3,-5",                                          // caron
    "M-4,-3 4,-3",                                               // macron
};
constexpr std::string_view CedillaBelow = "M0,0 0,3 2,3 3,4 3,5 2,6 -1,6";
constexpr double Baseline = 9;

// `mark` on the letter `c` (whose top is `top`, or the top of its strokes).
void AddMark(Composed& c, Mark mark, double top = NAN) {
    const Extent e = Bounds(c.points);
    const double middle = c.points.empty() ? 0 : (e.minX + e.maxX) / 2;
    if (std::isnan(top)) top = c.points.empty() ? -7 : e.minY;
    if (mark == Mark::Cedilla) {
        Append(c.points, Parse(CedillaBelow), 1, middle, Baseline);
    } else if (mark == Mark::Stroke) {
        c.points.push_back({e.minX - 1, e.maxY + 1, true});
        c.points.push_back({e.maxX + 1, e.minY - 1, false});
    } else {
        Append(c.points, Parse(MarksAbove[static_cast<std::size_t>(mark)]), 1, middle, top);
    }
}

struct Accented {
    char32_t capital;
    char32_t small;
    char base;  // the capital letter
    Mark mark;
};

// Latin-1, Roman-8 and Windows letters with accents.
constexpr Accented AccentedLetters[] = {
    {0xC0, 0xE0, 'A', Mark::Grave},      {0xC1, 0xE1, 'A', Mark::Acute},
    {0xC2, 0xE2, 'A', Mark::Circumflex}, {0xC3, 0xE3, 'A', Mark::Tilde},
    {0xC4, 0xE4, 'A', Mark::Diaeresis},  {0xC5, 0xE5, 'A', Mark::Ring},
    {0xC7, 0xE7, 'C', Mark::Cedilla},    {0xC8, 0xE8, 'E', Mark::Grave},
    {0xC9, 0xE9, 'E', Mark::Acute},      {0xCA, 0xEA, 'E', Mark::Circumflex},
    {0xCB, 0xEB, 'E', Mark::Diaeresis},  {0xCC, 0xEC, 'I', Mark::Grave},
    {0xCD, 0xED, 'I', Mark::Acute},      {0xCE, 0xEE, 'I', Mark::Circumflex},
    {0xCF, 0xEF, 'I', Mark::Diaeresis},  {0xD1, 0xF1, 'N', Mark::Tilde},
    {0xD2, 0xF2, 'O', Mark::Grave},      {0xD3, 0xF3, 'O', Mark::Acute},
    {0xD4, 0xF4, 'O', Mark::Circumflex}, {0xD5, 0xF5, 'O', Mark::Tilde},
    {0xD6, 0xF6, 'O', Mark::Diaeresis},  {0xD8, 0xF8, 'O', Mark::Stroke},
    {0xD9, 0xF9, 'U', Mark::Grave},      {0xDA, 0xFA, 'U', Mark::Acute},
    {0xDB, 0xFB, 'U', Mark::Circumflex}, {0xDC, 0xFC, 'U', Mark::Diaeresis},
    {0xDD, 0xFD, 'Y', Mark::Acute},      {0x178, 0xFF, 'Y', Mark::Diaeresis},
    {0x160, 0x161, 'S', Mark::Caron},    {0x17D, 0x17E, 'Z', Mark::Caron},
};

// Glyphs of the other Hershey fonts, by their place in the file (from 0x20).
enum class Font : std::uint8_t { Roman, Greek, Math, Symbols, Markers };
struct Borrowed {
    char32_t code;
    Font font;
    unsigned char position;
};
constexpr Borrowed BorrowedGlyphs[] = {
    {0xB1, Font::Math, 0x21},      {0x2213, Font::Math, 0x22},    {0xD7, Font::Math, 0x23},
    {0xB7, Font::Math, 0x24},      {0x2219, Font::Math, 0x24},    {0x2264, Font::Math, 0x26},
    {0x2265, Font::Math, 0x27},    {0x220F, Font::Math, 0x3A},    {0x2211, Font::Math, 0x3B},
    {0x2260, Font::Math, 0x3F},    {0x2261, Font::Math, 0x40},    {0x221D, Font::Math, 0x5E},
    {0x221E, Font::Math, 0x5F},    {0x221A, Font::Math, 0x62},    {0x2282, Font::Math, 0x64},
    {0x222A, Font::Math, 0x65},    {0x2283, Font::Math, 0x66},    {0x2229, Font::Math, 0x67},
    {0x2208, Font::Math, 0x68},    {0x2192, Font::Math, 0x69},    {0x2191, Font::Math, 0x6A},
    {0x2190, Font::Math, 0x6B},    {0x2193, Font::Math, 0x6C},    {0x2202, Font::Math, 0x6D},
    {0x2207, Font::Math, 0x6E},    {0x222B, Font::Math, 0x70},    {0x2203, Font::Math, 0x76},
    {0xF7, Font::Math, 0x78},      {0x2225, Font::Math, 0x79},    {0x22A5, Font::Math, 0x7A},
    {0x2220, Font::Math, 0x7C},    {0x2234, Font::Math, 0x7E},    {0x223C, Font::Math, 0x7F},
    {0xB5, Font::Greek, 0x6C},     {0xA7, Font::Symbols, 0x69},   {0x2721, Font::Symbols, 0x60},
    {0x2660, Font::Symbols, 0x6D}, {0x2665, Font::Symbols, 0x6E}, {0x2666, Font::Symbols, 0x6F},
    {0x2663, Font::Symbols, 0x70}, {0x25CB, Font::Markers, 0x41}, {0x25A1, Font::Markers, 0x42},
    {0x25B3, Font::Markers, 0x43}, {0x25C7, Font::Markers, 0x44}, {0x2606, Font::Markers, 0x45},
    {0x25CF, Font::Markers, 0x4A}, {0x2022, Font::Markers, 0x4A}, {0x25A0, Font::Markers, 0x4B},
    {0x25B2, Font::Markers, 0x4C}, {0x25BD, Font::Markers, 0x50}, {0x2018, Font::Roman, '`'},
    {0x2019, Font::Roman, '\''},   {0x201A, Font::Roman, ','},
};

// Drawn here: a character, its left and right margins and its strokes.
struct Drawn {
    char32_t code;
    int left, right;
    std::string_view strokes;
};
constexpr Drawn DrawnGlyphs[] = {
    {0xDF, -9, 9,
     "M-6,9 -6,-7 -5,-10 -3,-12 0,-12 2,-11 3,-9 3,-7 2,-5 -1,-4 M-1,-4 2,-3 4,-1 5,2 5,5 4,7 2,8 "
     "0,9 -2,9"},
    {0xDE, -11, 10, "M-7,-12 -7,9 M-7,-7 2,-7 5,-6 6,-5 7,-3 7,0 6,2 5,3 2,4 -7,4"},
    {0xFE, -10, 9,
     "M-6,-12 -6,16 M-6,-2 -4,-4 -2,-5 1,-5 3,-4 5,-2 6,1 6,3 5,6 3,8 1,9 -2,9 -4,8 -6,6"},
    {0xA3, -10, 10, "M6,-10 4,-12 1,-12 -1,-11 -2,-8 -2,6 -3,8 -5,9 7,9 M-6,-1 3,-1"},
    {0x20A4, -10, 10, "M6,-10 4,-12 1,-12 -1,-11 -2,-8 -2,6 -3,8 -5,9 7,9 M-6,-3 3,-3 M-6,1 3,1"},
    {0xB6, -9, 10,
     "M2,9 2,-12 M6,-12 6,9 M8,-12 -1,-12 -4,-11 -5,-10 -6,-8 -6,-6 -5,-4 -4,-3 -1,-2 2,-2"},
    {0xAC, -12, 12, "M-8,-1 8,-1 8,4"},
    {0x2310, -12, 12, "M-8,4 -8,-1 8,-1"},
    {0xA6, -5, 5, "M0,-12 0,-2 M0,3 0,13"},
    {0xAB, -9, 9, "M-1,-3 -6,2 -1,7 M5,-3 0,2 5,7"},
    {0xBB, -9, 9, "M1,-3 6,2 1,7 M-5,-3 0,2 -5,7"},
    {0x2039, -6, 6, "M2,-3 -3,2 2,7"},
    {0x203A, -6, 6, "M-2,-3 3,2 -2,7"},
    {0x192, -9, 9, "M6,-12 4,-12 2,-11 1,-8 0,13 -1,15 -3,16 -5,16 M-3,-5 4,-5"},
    {0x2013, -13, 13, "M-9,0 9,0"},
    {0x2014, -12, 12, "M-12,0 12,0"},
    {0x203E, -12, 12, "M-9,-13 9,-13"},
    {0x2017, -12, 12, "M-9,12 9,12 M-9,15 9,15"},
    {0x2020, -8, 8, "M0,-12 0,9 M-5,-6 5,-6"},
    {0x2021, -8, 8, "M0,-12 0,9 M-5,-7 5,-7 M-5,3 5,3"},
    {0x131, -4, 4, "M0,-5 0,9"},
    {0xA4, -9, 9,
     "M-1,-3 -3,-2 -4,0 -4,2 -3,4 -1,5 1,5 3,4 4,2 4,0 3,-2 1,-3 -1,-3 M-6,-5 -3,-2 M6,-5 3,-2 "
     "M-6,7 -3,4 M6,7 3,4"},
};

// The non-escaping accents of the national sets: above a capital (top -12) and, as the
// private characters from U+F300, above a small letter (top -5).
struct NonEscaping {
    char32_t code;
    Mark mark;
};
constexpr NonEscaping NonEscapingMarks[] = {
    {0x300, Mark::Grave}, {0x301, Mark::Acute},     {0x302, Mark::Circumflex},
    {0x303, Mark::Tilde}, {0x308, Mark::Diaeresis}, {0x30A, Mark::Ring},
};

// Spacing accents, set where an apostrophe is.
constexpr NonEscaping SpacingMarks[] = {
    {0xB4, Mark::Acute},  {0x2CB, Mark::Grave},    {0x2C6, Mark::Circumflex},
    {0x2DC, Mark::Tilde}, {0xA8, Mark::Diaeresis}, {0xAF, Mark::Macron},
    {0x2DA, Mark::Ring},  {0x2C7, Mark::Caron},    {0xB8, Mark::Cedilla},
};

// Several glyphs of a font side by side: (position, scale, dx, dy, squeeze across).
struct Part {
    Font font;
    char32_t position;
    double scale, dx, dy, scaleX = 0;
};
struct Assembled {
    char32_t code;
    int left, right;
    std::array<Part, 3> parts;
    std::string_view strokes;  // added after the parts
};
// Superscripts stand on y -2 at half size; fractions put the denominator on the baseline.
constexpr Assembled AssembledGlyphs[] = {
    {0xB9, -6, 6, {{{Font::Roman, '1', 0.5, 1, -6.5}}}, ""},
    {0xB2, -6, 6, {{{Font::Roman, '2', 0.5, 0, -6.5}}}, ""},
    {0xB3, -6, 6, {{{Font::Roman, '3', 0.5, 0, -6.5}}}, ""},
    {0x207F, -6, 6, {{{Font::Roman, 'n', 0.5, 0, -7.5}}}, ""},
    {0xAA, -6, 6, {{{Font::Roman, 'a', 0.6, 0, -8.4}}}, "M-4,-1 4,-1"},
    {0xBA, -6, 6, {{{Font::Roman, 'o', 0.6, 0, -8.4}}}, "M-4,-1 4,-1"},
    {0xBC,
     -12,
     12,
     {{{Font::Roman, '1', 0.5, -4, -6.5}, {Font::Roman, '4', 0.5, 5, 4.5}}},
     "M6,-12 -6,9"},
    {0xBD,
     -12,
     12,
     {{{Font::Roman, '1', 0.5, -4, -6.5}, {Font::Roman, '2', 0.5, 5, 4.5}}},
     "M6,-12 -6,9"},
    {0xBE,
     -12,
     12,
     {{{Font::Roman, '3', 0.5, -5, -6.5}, {Font::Roman, '4', 0.5, 5, 4.5}}},
     "M6,-12 -6,9"},
    {0x2122, -12, 12, {{{Font::Roman, 'T', 0.45, -5, -8}, {Font::Roman, 'M', 0.45, 4, -8}}}, ""},
    {0xC6, -12, 12, {{{Font::Roman, 'A', 1, -4, 0, 0.65}, {Font::Roman, 'E', 1, 4, 0, 0.65}}}, ""},
    {0xE6, -12, 12, {{{Font::Roman, 'a', 1, -4, 0, 0.65}, {Font::Roman, 'e', 1, 4, 0, 0.65}}}, ""},
    {0x152, -12, 12, {{{Font::Roman, 'O', 1, -4, 0, 0.65}, {Font::Roman, 'E', 1, 5, 0, 0.65}}}, ""},
    {0x153, -12, 12, {{{Font::Roman, 'o', 1, -4, 0, 0.65}, {Font::Roman, 'e', 1, 4, 0, 0.65}}}, ""},
    {0x201C, -8, 8, {{{Font::Roman, '`', 1, -3, 0}, {Font::Roman, '`', 1, 3, 0}}}, ""},
    {0x201D, -8, 8, {{{Font::Roman, '\'', 1, -3, 0}, {Font::Roman, '\'', 1, 3, 0}}}, ""},
    {0x201E, -8, 8, {{{Font::Roman, ',', 1, -3, 0}, {Font::Roman, ',', 1, 3, 0}}}, ""},
    {0x2026,
     -12,
     12,
     {{{Font::Roman, '.', 1, -8, 0}, {Font::Roman, '.', 1, 0, 0}, {Font::Roman, '.', 1, 8, 0}}},
     ""},
    {0xA5, -9, 9, {{{Font::Roman, 'Y', 1, 0, 0}}}, "M-5,0 5,0 M-5,3 5,3"},
    {0xA2, -9, 9, {{{Font::Roman, 'c', 1, 0, 0}}}, "M0,-8 0,12"},
    {0x20AC, -11, 11, {{{Font::Roman, 'C', 1, 1, 0}}}, "M-9,-4 3,-4 M-9,0 3,0"},
    {0xD0, -11, 10, {{{Font::Roman, 'D', 1, 0, 0}}}, "M-10,-2 -3,-2"},
    {0x110, -11, 10, {{{Font::Roman, 'D', 1, 0, 0}}}, "M-10,-2 -3,-2"},
    {0x111, -9, 10, {{{Font::Roman, 'd', 1, 0, 0}}}, "M2,-9 9,-9"},
    {0xF0, -9, 10, {{{Font::Math, 0x6D, 1, 0, 0}}}, "M-1,-8 5,-11"},
    {0x2248, -12, 12, {{{Font::Math, 0x7F, 1, 0, -3}, {Font::Math, 0x7F, 1, 0, 3}}}, ""},
    {0x2245, -12, 12, {{{Font::Math, 0x7F, 1, 0, -5}}}, "M-9,0 9,0 M-9,4 9,4"},
    {0x22A0, -7, 7, {{{Font::Markers, 0x42, 1, 0, 0}}}, "M-6,-6 6,6 M6,-6 -6,6"},
    {0x2030,
     -12,
     12,
     {{{Font::Roman, '%', 0.8, -2, 1.8}}},
     "M7,4 6,5 6,7 7,9 9,9 10,8 10,6 9,4 7,4"},
};

// A composed glyph: its character, strokes, centre (Hershey units) and cells.
struct Entry {
    char32_t code;
    Shape points;
    double centre;
    std::uint8_t cells = 1;
};
using Entries = std::vector<Entry>;

const std::vector<JhfGlyph>& FontOf(const HersheySources& fonts, Font f) {
    switch (f) {
        case Font::Greek: return fonts.greek;
        case Font::Math: return fonts.math;
        case Font::Symbols: return fonts.symbols;
        case Font::Markers: return fonts.markers;
        default: return fonts.roman;
    }
}

// Accented letters and the glyphs of the other fonts.
void AddLetters(const HersheySources& fonts, Entries& out) {
    for (const Accented& a : AccentedLetters) {
        for (const bool small : {false, true}) {
            // The small i takes its accent in place of the dot.
            const char base = small ? static_cast<char>(a.base - 'A' + 'a') : a.base;
            Composed c = base == 'i' ? Composed{Parse("M0,-5 0,9"), 0} : FromJhf(fonts.roman, base);
            AddMark(c, a.mark);
            out.push_back({small ? a.small : a.capital, c.points, c.centre});
        }
    }
    for (const Borrowed& b : BorrowedGlyphs) {
        const Composed c = FromJhf(FontOf(fonts, b.font), b.position);
        out.push_back({b.code, c.points, c.centre});
    }
    // The Greek letters, capitals and small, in Unicode's order (no final sigma).
    for (char32_t k = 0; k < 24; ++k) {
        const char32_t code = k + (k >= 17 ? 1 : 0);
        const Composed capital = FromJhf(fonts.greek, 0x41 + k);
        out.push_back({0x391 + code, capital.points, capital.centre});
        const Composed small = FromJhf(fonts.greek, 0x61 + k);
        out.push_back({0x3B1 + code, small.points, small.centre});
    }
}

// The glyphs drawn here and the accents on their own.
void AddDrawn(Entries& out) {
    for (const Drawn& d : DrawnGlyphs)
        out.push_back({d.code, Parse(d.strokes), (d.left + d.right) / 2.0});
    for (const NonEscaping& n : NonEscapingMarks) {
        for (const bool small : {false, true}) {
            Composed c;
            AddMark(c, n.mark, small ? -5 : -12);
            out.push_back({n.code + (small ? 0xF000 : 0), c.points, 0, 0});
        }
    }
    // Low line and overline, non-escaping too.
    out.push_back({0x332, Parse("M-8,12 8,12"), 0, 0});
    out.push_back({0x305, Parse("M-8,-14 8,-14"), 0, 0});
    for (const NonEscaping& n : SpacingMarks) {
        Composed c;
        AddMark(c, n.mark);
        out.push_back({n.code, c.points, 0});
    }
}

// Glyphs put together from others: scaled, turned or in a circle.
void AddAssembled(const HersheySources& fonts, Entries& out) {
    for (const Assembled& a : AssembledGlyphs) {
        Shape points;
        for (const Part& p : a.parts) {
            if (p.scale == 0) continue;
            const Composed c = FromJhf(FontOf(fonts, p.font), p.position);
            Append(points, c.points, p.scale,
                   p.dx - c.centre * (p.scaleX != 0 ? p.scaleX : p.scale), p.dy, p.scaleX);
        }
        Append(points, Parse(a.strokes));
        out.push_back({a.code, points, (a.left + a.right) / 2.0});
    }
    // Inverted exclamation and question marks: the Roman marks turned half round.
    for (const auto& [code, mark] : {std::pair<char32_t, char>{0xA1, '!'}, {0xBF, '?'}}) {
        Composed c = FromJhf(fonts.roman, mark);
        for (ShapePoint& p : c.points) p = {2 * c.centre - p.x, -3 - p.y, p.starts};
        out.push_back({code, c.points, c.centre});
    }
    // The copyright and registered signs: a letter in a circle.
    for (const auto& [code, letter] : {std::pair<char32_t, char>{0xA9, 'C'}, {0xAE, 'R'}}) {
        Shape points;
        constexpr int Sides = 24;
        for (int i = 0; i <= Sides; ++i) {
            const double a = 2 * std::numbers::pi * i / Sides;
            points.push_back({10 * std::cos(a), -1.5 + 10 * std::sin(a), i == 0});
        }
        const Composed c = FromJhf(fonts.roman, letter);
        Append(points, c.points, 0.5, -c.centre * 0.5, -0.75);
        out.push_back({code, points, 0});
    }
}

}  // namespace

void StrokeFont::AddComposed(const HersheySources& fonts) {
    Entries entries;
    AddLetters(fonts, entries);
    AddDrawn(entries);
    AddAssembled(fonts, entries);
    for (const Entry& e : entries) AddRoman(e.code, e.points, e.centre, e.cells);
}

}  // namespace kestrel::reader
