#include "reader/plotter.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace kestrel::reader {

bool Storable(Point p) { return std::fabs(p.x) <= FLT_MAX && std::fabs(p.y) <= FLT_MAX; }

PlotPages::PlotPages(PlotStore& store, std::int32_t segmentLimit)
    : store_(store), limit_(segmentLimit) {
    store_.SetSlotCount(2);
    Begin(1);
}

void PlotPages::Begin(int slot) {
    slot_ = slot;
    ++serial_;
    if (store_.SlotCount() <= slot) store_.SetSlotCount(slot + 1);
    Plot& plot = store_.plots[static_cast<std::size_t>(slot)];
    auto& lines = plot.PlotLines;
    lines.clear();
    lines.push_back({});  // record 0 is never used
    auto& chars = plot.PlotChars;
    chars.clear();
    chars.push_back({});
    count_ = 0;
    codes_.Clear();
    chars_ = 0;
    maxX_ = maxY_ = ExtentLow;
    minX_ = minY_ = ExtentHigh;
    // A new sheet: the pen starts from nowhere on it, at the velocities still in force.
    plot.Travel.clear();
    plot.Velocities = velocities_;
    placed_ = false;
    penChanges_ = 0;
}

namespace {

bool SamePoint(Point a, Point b) { return a.x == b.x && a.y == b.y; }

}  // namespace

void PlotPages::KeepTravel(Point from, Point to) {
    if (SamePoint(from, to) || !Storable(from) || !Storable(to)) return;
    if (full_ || travelTotal_ >= MaxTravelMoves) {
        travelCut_ = true;
        return;
    }
    store_.plots[static_cast<std::size_t>(slot_)].Travel.push_back(
        {static_cast<float>(from.x), static_cast<float>(from.y), static_cast<float>(to.x),
         static_cast<float>(to.y)});
    ++travelTotal_;
}

void PlotPages::Travel(Point from, Point to) {
    KeepTravel(from, to);
    at_ = to;
    placed_ = true;
}

void PlotPages::DrawnBy(std::int16_t pen) {
    if (drawn_ && pen != lastPen_) ++penChanges_;
    lastPen_ = pen;
    drawn_ = true;
}

void PlotPages::SetVelocity(std::int16_t pen, float cmPerS) {
    if (pen < 0 && cmPerS == 0 && velocities_.empty()) return;  // nothing changes
    if (pen < 0) {
        velocities_.clear();
    } else {
        std::erase_if(velocities_, [pen](const VelocityChange& v) { return v.Pen == pen; });
    }
    const VelocityChange change{count_ + 1, chars_ + 1, pen, cmPerS};
    if (pen >= 0 || cmPerS != 0) velocities_.push_back({1, 1, pen, cmPerS});
    store_.plots[static_cast<std::size_t>(slot_)].Velocities.push_back(change);
}

void PlotPages::Add(Point from, Point to, std::int16_t pen) {
    if (total_ >= limit_) throw Stop{StopReason::SegmentLimit};
    if (full_) throw Stop{StopReason::PlotLimit};
    const PlotLine line{static_cast<float>(from.x), static_cast<float>(to.x),
                        static_cast<float>(from.y), static_cast<float>(to.y), pen};
    store_.plots[static_cast<std::size_t>(slot_)].PlotLines.push_back(line);
    ++count_;
    ++total_;
    // A stroke that does not start where the pen is had the pen lifted to get there.
    if (placed_ && !SamePoint(from, at_)) KeepTravel(at_, from);
    at_ = to;
    placed_ = true;
    DrawnBy(drawingPen_);
    maxX_ = std::max({maxX_, line.X1, line.X2});
    maxY_ = std::max({maxY_, line.Y1, line.Y2});
    minX_ = std::min({minX_, line.X1, line.X2});
    minY_ = std::min({minY_, line.Y1, line.Y2});
}

void PlotPages::AddChar(const PlotChar& c, std::int16_t pen) {
    if (full_) return;
    if (charTotal_ >= MaxChars) {
        ++charsDropped_;
        return;
    }
    store_.plots[static_cast<std::size_t>(slot_)].PlotChars.push_back(c);
    ++chars_;
    ++charTotal_;
    DrawnBy(pen);  // c.Pen is the code of its look
    const CharBox box = CharBounds(c);
    maxX_ = std::max(maxX_, box.maxX);
    maxY_ = std::max(maxY_, box.maxY);
    minX_ = std::min(minX_, box.minX);
    minY_ = std::min(minY_, box.minY);
}

void PlotPages::Commit() {
    Plot& plot = store_.plots[static_cast<std::size_t>(slot_)];
    plot.LineCount = count_;
    plot.CharCount = chars_;
    auto& chars = plot.PlotChars;
    if (chars.capacity() > chars.size() + chars.size() / 8 + 16) chars.shrink_to_fit();
    plot.MaxX = maxX_;
    plot.MaxY = maxY_;
    plot.MinX = minX_;
    plot.MinY = minY_;
    plot.Pens = codes_.Tables();
    plot.TravelKept = true;
    plot.TravelCut = travelCut_;
    plot.PenChanges = penChanges_;
    if (plot.Travel.capacity() > plot.Travel.size() + plot.Travel.size() / 8 + 16)
        plot.Travel.shrink_to_fit();
    auto& lines = plot.PlotLines;
    if (lines.capacity() > lines.size() + lines.size() / 8 + 16) lines.shrink_to_fit();
}

void PlotPages::EndPage() {
    if (full_ || PageEmpty()) return;
    Commit();
    if (slot_ == MaxPlots) {
        full_ = true;  // the next page's first segment ends reading
        return;
    }
    Begin(slot_ + 1);
}

void PlotPages::Finish() {
    // A last page with nothing on it makes no plot, unless it is the only one.
    int plots = slot_;
    if (!full_) {
        if (PageEmpty() && slot_ > 1) {
            --plots;
        } else {
            Commit();
        }
    }
    store_.SetSlotCount(plots + 1);
    store_.PlotTotal = static_cast<std::int16_t>(plots);
}

void Plotter::Initialize() {
    frame.Initialize();
    drawing.pens.Initialize();
    pages_.SetVelocity(-1, 0);
    Defaults();
    penDown = false;
    pen = 1;
    position = frame.Origin();
    labels.carriageReturn = position;
}

void Plotter::Defaults() {
    frame.Defaults();
    relative = false;
    labels.Defaults();
    drawing.Defaults();
}

void Plotter::EndPage() {
    pages_.EndPage();
    penDown = false;
    position = frame.Origin();
    labels.carriageReturn = position;
}

void Plotter::MoveTo(Point to) {
    if (drawing.polygon.Active()) {
        drawing.polygon.Add(to, penDown);
    } else if (penDown) {
        if (drawing.lineType.Solid()) {
            Stroke(position, to);
        } else {
            Draw(position, to);
        }
    } else {
        pages_.Travel(position, to);
    }
    position = to;
    labels.carriageReturn = to;
}

void Plotter::Draw(Point from, Point to) {
    if (drawing.lineType.Solid()) {
        Stroke(from, to);
        return;
    }
    drawing.lineType.Draw(from, to, drawing.lineType.PatternLength(Diagonal()), drawing.budget,
                          [this](Point a, Point b) { Stroke(a, b); });
}

double Plotter::Diagonal() const {
    return std::hypot(frame.P2().x - frame.P1().x, frame.P2().y - frame.P1().y);
}

namespace {

// Liang-Barsky: the part of a-b inside the window, if any.
bool Clip(const Rect& w, Point& a, Point& b) {
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - w.minX, w.maxX - a.x, a.y - w.minY, w.maxY - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
        } else {
            const double t = q[i] / p[i];
            if (p[i] < 0) {
                if (t > t1) return false;
                if (t > t0) t0 = t;
            } else {
                if (t < t0) return false;
                if (t < t1) t1 = t;
            }
        }
    }
    const Point start = a;
    if (t1 < 1) b = {start.x + t1 * dx, start.y + t1 * dy};
    if (t0 > 0) a = {start.x + t0 * dx, start.y + t0 * dy};
    return true;
}

}  // namespace

void Plotter::Stroke(Point from, Point to) {
    if (pen == 0) return;
    if (frame.Clips() && !Clip(frame.ClipRect(), from, to)) return;
    // A pen parked beyond single precision (a huge PS page's corner, say) draws nothing.
    if (!Storable(from) || !Storable(to)) return;
    pages_.Add(from, to, PenCode());
}

std::int16_t Plotter::PenCode() {
    const std::uint32_t version = drawing.pens.Version();
    if (pen != codePen_ || version != codeVersion_ || pages_.Serial() != codePage_) {
        code_ = pages_.PenCode(drawing.pens.Look(pen));
        codePen_ = pen;
        codeVersion_ = version;
        codePage_ = pages_.Serial();
    } else {
        pages_.DrawingWith(pen);
    }
    return code_;
}

void Plotter::Stroke(Point from, Point to, const PenLook& look) {
    if (pen == 0) return;
    if (frame.Clips() && !Clip(frame.ClipRect(), from, to)) return;
    if (!Storable(from) || !Storable(to)) return;
    pages_.Add(from, to, pages_.PenCode(look));
}

}  // namespace kestrel::reader
