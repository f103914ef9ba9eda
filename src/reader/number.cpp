#include "reader/number.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "reader/rounding.h"

namespace kestrel::reader {
namespace {

// Blanks, tabs and line feeds, tested as bits of one word.
constexpr bool IsBlank(char c) {
    constexpr std::uint64_t Blanks = 1ULL << ' ' | 1ULL << '\t' | 1ULL << '\n';
    return static_cast<unsigned char>(c) <= ' ' &&
           (Blanks >> static_cast<unsigned char>(c) & 1) != 0;
}
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipBlanks(const char* p, const char* end) {
    while (p != end && IsBlank(*p)) ++p;
    return p;
}

// Walks the characters of a number, optionally stepping over blanks anywhere.
class Cursor {
public:
    Cursor(const char* p, const char* end, bool skipBlanks) : p_(p), end_(end), skip_(skipBlanks) {}

    // The next significant character, or '\0'-like "none" when at the end.
    bool Peek(char& c) {
        if (skip_) p_ = SkipBlanks(p_, end_);
        if (p_ == end_) return false;
        c = *p_;
        return true;
    }
    void Take() { taken_ = ++p_; }
    const char* Pos() const { return p_; }
    // Just past the last character taken, before any blanks that follow it.
    const char* Taken() const { return taken_; }
    void Reset(const char* p, const char* taken) {
        p_ = p;
        taken_ = taken;
    }

private:
    const char* p_;
    const char* taken_ = p_;
    const char* end_;
    bool skip_;
};

struct Parsed {
    double value = 0;
    bool overflow = false;
    bool anyDigits = false;
    const char* stop = nullptr;  // first character not part of the number
};

int DigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

Parsed ParseRadix(Cursor& cur, int radix) {
    Parsed out;
    double v = 0;
    char c;
    while (cur.Peek(c) && DigitValue(c) < radix) {
        v = v * radix + DigitValue(c);
        out.anyDigits = true;
        cur.Take();
    }
    out.value = v;
    out.overflow = std::isinf(v);
    out.stop = cur.Pos();
    return out;
}

// Digits kept for the conversion of a number with blanks or a D exponent in it. A halfway
// point between two doubles has at most 767 significant digits, so the first 800 and one
// nonzero digit standing for any that follow round exactly as the whole text does, and a
// hostile run of digits costs nothing.
constexpr int KeptSignificant = 800;

// Rare path: blanks inside the number, a D exponent or a value beyond double. Walks the
// number again from its first digit or point up to `stop` and converts its magnitude (the
// caller applies the sign) written as 0.DIGITS E MAGNITUDE.
[[gnu::noinline]] double ConvertSlow(const char* digits, const char* stop, bool skipBlanks,
                                     bool& overflow) {
    char text[KeptSignificant + 80];
    char* p = text;
    *p++ = '0';
    *p++ = '.';
    int kept = 0;
    bool sticky = false;      // a nonzero digit beyond those kept
    long long magnitude = 0;  // decimal exponent of the leading significant digit, plus one
    bool point = false;
    Cursor cur(digits, stop, skipBlanks);
    char c;
    while (cur.Peek(c) && (IsDigit(c) || c == '.')) {
        cur.Take();
        if (c == '.') {
            point = true;
        } else if (kept == 0 && c == '0') {
            if (point) --magnitude;
        } else {
            if (!point) ++magnitude;
            if (kept < KeptSignificant) {
                *p++ = c;
                ++kept;
            } else if (c != '0') {
                sticky = true;
            }
        }
    }
    if (kept == 0) return 0;
    if (cur.Peek(c)) {  // the exponent, which the scanner has found whole
        cur.Take();
        bool negative = false;
        if (cur.Peek(c) && (c == '+' || c == '-')) {
            negative = c == '-';
            cur.Take();
        }
        long long e = 0;
        while (cur.Peek(c)) {
            if (e < 1'000'000'000) e = e * 10 + (c - '0');
            cur.Take();
        }
        magnitude += negative ? -e : e;
    }
    if (sticky) *p++ = '1';
    *p++ = 'e';
    p = std::to_chars(p, text + sizeof text, magnitude).ptr;
    double v = 0;
    const auto [ptr, ec] = std::from_chars(text, p, v);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Past the largest double, or so small it reads as zero.
        if (magnitude > 0) overflow = true;
        return 0;
    }
    if (std::isinf(v)) overflow = true;
    return v;
}

// Whether a number the library has read up to p (and any blanks after it) may go on by the
// scanner's rules beyond the library's: after blanks, or with a D exponent or one the
// library did not take (1E, 1E 5).
bool GoesOn(const char* p, const char* end) {
    if (p == end) return false;
    const char c = *p;
    return IsDigit(c) || c == '.' || c == 'E' || c == 'e' || c == 'D' || c == 'd';
}

// "&H" or "&O" and the digits after it; anything else after "&" is no number.
Parsed ParseRadixPrefix(const char* ampersand, const char* end, bool skipBlanks) {
    Cursor cur(ampersand + 1, end, skipBlanks);
    char kind;
    if (cur.Peek(kind) && (kind == 'H' || kind == 'h' || kind == 'O' || kind == 'o')) {
        cur.Take();
        return ParseRadix(cur, (kind == 'H' || kind == 'h') ? 16 : 8);
    }
    Parsed none;
    none.stop = ampersand;
    return none;
}

// Most numbers are written in the library conversion's own grammar: it reads as far as
// that goes, and the scanner only looks at what stopped it. False when the scanner's rules
// go further.
bool ParseByLibrary(const char* digits, const char* end, bool skipBlanks, bool negative,
                    Parsed& out) {
    if (digits == end || !(IsDigit(*digits) || *digits == '.')) return false;
    double v = 0;
    const auto [ptr, ec] = std::from_chars(digits, end, v);
    if (ptr == digits || ec != std::errc()) return false;
    const char* const after = skipBlanks ? SkipBlanks(ptr, end) : ptr;
    if (GoesOn(after, end)) return false;
    out.anyDigits = true;
    out.value = negative ? -v : v;
    out.stop = after;
    return true;
}

// Blanks inside, a D exponent or a value beyond double: the scanner finds the end of the
// number by its own rules.
Parsed ParseByRules(const char* digits, const char* end, bool skipBlanks, bool negative) {
    Parsed out;
    Cursor cur(digits, end, skipBlanks);
    char c;
    bool point = false;
    while (cur.Peek(c)) {
        if (IsDigit(c)) {
            out.anyDigits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        cur.Take();
    }
    if (out.anyDigits && cur.Peek(c) && (c == 'E' || c == 'e' || c == 'D' || c == 'd')) {
        // Only an exponent with at least one digit belongs to the number.
        const char* mark = cur.Pos();
        const char* taken = cur.Taken();
        cur.Take();
        if (cur.Peek(c) && (c == '+' || c == '-')) cur.Take();
        bool expDigits = false;
        while (cur.Peek(c) && IsDigit(c)) {
            expDigits = true;
            cur.Take();
        }
        if (!expDigits) cur.Reset(mark, taken);
    }
    out.stop = cur.Pos();
    const double magnitude =
        out.anyDigits ? ConvertSlow(digits, cur.Taken(), skipBlanks, out.overflow) : 0;
    out.value = negative ? -magnitude : magnitude;
    return out;
}

Parsed Parse(const char* begin, const char* end, bool skipBlanks) {
    const char* p = skipBlanks ? SkipBlanks(begin, end) : begin;
    if (p != end && *p == '&') return ParseRadixPrefix(p, end, skipBlanks);
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '+' || *p == '-')) {
        ++p;
        if (skipBlanks) p = SkipBlanks(p, end);
    }
    Parsed out;
    if (ParseByLibrary(p, end, skipBlanks, negative, out)) return out;
    return ParseByRules(p, end, skipBlanks, negative);
}

}  // namespace

NumberValue ReadNumber(std::string_view text) {
    const Parsed p = Parse(text.data(), text.data() + text.size(), true);
    return {p.value, p.overflow};
}

std::optional<std::int16_t> ConvertPenNumber(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    const char* end = text.data() + text.size();
    const Parsed p = Parse(text.data(), end, false);
    if (!p.anyDigits || p.overflow || p.stop != end) return std::nullopt;
    return Rounded<std::int16_t>(p.value, Halves::ToEven);
}

}  // namespace kestrel::reader
