#pragma once

#include <algorithm>
#include <cmath>
#include <concepts>
#include <limits>
#include <optional>
#include <span>

namespace kestrel::reader {

// Which neighbour a value halfway between two integers goes to. Conversions of numbers to
// 16-bit integers (pen numbers, scroll positions, drag points) go to the even one; pixel
// positions and the plotter's integer parameters away from zero.
enum class Halves { ToEven, AwayFromZero };

// The nearest integer of type Int, or nothing for NaN and for values beyond Int's range.
template <std::integral Int>
std::optional<Int> Rounded(double v, Halves halves) {
    // Under the default rounding mode nearbyint takes halves to even.
    const double r = halves == Halves::ToEven ? std::nearbyint(v) : std::round(v);
    // Int's limits as powers of two, exact in a double whatever Int's width.
    constexpr int bits = std::numeric_limits<Int>::digits;
    const double above = std::ldexp(1.0, bits);
    const double lowest = std::numeric_limits<Int>::is_signed ? -above : 0.0;
    if (!(r >= lowest && r < above)) return std::nullopt;
    return static_cast<Int>(r);
}

// The same, held within Int's range; NaN gives 0.
template <std::integral Int>
Int RoundedClamped(double v, Halves halves) {
    if (std::isnan(v)) return 0;
    if (const auto r = Rounded<Int>(v, halves)) return *r;
    return v < 0 ? std::numeric_limits<Int>::min() : std::numeric_limits<Int>::max();
}

// A length in twips as whole pixels of a screen or a printer, halves away from zero.
inline int TwipsToPixels(double twips, double twipsPerPixel) {
    return RoundedClamped<int>(twips / twipsPerPixel, Halves::AwayFromZero);
}

// Whether every parameter is a number: infinities and NaN change nothing they are given to.
inline bool Finite(std::span<const double> p) {
    return std::all_of(p.begin(), p.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace kestrel::reader
