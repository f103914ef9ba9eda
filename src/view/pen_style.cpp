#include "view/pen_style.h"

#include "view/plot_drawing.h"

namespace Kestrel_View {

// A pen the file gave no colour keeps Kestrel's; one it gave no width is a hair-line.
PenStyle PenStyleOf(const Kestrel_Val::PlotStore& store, int slot, std::int16_t pen) {
    const Kestrel_Val::PenLook* look = store.LookOf(slot, pen);
    if (look == nullptr) return {PenColour(pen), 0};
    const Rgb colour = look->OwnColour ? Rgb{look->R, look->G, look->B} : PenColour(look->Pen);
    return {colour, look->WidthMm};
}

}  // namespace Kestrel_View
