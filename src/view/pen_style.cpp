#include "view/pen_style.h"

#include "view/plot_drawing.h"

namespace kestrel::view {

namespace {

std::uint8_t Tinted(std::uint8_t c, int percent) {
    return static_cast<std::uint8_t>(255 - ((255 - c) * percent + 50) / 100);
}

LineCap CapOf(std::uint8_t ends) {
    switch (ends) {
        case 1: return LineCap::Butt;
        case 2: return LineCap::Square;
        case 3: return LineCap::Triangle;
        default: return LineCap::Round;
    }
}

LineJoin JoinOf(std::uint8_t joins) {
    switch (joins) {
        case 1: return LineJoin::Miter;
        case 2: return LineJoin::MiterOrBevel;
        case 3: return LineJoin::Triangle;
        case 5: return LineJoin::Bevel;
        case 6: return LineJoin::None;
        default: return LineJoin::Round;
    }
}

}  // namespace

// A pen the file gave no colour keeps Kestrel's; one it gave no width is a hair-line.
PenStyle PenStyleOf(const reader::PlotStore& store, int slot, std::int16_t pen) {
    const reader::PenLook* look = store.LookOf(slot, pen);
    if (look == nullptr) return {PenColour(pen), 0};
    Rgb colour = look->OwnColour ? Rgb{look->R, look->G, look->B} : PenColour(look->Pen);
    if (look->Tint < 100) {
        const int t = look->Tint;
        colour = {Tinted(colour.r, t), Tinted(colour.g, t), Tinted(colour.b, t)};
    }
    return {colour, look->WidthMm, CapOf(look->Ends), JoinOf(look->Joins), look->MiterLimit};
}

}  // namespace kestrel::view
