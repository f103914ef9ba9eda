#include "interact/selection.h"

#include <algorithm>

#include "reader/rounding.h"

namespace kestrel::interact {

PixelRect ShapePixels(const ShapeRect& shape, double twipsPerPixel) {
    const auto px = [twipsPerPixel](double twips) {
        return reader::RoundedClamped<int>(std::clamp(twips / twipsPerPixel, -1e9, 1e9), reader::Halves::AwayFromZero);
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

}  // namespace kestrel::interact
