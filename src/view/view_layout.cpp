#include "view/view_layout.h"

#include <algorithm>

#include "reader/number.h"

namespace Kestrel_View {

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
    layout.picture1 = Viewport(m);
    layout.picture3 = {0, 0, layout.picture1.width, layout.picture1.height};
}

// Setting a value runs the bar's change handler when the value changes, as the window's
// scroll bars do.
void SetHValue(ViewLayout& layout, std::int16_t value) {
    if (layout.hscroll.value == value) return;
    layout.hscroll.value = value;
    HScroll1_Change(layout);
}

void SetVValue(ViewLayout& layout, std::int16_t value) {
    if (layout.vscroll.value == value) return;
    layout.vscroll.value = value;
    VScroll1_Change(layout);
}

std::int16_t AtLeastOne(double v) {
    const std::int16_t r = Kestrel_Sub::RoundToInt16(v).value_or(0);  // v lies within 0..3276.7 here
    return r < 1 ? std::int16_t{1} : r;
}

// Maximum (the overflow, at most 32767) and steps. Steps are at least 1, which scroll bars
// require: a short overflow would otherwise round them to 0.
void SetRange(ScrollBarState& bar, double overflow) {
    bar.maximum = Kestrel_Sub::RoundToInt16(overflow < ScrollLimit ? overflow : ScrollLimit).value_or(0);
    bar.largeStep = AtLeastOne(bar.maximum / 10.0);
    bar.smallStep = AtLeastOne(bar.largeStep / 10.0);
}

struct Overflow {
    bool h = false;
    bool v = false;
    double width = 0;   // drawing area width beyond the visible viewport
    double height = 0;
};

// Which bars the drawing area needs: a bar takes room from the viewport, which may make
// the other one needed too. Needs only ever switch on, so the pair settles within three rounds.
Overflow Measure(const ViewLayout& layout, const WindowMetrics& m) {
    const Rect& p1 = layout.picture1;
    const Rect& p3 = layout.picture3;
    Overflow o;
    for (int round = 0; round < 3; ++round) {
        const double visibleW = p1.width - (o.v ? m.scrollBarThickness : 0);
        const double visibleH = p1.height - (o.h ? m.scrollBarThickness : 0);
        o.width = p3.width - visibleW;
        o.height = p3.height - visibleH;
        o.h = o.width > 0;
        o.v = o.height > 0;
    }
    return o;
}

// A maximum below the value pulls the value, and with it the drawing area, back.
void ShowVScroll(ViewLayout& layout, const WindowMetrics& m, double overflow) {
    SetRange(layout.vscroll, overflow);
    if (layout.vscroll.value > layout.vscroll.maximum) SetVValue(layout, layout.vscroll.maximum);
    const Rect& p1 = layout.picture1;
    layout.vscroll.geometry = {p1.width - m.scrollBarThickness, m.toolBarHeight,
                               m.scrollBarThickness, p1.height - m.scrollBarThickness};
    layout.vscroll.visible = true;
}

void ShowHScroll(ViewLayout& layout, const WindowMetrics& m, double overflow) {
    SetRange(layout.hscroll, overflow);
    if (layout.hscroll.value > layout.hscroll.maximum) SetHValue(layout, layout.hscroll.maximum);
    const Rect& p1 = layout.picture1;
    layout.hscroll.geometry = {0, m.toolBarHeight + p1.height - m.scrollBarThickness, p1.width,
                               m.scrollBarThickness};
    layout.hscroll.visible = true;
}

// The zoom refuses a size whose difference to the viewport a scroll bar could not hold;
// the sizes are tested in single precision.
bool Holds(float size, float viewport) {
    const float d = size - viewport;
    return d >= -32768.0f && d <= 32767.0f;
}

bool ZoomHolds(const ViewLayout& layout, float factor) {
    const float w = static_cast<float>(layout.picture3.width) * factor;
    const float h = static_cast<float>(layout.picture3.height) * factor;
    return Holds(w, static_cast<float>(layout.picture1.width)) &&
           Holds(h, static_cast<float>(layout.picture1.height));
}

}  // namespace

void FormLoad(ViewLayout& layout, const WindowMetrics& m) {
    FillViewport(layout, m);
    layout.vscroll.visible = false;
    layout.hscroll.visible = false;
}

void FormResize(ViewLayout& layout, const WindowMetrics& m) {
    if (m.innerHeight > 0) FillViewport(layout, m);  // a minimised window keeps its layout
    SetHValue(layout, 0);
    SetVValue(layout, 0);
}

bool ZoomIn(ViewLayout& layout, const WindowMetrics& m) {
    if (!ZoomHolds(layout, 2.0f)) return false;
    layout.picture3.width = 2 * layout.picture3.width;
    layout.picture3.height = 2 * layout.picture3.height;
    const Overflow o = Measure(layout, m);
    // A bar without an overflow is left as it is (enlarging cannot end an overflow).
    if (o.v) ShowVScroll(layout, m, o.height);
    if (o.h) ShowHScroll(layout, m, o.width);
    return true;
}

bool ZoomOut(ViewLayout& layout, const WindowMetrics& m) {
    if (!ZoomHolds(layout, 0.5f)) return false;
    const double longer = std::max(layout.picture3.width, layout.picture3.height) / 2;
    if (longer < SmallestAreaSide * m.twipsPerPixel) return false;
    layout.picture3.width = layout.picture3.width / 2;
    layout.picture3.height = layout.picture3.height / 2;
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

void FitToWindow(ViewLayout& layout, const WindowMetrics& m) {
    FormResize(layout, m);
    layout.vscroll.visible = false;
    layout.hscroll.visible = false;
}

void HScroll1_Change(ViewLayout& layout) { layout.picture3.left = -layout.hscroll.value; }

void VScroll1_Change(ViewLayout& layout) { layout.picture3.top = -layout.vscroll.value; }

}  // namespace Kestrel_View
