#pragma once

#include <cstdint>

#include "view/drawing_surface.h"
#include "view/stroke_shapes.h"

namespace kestrel::view {

// A drawing surface over 32-bit pixels (0xAARRGGBB, as QImage::Format_RGB32 keeps them)
// that it does not own. Lines are written straight into the pixels as they come, clipped
// to the area: one pixel wide, solid or dash-dot, or as wide as their pen with round ends.
// A stroke costs the pixels it touches, and some for its set-up.
class RasterSurface final : public DrawingSurface {
public:
    RasterSurface(std::uint32_t* pixels, int width, int height, int strideInPixels,
                  double twipsPerPixel);

    double Width() const override;
    double Height() const override;
    void Clear() override;
    void SetLineStyle(LineStyle style) override;
    void Rectangle(float x1, float y1, float x2, float y2) override;

    // Strokes no wider than a pixel are one-pixel lines.
    void SetPen(const StrokeLook& look) override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void Stroke() override;

    // The raster shows part of a larger drawing: its top-left pixel is pixel (x, y) of the
    // drawing (whole numbers). Positions stay the drawing's, and every pixel comes out as it
    // does on a raster of the whole drawing, so that parts drawn apart fit together.
    void SetOrigin(double x, double y);
    double OriginX() const { return originX_; }
    double OriginY() const { return originY_; }
    // The surface over the `width` x `height` pixels at (x, y) of this one (held within it),
    // its origin where they lie in the drawing.
    RasterSurface Part(int x, int y, int width, int height) const;
    // Moves the pixels by (dx, dy), as when the drawing moved that far under the raster; the
    // origin is left as it is. What they uncover keeps what it held.
    void Shift(int dx, int dy);

    int PixelWidth() const { return width_; }
    int PixelHeight() const { return height_; }
    double TwipsPerPixel() const { return twipsPerPixel_; }

    // A one-pixel line in the current style.
    void Line(float x1, float y1, float x2, float y2, Rgb colour);
    // A solid line `width` twips wide with round ends, as a pen draws it; `startCap` false
    // leaves out the start's round end, drawn already by the line it goes on from. Lines
    // no wider than a pixel are drawn as one-pixel lines.
    void WideLine(float x1, float y1, float x2, float y2, Rgb colour, float width,
                  bool startCap = true);

    // A convex polygon or a disc of a wide stroke's outline, in twips.
    void FillPiece(const StrokePiece& piece, Rgb colour);

private:
    void FillPolygon(const StrokePiece& piece, std::uint32_t colour);
    // The pixels of the drawing's row y (a whole number) between lo and hi.
    void FillRow(double y, double lo, double hi, std::uint32_t colour);

    // A line reaching far beyond the raster: only the pixels of its path that fall inside.
    void FarLine(double ax, double ay, double bx, double by, std::uint32_t colour);

    std::uint32_t* pixels_;
    int width_;
    int height_;
    int stride_;
    double twipsPerPixel_;
    double originX_ = 0, originY_ = 0;
    // What a line costs at least, at most when one pixel wide, and at most when wide.
    double lineSetUp_, longest_, area_;
    LineStyle style_ = LineStyle::Solid;
    // The pen and where it is; `going` while the path goes on from the last line drawn.
    Rgb colour_;
    float penWidth_ = 0;
    float x_ = 0, y_ = 0;
    bool going_ = false;
    // Wide strokes with other ends and corners than a pen's are drawn piece by piece.
    bool shaped_ = false;
    StrokeShaper shaper_;
};

}  // namespace kestrel::view
