#include <gtest/gtest.h>

#include "interact/selection.h"

namespace kestrel::interact {
namespace {

TEST(Selection, DragStartSpanAndPixels) {
    // Start points round halves to even.
    for (const auto& [x, start] : {std::pair{450.5f, 450}, {451.5f, 452}, {-0.5f, 0}, {451.49f, 451}})
        EXPECT_EQ(DragStartOf(x), start) << x;
    // The rectangle runs from the start to the mouse whichever way it went.
    const ShapeRect back = ShapeOfDrag(3000, 2000, 1000, 2500);
    EXPECT_EQ(std::tuple(back.Left, back.Top, back.Width, back.Height, back.Visible),
              std::tuple(1000.f, 2000.f, 2000.f, 500.f, true));
    const ShapeRect across = ShapeOfDrag(3000, 2000, 3500, 1800);
    EXPECT_EQ(std::tuple(across.Left, across.Top, across.Width, across.Height),
              std::tuple(3000.f, 1800.f, 500.f, 200.f));

    // Rectangle in twips at 15 twips a pixel, on a 100 x 80 raster: the pixels selected.
    const std::pair<ShapeRect, PixelRect> rows[] = {
        {{150, 150, 450, 300, true}, {10, 10, 30, 20}},
        {{157, 142, 45, 45, true}, {10, 9, 3, 3}},        // edges to the nearest boundary
        {{1350, 1125, 750, 750, true}, {90, 75, 10, 5}},  // clipped to the raster
        {{150, 150, 30, 450, true}, {}},                  // under 3 pixels one way: a click
        {{150, 150, 0, 450, true}, {}},                   // a side of zero
        {{-300, -300, 330, 600, true}, {}},               // off the raster but for 2 pixels
        {{15, 15, 1e30f, 1e30f, true}, {1, 1, 99, 79}}};  // no overflow
    for (const auto& [shape, pixels] : rows) EXPECT_EQ(SelectedPixels(shape, 15, 100, 80), pixels) << shape.Left;
}

}  // namespace
}  // namespace kestrel::interact
