#include "reader/basic_reader.h"

#include <array>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <new>

#include "reader/number.h"
#include "reader/read_pacing.h"
#include "reader/read_stop.h"

namespace kestrel::reader {
namespace {

constexpr int Slot = 1;  // the only slot basic reading fills

// Bytes a scan stops at.
using StopSet = std::array<bool, 256>;

StopSet Stops(std::initializer_list<char> chars) {
    StopSet set{};
    for (const char c : chars) set[static_cast<unsigned char>(c)] = true;
    return set;
}

// The first byte at or after p in `stops`, or end. Such a scan runs ahead of the reading,
// so on long runs it only looks for a cancel.
const char* ScanTo(const char* p, const char* end, const StopSet& stops, const ReadPacing& pacing) {
    for (;;) {
        const char* const block = end - p > ReadPacing::Step ? p + ReadPacing::Step : end;
        while (p != block && !stops[static_cast<unsigned char>(*p)]) ++p;
        if (p != block || p == end) return p;
        if (pacing.Cancelled()) throw Stop{StopReason::Cancelled};
    }
}

// Where the next line starts after the line end at q (CR, CRLF or a lone LF), or end.
const char* NextLine(const char* q, const char* end) {
    if (q == end) return end;
    return *q == '\r' && q + 1 != end && q[1] == '\n' ? q + 2 : q + 1;
}

enum class Delimiting { None, Character, LineEnd };

// The first pass, line by line: the delimiter is ";" if the line holds one, otherwise the
// character before the first "PD" that does not open the line and is not after "," or ".";
// the first line giving either decides. Plots written one command per line without ";"
// (a later line opens with "PD") have each line as a command.
Delimiting SearchDelimiter(std::string_view text, char& delimiter, ReadPacing& pacing) {
    static const StopSet stops = Stops({';', 'P', '\r', '\n'});
    const char* p = text.data();
    const char* const end = p + text.size();
    bool first = true;
    bool laterLineOpensWithPD = false;
    while (p != end) {
        const char* const line = p;
        if (!first && end - p >= 2 && p[0] == 'P' && p[1] == 'D') laterLineOpensWithPD = true;
        bool beforePD = false;
        for (;;) {
            StopIf(pacing.Poll(p));
            const char* const block = end - p > ReadPacing::Step ? p + ReadPacing::Step : end;
            while (p != block && !stops[static_cast<unsigned char>(*p)]) ++p;
            if (p == block) {
                if (p == end) break;
                continue;
            }
            if (*p == '\r' || *p == '\n') break;
            if (*p == ';') {
                delimiter = ';';
                return Delimiting::Character;
            }
            if (!beforePD && p != line && p + 1 != end && p[1] == 'D' && p[-1] != ',' &&
                p[-1] != '.') {
                beforePD = true;
                delimiter = p[-1];
            }
            ++p;
        }
        if (beforePD) return Delimiting::Character;
        p = NextLine(p, end);
        first = false;
    }
    return laterLineOpensWithPD ? Delimiting::LineEnd : Delimiting::None;
}

// A plot before its first command: no segment, record 1 open from the origin in pen 1,
// the extents at their reset values.
void StartPlot(Plot& plot) {
    plot.PlotLines.assign(2, PlotLine{});
    plot.PlotLines[1].Pen = 1;
    plot.MaxX = ExtentLow;
    plot.MaxY = ExtentLow;
    plot.MinX = ExtentHigh;
    plot.MinY = ExtentHigh;
}

// The pen and the segments of basic reading, command by command.
class Interpreter {
public:
    Interpreter(PlotStore& store, std::int32_t segmentLimit, ReadPacing& pacing)
        : plot_(store.plots[Slot]),
          lines_(plot_.PlotLines),
          segmentLimit_(segmentLimit),
          pacing_(pacing) {
        StartPlot(plot_);
    }

    std::int32_t CompleteSegments() const { return LineNo_ - 1; }

    void Interpret(std::string_view cmd) {
        commaFrom_ = commaAt_ = nullptr;
        for (;;) {
            if (cmd.size() < 2) return;
            const std::size_t scanFrom = Command(cmd);
            if (scanFrom == 0) return;
            // A refused x value starts a command of its own (PU10,10,PD20,20).
            const std::size_t rest = ScanPairs(cmd, scanFrom);
            if (rest == std::string_view::npos) return;
            cmd = cmd.substr(rest);
        }
    }

private:
    // Sets the pen state a command's code asks for. Returns the 1-based position its
    // coordinate pairs start at, or 0 for a command that has none to read.
    std::size_t Command(std::string_view cmd) {
        const std::string_view code = cmd.substr(0, 2);
        const std::string_view joined = cmd.substr(0, 4);
        if (code == "IN") {
            PenDown_ = 0;
            RelMode_ = 0;
            RelX_ = RelY_ = 0;
            PenNo_ = 1;
            LineNo_ = 1;
            lines_.resize(2);
            lines_[1] = PlotLine{0, 0, 0, 0, 1};
            return 0;
        }
        if (code == "DF") {
            // DF does not move the pen, so the relative origin stays.
            PenDown_ = 0;
            RelMode_ = 0;
            PenNo_ = 1;
            return 0;
        }
        if (code == "PG") throw Stop{StopReason::PageFeed};
        if (code == "SP") {
            PenNo_ = PenNumber(cmd.substr(2));
            return 0;
        }
        if (code == "PA") {
            RelMode_ = 0;
            return 3;
        }
        if (code == "PR") return RelativeCommand(cmd, joined);
        if (code == "PU") {
            PenDown_ = 0;
            return 3;
        }
        if (code != "PD") return 0;
        PenDown_ = joined == "PDPU" ? 0 : 1;
        return joined == "PDPU" || joined == "PDPD" ? 5 : 3;
    }

    // PR and the commands joined to it (PRSP, PRPU, PRPD, PRPG), as Command.
    std::size_t RelativeCommand(std::string_view cmd, std::string_view joined) {
        RelMode_ = 1;
        if (joined == "PRSP") {
            PenNo_ = PenNumber(cmd.substr(4));
            return 0;
        }
        if (joined == "PRPG") throw Stop{StopReason::PageFeed};
        if (joined == "PRPU" || joined == "PRPD") {
            PenDown_ = joined == "PRPD" ? 1 : 0;
            return 5;
        }
        return 3;
    }

    // "SP;" is valid HPGL for "no pen"; any other text must be a 16-bit number.
    std::int16_t PenNumber(std::string_view text) {
        if (text.empty()) return 0;
        const auto pen = ConvertPenNumber(text);
        if (!pen) throw Stop{StopReason::BadPen};
        return *pen;
    }

    // Next "," at or after p, or end. Successive calls for one command only move
    // forward, so the last answer is reused and long refused runs stay linear.
    const char* NextComma(const char* p, const char* end) {
        if (commaFrom_ != nullptr && commaFrom_ <= p && p <= commaAt_) return commaAt_;
        const void* hit =
            p < end ? std::memchr(p, ',', static_cast<std::size_t>(end - p)) : nullptr;
        commaFrom_ = p;
        commaAt_ = hit ? static_cast<const char*>(hit) : end;
        return commaAt_;
    }

    static double Number(std::string_view text) {
        const NumberValue n = ReadNumber(text);
        if (n.overflow) throw Stop{StopReason::Overflow};
        return n.value;
    }

    static float Single(double v) {
        const float f = static_cast<float>(v);
        if (std::isinf(f)) throw Stop{StopReason::Overflow};
        return f;
    }

    // Reads the pairs of cmd from 1-based position scanPos. Returns the 0-based
    // position of a refused x text, or npos when the pairs are done.
    std::size_t ScanPairs(std::string_view cmd, std::size_t scanPos) {
        const char* const begin = cmd.data();
        const char* const end = begin + cmd.size();
        const char* s = begin + std::min(scanPos - 1, cmd.size());
        for (;;) {
            StopIf(pacing_.Poll(s));
            const char* c1 = NextComma(s, end);
            if (c1 == end) return std::string_view::npos;
            for (const char* q = s; q != c1; ++q) {
                const char ch = *q;
                if (!((ch >= '0' && ch <= '9') || ch == '.' || ch == '-')) {
                    return static_cast<std::size_t>(s - begin);
                }
            }
            const double x = Number(std::string_view(s, static_cast<std::size_t>(c1 - s)));
            s = c1 + 1;
            const char* c2 = NextComma(s, end);
            const float y = Single(Number(std::string_view(s, static_cast<std::size_t>(c2 - s))));
            StorePoint(x, y);
            if (c2 == end) return std::string_view::npos;
            s = c2 + 1;
        }
    }

    void StorePoint(double x, float y) {
        // Relative pairs continue from the last point stored, absolute ones from the origin.
        const double baseX = RelMode_ == 1 ? RelX_ : 0.0;
        const double baseY = RelMode_ == 1 ? RelY_ : 0.0;
        const float X = Single(baseX + x);
        const float Y = Single(baseY + static_cast<double>(y));
        if (PenDown_ != 1) {
            PlotLine& r = lines_[static_cast<std::size_t>(LineNo_)];
            r.X1 = X;
            r.Y1 = Y;
            r.Pen = PenNo_;
        } else {
            PlotLine& r = lines_[static_cast<std::size_t>(LineNo_)];
            r.X2 = X;
            r.Y2 = Y;
            Widen(r.X1, r.Y1);
            Widen(r.X2, r.Y2);
            // Past the last record there is nowhere to start the next segment.
            if (++LineNo_ > segmentLimit_) throw Stop{StopReason::SegmentLimit};
            lines_.push_back(PlotLine{X, 0, Y, 0, PenNo_});
        }
        RelX_ = X;
        RelY_ = Y;
    }

    void Widen(float x, float y) {
        if (x > plot_.MaxX) plot_.MaxX = x;
        if (y > plot_.MaxY) plot_.MaxY = y;
        if (x < plot_.MinX) plot_.MinX = x;
        if (y < plot_.MinY) plot_.MinY = y;
    }

    Plot& plot_;
    PlotLineTable& lines_;
    std::int32_t segmentLimit_;
    ReadPacing& pacing_;
    std::int32_t LineNo_ = 1;
    std::int16_t PenDown_ = 0;
    std::int16_t RelMode_ = 0;
    std::int16_t PenNo_ = 1;
    float RelX_ = 0;
    float RelY_ = 0;
    const char* commaFrom_ = nullptr;
    const char* commaAt_ = nullptr;
};

// The second pass. A line that holds no delimiter is skipped whole; the text after a
// line's last delimiter is a command too (one of a single character does nothing).
void Interpret(Interpreter& in, std::string_view text, Delimiting delimiting, char delimiter,
               ReadPacing& pacing) {
    const StopSet lineEnds = Stops({'\r', '\n'});
    const StopSet commandEnds = Stops({delimiter, '\r', '\n'});
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end) {
        StopIf(pacing.Poll(p));
        if (delimiting == Delimiting::LineEnd) {
            const char* q = ScanTo(p, end, lineEnds, pacing);
            in.Interpret(std::string_view(p, static_cast<std::size_t>(q - p)));
            p = NextLine(q, end);
            continue;
        }
        const char* q = ScanTo(p, end, commandEnds, pacing);
        if (q != end && *q == delimiter) {
            for (;;) {
                in.Interpret(std::string_view(p, static_cast<std::size_t>(q - p)));
                if (q == end || *q != delimiter) break;
                p = q + 1;
                StopIf(pacing.Poll(p));
                q = ScanTo(p, end, commandEnds, pacing);
            }
        }
        p = NextLine(q, end);
    }
}

// The table shrinks in place (a smaller block or a shorter mapping): no copy of note.
void ShrinkToFit(PlotLineTable& lines) { lines.shrink_to_fit(); }

// Basic reading draws no labels: none of an earlier file's may stay.
void ForgetChars(PlotStore& store) {
    store.plots[Slot].CharCount = 0;
    store.plots[Slot].PlotChars.clear();
}

void ClearPlot(PlotStore& store) {
    store.plots[Slot].LineCount = 0;
    store.PlotTotal = 1;
    ForgetChars(store);
}

}  // namespace

ReadResult ReadBasicText(PlotStore& store, std::string_view text, const ReadOptions& options) {
    ReadResult result;
    store.SetSlotCount(2);
    ForgetChars(store);
    store.plots[Slot].Pens = {};  // every pen draws in Kestrel's colour as a hair-line
    store.plots[Slot].ForgetHowDrawn();
    ReadPacing pacing(text, options);
    Interpreter in(store, options.segmentLimit, pacing);
    store.PlotTotal = 1;
    try {
        char delimiter = ';';
        ReadPacing firstPass(text, options, false);
        const Delimiting delimiting = SearchDelimiter(text, delimiter, firstPass);
        if (delimiting == Delimiting::None) {
            ClearPlot(store);
            ShrinkToFit(store.plots[Slot].PlotLines);
            result.status = ReadStatus::NoDelimiter;
            pacing.Finish(text.data() + text.size());
            return result;
        }
        Interpret(in, text, delimiting, delimiter, pacing);
        pacing.Finish(text.data() + text.size());
    } catch (const Stop& stop) {
        result.stop = stop.reason;
    } catch (const std::bad_alloc&) {
        // Growing the segment table failed: what was read stays.
        result.stop = StopReason::OutOfMemory;
    }
    store.plots[Slot].LineCount = in.CompleteSegments();
    store.PlotTotal = 1;
    ShrinkToFit(store.plots[Slot].PlotLines);
    return result;
}

void EmptyPlot(PlotStore& store) {
    store.SetSlotCount(2);
    store.plots[Slot].Pens = {};
    store.plots[Slot].ForgetHowDrawn();
    StartPlot(store.plots[Slot]);
    ClearPlot(store);
}

}  // namespace kestrel::reader
