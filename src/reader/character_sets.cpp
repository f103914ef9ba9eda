#include "reader/character_sets.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "reader/stroke_font.h"

namespace kestrel::reader {

namespace {

// Sources: the HP-GL set numbers and names are those of the HP 7475A/7550A manuals (as the
// HP-GL emulations of later printers list them); the national sets 1..5 as hp2xx draws them
// from those manuals' charts (not confirmed against HP's own tables); the ISO 646 sets as
// ISO-IR registers them (glibc's charmaps); Roman-8 as the LaserJet IIP User's Manual gives
// it; PC-8, PC-850 and Windows Latin 1 as IBM code pages 437 and 850 and Windows code page
// 1252, which the PCL symbol sets 10U, 12U and 19U are.

// A code of a 7-bit set that differs from ASCII.
struct Substitution {
    unsigned char byte;
    char16_t code;
};

// The non-escaping accents (see StrokeFont::ForCodePoint): above a capital, above a small
// letter, and the low line.
constexpr char16_t Small = 0xF000;
constexpr char16_t Grave = 0x300, Acute = 0x301, Circumflex = 0x302, Tilde = 0x303;
constexpr char16_t Diaeresis = 0x308, Ring = 0x30A, Overline = 0x305, LowLine = 0x332;

constexpr Substitution Hp9825[] = {{0x5C, 0x221A}, {0x5E, 0x2191}, {0x7B, 0x3C0}, {0x7D, 0x2192}};
constexpr Substitution FrenchGerman[] = {
    {0x23, 0xA3},  {0x27, Acute},     {0x5C, 0xE7}, {0x5E, Circumflex},       {0x5F, LowLine},
    {0x60, Grave}, {0x7B, Diaeresis}, {0x7C, Ring}, {0x7D, Small + Diaeresis}};
constexpr Substitution Scandinavian[] = {
    {0x23, 0xA3},        {0x5B, 0xD8}, {0x5C, 0xC6},
    {0x5D, 0xF8},        {0x5E, 0xE6}, {0x5F, LowLine},
    {0x7B, Diaeresis},   {0x7C, Ring}, {0x7D, Small + Diaeresis},
    {0x7E, Small + Ring}};
constexpr Substitution SpanishLatin[] = {
    {0x23, 0xBF},  {0x27, Acute}, {0x5C, 0xA1},          {0x5E, Circumflex},   {0x5F, LowLine},
    {0x7B, Tilde}, {0x7C, Tilde}, {0x7D, Small + Tilde}, {0x7E, Small + Tilde}};
// Markers and mathematical signs; 0x47..0x4A, 0x4D, 0x50 and 0x51 are markers with no
// known character.
constexpr Substitution SpecialSymbols[] = {
    {0x41, 0x25A1}, {0x42, 0x25CB},   {0x43, 0x25B3}, {0x44, 0x2B},   {0x45, 0xD7},
    {0x46, 0x25C7}, {0x47, 0},        {0x48, 0},      {0x49, 0},      {0x4A, 0},
    {0x4B, 0x22A0}, {0x4C, 0x2A},     {0x4D, 0},      {0x4E, 0x7C},   {0x4F, 0x2721},
    {0x50, 0},      {0x51, 0},        {0x61, 0x2229}, {0x62, 0x2283}, {0x63, 0x2282},
    {0x64, 0x222A}, {0x65, Overline}, {0x66, 0x2261}, {0x67, 0x2245}, {0x68, 0x2248},
    {0x69, 0x223C}, {0x6A, 0x2264},   {0x6B, 0x2265}, {0x6C, 0x2260}, {0x6D, 0x394},
    {0x6E, 0x3A0},  {0x6F, 0x3A3},    {0x70, 0xB1},   {0x71, 0x2213}, {0x72, 0x2192},
    {0x73, 0x2191}, {0x74, 0x2190},   {0x75, 0x2193}, {0x76, 0x222B}, {0x77, 0xF7},
    {0x78, 0xD7},   {0x79, 0x2207},   {0x7A, 0xB0}};
constexpr Substitution JisAscii[] = {{0x5C, 0xA5}, {0x7E, 0x203E}};
constexpr Substitution IsoIrv[] = {{0x24, 0xA4}, {0x7E, 0x203E}};
// ISO 646 national variants, by ISO-IR number.
constexpr Substitution Iso10Swedish[] = {{0x24, 0xA4}, {0x5B, 0xC4}, {0x5C, 0xD6}, {0x5D, 0xC5},
                                         {0x7B, 0xE4}, {0x7C, 0xF6}, {0x7D, 0xE5}, {0x7E, 0x203E}};
constexpr Substitution Iso11SwedishNames[] = {
    {0x24, 0xA4}, {0x40, 0xC9}, {0x5B, 0xC4}, {0x5C, 0xD6}, {0x5D, 0xC5}, {0x5E, 0xDC},
    {0x60, 0xE9}, {0x7B, 0xE4}, {0x7C, 0xF6}, {0x7D, 0xE5}, {0x7E, 0xFC}};
constexpr Substitution Iso60Norwegian1[] = {{0x5B, 0xC6}, {0x5C, 0xD8}, {0x5D, 0xC5},  {0x7B, 0xE6},
                                            {0x7C, 0xF8}, {0x7D, 0xE5}, {0x7E, 0x203E}};
constexpr Substitution Iso21German[] = {{0x40, 0xA7}, {0x5B, 0xC4}, {0x5C, 0xD6}, {0x5D, 0xDC},
                                        {0x7B, 0xE4}, {0x7C, 0xF6}, {0x7D, 0xFC}, {0x7E, 0xDF}};
constexpr Substitution Iso69French[] = {{0x23, 0xA3}, {0x40, 0xE0}, {0x5B, 0xB0}, {0x5C, 0xE7},
                                        {0x5D, 0xA7}, {0x60, 0xB5}, {0x7B, 0xE9}, {0x7C, 0xF9},
                                        {0x7D, 0xE8}, {0x7E, 0xA8}};
constexpr Substitution Iso4UnitedKingdom[] = {{0x23, 0xA3}, {0x7E, 0x203E}};
constexpr Substitution Iso15Italian[] = {{0x23, 0xA3}, {0x40, 0xA7}, {0x5B, 0xB0}, {0x5C, 0xE7},
                                         {0x5D, 0xE9}, {0x60, 0xF9}, {0x7B, 0xE0}, {0x7C, 0xF2},
                                         {0x7D, 0xE8}, {0x7E, 0xEC}};
constexpr Substitution Iso17Spanish[] = {{0x23, 0xA3}, {0x40, 0xA7}, {0x5B, 0xA1}, {0x5C, 0xD1},
                                         {0x5D, 0xBF}, {0x7B, 0xB0}, {0x7C, 0xF1}, {0x7D, 0xE7}};
constexpr Substitution Iso16Portuguese[] = {{0x40, 0xA7}, {0x5B, 0xC3}, {0x5C, 0xC7}, {0x5D, 0xD5},
                                            {0x7B, 0xE3}, {0x7C, 0xE7}, {0x7D, 0xF5}, {0x7E, 0xB0}};
constexpr Substitution Iso61Norwegian2[] = {{0x23, 0xA7}, {0x5B, 0xC6}, {0x5C, 0xD8}, {0x5D, 0xC5},
                                            {0x7B, 0xE6}, {0x7C, 0xF8}, {0x7D, 0xE5}, {0x7E, 0x7C}};

// Roman-8 from 0xA0
constexpr std::array<char16_t, 96> Roman8Upper{
    0x00A0, 0x00C0, 0x00C2, 0x00C8, 0x00CA, 0x00CB, 0x00CE, 0x00CF, 0x00B4, 0x02CB, 0x02C6, 0x00A8,
    0x02DC, 0x00D9, 0x00DB, 0x20A4, 0x00AF, 0x00DD, 0x00FD, 0x00B0, 0x00C7, 0x00E7, 0x00D1, 0x00F1,
    0x00A1, 0x00BF, 0x00A4, 0x00A3, 0x00A5, 0x00A7, 0x0192, 0x00A2, 0x00E2, 0x00EA, 0x00F4, 0x00FB,
    0x00E1, 0x00E9, 0x00F3, 0x00FA, 0x00E0, 0x00E8, 0x00F2, 0x00F9, 0x00E4, 0x00EB, 0x00F6, 0x00FC,
    0x00C5, 0x00EE, 0x00D8, 0x00C6, 0x00E5, 0x00ED, 0x00F8, 0x00E6, 0x00C4, 0x00EC, 0x00D6, 0x00DC,
    0x00C9, 0x00EF, 0x00DF, 0x00D4, 0x00C1, 0x00C3, 0x00E3, 0x00D0, 0x00F0, 0x00CD, 0x00CC, 0x00D3,
    0x00D2, 0x00D5, 0x00F5, 0x0160, 0x0161, 0x00DA, 0x0178, 0x00FF, 0x00DE, 0x00FE, 0x00B7, 0x00B5,
    0x00B6, 0x00BE, 0x2014, 0x00BC, 0x00BD, 0x00AA, 0x00BA, 0x00AB, 0x25A0, 0x00BB, 0x00B1, 0x0000,
};
// PC-8 (IBM code page 437) from 0x80
constexpr std::array<char16_t, 128> Pc8Upper{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};
// PC-850 (IBM code page 850) from 0x80
constexpr std::array<char16_t, 128> Pc850Upper{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};
// Windows Latin 1 (code page 1252) from 0x80
constexpr std::array<char16_t, 128> WindowsLatin1Upper{
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0x0000, 0x017D, 0x0000, 0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3,
    0x00A4, 0x00A5, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB,
    0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3,
    0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB,
    0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

// How a set reads the bytes from 0x80 (see LabelCharacters).
enum class Upper : std::uint8_t {
    Legacy,     // as labels did before sets were kept
    LowerHalf,  // the byte's lower 7 bits: set 7
    ShiftJis,   // set 8
    Latin1,     // ISO 8859-1
    Table,      // the set's own table from 0x80
};

// What a 7-bit set has on 0x21..0x7E.
enum class Lower : std::uint8_t { Ascii, RomanExtensions, Katakana };

struct Definition {
    CharacterSet set;
    Lower lower = Lower::Ascii;
    std::span<const Substitution> changes = {};
    Upper upper = Upper::Legacy;
    std::span<const char16_t> table = {};  // from 0x80
};

using Hp = CharacterSet;
// Set 0 first: the one for sets not known.
const Definition Definitions[] = {
    {Hp::Hpgl(0)},
    {Hp::Hpgl(1), Lower::Ascii, Hp9825},
    {Hp::Hpgl(2), Lower::Ascii, FrenchGerman},
    {Hp::Hpgl(3), Lower::Ascii, Scandinavian},
    {Hp::Hpgl(4), Lower::Ascii, SpanishLatin},
    {Hp::Hpgl(5), Lower::Ascii, SpecialSymbols},
    {Hp::Hpgl(6), Lower::Ascii, JisAscii},
    {Hp::Hpgl(7), Lower::RomanExtensions, {}, Upper::LowerHalf},
    {Hp::Hpgl(8), Lower::Katakana, {}, Upper::ShiftJis},
    {Hp::Hpgl(9), Lower::Ascii, IsoIrv},
    {Hp::Hpgl(30), Lower::Ascii, Iso10Swedish},
    {Hp::Hpgl(31), Lower::Ascii, Iso11SwedishNames},
    {Hp::Hpgl(32), Lower::Ascii, Iso60Norwegian1},
    {Hp::Hpgl(33), Lower::Ascii, Iso21German},
    {Hp::Hpgl(34), Lower::Ascii, Iso69French},
    {Hp::Hpgl(35), Lower::Ascii, Iso4UnitedKingdom},
    {Hp::Hpgl(36), Lower::Ascii, Iso15Italian},
    {Hp::Hpgl(37), Lower::Ascii, Iso17Spanish},
    {Hp::Hpgl(38), Lower::Ascii, Iso16Portuguese},
    {Hp::Hpgl(39), Lower::Ascii, Iso61Norwegian2},
    {Hp::Symbol(21)},  // 0U ASCII
    {Hp::Symbol(277), Lower::Ascii, {}, Upper::Table, Roman8Upper},
    {Hp::Symbol(14), Lower::Ascii, {}, Upper::Latin1},
    {Hp::Symbol(341), Lower::Ascii, {}, Upper::Table, Pc8Upper},
    {Hp::Symbol(405), Lower::Ascii, {}, Upper::Table, Pc850Upper},
    {Hp::Symbol(629), Lower::Ascii, {}, Upper::Table, WindowsLatin1Upper},
    {Hp::Symbol(4), Lower::Ascii, Iso60Norwegian1},     // 0D
    {Hp::Symbol(36), Lower::Ascii, Iso61Norwegian2},    // 1D
    {Hp::Symbol(37), Lower::Ascii, Iso4UnitedKingdom},  // 1E
    {Hp::Symbol(38), Lower::Ascii, Iso69French},        // 1F
    {Hp::Symbol(39), Lower::Ascii, Iso21German},        // 1G
    {Hp::Symbol(9), Lower::Ascii, Iso15Italian},        // 0I
    {Hp::Symbol(11), Lower::Ascii, JisAscii},           // 0K
    {Hp::Symbol(19), Lower::Ascii, Iso11SwedishNames},  // 0S
    {Hp::Symbol(83), Lower::Ascii, Iso17Spanish},       // 2S
    {Hp::Symbol(115), Lower::Ascii, Iso10Swedish},      // 3S
    {Hp::Symbol(147), Lower::Ascii, Iso16Portuguese},   // 4S
};
constexpr std::size_t SetCount = std::size(Definitions);

std::size_t IndexOf(CharacterSet set) {
    for (std::size_t i = 0; i < SetCount; ++i) {
        if (Definitions[i].set == set) return i;
    }
    return 0;
}

constexpr char32_t DegreeSign = 0xB0;
constexpr char32_t FirstHalfWidthKana = 0xFF61;

// The set's characters, byte by byte, read one byte at a time.
std::array<char32_t, 256> Characters(const Definition& d) {
    std::array<char32_t, 256> out;
    out.fill(NoCharacter);
    for (int b = 0x20; b < 0x7F; ++b) out[b] = static_cast<char32_t>(b);
    for (const Substitution& s : d.changes) out[s.byte] = s.code != 0 ? s.code : NoCharacter;
    for (int b = 0x21; b < 0x7F; ++b) {
        if (d.lower == Lower::RomanExtensions) out[b] = Roman8Upper[b + 0x80 - 0xA0];
        if (d.lower == Lower::Katakana)
            out[b] = b <= 0x5F ? FirstHalfWidthKana + (b - 0x21) : NoCharacter;
    }
    for (int b = 0x80; b < 0x100; ++b) {
        switch (d.upper) {
            case Upper::Legacy:
                // The degree sign of Roman-8 and Latin-1, as labels always had it.
                if (b == 0xB0 || b == 0xB3) out[b] = DegreeSign;
                break;
            case Upper::LowerHalf: out[b] = b >= 0xA0 ? out[b & 0x7F] : NoCharacter; break;
            case Upper::ShiftJis:
                if (b >= 0xA1 && b <= 0xDF) out[b] = FirstHalfWidthKana + (b - 0xA1);
                break;
            case Upper::Latin1: out[b] = b >= 0xA0 ? static_cast<char32_t>(b) : NoCharacter; break;
            case Upper::Table: {
                const int first = 0x100 - static_cast<int>(d.table.size());
                if (b >= first && d.table[b - first] != 0) out[b] = d.table[b - first];
                break;
            }
        }
    }
    return out;
}

struct SetTables {
    std::array<std::array<char32_t, 256>, SetCount> characters;
    std::array<std::array<std::uint16_t, 256>, SetCount> glyphs;
};

const SetTables& Tables() {
    static const SetTables tables = [] {
        SetTables t;
        const StrokeFont& font = StrokeFont::Standard();
        for (std::size_t i = 0; i < SetCount; ++i) {
            t.characters[i] = Characters(Definitions[i]);
            for (std::size_t b = 0; b < 256; ++b) {
                const char32_t c = t.characters[i][b];
                t.glyphs[i][b] = c == NoCharacter ? font.MissingGlyph() : font.ForCodePoint(c);
            }
        }
        return t;
    }();
    return tables;
}

}  // namespace

bool HasHpglSet(int number) {
    return std::any_of(std::begin(Definitions), std::end(Definitions),
                       [number](const auto& d) { return d.set == CharacterSet::Hpgl(number); });
}

char32_t CharacterOf(CharacterSet set, unsigned char byte) {
    return Tables().characters[IndexOf(set)][byte];
}

bool LooksShiftJis(std::string_view text) {
    bool evidence = false;
    bool afterKana = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool kana = c >= 0xA1 && c <= 0xDF;
        if (kana && afterKana) evidence = true;
        afterKana = kana;
        if (c < 0x80 || kana) continue;
        if (c <= 0x9F && i + 1 < text.size() &&
            ShiftJisToJis(c, static_cast<unsigned char>(text[i + 1])) != 0) {
            evidence = true;
            ++i;
            continue;
        }
        return false;
    }
    return evidence;
}

LabelCharacters::LabelCharacters(const LabelSets& sets, std::string_view text, bool twoByte)
    : sets_(sets), text_(text), twoByte_(twoByte), shiftJis_(!twoByte && LooksShiftJis(text)) {}

unsigned char LabelCharacters::Byte(std::size_t at) const {
    return static_cast<unsigned char>(at < text_.size() ? text_[at] : 0);
}

LabelCharacter LabelCharacters::At(std::size_t at, bool alternate) const {
    const StrokeFont& font = StrokeFont::Standard();
    const unsigned char c = Byte(at);
    const unsigned char next = Byte(at + 1);
    // Two-byte text first, whatever the set.
    if ((jis_ || twoByte_) && c >= 0x21 && c <= 0x7E && next >= 0x21 && next <= 0x7E)
        return {font.ForJis(static_cast<std::uint16_t>(c << 8 | next)), 2};
    if (twoByte_ && c >= 0x81) {
        const std::uint16_t code = ShiftJisToJis(c, next);
        if (code != 0) return {font.ForJis(code), 2};
    }
    return ReadSingle(alternate ? sets_.alternate : sets_.standard, at);
}

LabelCharacter LabelCharacters::ReadSingle(const CharacterSet& set, std::size_t at) const {
    const std::size_t index = IndexOf(set);
    const Definition& d = Definitions[index];
    const unsigned char c = Byte(at);
    if (c >= 0x80 && d.upper == Upper::Legacy) return ReadHighLegacy(at);
    if (c >= 0x80 && d.upper == Upper::ShiftJis) return ReadShiftJis(at, true);
    // Set 8's 7-bit katakana join a voicing mark as the 8-bit ones do.
    if (d.lower == Lower::Katakana && c >= 0x21 && c <= 0x5F)
        return Kana(static_cast<unsigned char>(c | 0x80),
                    static_cast<unsigned char>(Byte(at + 1) | 0x80));
    return {Tables().glyphs[index][c], 1};
}

// Bytes from 0x80 as labels read them before character sets: Shift-JIS in a label that
// looks like it (or in the two-byte modes), else one 8-bit character each.
LabelCharacter LabelCharacters::ReadHighLegacy(std::size_t at) const {
    if (twoByte_ || shiftJis_) return ReadShiftJis(at, false);
    return {StrokeFont::Standard().ForByte(Byte(at)), 1};
}

// `allLeads`: lead bytes from 0xE0 too, which a label guessed to be Shift-JIS never has.
LabelCharacter LabelCharacters::ReadShiftJis(std::size_t at, bool allLeads) const {
    const StrokeFont& font = StrokeFont::Standard();
    const unsigned char c = Byte(at);
    const unsigned char next = Byte(at + 1);
    if (c >= 0xA1 && c <= 0xDF) return Kana(c, next);
    if (c >= 0x81 && (c <= 0x9F || allLeads)) {
        const std::uint16_t code = ShiftJisToJis(c, next);
        if (code != 0) return {font.ForJis(code), 2};
    }
    return {font.ForByte(c), 1};
}

LabelCharacter LabelCharacters::Kana(unsigned char code, unsigned char next) const {
    bool joined = false;
    const std::uint16_t glyph = StrokeFont::Standard().ForHalfWidthKana(code, next, joined);
    return {glyph, static_cast<std::uint8_t>(joined ? 2 : 1)};
}

}  // namespace kestrel::reader
