#pragma once

#include "view/stroke_target.h"

namespace kestrel::view {

enum class LineStyle { Solid, DashDot, Dotted };

// The window's drawing area: a stroke target that also has a size, can be cleared and
// outlines the plot's range. Positions and sizes are twips (1/1440 inch), y growing
// downwards; the surface maps them to its pixels.
class DrawingSurface : public StrokeTarget {
public:
    virtual double Width() const = 0;   // twips
    virtual double Height() const = 0;  // twips
    virtual void Clear() = 0;           // fill with the background (white)
    // The style of the range frame's outline.
    virtual void SetLineStyle(LineStyle style) = 0;
    // A rectangle outline in the foreground colour (black), in the current style.
    virtual void Rectangle(float x1, float y1, float x2, float y2) = 0;
};

}  // namespace kestrel::view
