#include "interact/selection.h"

#include <algorithm>

#include "reader/rounding.h"

namespace kestrel::interact {

namespace {

// The smallest selection, in pixels each way.
constexpr int MinimumSelection = 3;

// One side of the dragged rectangle. The origin is set first and the size taken against
// the single-precision value stored.
void Span(float mouse, std::int32_t start, float& origin, float& size) {
    const auto anchor = static_cast<float>(start);
    if (mouse > anchor) {
        origin = anchor;
        size = mouse - origin;
    } else {
        origin = mouse;
        size = anchor - origin;
    }
}

}  // namespace

std::int32_t DragStartOf(float position) {
    return reader::RoundedClamped<std::int32_t>(position, reader::Halves::ToEven);
}

ShapeRect ShapeAtPress(float x, float y) { return {x, y, 1, 1, true}; }

ShapeRect ShapeOfDrag(std::int32_t startX, std::int32_t startY, float x, float y) {
    ShapeRect shape;
    shape.Visible = true;
    Span(y, startY, shape.Top, shape.Height);
    Span(x, startX, shape.Left, shape.Width);
    return shape;
}

PixelRect ShapePixels(const ShapeRect& shape, double twipsPerPixel) {
    const auto px = [twipsPerPixel](double twips) {
        return reader::RoundedClamped<int>(std::clamp(twips / twipsPerPixel, -1e9, 1e9),
                                           reader::Halves::AwayFromZero);
    };
    if (!(shape.Width > 0) || !(shape.Height > 0)) {
        return {};
    }
    const int left = px(shape.Left);
    const int top = px(shape.Top);
    const int right = std::max(left + 1, px(static_cast<double>(shape.Left) + shape.Width));
    const int bottom = std::max(top + 1, px(static_cast<double>(shape.Top) + shape.Height));
    return {left, top, right - left, bottom - top};
}

PixelRect SelectedPixels(const ShapeRect& shape, double twipsPerPixel, int width, int height) {
    const PixelRect r = ShapePixels(shape, twipsPerPixel);
    const int left = std::max(r.left, 0);
    const int top = std::max(r.top, 0);
    const int right = std::min(r.left + r.width, width);
    const int bottom = std::min(r.top + r.height, height);
    if (right - left < MinimumSelection || bottom - top < MinimumSelection) return {};
    return {left, top, right - left, bottom - top};
}

}  // namespace kestrel::interact
