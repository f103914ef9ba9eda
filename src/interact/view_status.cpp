#include "interact/view_status.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "reader/units.h"

namespace kestrel::interact {

namespace {

constexpr std::string_view LengthLabel = "長さ ";
constexpr std::string_view AngleLabel = "  角度 ";
constexpr std::string_view Degrees = "°";
constexpr std::string_view Mm = " mm";

// Decimals of plotter units that a pixel of `unitsPerPixel` resolves, at most 3; mm take
// two more, a plotter unit being 0.025 mm.
int UnitDecimals(double unitsPerPixel) {
    if (!(unitsPerPixel > 0) || !std::isfinite(unitsPerPixel)) return 0;
    return std::clamp(static_cast<int>(std::ceil(-std::log10(unitsPerPixel))), 0, 3);
}

// A number to `decimals` places, never "-0".
std::string Fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    std::string s(text);
    if (s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

}  // namespace

std::string PointerText(double x, double y, double unitsPerPixel) {
    const int d = UnitDecimals(unitsPerPixel);
    return "X " + Fixed(x, d) + "  Y " + Fixed(y, d) + "  (" +
           Fixed(x * reader::MmPerPlotterUnit, d + 2) + ", " +
           Fixed(y * reader::MmPerPlotterUnit, d + 2) + std::string(Mm) + ")";
}

std::string MeasureText(double dx, double dy, double unitsPerPixel) {
    const int d = UnitDecimals(unitsPerPixel);
    const double length = std::hypot(dx, dy);
    double angle = length > 0 ? std::atan2(dy, dx) / reader::Degree : 0;
    if (Fixed(angle, 1) == "-180.0") angle = 180;
    return std::string(LengthLabel) + Fixed(length, d) + " (" +
           Fixed(length * reader::MmPerPlotterUnit, d + 2) + std::string(Mm) + ")" +
           std::string(AngleLabel) + Fixed(angle, 1) + std::string(Degrees);
}

}  // namespace kestrel::interact
