#include "reader/hpgl_scanner.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <string>

#include "reader/mnemonic.h"

namespace kestrel::reader {

namespace {

constexpr unsigned char Esc = 0x1B;
constexpr char FormFeed = 0x0C;

constexpr bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
constexpr bool IsLetter(unsigned char c) { return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }
constexpr bool IsSeparator(unsigned char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
constexpr char Upper(unsigned char c) { return static_cast<char>(c & ~0x20); }

constexpr double Pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool StartsWithNoCase(const char* p, const char* end, std::string_view word) {
    if (static_cast<std::size_t>(end - p) < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Upper(static_cast<unsigned char>(p[i])) != word[i]) return false;
    }
    return true;
}

}  // namespace

HpglScanner::Event HpglScanner::Next(std::uint16_t& mnemonic) {
    for (;;) {
        if (pclText_) {
            // PCL text: a form feed ejects the page.
            while (p_ < end_ && *p_ != static_cast<char>(Esc) && *p_ != FormFeed) ++p_;
            if (p_ < end_ && *p_ == FormFeed) {
                ++p_;
                return Event::PageEject;
            }
        }
        if (p_ >= end_) return Event::End;
        const auto c = static_cast<unsigned char>(*p_);
        if (IsLetter(c)) {
            if (p_ + 1 < end_ && IsLetter(static_cast<unsigned char>(p_[1]))) {
                mnemonic = Mnemonic(Upper(c), Upper(static_cast<unsigned char>(p_[1])));
                p_ += 2;
                return Event::Command;
            }
            ++p_;
        } else if (c == Esc) {
            const char* at = p_;
            SkipEscape();
            if (p_ - at == 2 && at[1] == 'E') return Event::PrinterReset;
            if (eject_) {
                eject_ = false;
                return Event::PageEject;
            }
        } else if (c == '@' && StartsWithNoCase(p_, end_, "@PJL")) {
            SkipPjlLines();
        } else {
            ++p_;
        }
    }
}

void HpglScanner::SkipPjlLines() {
    for (;;) {
        while (p_ < end_ && IsSeparator(static_cast<unsigned char>(*p_))) ++p_;
        if (!StartsWithNoCase(p_, end_, "@PJL")) return;
        const char* line = p_;
        const void* eol = std::memchr(p_, '\n', static_cast<std::size_t>(end_ - p_));
        p_ = eol ? static_cast<const char*>(eol) + 1 : end_;
        // After ENTER LANGUAGE the data is HP-GL/2 or, for any other language, skipped
        // up to the next escape sequence.
        std::string upper;
        for (const char* q = line; q != p_; ++q) {
            if (*q != ' ' && *q != '\t') upper.push_back(Upper(static_cast<unsigned char>(*q)));
        }
        const std::size_t enter = upper.find("ENTERLANGUAGE=");
        if (enter != std::string::npos) {
            const std::string_view language = std::string_view(upper).substr(enter + 14);
            pclText_ = !(language.starts_with("HPGL") || language.starts_with("HP-GL"));
            pclJob_ = language.starts_with("PCL");
            return;
        }
    }
}

void HpglScanner::SkipEscape() {
    ++p_;  // ESC
    if (p_ >= end_) return;
    const auto c = static_cast<unsigned char>(*p_);
    if (c == '.') {
        SkipDeviceControl();
    } else if (c >= 0x21 && c <= 0x2F) {
        SkipPclSequence();
    } else {
        ++p_;  // two-character sequences (ESC E among them)
    }
}

void HpglScanner::SkipDeviceControl() {
    // HP-GL device-control instructions: ESC . letter, some with ";"-separated parameters
    // ended by ":".
    if (++p_ >= end_) return;
    const char kind = *p_++;
    if (std::strchr("@HIMNT", kind) != nullptr && kind != '\0') {
        while (p_ < end_ && (IsDigit(static_cast<unsigned char>(*p_)) || *p_ == ';')) ++p_;
        if (p_ < end_ && *p_ == ':') ++p_;
    }
}

void HpglScanner::SkipPclSequence() {
    // Parameterized PCL sequences: ESC, a parameterized character, an optional group
    // character, then value fields each ended by a parameter character; lower case
    // continues the sequence, upper case ends it. Data-bearing ones are followed by as
    // many bytes as their value says.
    const char parameterized = *p_++;
    char group = 0;
    if (p_ < end_ && *p_ >= 0x60 && *p_ <= 0x7E) group = *p_++;
    for (;;) {
        long long value = 0;
        bool negative = false;
        if (p_ < end_ && (*p_ == '+' || *p_ == '-')) negative = *p_++ == '-';
        while (p_ < end_ && IsDigit(static_cast<unsigned char>(*p_))) {
            if (value < (1LL << 40)) value = value * 10 + (*p_ - '0');
            ++p_;
        }
        if (p_ < end_ && *p_ == '.') {
            ++p_;
            while (p_ < end_ && IsDigit(static_cast<unsigned char>(*p_))) ++p_;
        }
        if (p_ >= end_) return;
        const char t = *p_++;
        if (parameterized == '%' && group == 0) {
            if (t == 'X') {
                pclText_ = false;  // universal exit: a new job, PJL first
                pclJob_ = false;
                SkipPjlLines();
            } else if (t == 'A') {
                pclText_ = true;
                pclJob_ = true;
            } else if (t == 'B') {
                pclText_ = false;
                if (negative) pclJob_ = false;  // ESC % -1 B: stand-alone plotter mode
            }
            return;
        }
        // Page size, paper source, page length and orientation eject the page drawn.
        if (pclJob_ && parameterized == '&' && group == 'l' &&
            std::string_view("AaHhOoPp").find(t) != std::string_view::npos)
            eject_ = true;
        if (t >= 0x60 && t <= 0x7E) continue;
        if (t >= 0x40 && t <= 0x5E) {
            const bool data = t == 'W' || (parameterized == '&' && group == 'p' && t == 'X');
            if (data && !negative) {
                const auto left = static_cast<long long>(end_ - p_);
                p_ += value < left ? value : left;
            }
        }
        return;
    }
}

namespace {

// Character classes of parameter text, looked up rather than compared one by one.
enum : unsigned char { Other, Separator, Digit, Sign, Point, Semicolon };

constexpr auto ParameterClasses = [] {
    std::array<unsigned char, 256> table{};
    for (const char c : {',', ' ', '\t', '\r', '\n'})
        table[static_cast<unsigned char>(c)] = Separator;
    for (char c = '0'; c <= '9'; ++c) table[static_cast<unsigned char>(c)] = Digit;
    table['+'] = table['-'] = Sign;
    table['.'] = Point;
    table[';'] = Semicolon;
    return table;
}();

// Reads the run of up to eight digits at p (eight bytes must be readable) into `value`
// in one go, the way a word-wide conversion does it: coordinates are most of a plot file.
const char* EightDigits(const char* p, std::uint64_t& value) {
    std::uint64_t chunk;
    std::memcpy(&chunk, p, 8);
    constexpr std::uint64_t HighNibbles = 0xF0F0F0F0F0F0F0F0;
    constexpr std::uint64_t Zeros = 0x3030303030303030;
    // A digit byte is 0x3_ and stays so when 6 is added; a carry out of an earlier
    // non-digit byte only disturbs bytes after the run.
    const std::uint64_t notDigit =
        ((chunk & HighNibbles) ^ Zeros) | (((chunk + 0x0606060606060606) & HighNibbles) ^ Zeros);
    const int count = notDigit == 0 ? 8 : std::countr_zero(notDigit) / 8;
    if (count == 0) return p;
    // The digits, first in the lowest byte, moved to the top so that zero bytes lead.
    std::uint64_t v = (chunk - Zeros) << (8 * (8 - count));
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FF;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFF;
    v = (v * 10000 + (v >> 32)) & 0xFFFFFFFF;
    value = v;
    return p + count;
}

}  // namespace

HpglScanner::Param HpglScanner::Number(double& value) {
    const char* p = p_;
    const char* const end = end_;
    while (p != end && ParameterClasses[static_cast<unsigned char>(*p)] == Separator) ++p;
    if (p == end) {
        p_ = p;
        return Param::End;
    }
    const char* const start = p;
    bool negative = false;
    switch (ParameterClasses[static_cast<unsigned char>(*p)]) {
        case Sign: negative = *p++ == '-'; break;
        case Digit:
        case Point: break;
        case Semicolon: p_ = p + 1; return Param::End;
        default: p_ = p; return Param::End;
    }
    std::uint64_t mantissa = 0;
    const char* digitsFrom = p;
    if (end - p >= 8) p = EightDigits(p, mantissa);
    while (p != end && static_cast<unsigned>(*p - '0') < 10)
        mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
    int digits = static_cast<int>(p - digitsFrom);
    int fraction = 0;
    if (p != end && *p == '.') {
        const char* fractionFrom = ++p;
        while (p != end && static_cast<unsigned>(*p - '0') < 10)
            mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
        fraction = static_cast<int>(p - fractionFrom);
        digits += fraction;
    }
    p_ = p;
    if (digits == 0) return Param::Bad;
    // An exponent is no HP-GL, but programs writing "%g" do produce one; a letter that
    // is not followed by a digit starts the next command instead.
    const bool exponent =
        p != end && (*p == 'e' || *p == 'E') &&
        ((p + 1 != end && static_cast<unsigned>(p[1] - '0') < 10) ||
         (p + 2 < end && (p[1] == '-' || p[1] == '+') && static_cast<unsigned>(p[2] - '0') < 10));
    // Up to 19 digits the mantissa is exact; beyond 2^53 or 10^22 a division would round twice.
    if (exponent || digits > 19 || (fraction > 0 && (mantissa > (1ULL << 53) || fraction > 22))) {
        return SlowNumber(start, value);
    }
    double v = static_cast<double>(mantissa);
    if (fraction > 0) v /= Pow10[fraction];
    value = negative ? -v : v;
    return Param::Number;
}

HpglScanner::Param HpglScanner::SlowNumber(const char* start, double& value) {
    const char* p = p_;
    long long exponent = 0;
    if (p < end_ && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = *p == '-';
        if (*p == '-' || *p == '+') ++p;
        while (p < end_ && IsDigit(static_cast<unsigned char>(*p))) {
            if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
            ++p;
        }
        if (negative) exponent = -exponent;
    }
    p_ = p;
    if (*start == '+') ++start;
    double v = 0;
    const auto [ptr, ec] = std::from_chars(start, p, v);
    if (ec == std::errc::result_out_of_range) {
        // Too small reads as zero; too large is no number a plotter could use.
        if (exponent >= 0) return Param::Bad;
        v = 0;
    } else if (ec != std::errc() || ptr != p) {
        return Param::Bad;
    }
    value = v;
    return Param::Number;
}

void HpglScanner::SkipParameters() {
    while (p_ < end_) {
        const auto c = static_cast<unsigned char>(*p_);
        if (c == ';') {
            ++p_;
            return;
        }
        if (c == '"') {
            const void* close = std::memchr(p_ + 1, '"', static_cast<std::size_t>(end_ - p_ - 1));
            p_ = close ? static_cast<const char*>(close) + 1 : end_;
        } else if (IsDigit(c) || IsSeparator(c) || c == '-' || c == '+' || c == '.') {
            ++p_;
        } else {
            return;
        }
    }
}

std::string_view HpglScanner::TextUntil(char terminator) {
    const char* start = p_;
    const void* t = std::memchr(p_, terminator, static_cast<std::size_t>(end_ - p_));
    const char* stop = t ? static_cast<const char*>(t) : end_;
    p_ = t ? stop + 1 : end_;
    return {start, static_cast<std::size_t>(stop - start)};
}

std::string_view HpglScanner::EncodedData() {
    const char* start = p_;
    while (p_ < end_ && *p_ != ';' && *p_ != static_cast<char>(Esc)) ++p_;
    const std::string_view data(start, static_cast<std::size_t>(p_ - start));
    if (p_ < end_ && *p_ == ';') ++p_;
    return data;
}

bool HpglScanner::Peek(unsigned char& c) const {
    if (p_ >= end_) return false;
    c = static_cast<unsigned char>(*p_);
    return true;
}

}  // namespace kestrel::reader
