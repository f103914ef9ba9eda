#pragma once

#include <cstdint>

#include "reader/units.h"

namespace kestrel::view {

// Positions and sizes in twips.
struct Rect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const Rect&) const = default;
};

struct ScrollBarState {
    std::int16_t value = 0;
    std::int16_t maximum = 0;
    std::int16_t largeStep = 1;
    std::int16_t smallStep = 1;
    bool visible = false;
    Rect geometry;  // relative to the window's client area
};

// What the layout reads from the window, in twips, afresh for every command.
struct WindowMetrics {
    double innerWidth = 0;  // client area
    double innerHeight = 0;
    double outerWidth = 0;  // with frame, title and menu bar
    double outerHeight = 0;
    double toolBarHeight = 0;
    double statusBarHeight = 0;
    double scrollBarThickness = 0;
    double twipsPerPixel = reader::ScreenTwipsPerPixel;  // the screen's
};

struct ViewLayout {
    Rect viewport;  // `Picture1`, relative to the client area
    Rect area;      // the drawing area `Picture3`, relative to the viewport
    ScrollBarState hscroll;
    ScrollBarState vscroll;
};

// The layout of a new window: the area fills the viewport, both bars hidden.
void StartLayout(ViewLayout& layout, const WindowMetrics& m);
// The area fills the viewport again, scrolled back to its origin; the bars keep their
// visibility. A minimised window keeps its layout.
void FitAreaToViewport(ViewLayout& layout, const WindowMetrics& m);
// The area twice or half as wide and high. Each returns false, changing nothing, when the
// new size would leave the 16-bit range of a scroll bar, or (reducing) when the area would
// become too small to show anything; on true the caller redraws the plot.
bool EnlargeArea(ViewLayout& layout, const WindowMetrics& m);
bool ReduceArea(ViewLayout& layout, const WindowMetrics& m);
// FitAreaToViewport and both bars hidden; the caller redraws the plot.
void FitAreaHidingBars(ViewLayout& layout, const WindowMetrics& m);
// A scroll bar's value changed: the drawing area slides under the viewport.
void FollowHorizontalBar(ViewLayout& layout);
void FollowVerticalBar(ViewLayout& layout);
// `steps` enlargements (reductions when negative) that keep the point (x, y) of the area,
// in its twips, where it is in the viewport, as far as the bars reach. Returns the steps
// taken: they end at the first refused; with none the layout is unchanged.
int ZoomAboutPoint(ViewLayout& layout, const WindowMetrics& m, int steps, double x, double y);
// The wheel turned `steps` notches (positive away from the user) over a visible bar: it
// moves `linesPerNotch` small steps a notch, held within its range. False when nothing moved.
bool ScrollByWheel(ViewLayout& layout, bool horizontal, int steps, int linesPerNotch);

}  // namespace kestrel::view
