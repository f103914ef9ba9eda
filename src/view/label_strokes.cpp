#include "view/label_strokes.h"

namespace Kestrel_View {

std::int64_t LabelStrokeCount(const Kestrel_Val::PlotStore& store, int slot) {
    std::int64_t strokes = 0;
    ForEachLabelStroke(store, slot, [&strokes](float, float, float, float, std::int16_t) { ++strokes; });
    return strokes;
}

}  // namespace Kestrel_View
