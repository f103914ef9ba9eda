#pragma once

namespace kestrel::interact {

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

// The pixels under a selection rectangle: its edges rounded to the nearest pixel
// boundary, at least one pixel across when the rectangle has any extent, empty when a
// side is zero (a drag straight along one axis). Not clipped to the raster.
PixelRect ShapePixels(const ShapeRect& shape, double twipsPerPixel);

}  // namespace kestrel::interact
