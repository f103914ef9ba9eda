#pragma once

#include <cstdint>

namespace Kestrel_View {

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
    double innerWidth = 0;   // client area
    double innerHeight = 0;
    double outerWidth = 0;   // with frame, title and menu bar
    double outerHeight = 0;
    double toolBarHeight = 0;
    double statusBarHeight = 0;
    double scrollBarThickness = 0;
    double twipsPerPixel = 15;  // the screen's
};

struct ViewLayout {
    Rect picture1;  // the viewport, relative to the client area
    Rect picture3;  // the drawing area, relative to the viewport
    ScrollBarState hscroll;
    ScrollBarState vscroll;
};

void FormLoad(ViewLayout& layout, const WindowMetrics& m);
void FormResize(ViewLayout& layout, const WindowMetrics& m);
// Each returns false, changing nothing, when the new size would leave the 16-bit
// range of a scroll bar, or (reducing) when the area would become too small to show
// anything; on true the caller redraws the plot.
bool ZoomIn(ViewLayout& layout, const WindowMetrics& m);
bool ZoomOut(ViewLayout& layout, const WindowMetrics& m);
// Form_Resize and hiding both bars; the caller redraws the plot.
void FitToWindow(ViewLayout& layout, const WindowMetrics& m);
// A scroll bar's value changed: the drawing area slides under the viewport.
void HScroll1_Change(ViewLayout& layout);
void VScroll1_Change(ViewLayout& layout);

}  // namespace Kestrel_View
