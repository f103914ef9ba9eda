#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <tuple>

#include "reader/rounding.h"

namespace {

using kestrel::reader::Halves;
using kestrel::reader::Rounded;
using kestrel::reader::RoundedClamped;

TEST(Rounding, HalvesAndTheRangeOfTheType) {
    // Value, halves, 16-bit result (nullopt: refused), and the same held within 16 bits.
    const std::tuple<double, Halves, std::optional<int>, int> cases[] = {
        {54.5, Halves::ToEven, 54, 54},          {55.5, Halves::ToEven, 56, 56},
        {-2.5, Halves::ToEven, -2, -2},          {2.5001, Halves::ToEven, 3, 3},
        {54.5, Halves::AwayFromZero, 55, 55},    {-2.5, Halves::AwayFromZero, -3, -3},
        {32767.4, Halves::ToEven, 32767, 32767}, {-32768.5, Halves::ToEven, -32768, -32768},
        {32767.5, Halves::ToEven, {}, 32767},    {-32768.5, Halves::AwayFromZero, {}, -32768},
        {1e300, Halves::ToEven, {}, 32767},      {std::nan(""), Halves::ToEven, {}, 0}};
    for (const auto& [v, halves, rounded, clamped] : cases) {
        const auto r = Rounded<std::int16_t>(v, halves);
        EXPECT_EQ(r ? std::optional<int>(*r) : std::nullopt, rounded) << v;
        EXPECT_EQ(RoundedClamped<std::int16_t>(v, halves), clamped) << v;
    }
    EXPECT_EQ(RoundedClamped<std::int32_t>(-3e9, Halves::ToEven), INT_MIN);
    EXPECT_EQ(RoundedClamped<std::uint8_t>(-1, Halves::AwayFromZero), 0);
}

}  // namespace
