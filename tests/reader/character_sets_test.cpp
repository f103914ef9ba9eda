// Character sets: which glyph a label's bytes draw under the sets CS/CA and SD/AD choose,
// from the sets' tables (Roman-8, ISO 8859-1, ISO 646, JIS X 0201) and the stroke font.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/character_sets.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "reader/stroke_font.h"

using kestrel::reader::CharacterSet;
using kestrel::reader::LabelCharacters;
using kestrel::reader::LabelSets;
using kestrel::reader::PlotStore;
using kestrel::reader::StrokeFont;

namespace {

const StrokeFont& Font() { return StrokeFont::Standard(); }

// What a glyph should be.
enum class Is {
    Byte,         // StrokeFont::ForByte(code): ASCII and the degree sign
    Character,    // StrokeFont::ForCodePoint(code), which has a glyph
    Accented,     // Character, drawn as the Roman letter `base` with an accent above it
    Dash,         // Character, one horizontal stroke
    Kana,         // StrokeFont::ForHalfWidthKana(code, voicing mark `base`)
    Jis,          // StrokeFont::ForJis(code)
    NonEscaping,  // Character, advancing by no cell
    Missing,
};

std::uint16_t Expected(Is is, char32_t code, char base) {
    bool joined = false;
    switch (is) {
        case Is::Byte: return Font().ForByte(static_cast<unsigned char>(code));
        case Is::Kana:
            return Font().ForHalfWidthKana(static_cast<unsigned char>(code), static_cast<unsigned char>(base), joined);
        case Is::Jis: return Font().ForJis(static_cast<std::uint16_t>(code));
        case Is::Missing: return Font().MissingGlyph();
        default: return Font().ForCodePoint(code);
    }
}

void CheckShape(Is is, std::uint16_t glyph, char base) {
    const auto points = Font().Points(glyph);
    if (is == Is::Accented) {
        // The letter's strokes unchanged, then the accent above the letter.
        const std::uint16_t letter = Font().ForByte(static_cast<unsigned char>(base));
        const auto letterPoints = Font().Points(letter);
        ASSERT_GT(points.size(), letterPoints.size());
        for (std::size_t i = 0; i < letterPoints.size(); ++i) {
            EXPECT_EQ(points[i].u, letterPoints[i].u);
            EXPECT_EQ(points[i].v, letterPoints[i].v);
        }
        for (std::size_t i = letterPoints.size(); i < points.size(); ++i) {
            EXPECT_GT(points[i].v, Font().At(letter).maxV);
        }
    }
    if (is == Is::Dash) {
        ASSERT_EQ(points.size(), 2u);
        EXPECT_EQ(points[0].v, points[1].v);
        EXPECT_GT(points[1].u - points[0].u, 0.9);
    }
    if (is == Is::NonEscaping) EXPECT_EQ(Font().At(glyph).cells, 0);
    // (The Japanese set has only some kanji.)
    if (is != Is::Missing && is != Is::Jis) EXPECT_NE(glyph, Font().MissingGlyph());
}

constexpr CharacterSet Hpgl(int n) { return CharacterSet::Hpgl(n); }
constexpr CharacterSet Symbol(int n) { return CharacterSet::Symbol(n); }

TEST(CharacterSets, BytesDrawTheGlyphOfTheSelectedSet) {
    const struct {
        const char* name;
        LabelSets sets;
        bool alternate;
        bool twoByte;
        std::string text;  // the character is its first bytes
        Is is;
        char32_t code;
        char base = 0;
        int length = 1;
    } cases[] = {
        {"Set7NumberSignIsEGrave", {Hpgl(7)}, false, false, "#", Is::Accented, 0xC8, 'E'},
        {"Roman8DashNotTheBox", {Symbol(277)}, false, false, "\xf6", Is::Dash, 0x2014},
        {"Latin1EAcute", {Symbol(14)}, false, false, "\xe9", Is::Accented, 0xE9, 'e'},
        {"Pc8EAcute", {Symbol(341)}, false, false, "\x82", Is::Character, 0xE9},
        {"Set7HighByteIsItsLowerHalf", {Hpgl(7)}, false, false, "\xa3", Is::Character, 0xC8},
        {"IsoGermanBracketIsAUmlaut", {Hpgl(33)}, false, false, "[", Is::Accented, 0xC4, 'A'},
        {"SymbolSetIsoGermanTheSame", {Symbol(39)}, false, false, "[", Is::Character, 0xC4},
        {"JisAsciiYen", {Hpgl(6)}, false, false, "\\", Is::Character, 0xA5},
        {"IsoIrvCurrencySign", {Hpgl(9)}, false, false, "$", Is::Character, 0xA4},
        {"FrenchGermanAccentDoesNotAdvance", {Hpgl(2)}, false, false, "'", Is::NonEscaping, 0x301},
        {"AlternateSetSelected", {Hpgl(0), Hpgl(7)}, true, false, "#", Is::Character, 0xC8},
        {"StandardSetSelected", {Hpgl(0), Hpgl(7)}, false, false, "#", Is::Byte, '#'},
        // Set 0 reads the bytes above 127 as labels always did.
        {"Set0LoneHighByteIsTheBox", {Hpgl(0)}, false, false, "\xe9", Is::Missing, 0},
        {"Set0DegreeSign", {Hpgl(0)}, false, false, "\xb3", Is::Byte, 0xB3},
        {"Set0ShiftJis", {Hpgl(0)}, false, false, "\x93\xfa\x96{", Is::Jis, 0x467C, 0, 2},
        {"UnknownSymbolSetReadsAsSet0", {Symbol(1611)}, false, false, "\xe9", Is::Missing, 0},
        // Katakana: 7-bit and 8-bit codes, a voicing mark joined; Shift-JIS beside them.
        {"Set8LetterIsKatakana", {Hpgl(8)}, false, false, "A", Is::Kana, 0xC1},
        {"Set8VoicedKana", {Hpgl(8)}, false, false, "\xc3\xde", Is::Kana, 0xC3, '\xde', 2},
        {"Set8SevenBitVoicedKana", {Hpgl(8)}, false, false, "C^", Is::Kana, 0xC3, '\xde', 2},
        {"Set8ShiftJisKanji", {Hpgl(8)}, false, false, "\xe0\x40", Is::Jis, 0x5F21, 0, 2},
        {"Set8LowerCaseHasNoCharacter", {Hpgl(8)}, false, false, "a", Is::Missing, 0},
        // Two-byte text whatever the set.
        {"TwoByteModeOverSet7", {Hpgl(7)}, false, true, "F|", Is::Jis, 0x467C, 0, 2},
        {"TwoByteShiftJisOverRoman8", {Symbol(277)}, false, true, "\x93\xfa", Is::Jis, 0x467C, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LabelCharacters reader(c.sets, c.text, c.twoByte);
        const auto read = reader.At(0, c.alternate);
        EXPECT_EQ(read.glyph, Expected(c.is, c.code, c.base));
        EXPECT_EQ(read.length, c.length);
        CheckShape(c.is, read.glyph, c.base);
    }
}

// The commands that choose the sets, as labels read them: the glyphs of the characters
// drawn, in order.
TEST(CharacterSets, CommandsChooseTheSets) {
    const std::uint16_t dash = Font().ForCodePoint(0x2014), eGrave = Font().ForCodePoint(0xC8);
    const std::uint16_t hash = Font().ForByte('#');
    bool joined = false;
    const std::uint16_t kanaA = Font().ForHalfWidthKana(0xB1, 0, joined);
    const struct {
        const char* name;
        std::string text;  // after IN;SP1;SI.4,.6;PA1000,1000;
        std::vector<std::uint16_t> glyphs;
    } cases[] = {
        {"Set7", "CS7;LB#\x03", {eGrave}},
        {"Roman8Dash", "SD1,277;LB\xf6\x03", {dash}},
        {"ShiftOutToTheAlternateSet", "CA7;LB#\x0e#\x0f#\x03", {hash, eGrave, hash}},
        {"AlternateSelected", "CA7;SA;LB#\x03", {eGrave}},
        {"StandardSelectedAgain", "CA7;SA;SS;LB#\x03", {hash}},
        {"NoParameterIsSet0", "CS7;CS;LB#\x03", {hash}},
        {"UnknownSetChangesNothing", "CS7;CS12;LB#\x03", {eGrave}},
        {"FontDefinitionWithoutParametersIsSet0", "SD1,277;SD;LB#\x03", {hash}},
        {"InitializeIsSet0", "CS7;IN;LB#\x03", {hash}},
        {"Set8SevenBitKatakana", "CS8;LB1\x03", {kanaA}},
        {"SymbolModeInTheSet", "CS7;SM#;PA2000,2000;SM;", {eGrave}},
    };
    PlotStore store;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        kestrel::reader::ReadPlotText(store, "IN;SP1;SI.4,.6;PA1000,1000;" + c.text);
        std::vector<std::uint16_t> glyphs;
        for (int i = 1; i <= store.plots[1].CharCount; ++i) glyphs.push_back(store.plots[1].PlotChars[i].Glyph);
        EXPECT_EQ(glyphs, c.glyphs);
    }
}

// A non-escaping accent leaves the pen where it was on every text path: the letter after it
// is drawn in the same place.
TEST(CharacterSets, NonEscapingAccentsDoNotAdvance) {
    PlotStore store;
    for (const char* path : {"DV0;", "DV1;", "DV2;", "DV3;"}) {
        SCOPED_TRACE(path);
        kestrel::reader::ReadPlotText(store, std::string("IN;SP1;PA1000,1000;CS2;") + path + "LB'eH\x03");
        ASSERT_EQ(store.plots[1].CharCount, 3);
        const auto& chars = store.plots[1].PlotChars;
        EXPECT_EQ(chars[1].X, chars[2].X);
        EXPECT_EQ(chars[1].Y, chars[2].Y);
        EXPECT_TRUE(chars[2].X != chars[3].X || chars[2].Y != chars[3].Y);
    }
}

TEST(CharacterSets, JisEscapesAndKnownSets) {
    LabelCharacters reader({Symbol(277)}, "F|", false);
    EXPECT_EQ(reader.At(0, false).glyph, Font().ForByte('F'));
    reader.SetJis(true);
    EXPECT_EQ(reader.At(0, false).glyph, Font().ForJis(0x467C));
    for (const int set : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 30, 39}) {
        EXPECT_TRUE(kestrel::reader::HasHpglSet(set)) << set;
    }
    for (const int set : {-1, 10, 29, 40, 277}) {
        EXPECT_FALSE(kestrel::reader::HasHpglSet(set)) << set;
    }
    EXPECT_EQ(kestrel::reader::CharacterOf(Hpgl(0), 0x7F), kestrel::reader::NoCharacter);
}

}  // namespace
