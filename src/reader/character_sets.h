#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrel::reader {

// A character set as a label command names it: an HP-GL character set number (CS, CA) or an
// HP-GL/2 symbol set value (SD, AD kind 1: the PCL value, number × 32 + letter − 64, so
// Roman-8 "8U" is 277 and ISO 8859-1 "0N" is 14).
//
// The sets known here:
// - HP-GL: 0 ANSI ASCII; 1 HP 9825; 2 French/German; 3 Scandinavian; 4 Spanish/Latin
//   American; 5 special symbols; 6 JIS ASCII; 7 Roman extensions (the upper half of Roman-8
//   on the 7-bit codes); 8 katakana (JIS X 0201: 0x21..0x5F); 9 ISO IRV; 30..39 the ISO 646
//   national sets of the 7550A (Swedish, Swedish for names, Norwegian 1, German, French,
//   United Kingdom, Italian, Spanish, Portuguese, Norwegian 2).
// - HP-GL/2 symbol sets: 21 ASCII, 277 Roman-8, 14 ISO 8859-1, 341 PC-8, 405 PC-850, 629
//   Windows Latin 1, and the ISO 646 sets 4, 19, 36, 37, 38, 39, 9, 83, 115, 147, 11.
// Any other symbol set reads as set 0: a plotter falls back to its default font.
struct CharacterSet {
    enum class Naming : std::uint8_t { Hpgl, SymbolSet };
    Naming naming = Naming::Hpgl;
    int number = 0;

    static constexpr CharacterSet Hpgl(int set) { return {Naming::Hpgl, set}; }
    static constexpr CharacterSet Symbol(int value) { return {Naming::SymbolSet, value}; }
    bool operator==(const CharacterSet&) const = default;
};

// Whether a plotter has HP-GL character set `number`; CS and CA with another number change
// nothing.
bool HasHpglSet(int number);

// A byte's character in `set` read one byte at a time: a Unicode code point, or NoCharacter
// for a code the set leaves empty or control codes (below 0x20, 0x7F). The non-escaping
// accents of sets 2..4 are non-spacing marks (see StrokeFont::ForCodePoint).
inline constexpr char32_t NoCharacter = 0xFFFFFFFF;
char32_t CharacterOf(CharacterSet set, unsigned char byte);

// The sets a label reads with: the standard set (CS, SD) and the alternate set (CA, AD),
// selected by SS/SA between labels and SI/SO within one. IN and DF make both set 0.
struct LabelSets {
    CharacterSet standard = {};
    CharacterSet alternate = {};
};

// One character of a label: its glyph in StrokeFont::Standard() and how many bytes it takes.
struct LabelCharacter {
    std::uint16_t glyph = 0;
    std::uint8_t length = 1;
};

// Reads a label's characters. The selected set decides how a byte is read:
// - In JIS text (between ESC $ B and ESC ( B, see SetJis) and in the LM two-byte modes a
//   pair of bytes 0x21..0x7E is one JIS X 0208 character whatever the set; in the two-byte
//   modes a byte from 0x81 with the next is a Shift-JIS pair too.
// - Otherwise a byte below 0x80 is the set's character (set 7's '#' is a pound sign, set
//   8's 0x21 a katakana full stop).
// - A byte from 0x80 is read by the set: an 8-bit symbol set (Roman-8, Latin-1, PC-8 ...)
//   has its own upper half (Roman-8 0xF6 is a dash, Latin-1 0xE9 is é); set 7 takes the
//   byte's lower 7 bits; set 8 reads Shift-JIS (0xA1..0xDF half-width katakana, a lead byte
//   with the next a two-byte character); every other set, set 0 included, reads the bytes
//   above 127 as labels did before character sets were kept: Shift-JIS when the whole
//   label looks like it (two-byte characters, or katakana in a row), else only the degree
//   sign (0xB0, 0xB3) and the missing-glyph box. Japanese plotters read set 0 so.
// A half-width katakana followed by a voicing mark (0xDE, 0xDF or their 7-bit codes in set
// 8) that joins it is one character of two bytes.
// Control codes (below 0x20, 0x7F) are the caller's: it steps over them, and turns SO/SI
// into `alternate` and the ISO-2022-JP escapes into SetJis.
class LabelCharacters {
public:
    LabelCharacters(const LabelSets& sets, std::string_view text, bool twoByte);

    // The character that starts at text[at], a byte from 0x20 other than 0x7F.
    LabelCharacter At(std::size_t at, bool alternate) const;
    void SetJis(bool on) { jis_ = on; }

private:
    LabelCharacter ReadSingle(const CharacterSet& set, std::size_t at) const;
    LabelCharacter ReadHighLegacy(std::size_t at) const;
    LabelCharacter ReadShiftJis(std::size_t at, bool allLeads) const;
    LabelCharacter Kana(unsigned char code, unsigned char next) const;
    unsigned char Byte(std::size_t at) const;

    LabelSets sets_;
    std::string_view text_;
    bool twoByte_;
    bool shiftJis_;  // the label's high bytes look like Shift-JIS
    bool jis_ = false;
};

// Whether a label's bytes above 127 are Shift-JIS rather than single 8-bit characters: they
// all are half-width katakana or two-byte characters, with at least one two-byte character
// or two katakana in a row (a lone byte is more likely a Latin-1 sign).
bool LooksShiftJis(std::string_view text);

}  // namespace kestrel::reader
