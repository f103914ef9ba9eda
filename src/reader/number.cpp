#include "reader/number.h"

#include <charconv>
#include <cmath>

#include "reader/rounding.h"

namespace kestrel::reader {
namespace {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr double Pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Walks the characters of a number, optionally stepping over blanks anywhere.
class Cursor {
public:
    Cursor(const char* p, const char* end, bool skipBlanks) : p_(p), end_(end), skip_(skipBlanks) {}

    // The next significant character, or '\0'-like "none" when at the end.
    bool Peek(char& c) {
        if (skip_) {
            while (p_ != end_ && IsBlank(*p_)) ++p_;
        }
        if (p_ == end_) return false;
        c = *p_;
        return true;
    }
    void Take() { ++p_; }
    const char* Pos() const { return p_; }
    void Reset(const char* p) { p_ = p; }

private:
    const char* p_;
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

// Digits kept for the library conversion. A halfway point between two doubles has at most
// 767 significant digits, so the first 800 and one nonzero digit standing for any that
// follow round exactly as the whole text does, and a hostile run of digits costs nothing.
constexpr int KeptSignificant = 800;

// Rare path: many significant digits or a large exponent. Walks the digits of the text
// again (begin up to the exponent or `stop`); the magnitude (without its sign, which the
// caller applies) is 0.DIGITS times ten to the power `magnitude`, converted by the
// correctly rounding library conversion.
[[gnu::noinline]] double ConvertSlow(const char* begin, const char* stop, bool skipBlanks, long long magnitude,
                   bool& overflow) {
    char text[KeptSignificant + 80];
    char* p = text;
    *p++ = '0';
    *p++ = '.';
    int kept = 0;
    bool sticky = false;  // a nonzero digit beyond those kept
    Cursor cur(begin, stop, skipBlanks);
    char c;
    while (cur.Peek(c) && (IsDigit(c) || c == '.' || c == '+' || c == '-')) {
        cur.Take();
        if (!IsDigit(c) || (kept == 0 && c == '0')) continue;
        if (kept < KeptSignificant) {
            *p++ = c;
            ++kept;
        } else if (c != '0') {
            sticky = true;
        }
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

Parsed Parse(const char* begin, const char* end, bool skipBlanks) {
    Cursor cur(begin, end, skipBlanks);
    char c;
    if (cur.Peek(c) && c == '&') {
        const char* amp = cur.Pos();
        cur.Take();
        char kind;
        if (cur.Peek(kind) && (kind == 'H' || kind == 'h' || kind == 'O' || kind == 'o')) {
            cur.Take();
            return ParseRadix(cur, (kind == 'H' || kind == 'h') ? 16 : 8);
        }
        Parsed none;
        none.stop = amp;
        return none;
    }

    Parsed out;
    bool negative = false;
    if (cur.Peek(c) && (c == '+' || c == '-')) {
        negative = c == '-';
        cur.Take();
    }

    unsigned long long mantissa = 0;
    int keptDigits = 0;       // significant digits (after leading zeros) held in `mantissa`
    bool dropped = false;     // whether there were more significant digits than that
    long long exp10 = 0;      // value = mantissa * 10^exp10
    long long magnitude = 0;  // decimal exponent of the leading significant digit, plus one
    bool point = false;
    while (cur.Peek(c)) {
        if (IsDigit(c)) {
            out.anyDigits = true;
            const int d = c - '0';
            if (keptDigits == 0 && d == 0) {
                if (point) {
                    --magnitude;
                    --exp10;
                }
            } else {
                if (!point) ++magnitude;
                if (keptDigits < 19) {
                    mantissa = mantissa * 10 + static_cast<unsigned long long>(d);
                    ++keptDigits;
                    if (point) --exp10;
                } else {
                    dropped = true;
                    if (!point) ++exp10;
                }
            }
            cur.Take();
        } else if (c == '.' && !point) {
            point = true;
            cur.Take();
        } else {
            break;
        }
    }

    if (out.anyDigits && cur.Peek(c) && (c == 'E' || c == 'e' || c == 'D' || c == 'd')) {
        // Only an exponent with at least one digit belongs to the number.
        const char* mark = cur.Pos();
        cur.Take();
        bool expNegative = false;
        if (cur.Peek(c) && (c == '+' || c == '-')) {
            expNegative = c == '-';
            cur.Take();
        }
        long long e = 0;
        bool expDigits = false;
        while (cur.Peek(c) && IsDigit(c)) {
            expDigits = true;
            if (e < 1'000'000'000) e = e * 10 + (c - '0');
            cur.Take();
        }
        if (expDigits) {
            if (expNegative) e = -e;
            exp10 += e;
            magnitude += e;
        } else {
            cur.Reset(mark);
        }
    }
    out.stop = cur.Pos();
    if (!out.anyDigits || mantissa == 0) {
        out.value = negative ? -0.0 : 0.0;
        return out;
    }

    double v;
    if (!dropped && mantissa <= (1ULL << 53) && exp10 >= -22 && exp10 <= 22) {
        // Exact operands and one correctly rounded operation.
        v = static_cast<double>(mantissa);
        v = exp10 < 0 ? v / Pow10[-exp10] : v * Pow10[exp10];
    } else {
        v = ConvertSlow(begin, out.stop, skipBlanks, magnitude, out.overflow);
    }
    if (std::isinf(v)) out.overflow = true;
    out.value = negative ? -v : v;
    return out;
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
