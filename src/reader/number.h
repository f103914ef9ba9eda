#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace Kestrel_Sub {

// Result of reading a number from plot text; `overflow` means the value does not
// fit a double, which ends reading like any other arithmetic failure.
struct NumberValue {
    double value = 0;
    bool overflow = false;
};

// Reads the longest leading number of `text`, ignoring blanks, tabs and line feeds
// anywhere: optional sign, digits, one decimal point, an E or D exponent, or an
// &H / &O integer. Text without a leading number reads as 0. The decimal
// separator is always ".", whatever the locale.
NumberValue ReadNumber(std::string_view text);

// Rounds to a 16-bit integer, halves to even; no value outside -32768..32767 (NaN included).
std::optional<std::int16_t> RoundToInt16(double v);

// Converts a pen-number text to a 16-bit integer, rounding halves to even.
// Blanks around the number are allowed; anything else that is not part of the
// number, or a value outside -32768..32767, gives no value.
std::optional<std::int16_t> ConvertPenNumber(std::string_view text);

}  // namespace Kestrel_Sub
