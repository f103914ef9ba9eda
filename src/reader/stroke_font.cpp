#include "reader/stroke_font.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <utility>

namespace kestrel::reader {

// The .jhf files of the Hershey fonts, built into the program (see CMakeLists.txt).
extern const std::string_view HersheyRomanSimplex;
extern const std::string_view HersheyJapanese;
extern const std::string_view HersheyMarkers;
extern const std::string_view HersheyGreekSimplex;
extern const std::string_view HersheyMath;
extern const std::string_view HersheySymbols;

namespace {

// Hershey simplex Roman: capitals stand on y = 9 and reach up to y = -12; a capital
// such as A is 16 units wide.
constexpr double Baseline = 9;
constexpr double CapHeight = 21;
constexpr double RomanWidth = 16;
// The Japanese glyphs are about 22 units square.
constexpr double JapaneseWidth = 22;
// A two-cell character's body: both cells but the space after the second.
constexpr float WideBody = 2.5f;

constexpr int JapaneseCount = 193;
constexpr int MarkerSquare = 34;

// Positions in the Japanese set: its first kana, and where the katakana repeat the
// hiragana's order.
constexpr int KatakanaOffset = 80;

// The Japanese glyph of each JIS row-4 cell from 0x21 (the hiragana); small kana share
// the glyph of their full-size kana. Row 5 (katakana) is the same, KatakanaOffset on.
constexpr std::array<std::uint8_t, 83> KanaGlyphs{
    33, 33, 34, 34, 35, 35,  36,  36, 37,  37,  38, 88,  39,  89, 40,  90,  41, 91,  42,  92,  43,
    93, 44, 94, 45, 95, 46,  96,  47, 97,  48,  98, 49,  99,  50, 50,  100, 51, 101, 52,  102, 53,
    54, 55, 56, 57, 58, 103, 108, 59, 104, 109, 60, 105, 110, 61, 106, 111, 62, 107, 112, 63,  64,
    65, 66, 67, 68, 68, 70,  70,  72, 72,  73,  74, 75,  76,  77, 78,  78,  79, 81,  82,  83};

// Punctuation and the kanji the set has, by JIS code.
constexpr std::array<std::pair<std::uint16_t, std::uint8_t>, 27> JisGlyphs{{
    {0x2122, 1},  {0x2123, 0},  {0x213C, 2},  {0x306C, 18}, {0x315F, 4},  {0x357E, 12},
    {0x3665, 26}, {0x385E, 22}, {0x3971, 7},  {0x3B30, 20}, {0x3B4D, 21}, {0x3B7E, 14},
    {0x3C37, 24}, {0x3C54, 16}, {0x3D3D, 17}, {0x3D50, 13}, {0x3E65, 15}, {0x3F4D, 8},
    {0x4267, 6},  {0x4366, 10}, {0x456C, 9},  {0x4673, 19}, {0x467C, 3},  {0x472F, 5},
    {0x482C, 25}, {0x4B5C, 11}, {0x4F3B, 23},
}};

// Full-width forms of ASCII punctuation in JIS row 1 (digits and letters are row 3,
// cell = ASCII code).
constexpr std::array<std::pair<std::uint16_t, char>, 28> WideAscii{{
    {0x2124, ','}, {0x2125, '.'}, {0x2127, ':'}, {0x2128, ';'}, {0x2129, '?'},  {0x212A, '!'},
    {0x212E, '`'}, {0x2130, '^'}, {0x2132, '_'}, {0x213F, '/'}, {0x2140, '\\'}, {0x2143, '|'},
    {0x214A, '('}, {0x214B, ')'}, {0x214E, '['}, {0x214F, ']'}, {0x2150, '{'},  {0x2151, '}'},
    {0x215C, '+'}, {0x2161, '='}, {0x2163, '<'}, {0x2164, '>'}, {0x2170, '$'},  {0x2173, '%'},
    {0x2174, '#'}, {0x2175, '&'}, {0x2176, '*'}, {0x2177, '@'},
}};

// JIS code of each half-width katakana byte from 0xA1.
constexpr std::array<std::uint16_t, 63> HalfWidthKana{
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529,
    0x2563, 0x2565, 0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B,
    0x252D, 0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541,
    0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D, 0x254E, 0x254F, 0x2552, 0x2555,
    0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C};
constexpr unsigned char VoicedMark = 0xDE;
constexpr unsigned char SemiVoicedMark = 0xDF;
constexpr int FirstVoicedKatakana = 168;

// The Japanese glyph of a JIS code, or -1.
int JapaneseGlyph(std::uint16_t jis) {
    const int row = jis >> 8;
    const int cell = jis & 0xFF;
    if ((row == 0x24 || row == 0x25) && cell >= 0x21 &&
        cell < 0x21 + static_cast<int>(KanaGlyphs.size())) {
        return KanaGlyphs[static_cast<std::size_t>(cell - 0x21)] +
               (row == 0x25 ? KatakanaOffset : 0);
    }
    if (jis == 0x2575) return 118;  // small ka
    if (jis == 0x2576) return 121;  // small ke
    const auto it =
        std::lower_bound(JisGlyphs.begin(), JisGlyphs.end(), jis,
                         [](const auto& e, std::uint16_t code) { return e.first < code; });
    return it != JisGlyphs.end() && it->first == jis ? it->second : -1;
}

}  // namespace

std::vector<JhfGlyph> ParseJhf(std::string_view text) {
    std::vector<JhfGlyph> glyphs;
    std::string data;
    int pairs = 0;
    auto finish = [&] {
        JhfGlyph g;
        g.left = data[0] - 'R';
        g.right = data[1] - 'R';
        bool lifted = true;
        for (std::size_t i = 2; i + 1 < data.size(); i += 2) {
            if (data[i] == ' ' && data[i + 1] == 'R') {
                lifted = true;
                continue;
            }
            g.points.push_back({data[i] - 'R', data[i + 1] - 'R', lifted});
            lifted = false;
        }
        glyphs.push_back(std::move(g));
        data.clear();
        pairs = 0;
    };
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (pairs > 0) {
            data.append(line);  // a record going on over this line
        } else {
            int count = 0;
            if (line.size() < 8) continue;
            std::string_view field = line.substr(5, 3);
            while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
            const auto [ptr, ec] =
                std::from_chars(field.data(), field.data() + field.size(), count);
            if (ec != std::errc() || ptr != field.data() + field.size() || count < 1) continue;
            pairs = count;
            data.assign(line.substr(8));
        }
        if (data.size() >= static_cast<std::size_t>(pairs) * 2) {
            data.resize(static_cast<std::size_t>(pairs) * 2);
            finish();
        }
    }
    return glyphs;
}

std::uint16_t StrokeFont::Add(const JhfGlyph& g, double centreU, double unitsPerWidth, float body,
                              std::uint8_t cells) {
    std::vector<ShapePoint> points;
    points.reserve(g.points.size());
    for (const auto& p : g.points) points.push_back({double(p.x), double(p.y), p.starts});
    return AddShape(points, (g.left + g.right) / 2.0, centreU, unitsPerWidth, body, cells);
}

std::uint16_t StrokeFont::AddShape(const std::vector<ShapePoint>& points, double centre,
                                   double centreU, double unitsPerWidth, float body,
                                   std::uint8_t cells) {
    Glyph out;
    out.first = static_cast<std::uint32_t>(points_.size());
    out.count = static_cast<std::uint32_t>(points.size());
    out.body = body;
    out.cells = cells;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const auto& p = points[i];
        const GlyphPoint q{static_cast<float>((p.x - centre) / unitsPerWidth + centreU),
                           static_cast<float>((Baseline - p.y) / CapHeight), p.starts};
        points_.push_back(q);
        if (i == 0) {
            out.minU = out.maxU = q.u;
            out.minV = out.maxV = q.v;
        }
        out.minU = std::min(out.minU, q.u);
        out.maxU = std::max(out.maxU, q.u);
        out.minV = std::min(out.minV, q.v);
        out.maxV = std::max(out.maxV, q.v);
    }
    glyphs_.push_back(out);
    return static_cast<std::uint16_t>(glyphs_.size() - 1);
}

void StrokeFont::AddRoman(char32_t code, const std::vector<ShapePoint>& points, double centre,
                          std::uint8_t cells) {
    composed_.emplace_back(code, AddShape(points, centre, 0.5, RomanWidth, 1, cells));
}

// The missing-glyph mark: the marker set's square, stretched over the character body.
std::uint16_t StrokeFont::AddBox(const JhfGlyph& square) {
    JhfGlyph g = square;
    if (g.points.empty())
        g.points = {{0, 0, true}, {1, 0, false}, {1, 1, false}, {0, 1, false}, {0, 0, false}};
    const auto [minX, maxX] = std::minmax_element(
        g.points.begin(), g.points.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
    const auto [minY, maxY] = std::minmax_element(
        g.points.begin(), g.points.end(), [](const auto& a, const auto& b) { return a.y < b.y; });
    const double width = std::max(maxX->x - minX->x, 1);
    const double height = std::max(maxY->y - minY->y, 1);
    Glyph out;
    out.first = static_cast<std::uint32_t>(points_.size());
    out.count = static_cast<std::uint32_t>(g.points.size());
    out.maxU = out.maxV = 1;
    for (const auto& p : g.points) {
        points_.push_back({static_cast<float>((p.x - minX->x) / width),
                           static_cast<float>((maxY->y - p.y) / height), p.starts});
    }
    glyphs_.push_back(out);
    return static_cast<std::uint16_t>(glyphs_.size() - 1);
}

StrokeFont::StrokeFont() {
    const std::vector<JhfGlyph> roman = ParseJhf(HersheyRomanSimplex);
    const std::vector<JhfGlyph> japanese = ParseJhf(HersheyJapanese);
    const std::vector<JhfGlyph> markers = ParseJhf(HersheyMarkers);
    const JhfGlyph blank;
    auto glyph = [&blank](const std::vector<JhfGlyph>& font, int i) -> const JhfGlyph& {
        return i < static_cast<int>(font.size()) ? font[static_cast<std::size_t>(i)] : blank;
    };

    roman_ = static_cast<std::uint16_t>(glyphs_.size());
    for (int c = 0; c < 96; ++c) Add(glyph(roman, c), 0.5, RomanWidth, 1, 1);
    wideRoman_ = static_cast<std::uint16_t>(glyphs_.size());
    for (int c = 0; c < 96; ++c) Add(glyph(roman, c), WideBody / 2, RomanWidth, WideBody, 2);
    japanese_ = static_cast<std::uint16_t>(glyphs_.size());
    for (int i = 0; i < JapaneseCount; ++i)
        Add(glyph(japanese, i), WideBody / 2, JapaneseWidth / 2, WideBody, 2);
    narrowKana_ = static_cast<std::uint16_t>(glyphs_.size());
    for (int i = 0; i < JapaneseCount; ++i) Add(glyph(japanese, i), 0.5, JapaneseWidth, 1, 1);
    wideSpace_ = Add(blank, 0, 1, WideBody, 2);
    missing_ = AddBox(glyph(markers, MarkerSquare));
    // Appended after the glyphs above, which keep their numbers.
    const std::vector<JhfGlyph> greek = ParseJhf(HersheyGreekSimplex);
    const std::vector<JhfGlyph> math = ParseJhf(HersheyMath);
    const std::vector<JhfGlyph> symbols = ParseJhf(HersheySymbols);
    AddComposed({roman, greek, math, symbols, markers});
    std::sort(composed_.begin(), composed_.end());
}

const StrokeFont& StrokeFont::Standard() {
    static const StrokeFont font;
    return font;
}

std::uint16_t StrokeFont::ForByte(unsigned char code) const {
    if (code >= 0x20 && code < 0x7F) return static_cast<std::uint16_t>(roman_ + code - 0x20);
    // The degree sign: Roman-8 0xB3, Latin-1 0xB0; the font has it at 0x7F.
    if (code == 0xB3 || code == 0xB0) return static_cast<std::uint16_t>(roman_ + 0x7F - 0x20);
    return missing_;
}

std::uint16_t StrokeFont::ForCodePoint(char32_t code) const {
    if (code < 0x80 || code == 0xB0) return ForByte(static_cast<unsigned char>(code));
    if (code == 0xA0) return ForByte(' ');  // no-break space
    if (code == 0xAD) return ForByte('-');  // soft hyphen
    if (code >= 0xFF61 && code <= 0xFF9F) {
        bool joined = false;
        return ForHalfWidthKana(static_cast<unsigned char>(code - 0xFF61 + 0xA1), 0, joined);
    }
    const auto it = std::lower_bound(
        composed_.begin(), composed_.end(), code,
        [](const std::pair<char32_t, std::uint16_t>& e, char32_t c) { return e.first < c; });
    return it != composed_.end() && it->first == code ? it->second : missing_;
}

std::uint16_t StrokeFont::ForJis(std::uint16_t jis) const {
    if (jis == 0x2121) return wideSpace_;
    const int row = jis >> 8;
    const int cell = jis & 0xFF;
    if (row == 0x23 && cell >= 0x30 && cell <= 0x7A) {
        const bool alnum = cell <= 0x39 || (cell >= 0x41 && cell <= 0x5A) || cell >= 0x61;
        if (alnum) return static_cast<std::uint16_t>(wideRoman_ + cell - 0x20);
    }
    const int glyph = JapaneseGlyph(jis);
    if (glyph >= 0) return static_cast<std::uint16_t>(japanese_ + glyph);
    for (const auto& [code, ascii] : WideAscii) {
        if (code == jis) return static_cast<std::uint16_t>(wideRoman_ + ascii - 0x20);
    }
    return missing_;
}

std::uint16_t StrokeFont::ForHalfWidthKana(unsigned char code, unsigned char mark,
                                           bool& joined) const {
    joined = false;
    if (code < 0xA1 || code > 0xDF) return missing_;
    const std::uint16_t jis = HalfWidthKana[code - 0xA1];
    // A voicing mark after a kana that has a voiced form: that form, one glyph.
    if (mark == VoicedMark || mark == SemiVoicedMark) {
        const int voiced =
            JapaneseGlyph(static_cast<std::uint16_t>(jis + (mark == VoicedMark ? 1 : 2)));
        if (voiced >= FirstVoicedKatakana) {
            joined = true;
            return static_cast<std::uint16_t>(narrowKana_ + voiced);
        }
    }
    const int glyph = JapaneseGlyph(jis);
    return glyph >= 0 ? static_cast<std::uint16_t>(narrowKana_ + glyph) : missing_;
}

std::uint16_t ShiftJisToJis(unsigned char lead, unsigned char trail) {
    const bool leadOk = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF);
    const bool trailOk = trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
    if (!leadOk || !trailOk) return 0;
    int row = (lead - (lead <= 0x9F ? 0x70 : 0xB0)) << 1;
    int cell;
    if (trail < 0x9F) {
        row -= 1;
        cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
    } else {
        cell = trail - 0x7E;
    }
    return static_cast<std::uint16_t>(row << 8 | cell);
}

}  // namespace kestrel::reader
