#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "reader/number.h"

using Kestrel_Sub::ConvertPenNumber;
using Kestrel_Sub::ReadNumber;

namespace {

struct NumberCase {
    std::string text;
    double value;
};

class ReadNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumberTest, ReadsTheLongestLeadingNumber) {
    const auto& c = GetParam();
    const auto n = ReadNumber(c.text);
    EXPECT_FALSE(n.overflow);
    EXPECT_EQ(n.value, c.value) << "text: \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumberTest,
    ::testing::Values(
        NumberCase{"20PD30", 20}, NumberCase{"1.5.2", 1.5}, NumberCase{"-", 0},
        NumberCase{"1E2", 100}, NumberCase{"1e2", 100}, NumberCase{"1D2", 100},
        NumberCase{"1d-2", 0.01}, NumberCase{"1E", 1}, NumberCase{"1E+", 1}, NumberCase{"E5", 0},
        NumberCase{"", 0}, NumberCase{"abc", 0}, NumberCase{".5", 0.5}, NumberCase{"-.5", -0.5},
        NumberCase{"+7", 7}, NumberCase{"5.", 5}, NumberCase{"--5", 0},
        // blanks, tabs and line feeds are ignored anywhere
        NumberCase{" 1 0 ", 10}, NumberCase{"\t-1 . 5", -1.5}, NumberCase{"1 E 2", 100},
        NumberCase{"1\n2", 12}, NumberCase{"1\r2", 1},
        NumberCase{"&HFF", 255}, NumberCase{"&hff", 255}, NumberCase{"&O17", 15},
        NumberCase{"&o78", 7}, NumberCase{"&H", 0}, NumberCase{"&X1", 0},
        // correctly rounded decimal conversion, fast and slow paths alike
        NumberCase{"4638.08", 4638.08}, NumberCase{"0.1", 0.1}, NumberCase{"-3.14159", -3.14159},
        NumberCase{"123456789012345678901234", 123456789012345678901234.0},
        NumberCase{"0.000000000000000000000000000001", 1e-30},
        NumberCase{"9007199254740993", 9007199254740993.0}, NumberCase{"1E-400", 0},
        NumberCase{"1.7976931348623157E308", 1.7976931348623157e308}));

TEST(ReadNumber, ValuesBeyondDoubleOverflow) {
    for (const char* text : {"1E400", "-1E309", "1000000000000000000000000000000E300"}) {
        EXPECT_TRUE(ReadNumber(text).overflow) << text;
    }
}

struct PenCase {
    std::string text;
    std::optional<int> pen;
};

class ConvertPenTest : public ::testing::TestWithParam<PenCase> {};

TEST_P(ConvertPenTest, RoundsHalfToEvenWithin16Bits) {
    const auto& c = GetParam();
    const auto pen = ConvertPenNumber(c.text);
    ASSERT_EQ(pen.has_value(), c.pen.has_value()) << "text: \"" << c.text << "\"";
    if (pen) {
        EXPECT_EQ(*pen, *c.pen) << "text: \"" << c.text << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConvertPenTest,
    ::testing::Values(PenCase{"1", 1}, PenCase{"2.5", 2}, PenCase{"3.5", 4}, PenCase{" 3", 3},
                      PenCase{"3 ", 3}, PenCase{"-0.5", 0}, PenCase{"-1.5", -2},
                      PenCase{"0.5", 0}, PenCase{"1.5", 2}, PenCase{"32767", 32767},
                      PenCase{"32767.5", std::nullopt}, PenCase{"-32768.5", -32768},
                      PenCase{"-32769", std::nullopt}, PenCase{"1E1", 10}, PenCase{"&H10", 16},
                      PenCase{"", std::nullopt}, PenCase{"  ", std::nullopt},
                      PenCase{"x", std::nullopt}, PenCase{"1x", std::nullopt},
                      PenCase{"1 2", std::nullopt}, PenCase{"-", std::nullopt},
                      PenCase{"1E999", std::nullopt}));

}  // namespace
