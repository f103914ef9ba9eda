#pragma once

#include <cstdint>
#include <limits>

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

// A scroll bar holds 16-bit values. While the drawing area's overflow fits them, a value is
// a twip of the area's position; beyond, the whole overflow is spread over the bar's range
// and a value stands for `unit` twips.
struct ScrollBarState {
    std::int16_t value = 0;
    std::int16_t maximum = 0;
    std::int16_t largeStep = 1;
    std::int16_t smallStep = 1;
    bool visible = false;
    Rect geometry;    // relative to the window's client area
    double unit = 1;  // twips of position per value
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

// The drawing area is as large as the view's scale makes it, far beyond what a widget or an
// image could hold; only the part under the viewport is ever drawn. Its size and position
// are the model, the bars show them.
struct ViewLayout {
    Rect viewport;  // `Picture1`, relative to the client area
    Rect area;      // the drawing area `Picture3`, relative to the viewport
    ScrollBarState hscroll;
    ScrollBarState vscroll;
    // The area is fitted to the viewport and follows the window when it is resized; any
    // zoom ends that, and a resize then keeps the scale and the centre.
    bool fitted = true;
};

// How far the area may be scaled from its present size, as factors of it.
struct ZoomLimits {
    double least = 0;
    double most = std::numeric_limits<double>::infinity();
};

// The layout of a new window: the area fills the viewport, both bars hidden.
void StartLayout(ViewLayout& layout, const WindowMetrics& m);
// The area fills the viewport, scrolled back to its origin, the bars hidden; the view is
// fitted from now on. A minimised window keeps its layout.
void FitAreaToViewport(ViewLayout& layout, const WindowMetrics& m);
// The window was resized: a fitted area fills the new viewport; a zoomed one keeps its
// size and the point at the viewport's centre, as far as the bars reach.
void FollowWindow(ViewLayout& layout, const WindowMetrics& m);
// The area twice or half as wide and high, its position kept as far as the bars reach.
// Each returns false, changing nothing, when the factor lies beyond `limits`, or (reducing)
// when the area would become too small to show anything; on true the caller redraws.
bool EnlargeArea(ViewLayout& layout, const WindowMetrics& m, const ZoomLimits& limits = {});
bool ReduceArea(ViewLayout& layout, const WindowMetrics& m, const ZoomLimits& limits = {});
// A scroll bar's value changed: the drawing area slides under the viewport.
void FollowHorizontalBar(ViewLayout& layout);
void FollowVerticalBar(ViewLayout& layout);
// The area scaled by `factor`, held within `limits`, keeping the viewport point (x, y)
// (twips) over the same point of the drawing as far as the bars reach. False when the
// scale stays as it was.
bool ZoomAbout(ViewLayout& layout, const WindowMetrics& m, double factor, double x, double y,
               const ZoomLimits& limits);
// The area scaled so that the viewport rectangle `r` fills the viewport's visible part as
// far as `limits` allow, its centre brought to the centre. False for a rectangle with no
// width or height.
bool ZoomToRect(ViewLayout& layout, const WindowMetrics& m, const Rect& r,
                const ZoomLimits& limits);
// The area moved by (dx, dy) twips, as far as the bars reach. False when it did not move.
bool Pan(ViewLayout& layout, double dx, double dy);
// The wheel turned `steps` notches (positive away from the user) over a visible bar: it
// moves `linesPerNotch` small steps a notch, held within its range. False when nothing moved.
bool ScrollByWheel(ViewLayout& layout, bool horizontal, int steps, int linesPerNotch);

}  // namespace kestrel::view
