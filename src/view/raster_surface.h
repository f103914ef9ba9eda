#pragma once

#include <cstdint>

#include "view/drawing_surface.h"

namespace kestrel::view {

// A drawing surface over 32-bit pixels (0xAARRGGBB, as QImage::Format_RGB32 keeps them)
// that it does not own. Lines are written straight into the pixels: one pixel wide,
// solid or dash-dot, clipped to the area.
class RasterSurface final : public DrawingSurface {
public:
    RasterSurface(std::uint32_t* pixels, int width, int height, int strideInPixels,
                  double twipsPerPixel);

    double Width() const override;
    double Height() const override;
    double PixelSize() const override { return twipsPerPixel_; }
    void Clear() override;
    void SetLineStyle(LineStyle style) override;
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
    // Lines no wider than a pixel are drawn as one-pixel lines.
    void WideLine(float x1, float y1, float x2, float y2, Rgb colour, float width) override;
    void Rectangle(float x1, float y1, float x2, float y2) override;

private:
    std::uint32_t* pixels_;
    int width_;
    int height_;
    int stride_;
    double twipsPerPixel_;
    LineStyle style_ = LineStyle::Solid;
    // Where the last wide line ended, when nothing was drawn since.
    bool joinable_ = false;
    float lastX_ = 0, lastY_ = 0, lastWidth_ = 0;
    Rgb lastColour_;
};

}  // namespace kestrel::view
