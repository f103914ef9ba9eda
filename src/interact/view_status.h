#pragma once

#include <string>

namespace kestrel::interact {

// The status bar's pointer panel: the point under the pointer in the file's plotter units
// and in mm, to as many decimals as a pixel of the view (`unitsPerPixel`) resolves:
// "X 1234.5  Y -67.0  (30.863, -1.675 mm)".
std::string PointerText(double x, double y, double unitsPerPixel);

// The measuring panel: the length from one point to another (plotter units and mm) and the
// direction, counter-clockwise from the file's x axis in degrees (-180 to 180]:
// "長さ 1234.5 (30.863 mm)  角度 36.9°".
std::string MeasureText(double dx, double dy, double unitsPerPixel);

}  // namespace kestrel::interact
