#include "view/pen_style.h"

#include "view/plot_drawing.h"

namespace kestrel::view {

// A pen the file gave no colour keeps Kestrel's; one it gave no width is a hair-line.
PenStyle PenStyleOf(const reader::PlotStore& store, int slot, std::int16_t pen) {
    const reader::PenLook* look = store.LookOf(slot, pen);
    if (look == nullptr) return {PenColour(pen), 0};
    const Rgb colour = look->OwnColour ? Rgb{look->R, look->G, look->B} : PenColour(look->Pen);
    return {colour, look->WidthMm};
}

}  // namespace kestrel::view
