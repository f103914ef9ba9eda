// Pens and moves: PA PR PU PD PE SP, the pens' widths and colours (PW WU PC NP CR) and
// their velocity (VS).
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "reader/command_table.h"
#include "reader/rounding.h"

namespace kestrel::reader {

namespace {

using Param = HpglScanner::Param;

// Pairs of coordinates in current units, absolute or relative as PA/PR last said.
void Coordinates(CommandContext& c) {
    Plotter& p = c.plotter;
    for (;;) {
        double x, y;
        Param r = c.scan.Number(x);
        if (r == Param::Number) r = c.scan.Number(y);  // a lone last value is ignored
        if (r == Param::End) return;
        if (r == Param::Bad) {
            c.scan.SkipParameters();
            return;
        }
        const Point to = p.relative ? p.Relative({x, y}) : p.Absolute({x, y});
        if (!Storable(to)) {
            c.scan.SkipParameters();
            return;
        }
        p.MoveTo(to);
        if (!p.labels.symbol.empty()) DrawSymbol(p, to);
        c.Poll();
    }
}

void PlotAbsolute(CommandContext& c) {
    c.plotter.relative = false;
    Coordinates(c);
}

void PlotRelative(CommandContext& c) {
    c.plotter.relative = true;
    Coordinates(c);
}

void PenUp(CommandContext& c) {
    c.plotter.penDown = false;
    Coordinates(c);
}

void PenDown(CommandContext& c) {
    c.plotter.penDown = true;
    Coordinates(c);
}

// SP [pen]: a pen number out of range keeps the pen.
void SelectPen(CommandContext& c) {
    double v = 0;
    const Param r = c.scan.Number(v);
    if (r == Param::Bad) {
        c.scan.SkipParameters();
        return;
    }
    const auto pen = r == Param::End ? std::optional<std::int16_t>(0)
                                     : Rounded<std::int16_t>(v, Halves::AwayFromZero);
    if (pen && *pen >= 0) c.plotter.pen = *pen;
    if (r == Param::Number) c.scan.SkipParameters();
}

// Data that went through a text editor or converter as Latin-1 text comes back as UTF-8:
// every byte above 127 turned into two. Such data is turned back into its bytes only where
// it cannot be 8-bit data as it stands: it is valid UTF-8 of Latin-1 characters only, and
// it holds a byte of 0x80..0xBE, which no base-64 number uses. 0xC2 0xBF is no such proof:
// it is also the terminating digits 3 and 0 of two numbers.
bool Latin1AsUtf8(std::string_view data, std::string& bytes) {
    bool unused = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c < 0x80) continue;
        if ((c != 0xC2 && c != 0xC3) || i + 1 == data.size() ||
            (static_cast<unsigned char>(data[i + 1]) & 0xC0) != 0x80) {
            return false;
        }
        unused = unused || static_cast<unsigned char>(data[i + 1]) < 0xBF;
        ++i;
    }
    if (!unused) return false;
    bytes.clear();
    for (std::size_t i = 0; i < data.size(); ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        if (c >= 0x80) c = static_cast<unsigned char>((c & 0x03) << 6 | (data[++i] & 0x3F));
        bytes.push_back(static_cast<char>(c));
    }
    return true;
}

// PE data: flags and self-terminating numbers in base 64 (or base 32 after "7"), the
// lowest bit the sign. Pairs are relative and pen-down unless a flag says otherwise for
// the next pair.
class EncodedPolyline {
public:
    explicit EncodedPolyline(Plotter& plotter) : p_(plotter) {}

    void Read(std::string_view data) {
        for (const char byte : data) {
            const auto c = static_cast<unsigned char>(byte);
            if (Flag(c & 0x7F)) continue;
            int digit;
            bool last;
            if (!Digit(c, digit, last)) continue;
            Add(digit);
            if (last) Number();
        }
    }

private:
    enum class Wanted { Coordinate, Pen, Fraction };

    // ":" pen, "<" pen up, ">" fraction, "=" absolute, "7" seven-bit: each starts afresh.
    bool Flag(unsigned char flag) {
        if (flag != ':' && flag != '<' && flag != '>' && flag != '=' && flag != '7') return false;
        value_ = 0;
        weight_ = 1;
        overflow_ = false;
        pendingCount_ = 0;
        wanted_ = flag == ':' ? Wanted::Pen : flag == '>' ? Wanted::Fraction : Wanted::Coordinate;
        if (flag == '<') nextUp_ = true;
        if (flag == '=') nextAbsolute_ = true;
        if (flag == '7') sevenBit_ = true;
        return true;
    }

    // A byte's digit and whether it ends its number; false for blanks, control characters
    // and the unused 8-bit codes.
    bool Digit(unsigned char c, int& digit, bool& last) const {
        if (sevenBit_) {
            c &= 0x7F;
            if (c < 63) return false;
            last = c >= 95;
            digit = c - (last ? 95 : 63);
        } else if (c >= 63 && c <= 126) {
            last = false;
            digit = c - 63;
        } else if (c >= 191 && c <= 254) {
            last = true;
            digit = c - 191;
        } else {
            return false;
        }
        return true;
    }

    void Add(int digit) {
        if (weight_ > (std::uint64_t{1} << 56)) {
            overflow_ = true;
        } else {
            value_ += static_cast<std::uint64_t>(digit) * weight_;
            weight_ *= sevenBit_ ? 32 : 64;
        }
    }

    void Number() {
        const double magnitude = static_cast<double>(value_ >> 1);
        const double number = (value_ & 1) ? -magnitude : magnitude;
        const bool valid = !overflow_;
        value_ = 0;
        weight_ = 1;
        overflow_ = false;
        if (wanted_ == Wanted::Pen) {
            if (valid && number >= 0 && number <= 32767) p_.pen = static_cast<std::int16_t>(number);
        } else if (wanted_ == Wanted::Fraction) {
            if (valid && std::fabs(number) <= 26)
                fractionScale_ = std::ldexp(1.0, -static_cast<int>(number));
        } else {
            pending_[pendingCount_++] = valid ? number * fractionScale_ : NAN;
            if (pendingCount_ == 2) Pair();
        }
        wanted_ = Wanted::Coordinate;
    }

    void Pair() {
        pendingCount_ = 0;
        const Point user{pending_[0], pending_[1]};
        const Point to = nextAbsolute_ ? p_.Absolute(user) : p_.Relative(user);
        if (std::isfinite(to.x) && std::isfinite(to.y) && Storable(to)) {
            // The pen stays as the last move leaves it.
            p_.penDown = !nextUp_;
            p_.MoveTo(to);
            if (!p_.labels.symbol.empty()) DrawSymbol(p_, to);
        }
        nextUp_ = false;
        nextAbsolute_ = false;
    }

    Plotter& p_;
    bool sevenBit_ = false;
    double fractionScale_ = 1;
    bool nextUp_ = false;
    bool nextAbsolute_ = false;
    Wanted wanted_ = Wanted::Coordinate;
    double pending_[2] = {};
    int pendingCount_ = 0;
    std::uint64_t value_ = 0;
    std::uint64_t weight_ = 1;
    bool overflow_ = false;
};

void PolylineEncoded(CommandContext& c) {
    std::string_view data = c.scan.EncodedData();
    c.plotter.drawing.budget.SetInputRead(c.scan.Offset());
    std::string repaired;
    if (Latin1AsUtf8(data, repaired)) data = repaired;
    EncodedPolyline(c.plotter).Read(data);
}

// PW [width[,pen]]
void PenWidth(CommandContext& c) {
    std::span<const double> p;
    if (c.Numbers(p)) c.plotter.drawing.pens.Width(p, c.plotter.Diagonal());
}

// WU [type]
void WidthUnit(CommandContext& c) {
    std::span<const double> p;
    if (c.Numbers(p)) c.plotter.drawing.pens.WidthUnit(p, c.plotter.Diagonal());
}

// PC [pen[,r,g,b]]
void PenColour(CommandContext& c) {
    std::span<const double> p;
    if (c.Numbers(p)) c.plotter.drawing.pens.Colour(p);
}

// NP [n]
void PenCount(CommandContext& c) {
    std::span<const double> p;
    if (c.Numbers(p)) c.plotter.drawing.pens.PenCount(p);
}

// CR [black and white of red, green and blue]
void ColourRange(CommandContext& c) {
    std::span<const double> p;
    if (c.Numbers(p)) c.plotter.drawing.pens.ColourRange(p);
}

// VS [velocity[,pen]]: the pen-down speed in cm/s, of one pen or of every pen; VS alone
// sets the default back. Speeds out of the plotter's range leave it as it is; the slowest
// a plotter goes is 0.38 cm/s.
void SelectVelocity(CommandContext& c) {
    std::span<const double> p;
    if (!c.Numbers<2>(p)) return;
    if (p.empty()) {
        c.plotter.Pages().SetVelocity(-1, 0);
        return;
    }
    constexpr double Slowest = 0.38;
    constexpr double Fastest = 128;
    if (!(p[0] >= 0 && p[0] < Fastest)) return;
    std::int16_t pen = -1;
    if (p.size() == 2) {
        const auto number = Rounded<std::int16_t>(p[1], Halves::AwayFromZero);
        if (!number || *number < 0) return;
        pen = *number;
    }
    c.plotter.Pages().SetVelocity(pen, static_cast<float>(std::max(p[0], Slowest)));
}

constexpr CommandRow Rows[] = {
    {Mnemonic('P', 'A'), PlotAbsolute, InPolygonMode},
    {Mnemonic('P', 'R'), PlotRelative, InPolygonMode},
    {Mnemonic('P', 'U'), PenUp, InPolygonMode},
    {Mnemonic('P', 'D'), PenDown, InPolygonMode},
    {Mnemonic('P', 'E'), PolylineEncoded, InPolygonMode},
    {Mnemonic('S', 'P'), SelectPen, InPolygonMode},
    {Mnemonic('P', 'W'), PenWidth, InPolygonMode},
    {Mnemonic('W', 'U'), WidthUnit, InPolygonMode},
    {Mnemonic('P', 'C'), PenColour, InPolygonMode},
    {Mnemonic('N', 'P'), PenCount, InPolygonMode},
    {Mnemonic('C', 'R'), ColourRange, InPolygonMode},
    {Mnemonic('V', 'S'), SelectVelocity, InPolygonMode},
};

}  // namespace

std::span<const CommandRow> PenCommands() { return Rows; }

}  // namespace kestrel::reader
