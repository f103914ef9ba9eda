#include "view/view_layout.h"

#include <algorithm>
#include <cstdlib>

#include "reader/rounding.h"

namespace kestrel::view {

namespace {

constexpr double ScrollLimit = 32767;

// Reducing stops before the drawing area's longer side would drop below this many pixels.
constexpr double SmallestAreaSide = 64;

// The viewport lies between the tool bar and the status bar, at start-up and on resize alike,
// so that the horizontal bar is never hidden under the status bar.
Rect Viewport(const WindowMetrics& m) {
    return {0, m.toolBarHeight, m.innerWidth, m.innerHeight - m.toolBarHeight - m.statusBarHeight};
}

void FillViewport(ViewLayout& layout, const WindowMetrics& m) {
    layout.viewport = Viewport(m);
    layout.area = {0, 0, layout.viewport.width, layout.viewport.height};
}

// Setting a value runs the bar's change handler when the value changes, as the window's
// scroll bars do.
void SetHValue(ViewLayout& layout, std::int16_t value) {
    if (layout.hscroll.value == value) return;
    layout.hscroll.value = value;
    FollowHorizontalBar(layout);
}

void SetVValue(ViewLayout& layout, std::int16_t value) {
    if (layout.vscroll.value == value) return;
    layout.vscroll.value = value;
    FollowVerticalBar(layout);
}

// What a bar shows for a wanted value: rounded, and held within its range as a scroll bar holds it.
std::int16_t BarValue(const ScrollBarState& bar, double wanted) {
    const int value = reader::RoundedClamped<int>(wanted, reader::Halves::AwayFromZero);
    return static_cast<std::int16_t>(std::clamp<int>(value, 0, bar.maximum));
}

std::int16_t AtLeastOne(double v) {
    // v lies within 0..3276.7 here
    const std::int16_t r = reader::Rounded<std::int16_t>(v, reader::Halves::ToEven).value_or(0);
    return r < 1 ? std::int16_t{1} : r;
}

// Maximum (the overflow, at most 32767) and steps. Steps are at least 1, which scroll bars
// require: a short overflow would otherwise round them to 0.
void SetRange(ScrollBarState& bar, double overflow) {
    bar.maximum = reader::Rounded<std::int16_t>(overflow < ScrollLimit ? overflow : ScrollLimit,
                                                reader::Halves::ToEven)
                      .value_or(0);
    bar.largeStep = AtLeastOne(bar.maximum / 10.0);
    bar.smallStep = AtLeastOne(bar.largeStep / 10.0);
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

// A maximum below the value pulls the value, and with it the drawing area, back.
void ShowVScroll(ViewLayout& layout, const WindowMetrics& m, double overflow) {
    SetRange(layout.vscroll, overflow);
    if (layout.vscroll.value > layout.vscroll.maximum) SetVValue(layout, layout.vscroll.maximum);
    const Rect& viewport = layout.viewport;
    layout.vscroll.geometry = {viewport.width - m.scrollBarThickness, m.toolBarHeight,
                               m.scrollBarThickness, viewport.height - m.scrollBarThickness};
    layout.vscroll.visible = true;
}

void ShowHScroll(ViewLayout& layout, const WindowMetrics& m, double overflow) {
    SetRange(layout.hscroll, overflow);
    if (layout.hscroll.value > layout.hscroll.maximum) SetHValue(layout, layout.hscroll.maximum);
    const Rect& viewport = layout.viewport;
    layout.hscroll.geometry = {0, m.toolBarHeight + viewport.height - m.scrollBarThickness,
                               viewport.width, m.scrollBarThickness};
    layout.hscroll.visible = true;
}

// The zoom refuses a size whose difference to the viewport a scroll bar could not hold;
// the sizes are tested in single precision.
bool Holds(float size, float viewport) {
    const float d = size - viewport;
    return d >= -32768.0f && d <= 32767.0f;
}

bool ZoomHolds(const ViewLayout& layout, float factor) {
    const float w = static_cast<float>(layout.area.width) * factor;
    const float h = static_cast<float>(layout.area.height) * factor;
    return Holds(w, static_cast<float>(layout.viewport.width)) &&
           Holds(h, static_cast<float>(layout.viewport.height));
}

}  // namespace

void StartLayout(ViewLayout& layout, const WindowMetrics& m) {
    FillViewport(layout, m);
    layout.vscroll.visible = false;
    layout.hscroll.visible = false;
}

void FitAreaToViewport(ViewLayout& layout, const WindowMetrics& m) {
    if (m.innerHeight > 0) FillViewport(layout, m);  // a minimised window keeps its layout
    SetHValue(layout, 0);
    SetVValue(layout, 0);
}

bool EnlargeArea(ViewLayout& layout, const WindowMetrics& m) {
    if (!ZoomHolds(layout, 2.0f)) return false;
    layout.area.width = 2 * layout.area.width;
    layout.area.height = 2 * layout.area.height;
    const Overflow o = Measure(layout, m);
    // A bar without an overflow is left as it is (enlarging cannot end an overflow).
    if (o.v) ShowVScroll(layout, m, o.height);
    if (o.h) ShowHScroll(layout, m, o.width);
    return true;
}

bool ReduceArea(ViewLayout& layout, const WindowMetrics& m) {
    if (!ZoomHolds(layout, 0.5f)) return false;
    const double longer = std::max(layout.area.width, layout.area.height) / 2;
    if (longer < SmallestAreaSide * m.twipsPerPixel) return false;
    layout.area.width = layout.area.width / 2;
    layout.area.height = layout.area.height / 2;
    const Overflow o = Measure(layout, m);
    if (o.v) {
        ShowVScroll(layout, m, o.height);
    } else {
        SetVValue(layout, 0);
        layout.vscroll.visible = false;
    }
    if (o.h) {
        ShowHScroll(layout, m, o.width);
    } else {
        SetHValue(layout, 0);
        layout.hscroll.visible = false;
    }
    return true;
}

void FitAreaHidingBars(ViewLayout& layout, const WindowMetrics& m) {
    FitAreaToViewport(layout, m);
    layout.vscroll.visible = false;
    layout.hscroll.visible = false;
}

void FollowHorizontalBar(ViewLayout& layout) { layout.area.left = -layout.hscroll.value; }

void FollowVerticalBar(ViewLayout& layout) { layout.area.top = -layout.vscroll.value; }

int ZoomAboutPoint(ViewLayout& layout, const WindowMetrics& m, int steps, double x, double y) {
    int taken = 0;
    for (int i = 0; i < std::abs(steps); ++i) {
        // Where the point is in the viewport, to be kept there.
        const double viewX = layout.area.left + x;
        const double viewY = layout.area.top + y;
        const double width = layout.area.width;
        if (!(steps > 0 ? EnlargeArea(layout, m) : ReduceArea(layout, m))) break;
        ++taken;
        if (width <= 0) break;
        // The fit scales with the area, so the point moves with it.
        const double factor = layout.area.width / width;
        x *= factor;
        y *= factor;
        if (layout.hscroll.visible) SetHValue(layout, BarValue(layout.hscroll, x - viewX));
        if (layout.vscroll.visible) SetVValue(layout, BarValue(layout.vscroll, y - viewY));
    }
    return taken;
}

bool ScrollByWheel(ViewLayout& layout, bool horizontal, int steps, int linesPerNotch) {
    const ScrollBarState& bar = horizontal ? layout.hscroll : layout.vscroll;
    if (!bar.visible || steps == 0) return false;
    const long long delta = static_cast<long long>(steps) * linesPerNotch * bar.smallStep;
    const auto value =
        static_cast<std::int16_t>(std::clamp<long long>(bar.value - delta, 0, bar.maximum));
    if (value == bar.value) return false;
    horizontal ? SetHValue(layout, value) : SetVValue(layout, value);
    return true;
}

}  // namespace kestrel::view
