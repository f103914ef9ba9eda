#include "view/pen_style.h"

#include "view/plot_drawing.h"

namespace Kestrel_View {

// Every plot draws with the fixed pen colours, in hair-lines.
PenStyle PenStyleOf(const Kestrel_Val::PlotStore& /*store*/, int /*slot*/, std::int16_t pen) {
    return {PenColour(pen), 0};
}

}  // namespace Kestrel_View
