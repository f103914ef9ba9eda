#include "reader/plotter_reader.h"

#include <cmath>
#include <new>
#include <string>
#include <type_traits>

#include "reader/hpgl_scanner.h"
#include "reader/plot_file_text.h"
#include "reader/plotter.h"
#include "reader/rounding.h"
#include "reader/shapes.h"

namespace kestrel::reader {

namespace {

using Param = HpglScanner::Param;

constexpr std::uint16_t Code(char a, char b) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(a) << 8 |
                                      static_cast<unsigned char>(b));
}

constexpr std::size_t PollBytes = 1 << 18;

class CommandReader {
public:
    CommandReader(std::string_view text, Plotter& plotter, const ReadOptions& options)
        : scan_(text), text_(text.data()), plotter_(plotter), shapes_(plotter), options_(options) {}

    void Run() {
        std::uint16_t code = 0;
        for (;;) {
            Poll();
            switch (scan_.Next(code)) {
                case HpglScanner::Event::End: return;
                case HpglScanner::Event::PrinterReset:
                    plotter_.EndPage();
                    plotter_.Initialize();
                    break;
                case HpglScanner::Event::Command: Command(code); break;
            }
        }
    }

    std::size_t Offset() const { return scan_.Offset(); }

private:
    void Poll() {
        plotter_.drawing.budget.SetInputRead(scan_.Offset());
        if (scan_.Offset() < nextPoll_) return;
        nextPoll_ = scan_.Offset() + PollBytes;
        if (options_.progress) options_.progress->store(scan_.Offset(), std::memory_order_relaxed);
        if (options_.cancel && options_.cancel->load(std::memory_order_relaxed)) {
            throw Stop{StopReason::Cancelled};
        }
        // A mapped file's pages behind the reading go back; a file cut short ends it.
        if (!PassedMappedText(text_ + scan_.Offset())) throw Stop{StopReason::EndOfFile};
    }

    void Command(std::uint16_t code) {
        Plotter& p = plotter_;
        switch (code) {
            case Code('P', 'A'):
                p.relative = false;
                Coordinates();
                break;
            case Code('P', 'R'):
                p.relative = true;
                Coordinates();
                break;
            case Code('P', 'U'):
                p.penDown = false;
                Coordinates();
                break;
            case Code('P', 'D'):
                p.penDown = true;
                Coordinates();
                break;
            case Code('P', 'E'): EncodedPolyline(); break;
            case Code('S', 'P'): SelectPen(); break;
            case Code('I', 'N'):
                p.Initialize();
                scan_.SkipParameters();
                break;
            case Code('D', 'F'):
                p.Defaults();
                scan_.SkipParameters();
                break;
            // A new plot (BP) or frame (FR) also puts out what is drawn, like a page end.
            case Code('P', 'G'):
            case Code('B', 'P'):
            case Code('F', 'R'):
                p.EndPage();
                scan_.SkipParameters();
                break;
            case Code('I', 'P'): FrameCommand(&PlotterFrame::InputP1P2); break;
            case Code('I', 'R'): FrameCommand(&PlotterFrame::InputRelative); break;
            case Code('S', 'C'): FrameCommand(&PlotterFrame::Scale); break;
            case Code('R', 'O'): FrameCommand(&PlotterFrame::Rotate); break;
            case Code('I', 'W'): FrameCommand(&PlotterFrame::InputWindow); break;
            case Code('P', 'S'): FrameCommand(&PlotterFrame::PlotSize); break;
            case Code('L', 'B'): DrawLabel(p, LabelText()); break;
            case Code('B', 'L'): p.labels.buffer = LabelText(); break;
            case Code('P', 'B'):
                DrawLabel(p, p.labels.buffer);
                scan_.SkipParameters();
                break;
            case Code('W', 'D'): scan_.TextUntil(static_cast<char>(p.labels.terminator)); break;
            case Code('D', 'T'): DefineTerminator(); break;
            case Code('S', 'M'): SymbolMode(); break;
            case Code('S', 'I'):
            case Code('S', 'R'):
            case Code('D', 'I'):
            case Code('D', 'R'):
            case Code('D', 'V'):
            case Code('S', 'L'):
            case Code('E', 'S'):
            case Code('L', 'O'):
            case Code('C', 'P'):
            case Code('L', 'M'):
            case Code('S', 'D'):
            case Code('A', 'D'):
            case Code('S', 'S'):
            case Code('S', 'A'): LabelSetting(code); break;
            // Shapes, fills, line types, pen widths and colours.
            case Code('A', 'A'): Shape(&ShapeCommands::ArcAbsolute); break;
            case Code('A', 'R'): Shape(&ShapeCommands::ArcRelative); break;
            case Code('A', 'T'): Shape(&ShapeCommands::ArcThreePointAbsolute); break;
            case Code('R', 'T'): Shape(&ShapeCommands::ArcThreePointRelative); break;
            case Code('B', 'Z'): Beziers(false); break;
            case Code('B', 'R'): Beziers(true); break;
            case Code('C', 'I'): Shape(&ShapeCommands::Circle); break;
            case Code('E', 'A'): Shape([this](auto v) { shapes_.EdgeRectangle(false, v); }); break;
            case Code('E', 'R'): Shape([this](auto v) { shapes_.EdgeRectangle(true, v); }); break;
            case Code('R', 'A'): Shape([this](auto v) { shapes_.FillRectangle(false, v); }); break;
            case Code('R', 'R'): Shape([this](auto v) { shapes_.FillRectangle(true, v); }); break;
            case Code('E', 'W'): Shape(&ShapeCommands::EdgeWedge); break;
            case Code('W', 'G'): Shape(&ShapeCommands::FillWedge); break;
            case Code('P', 'M'): Shape(&ShapeCommands::PolygonMode); break;
            case Code('E', 'P'): Shape(&ShapeCommands::EdgePolygon); break;
            case Code('F', 'P'): Shape(&ShapeCommands::FillPolygon); break;
            case Code('F', 'T'): Shape(&ShapeCommands::FillType); break;
            case Code('A', 'C'): Shape(&ShapeCommands::AnchorCorner); break;
            case Code('P', 'T'): Shape(&ShapeCommands::PenThickness); break;
            case Code('C', 'T'): Shape(&ShapeCommands::ChordTolerance); break;
            case Code('L', 'T'): Shape(&ShapeCommands::LineType); break;
            case Code('U', 'L'): Shape(&ShapeCommands::UserLineType); break;
            case Code('P', 'W'): Shape(&ShapeCommands::PenWidth); break;
            case Code('W', 'U'): Shape(&ShapeCommands::WidthUnit); break;
            case Code('P', 'C'): Shape(&ShapeCommands::PenColour); break;
            case Code('N', 'P'): Shape(&ShapeCommands::PenCount); break;
            case Code('C', 'R'): Shape(&ShapeCommands::ColourRange); break;
            default: scan_.SkipParameters(); break;
        }
    }

    // Up to `max` numbers; false (with the rest of the command skipped) on a malformed one.
    bool Numbers(double* values, std::size_t max, std::size_t& count) {
        count = 0;
        for (;;) {
            double v;
            const Param r = scan_.Number(v);
            if (r == Param::End) return true;
            if (r == Param::Bad) {
                scan_.SkipParameters();
                return false;
            }
            if (count == max) {
                // More parameters than any form of the command takes.
                scan_.SkipParameters();
                return false;
            }
            values[count++] = v;
        }
    }

    template <typename Method>
    void FrameCommand(Method method) {
        double values[8];
        std::size_t count = 0;
        if (!Numbers(values, 8, count)) return;
        (plotter_.frame.*method)(std::span<const double>(values, count));
    }

    // A shape command with its numbers (UL takes the most: an index and 20 gaps).
    template <typename Method>
    void Shape(Method method) {
        double values[21];
        std::size_t count = 0;
        if (!Numbers(values, 21, count)) return;
        const std::span<const double> p(values, count);
        if constexpr (std::is_member_function_pointer_v<Method>) {
            (shapes_.*method)(p);
        } else {
            method(p);
        }
    }

    // BZ, BR: curves of three points each; an incomplete last one is left out.
    void Beziers(bool relative) {
        for (;;) {
            double v[6];
            int n = 0;
            Param r = Param::Number;
            while (n < 6 && (r = scan_.Number(v[n])) == Param::Number) ++n;
            if (r == Param::Bad) {
                scan_.SkipParameters();
                return;
            }
            if (n < 6) return;
            shapes_.Bezier(relative, std::span<const double, 6>(v, 6));
            Poll();
        }
    }

    void LabelSetting(std::uint16_t code) {
        double values[16];
        std::size_t count = 0;
        if (Numbers(values, 16, count))
            LabelCommand(plotter_, code, std::span<const double>(values, count));
    }

    // Label text up to the terminator, which belongs to it when DT said it is printed.
    std::string_view LabelText() {
        const LabelState& labels = plotter_.labels;
        const std::size_t before = scan_.Offset();
        const std::string_view text = scan_.TextUntil(static_cast<char>(labels.terminator));
        const bool terminated = scan_.Offset() > before + text.size();
        return labels.terminatorPrinted && terminated
                   ? std::string_view(text.data(), text.size() + 1)
                   : text;
    }

    // Pairs of coordinates in current units, absolute or relative as PA/PR last said.
    void Coordinates() {
        Plotter& p = plotter_;
        for (;;) {
            double x, y;
            Param r = scan_.Number(x);
            if (r == Param::Number) r = scan_.Number(y);  // a lone last value is ignored
            if (r == Param::End) return;
            if (r == Param::Bad) {
                scan_.SkipParameters();
                return;
            }
            const Point to = p.relative ? p.Relative({x, y}) : p.Absolute({x, y});
            if (!Storable(to)) {
                scan_.SkipParameters();
                return;
            }
            p.MoveTo(to);
            if (!p.labels.symbol.empty()) DrawSymbol(p, to);
            Poll();
        }
    }

    void SelectPen() {
        double v = 0;
        const Param r = scan_.Number(v);
        if (r == Param::Bad) {
            scan_.SkipParameters();
            return;
        }
        const auto pen = r == Param::End ? std::optional<std::int16_t>(0)
                                         : Rounded<std::int16_t>(v, Halves::AwayFromZero);
        if (pen && *pen >= 0) plotter_.pen = *pen;
        if (r == Param::Number) scan_.SkipParameters();
    }

    // DT t[,mode]: any character but ";" (and the few that cannot be) ends labels; mode 0
    // prints it as well.
    void DefineTerminator() {
        LabelState& labels = plotter_.labels;
        unsigned char c;
        if (!scan_.Peek(c)) return;
        if (c == ';' || c == 0 || c == '\n' || c == 0x1B) {
            labels.terminator = 3;
            labels.terminatorPrinted = false;
            if (c == ';') scan_.Skip();
            return;
        }
        scan_.Skip();
        labels.terminator = c;
        double mode = 1;
        if (scan_.Peek(c) && c == ',') {
            scan_.Skip();
            if (scan_.Number(mode) != Param::Number) mode = 1;
        }
        labels.terminatorPrinted = mode == 0;
        scan_.SkipParameters();
    }

    // SM c: the symbol drawn at every point of later moves; SM; turns the mode off.
    void SymbolMode() {
        std::string& symbol = plotter_.labels.symbol;
        unsigned char c;
        symbol.clear();
        if (!scan_.Peek(c)) return;
        scan_.Skip();
        if (c == ';') return;
        symbol.push_back(static_cast<char>(c));
        // Two bytes make one character in two-byte label mode.
        unsigned char second;
        if (plotter_.labels.twoByte && scan_.Peek(second) && second != ';') {
            scan_.Skip();
            symbol.push_back(static_cast<char>(second));
        }
        if (scan_.Peek(c) && c == ';') scan_.Skip();
    }

    void EncodedPolyline();

    HpglScanner scan_;
    const char* text_;
    Plotter& plotter_;
    ShapeCommands shapes_;
    const ReadOptions& options_;
    std::size_t nextPoll_ = 0;
};

// Data that went through a text editor or converter as Latin-1 text comes back as UTF-8:
// every byte above 127 turned into two. Real 8-bit data is no valid UTF-8 (a terminating
// digit is followed by a low digit or a flag, never by a continuation byte), so data
// that is valid UTF-8 of Latin-1 characters only is turned back into its bytes.
bool Latin1AsUtf8(std::string_view data, std::string& bytes) {
    bool high = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto c = static_cast<unsigned char>(data[i]);
        if (c < 0x80) continue;
        if ((c != 0xC2 && c != 0xC3) || i + 1 == data.size() ||
            (static_cast<unsigned char>(data[i + 1]) & 0xC0) != 0x80) {
            return false;
        }
        high = true;
        ++i;
    }
    if (!high) return false;
    bytes.clear();
    for (std::size_t i = 0; i < data.size(); ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        if (c >= 0x80) c = static_cast<unsigned char>((c & 0x03) << 6 | (data[++i] & 0x3F));
        bytes.push_back(static_cast<char>(c));
    }
    return true;
}

// PE: flags and self-terminating numbers in base 64 (or base 32 after "7") up to ";".
// Pairs are relative and pen-down unless a flag says otherwise for the next pair.
void CommandReader::EncodedPolyline() {
    std::string_view data = scan_.EncodedData();
    plotter_.drawing.budget.SetInputRead(scan_.Offset());
    std::string repaired;
    if (Latin1AsUtf8(data, repaired)) data = repaired;

    Plotter& p = plotter_;
    bool sevenBit = false;
    double fractionScale = 1;
    bool nextUp = false;
    bool nextAbsolute = false;
    enum class Wanted { Coordinate, Pen, Fraction } wanted = Wanted::Coordinate;
    double pending[2];
    int pendingCount = 0;
    std::uint64_t value = 0;
    std::uint64_t weight = 1;
    bool overflow = false;

    for (const char byte : data) {
        auto c = static_cast<unsigned char>(byte);
        const unsigned char flag = c & 0x7F;
        if (flag == ':' || flag == '<' || flag == '>' || flag == '=' || flag == '7') {
            value = 0;
            weight = 1;
            overflow = false;
            pendingCount = 0;
            wanted = Wanted::Coordinate;
            if (flag == ':') wanted = Wanted::Pen;
            if (flag == '>') wanted = Wanted::Fraction;
            if (flag == '<') nextUp = true;
            if (flag == '=') nextAbsolute = true;
            if (flag == '7') sevenBit = true;
            continue;
        }
        int digit;
        bool last;
        if (sevenBit) {
            c &= 0x7F;
            if (c < 63) continue;
            last = c >= 95;
            digit = c - (last ? 95 : 63);
        } else if (c >= 63 && c <= 126) {
            last = false;
            digit = c - 63;
        } else if (c >= 191 && c <= 254) {
            last = true;
            digit = c - 191;
        } else {
            continue;  // blanks, control characters and the unused 8-bit codes
        }
        if (weight > (std::uint64_t{1} << 56)) {
            overflow = true;
        } else {
            value += static_cast<std::uint64_t>(digit) * weight;
            weight *= sevenBit ? 32 : 64;
        }
        if (!last) continue;

        // The lowest bit is the sign.
        const double magnitude = static_cast<double>(value >> 1);
        const double number = (value & 1) ? -magnitude : magnitude;
        const bool valid = !overflow;
        value = 0;
        weight = 1;
        overflow = false;
        if (wanted == Wanted::Pen) {
            if (valid && number >= 0 && number <= 32767) p.pen = static_cast<std::int16_t>(number);
            wanted = Wanted::Coordinate;
            continue;
        }
        if (wanted == Wanted::Fraction) {
            if (valid && std::fabs(number) <= 26)
                fractionScale = std::ldexp(1.0, -static_cast<int>(number));
            wanted = Wanted::Coordinate;
            continue;
        }
        pending[pendingCount++] = valid ? number * fractionScale : NAN;
        if (pendingCount < 2) continue;
        pendingCount = 0;
        const Point user{pending[0], pending[1]};
        const Point to = nextAbsolute ? p.Absolute(user) : p.Relative(user);
        if (std::isfinite(to.x) && std::isfinite(to.y) && Storable(to)) {
            // The pen stays as the last move leaves it.
            p.penDown = !nextUp;
            p.MoveTo(to);
            if (!p.labels.symbol.empty()) DrawSymbol(p, to);
        }
        nextUp = false;
        nextAbsolute = false;
    }
}

}  // namespace

ReadResult ReadPlotterText(PlotStore& store, std::string_view text, const ReadOptions& options) {
    ReadResult result;
    PlotPages pages(store, options.segmentLimit);
    Plotter plotter(pages);
    plotter.drawing.budget.SetCeiling(options.segmentLimit);
    CommandReader reader(text, plotter, options);
    try {
        reader.Run();
    } catch (const Stop& stop) {
        result.stop = stop.reason;
    } catch (const std::bad_alloc&) {
        result.stop = StopReason::OutOfMemory;
    }
    if (options.progress) options.progress->store(reader.Offset(), std::memory_order_relaxed);
    pages.Finish();
    return result;
}

}  // namespace kestrel::reader
