#include "view/view_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "reader/rounding.h"

namespace kestrel::view {

namespace {

constexpr double ScrollLimit = 32767;

// Reducing stops before the drawing area's longer side would drop below this many pixels.
constexpr double SmallestAreaSide = 64;

// The steps of a bar whose overflow is the largest the 16-bit range holds: beyond it the
// line stays that long and the page a viewport long, whatever the area's size.
constexpr double LongestLine = 328;
constexpr double LongestPage = 3277;

// Factors within this of a limit count as at it: a zoom composed of steps carries rounding.
constexpr double LimitTolerance = 1e-9;

// The viewport lies between the tool bar and the status bar, at start-up and on resize alike,
// so that the horizontal bar is never hidden under the status bar.
Rect Viewport(const WindowMetrics& m) {
    return {0, m.toolBarHeight, m.innerWidth, m.innerHeight - m.toolBarHeight - m.statusBarHeight};
}

// How far a bar lets the area scroll, in twips.
double Reach(const ScrollBarState& bar) { return bar.visible ? bar.maximum * bar.unit : 0; }

// What a bar shows for a position: rounded, and held within its range as a scroll bar holds it.
std::int16_t BarValue(const ScrollBarState& bar, double position) {
    const int value =
        reader::RoundedClamped<int>(position / bar.unit, reader::Halves::AwayFromZero);
    return static_cast<std::int16_t>(std::clamp<int>(value, 0, bar.maximum));
}

// The area scrolled `position` twips along one axis, held within the bar's reach.
void Scroll(ScrollBarState& bar, double& areaOffset, double position) {
    position = std::clamp(std::isnan(position) ? 0.0 : position, 0.0, Reach(bar));
    areaOffset = -position;
    bar.value = BarValue(bar, position);
}

std::int16_t AtLeastOne(double v) {
    const std::int16_t r =
        reader::Rounded<std::int16_t>(std::min(v, ScrollLimit), reader::Halves::ToEven).value_or(0);
    return r < 1 ? std::int16_t{1} : r;
}

// Maximum and steps for an overflow. Within the 16-bit range a value is a twip: the maximum
// is the overflow, the steps a tenth of it and of that, at least 1 as scroll bars require.
// Beyond, the range spreads over the whole overflow, the line keeps its longest length and
// a page is what the viewport shows.
void SetRange(ScrollBarState& bar, double overflow, double visible) {
    if (overflow <= ScrollLimit) {
        bar.unit = 1;
        bar.maximum = reader::Rounded<std::int16_t>(overflow, reader::Halves::ToEven).value_or(0);
        bar.largeStep = AtLeastOne(bar.maximum / 10.0);
        bar.smallStep = AtLeastOne(bar.largeStep / 10.0);
        return;
    }
    bar.unit = overflow / ScrollLimit;
    bar.maximum = static_cast<std::int16_t>(ScrollLimit);
    bar.largeStep = AtLeastOne(std::max(LongestPage, visible) / bar.unit);
    bar.smallStep = AtLeastOne(LongestLine / bar.unit);
}

struct Overflow {
    bool h = false;
    bool v = false;
    double width = 0;  // drawing area width beyond the visible viewport
    double height = 0;
};

// Which bars the drawing area needs: a bar takes room from the viewport, which may make
// the other one needed too. Needs only ever switch on, so the pair settles within three rounds.
Overflow Measure(const ViewLayout& layout, const WindowMetrics& m) {
    const Rect& viewport = layout.viewport;
    const Rect& area = layout.area;
    Overflow o;
    for (int round = 0; round < 3; ++round) {
        const double visibleW = viewport.width - (o.v ? m.scrollBarThickness : 0);
        const double visibleH = viewport.height - (o.h ? m.scrollBarThickness : 0);
        o.width = area.width - visibleW;
        o.height = area.height - visibleH;
        o.h = o.width > 0;
        o.v = o.height > 0;
    }
    return o;
}

// The bars the area's size needs, with the area scrolled to (x, y) as far as they reach; a
// hidden bar leaves the area at the viewport's edge.
void SetBars(ViewLayout& layout, const WindowMetrics& m, double x, double y) {
    const Overflow o = Measure(layout, m);
    const Rect& viewport = layout.viewport;
    ScrollBarState& h = layout.hscroll;
    ScrollBarState& v = layout.vscroll;
    h.visible = o.h;
    v.visible = o.v;
    if (o.v) {
        SetRange(v, o.height, viewport.height - (o.h ? m.scrollBarThickness : 0));
        v.geometry = {viewport.width - m.scrollBarThickness, m.toolBarHeight, m.scrollBarThickness,
                      viewport.height - m.scrollBarThickness};
    }
    if (o.h) {
        SetRange(h, o.width, viewport.width - (o.v ? m.scrollBarThickness : 0));
        h.geometry = {0, m.toolBarHeight + viewport.height - m.scrollBarThickness, viewport.width,
                      m.scrollBarThickness};
    }
    Scroll(h, layout.area.left, x);
    Scroll(v, layout.area.top, y);
}

// A factor within the limits, or the nearest limit.
double Limited(double factor, const ZoomLimits& limits) {
    if (factor > limits.most * (1 - LimitTolerance)) factor = std::min(factor, limits.most);
    if (factor < limits.least * (1 + LimitTolerance)) factor = std::max(factor, limits.least);
    return factor;
}

bool Allows(const ZoomLimits& limits, double factor) {
    return factor <= limits.most * (1 + LimitTolerance) &&
           factor >= limits.least * (1 - LimitTolerance);
}

// Scales the area keeping the area point under the viewport point (x, y) there.
void Scale(ViewLayout& layout, const WindowMetrics& m, double factor, double x, double y) {
    Rect& area = layout.area;
    const double pointX = x - area.left;
    const double pointY = y - area.top;
    area.width *= factor;
    area.height *= factor;
    layout.fitted = false;
    SetBars(layout, m, pointX * factor - x, pointY * factor - y);
}

}  // namespace

void StartLayout(ViewLayout& layout, const WindowMetrics& m) {
    layout.viewport = Viewport(m);
    layout.area = {0, 0, layout.viewport.width, layout.viewport.height};
    layout.vscroll.visible = false;
    layout.hscroll.visible = false;
    layout.fitted = true;
}

void FitAreaToViewport(ViewLayout& layout, const WindowMetrics& m) {
    layout.fitted = true;
    if (m.innerHeight <= 0) return;  // a minimised window keeps its layout
    layout.viewport = Viewport(m);
    layout.area = {0, 0, layout.viewport.width, layout.viewport.height};
    SetBars(layout, m, 0, 0);
}

void FollowWindow(ViewLayout& layout, const WindowMetrics& m) {
    if (layout.fitted) return FitAreaToViewport(layout, m);
    if (m.innerHeight <= 0) return;
    // The area point at the viewport's centre, kept there.
    const Rect old = layout.viewport;
    const double pointX = old.width / 2 - layout.area.left;
    const double pointY = old.height / 2 - layout.area.top;
    layout.viewport = Viewport(m);
    SetBars(layout, m, pointX - layout.viewport.width / 2, pointY - layout.viewport.height / 2);
}

bool EnlargeArea(ViewLayout& layout, const WindowMetrics& m, const ZoomLimits& limits) {
    if (!Allows(limits, 2)) return false;
    layout.area.width = 2 * layout.area.width;
    layout.area.height = 2 * layout.area.height;
    layout.fitted = false;
    SetBars(layout, m, -layout.area.left, -layout.area.top);
    return true;
}

bool ReduceArea(ViewLayout& layout, const WindowMetrics& m, const ZoomLimits& limits) {
    if (!Allows(limits, 0.5)) return false;
    const double longer = std::max(layout.area.width, layout.area.height) / 2;
    if (longer < SmallestAreaSide * m.twipsPerPixel) return false;
    layout.area.width = layout.area.width / 2;
    layout.area.height = layout.area.height / 2;
    layout.fitted = false;
    SetBars(layout, m, -layout.area.left, -layout.area.top);
    return true;
}

void FollowHorizontalBar(ViewLayout& layout) {
    layout.area.left = -layout.hscroll.value * layout.hscroll.unit;
}

void FollowVerticalBar(ViewLayout& layout) {
    layout.area.top = -layout.vscroll.value * layout.vscroll.unit;
}

bool ZoomAbout(ViewLayout& layout, const WindowMetrics& m, double factor, double x, double y,
               const ZoomLimits& limits) {
    factor = Limited(factor, limits);
    const double longer = std::max(layout.area.width, layout.area.height) * factor;
    if (factor < 1 && longer < SmallestAreaSide * m.twipsPerPixel) return false;
    if (!(factor > 0) || !std::isfinite(factor) || std::fabs(factor - 1) < LimitTolerance)
        return false;
    Scale(layout, m, factor, x, y);
    return true;
}

bool ZoomToRect(ViewLayout& layout, const WindowMetrics& m, const Rect& r,
                const ZoomLimits& limits) {
    if (!(r.width > 0) || !(r.height > 0)) return false;
    // A zoomed view mostly needs both bars; their room is not part of what it fills.
    const double visibleW = layout.viewport.width - m.scrollBarThickness;
    const double visibleH = layout.viewport.height - m.scrollBarThickness;
    const double factor = Limited(std::min(visibleW / r.width, visibleH / r.height), limits);
    if (!(factor > 0) || !std::isfinite(factor)) return false;
    Rect& area = layout.area;
    const double centreX = r.left + r.width / 2 - area.left;
    const double centreY = r.top + r.height / 2 - area.top;
    area.width *= factor;
    area.height *= factor;
    layout.fitted = false;
    SetBars(layout, m, centreX * factor - visibleW / 2, centreY * factor - visibleH / 2);
    return true;
}

bool Pan(ViewLayout& layout, double dx, double dy) {
    const Rect before = layout.area;
    Scroll(layout.hscroll, layout.area.left, -(layout.area.left + dx));
    Scroll(layout.vscroll, layout.area.top, -(layout.area.top + dy));
    return !(layout.area == before);
}

bool ScrollByWheel(ViewLayout& layout, bool horizontal, int steps, int linesPerNotch) {
    ScrollBarState& bar = horizontal ? layout.hscroll : layout.vscroll;
    double& offset = horizontal ? layout.area.left : layout.area.top;
    if (!bar.visible || steps == 0) return false;
    // Beyond the 16-bit range a line keeps its longest length, however much a value stands for.
    const double line = bar.unit > 1 ? LongestLine : bar.smallStep;
    const double before = offset;
    Scroll(bar, offset, -offset - static_cast<double>(steps) * linesPerNotch * line);
    return offset != before;
}

}  // namespace kestrel::view
