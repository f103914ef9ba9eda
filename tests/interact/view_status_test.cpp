#include <gtest/gtest.h>

#include <string>

#include "interact/view_status.h"

using kestrel::interact::MeasureText;
using kestrel::interact::PointerText;

namespace {

TEST(ViewStatus, PointerAndMeasureResolveWhatAPixelShows) {
    // Rows: x (or dx), y (or dy), plotter units a pixel, the pointer's text, the measure's.
    const struct {
        double x, y, perPixel;
        const char *pointer, *measure;
    } rows[] = {
        {1234.4, -67.02, 12, "X 1234  Y -67  (30.86, -1.68 mm)", "長さ 1236 (30.91 mm)  角度 -3.1°"},
        {1234.4, -67.02, 0.05, "X 1234.40  Y -67.02  (30.8600, -1.6755 mm)", "長さ 1236.22 (30.9055 mm)  角度 -3.1°"},
        // No "-0", and a direction straight back along x is 180 degrees.
        {-0.0004, 0.0001, 1, "X 0  Y 0  (0.00, 0.00 mm)", "長さ 0 (0.00 mm)  角度 166.0°"},
        {-40, -1e-9, 0.5, "X -40.0  Y 0.0  (-1.000, 0.000 mm)", "長さ 40.0 (1.000 mm)  角度 180.0°"},
        {0, 0, 0, "X 0  Y 0  (0.00, 0.00 mm)", "長さ 0 (0.00 mm)  角度 0.0°"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(PointerText(r.x, r.y, r.perPixel), r.pointer) << r.perPixel;
        EXPECT_EQ(MeasureText(r.x, r.y, r.perPixel), r.measure) << r.perPixel;
    }
}

}  // namespace
