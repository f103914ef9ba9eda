#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel::reader {

// A point of a glyph in character units: u across (1 = the character width), v up
// (0 = baseline, 1 = cap height). A point that starts a stroke is not joined to the
// point before it.
struct GlyphPoint {
    float u = 0;
    float v = 0;
    bool starts = false;
};

struct Glyph {
    std::uint32_t first = 0;                       // index of its first point
    std::uint32_t count = 0;                       // no points: a blank that only advances
    float minU = 0, minV = 0, maxU = 0, maxV = 0;  // bounds of its points
    float body = 1;                                // width of the drawn body, in character widths
    std::uint8_t cells = 1;                        // character cells it advances by along a line
};

// One glyph of a .jhf file, in Hershey units (y grows downwards).
struct JhfGlyph {
    int left = 0;
    int right = 0;
    struct Point {
        int x = 0;
        int y = 0;
        bool starts = false;
    };
    std::vector<Point> points;
};

// The glyphs of a .jhf text in file order. A record is a 5-column glyph number, a
// 3-column count of coordinate pairs (the margins included) and the pairs, which may go
// on over the following lines; " R" lifts the pen. Malformed records are skipped.
std::vector<JhfGlyph> ParseJhf(std::string_view text);

// A point of a glyph being built, in Hershey units (y grows downwards).
struct ShapePoint {
    double x = 0;
    double y = 0;
    bool starts = false;
};

// The Hershey fonts a composed glyph may take strokes from, in file order.
struct HersheySources {
    const std::vector<JhfGlyph>& roman;    // simplex Roman
    const std::vector<JhfGlyph>& greek;    // simplex Greek
    const std::vector<JhfGlyph>& math;     // simplex mathematical signs
    const std::vector<JhfGlyph>& symbols;  // miscellaneous symbols
    const std::vector<JhfGlyph>& markers;
};

// The stroke font of labels: Hershey simplex Roman for the 8-bit codes, the Hershey
// Japanese set for two-byte (JIS X 0208) and half-width katakana codes, and a box for
// every character the font has no glyph for. Latin letters with accents, and the signs of
// the plotters' character sets, are composed from Roman letters and accent strokes or
// taken from the Hershey Greek, mathematical and symbol fonts (see ForCodePoint).
class StrokeFont {
public:
    static const StrokeFont& Standard();

    std::span<const GlyphPoint> Points(std::uint16_t glyph) const {
        const Glyph& g = glyphs_[glyph];
        return {points_.data() + g.first, g.count};
    }
    const Glyph& At(std::uint16_t glyph) const { return glyphs_[glyph]; }
    std::size_t Count() const { return glyphs_.size(); }

    // An 8-bit code (ASCII, the degree sign of Roman-8 and Latin-1).
    std::uint16_t ForByte(unsigned char code) const;
    // A JIS X 0208 code (row and cell each 0x21..0x7E).
    std::uint16_t ForJis(std::uint16_t jis) const;
    // A half-width katakana byte (0xA1..0xDF); `mark` is the byte after it, and
    // `joined` tells whether it was a voicing mark drawn into this glyph.
    std::uint16_t ForHalfWidthKana(unsigned char code, unsigned char mark, bool& joined) const;
    // A Unicode character: ASCII and the degree sign as ForByte, half-width katakana
    // (U+FF61..U+FF9F) as ForHalfWidthKana without a voicing mark, and the composed glyphs.
    // Non-spacing marks (U+0300..U+036F) are the non-escaping accents of the national
    // character sets: drawn above a capital, they advance by no cell (Glyph::cells 0); the
    // private characters U+F300 + (mark - U+0300) are the same accents above a small letter.
    // Every other character is the missing-glyph box.
    std::uint16_t ForCodePoint(char32_t code) const;
    std::uint16_t MissingGlyph() const { return missing_; }

private:
    StrokeFont();
    std::uint16_t Add(const JhfGlyph& g, double centreU, double unitsPerWidth, float body,
                      std::uint8_t cells);
    std::uint16_t AddShape(const std::vector<ShapePoint>& points, double centre, double centreU,
                           double unitsPerWidth, float body, std::uint8_t cells);
    std::uint16_t AddBox(const JhfGlyph& g);
    // A composed glyph, in the Roman glyphs' scale; see glyph_recipes.cpp.
    void AddRoman(char32_t code, const std::vector<ShapePoint>& points, double centre,
                  std::uint8_t cells = 1);
    void AddComposed(const HersheySources& fonts);

    std::vector<GlyphPoint> points_;
    std::vector<Glyph> glyphs_;
    std::uint16_t roman_ = 0;       // 0x20..0x7F
    std::uint16_t wideRoman_ = 0;   // the same, two cells wide
    std::uint16_t japanese_ = 0;    // the Japanese set in file order, two cells wide
    std::uint16_t narrowKana_ = 0;  // the same, one cell wide
    std::uint16_t wideSpace_ = 0;
    std::uint16_t missing_ = 0;
    std::vector<std::pair<char32_t, std::uint16_t>> composed_;  // sorted by character
};

// JIS X 0208 code of a Shift-JIS byte pair; 0 when the pair is none.
std::uint16_t ShiftJisToJis(unsigned char lead, unsigned char trail);

}  // namespace kestrel::reader
