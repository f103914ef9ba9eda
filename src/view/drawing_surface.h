#pragma once

#include <cstdint>

namespace kestrel::view {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

enum class LineStyle { Solid, DashDot };

// What the drawing routines need of a drawing area. Positions and sizes are twips
// (1/1440 inch), y growing downwards; the surface maps them to its pixels.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;
    virtual double Width() const = 0;   // twips
    virtual double Height() const = 0;  // twips
    // A pixel's side in twips: lines no wider than this are drawn one pixel wide.
    virtual double PixelSize() const { return 1; }
    virtual void Clear() = 0;  // fill with the background (white)
    virtual void SetLineStyle(LineStyle style) = 0;
    // A one-pixel line in the current style.
    virtual void Line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    // A solid line `width` twips wide with round ends, as a pen draws it; a surface that
    // cannot draw wide lines draws a one-pixel line.
    virtual void WideLine(float x1, float y1, float x2, float y2, Rgb colour, float width) {
        (void)width;
        Line(x1, y1, x2, y2, colour);
    }
    // A rectangle outline in the foreground colour (black), in the current style.
    virtual void Rectangle(float x1, float y1, float x2, float y2) = 0;
};

}  // namespace kestrel::view
