#pragma once

#include <cstdint>

namespace kestrel::interact {

// Mouse buttons as the drawing area reports them; a move reports the sum of those held.
enum MouseButton : int { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

// The selection rectangle `Shape`, in the drawing area's twips; visible means a selection exists.
struct ShapeRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    bool Visible = false;
};

// Whole pixels of the drawing area's raster, from its top-left corner.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
    bool operator==(const PixelRect&) const = default;
};

// A press point as the drag's start keeps it: rounded to whole twips, halves to even.
std::int32_t DragStartOf(float position);

// The rectangle a right-button press shows: 1 x 1 twip at the press point.
ShapeRect ShapeAtPress(float x, float y);

// The rectangle of a right-button drag, from the start point to the mouse whichever way
// the mouse went; the sizes are taken against the single-precision corner.
ShapeRect ShapeOfDrag(std::int32_t startX, std::int32_t startY, float x, float y);

// The pixels under a selection rectangle: its edges rounded to the nearest pixel
// boundary, at least one pixel across when the rectangle has any extent, empty when a
// side is zero (a drag straight along one axis). Not clipped to the raster.
PixelRect ShapePixels(const ShapeRect& shape, double twipsPerPixel);

// What a right-button release selects of a raster `width` x `height`: the rectangle's
// pixels on the raster, or nothing when that is less than 3 x 3 pixels, a click rather
// than a drag, so that the next copy or save takes the whole drawing rather than a speck.
PixelRect SelectedPixels(const ShapeRect& shape, double twipsPerPixel, int width, int height);

}  // namespace kestrel::interact
