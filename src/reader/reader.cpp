#include "reader/reader.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "reader/number.h"

namespace Kestrel_Sub {
namespace {

using Kestrel_Val::PlotLine;
using Kestrel_Val::PlotStore;

constexpr int Slot = 1;  // the only slot the reader fills

struct Stop {
    StopReason reason;
};

// Splits text into lines ending at CR, CRLF or a lone LF.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {}

    bool Next(std::string_view& line) {
        if (p_ == end_) return false;
        const char* q = p_;
        while (q != end_ && *q != '\r' && *q != '\n') ++q;
        line = std::string_view(p_, static_cast<std::size_t>(q - p_));
        if (q == end_) {
            p_ = end_;
        } else if (*q == '\r' && q + 1 != end_ && q[1] == '\n') {
            p_ = q + 2;
        } else {
            p_ = q + 1;
        }
        return true;
    }

private:
    const char* p_;
    const char* end_;
};

// The character before the first "PD" that is not at the start of the line and
// not preceded by "," or "."; none if there is no such "PD".
bool FindDelimiter(std::string_view line, char& delimiter) {
    std::size_t from = 0;
    for (;;) {
        const std::size_t p = line.find("PD", from);
        if (p == std::string_view::npos) return false;
        if (p == 0) {
            from = 1;
            continue;
        }
        const char c = line[p - 1];
        if (c != ',' && c != '.') {
            delimiter = c;
            return true;
        }
        from = p + 1;
    }
}

enum class Delimiting { None, Character, LineEnd };

Delimiting SearchDelimiter(std::string_view text, char& delimiter) {
    LineCursor lines(text);
    std::string_view line;
    bool first = true;
    bool laterLineOpensWithPD = false;
    while (lines.Next(line)) {
        if (line.find(';') != std::string_view::npos) {
            delimiter = ';';
            return Delimiting::Character;
        }
        if (FindDelimiter(line, delimiter)) return Delimiting::Character;
        if (!first && line.substr(0, 2) == "PD") laterLineOpensWithPD = true;
        first = false;
    }
    // Plots written one command per line without ";": each line is a command.
    return laterLineOpensWithPD ? Delimiting::LineEnd : Delimiting::None;
}

class Interpreter {
public:
    Interpreter(PlotStore& store, std::int32_t segmentLimit)
        : store_(store), lines_(store.PlotLines[Slot]), segmentLimit_(segmentLimit) {
        lines_.assign(2, PlotLine{});
        lines_[1].Pen = PenNo_;
        store_.MaxX[Slot] = Kestrel_Val::ExtentLow;
        store_.MaxY[Slot] = Kestrel_Val::ExtentLow;
        store_.MinX[Slot] = Kestrel_Val::ExtentHigh;
        store_.MinY[Slot] = Kestrel_Val::ExtentHigh;
    }

    std::int32_t CompleteSegments() const { return LineNo_ - 1; }

    void Interpret(std::string_view cmd) {
        commaFrom_ = commaAt_ = nullptr;
        for (;;) {
            if (cmd.size() < 2) return;
            const std::string_view code = cmd.substr(0, 2);
            const std::string_view joined = cmd.substr(0, 4);
            std::size_t scanFrom;
            if (code == "IN") {
                PenDown_ = 0;
                RelMode_ = 0;
                RelX_ = RelY_ = 0;
                PenNo_ = 1;
                LineNo_ = 1;
                lines_.resize(2);
                lines_[1] = PlotLine{0, 0, 0, 0, 1};
                return;
            } else if (code == "DF") {
                // DF does not move the pen, so the relative origin stays.
                PenDown_ = 0;
                RelMode_ = 0;
                PenNo_ = 1;
                return;
            } else if (code == "PG") {
                throw Stop{StopReason::PageFeed};
            } else if (code == "SP") {
                PenNo_ = PenNumber(cmd.substr(2));
                return;
            } else if (code == "PA") {
                RelMode_ = 0;
                scanFrom = 3;
            } else if (code == "PR") {
                RelMode_ = 1;
                if (joined == "PRSP") {
                    PenNo_ = PenNumber(cmd.substr(4));
                    return;
                } else if (joined == "PRPU") {
                    PenDown_ = 0;
                    scanFrom = 5;
                } else if (joined == "PRPD") {
                    PenDown_ = 1;
                    scanFrom = 5;
                } else if (joined == "PRPG") {
                    throw Stop{StopReason::PageFeed};
                } else {
                    scanFrom = 3;
                }
            } else if (code == "PU") {
                PenDown_ = 0;
                scanFrom = 3;
            } else if (code == "PD") {
                if (joined == "PDPU") {
                    PenDown_ = 0;
                    scanFrom = 5;
                } else {
                    PenDown_ = 1;
                    scanFrom = joined == "PDPD" ? 5 : 3;
                }
            } else {
                return;
            }
            // A refused x value starts a command of its own (PU10,10,PD20,20).
            const std::size_t rest = ScanPairs(cmd, scanFrom);
            if (rest == std::string_view::npos) return;
            cmd = cmd.substr(rest);
        }
    }

private:
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
        const void* hit = p < end ? std::memchr(p, ',', static_cast<std::size_t>(end - p)) : nullptr;
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
        if (x > store_.MaxX[Slot]) store_.MaxX[Slot] = x;
        if (y > store_.MaxY[Slot]) store_.MaxY[Slot] = y;
        if (x < store_.MinX[Slot]) store_.MinX[Slot] = x;
        if (y < store_.MinY[Slot]) store_.MinY[Slot] = y;
    }

    PlotStore& store_;
    Kestrel_Val::PlotLineTable& lines_;
    std::int32_t segmentLimit_;
    std::int32_t LineNo_ = 1;
    std::int16_t PenDown_ = 0;
    std::int16_t RelMode_ = 0;
    std::int16_t PenNo_ = 1;
    float RelX_ = 0;
    float RelY_ = 0;
    const char* commaFrom_ = nullptr;
    const char* commaAt_ = nullptr;
};

void Interpret(Interpreter& in, std::string_view text, Delimiting delimiting, char delimiter) {
    LineCursor lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        if (delimiting == Delimiting::LineEnd) {
            in.Interpret(line);
            continue;
        }
        std::size_t pos = line.find(delimiter);
        std::size_t start = 0;
        while (pos != std::string_view::npos) {
            in.Interpret(line.substr(start, pos - start));
            start = pos + 1;
            pos = line.find(delimiter, start);
            // An undelimited last command is read, unless it is a single character.
            if (pos == std::string_view::npos && start + 1 < line.size()) {
                in.Interpret(line.substr(start));
            }
        }
    }
}

void ShrinkToFit(Kestrel_Val::PlotLineTable& lines) {
    if (lines.capacity() > lines.size() + lines.size() / 8 + 16) lines.shrink_to_fit();
}

}  // namespace

int FileErrorNumber(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return 53;
        case EACCES:
        case EPERM:
            return 70;
        default:
            return 52;
    }
}

namespace {

// Reads a regular file whole; other kinds of file (folders, devices, pipes) are refused
// so that a bad choice can neither hang nor grow without bound.
bool ReadWholeFile(const std::string& path, std::string& out, int& errorNumber) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        errorNumber = FileErrorNumber(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errorNumber = 52;
        return false;
    }
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            errorNumber = FileErrorNumber(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;  // the file shrank while we read it
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    ::close(fd);
    return true;
}

void EmptyPlot(PlotStore& store) {
    store.LineCount[Slot] = 0;
    store.PlotTotal = 1;
}

}  // namespace

ReadResult ReadPlotText(PlotStore& store, std::string_view text, const ReadOptions& options) {
    ReadResult result;
    store.SetSlotCount(2);
    Interpreter in(store, options.segmentLimit);
    store.PlotTotal = 1;
    char delimiter = ';';
    const Delimiting delimiting = SearchDelimiter(text, delimiter);
    if (delimiting == Delimiting::None) {
        EmptyPlot(store);
        ShrinkToFit(store.PlotLines[Slot]);
        result.status = ReadStatus::NoDelimiter;
        return result;
    }
    try {
        Interpret(in, text, delimiting, delimiter);
    } catch (const Stop& stop) {
        result.stop = stop.reason;
    }
    store.LineCount[Slot] = in.CompleteSegments();
    store.PlotTotal = 1;
    ShrinkToFit(store.PlotLines[Slot]);
    return result;
}

ReadResult ReadPlotFile(PlotStore& store, const ReadOptions& options) {
    std::string text;
    int errorNumber = 0;
    if (!ReadWholeFile(store.PlotDir + store.PlotName, text, errorNumber)) {
        store.SetSlotCount(2);
        Interpreter reset(store, Kestrel_Val::MaxSegments);
        EmptyPlot(store);
        ReadResult result;
        result.status = ReadStatus::CannotOpen;
        result.errorNumber = errorNumber;
        return result;
    }
    return ReadPlotText(store, text, options);
}

int LastPos(std::string_view text, std::string_view part) {
    if (part.size() > text.size()) return 0;
    const std::size_t p = text.rfind(part);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

}  // namespace Kestrel_Sub
