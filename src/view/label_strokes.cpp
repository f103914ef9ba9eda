#include "view/label_strokes.h"

namespace kestrel::view {

std::int64_t LabelStrokeCount(const reader::PlotStore& store, int slot) {
    std::int64_t strokes = 0;
    ForEachLabelStroke(store, slot,
                       [&strokes](float, float, float, float, std::int16_t) { ++strokes; });
    return strokes;
}

}  // namespace kestrel::view
