#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "reader/number.h"

using kestrel::reader::ConvertPenNumber;
using kestrel::reader::ReadNumber;

namespace {

struct NumberCase {
    std::string text;
    double value;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.text); }

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

// Signs, integer parts, fractions and exponents in every combination, then long random
// mantissas, and the halfway point between 1 and the next double decided by a digit
// far past the 800 the conversion keeps.
std::vector<std::string> GeneratedForms() {
    const char* signs[] = {"", "+", "-"};
    const char* integers[] = {"", "0", "7", "00012", "9007199254740993", "12345678901234567",
                              "12345678901234567890123"};
    const char* fractions[] = {"", ".", ".5", ".30000000000000004", ".000000000000000000001",
                               ".12345678901234567890123456789"};
    const char* exponents[] = {"",     "E0",   "e5",    "E-5",    "D22",    "d-22",  "E23",
                               "E-23", "E+308", "E-308", "E-320", "E-330", "E400"};
    std::vector<std::string> forms;
    for (const char* s : signs)
        for (const char* i : integers)
            for (const char* f : fractions)
                for (const char* e : exponents)
                    if (*i != '\0' || (f[0] == '.' && f[1] != '\0')) forms.push_back(std::string(s) + i + f + e);
    std::mt19937 random(13);
    for (int n = 0; n < 20000; ++n) {
        std::string t = signs[random() % 3];
        const int digits = 1 + static_cast<int>(random() % 40);
        const int point = static_cast<int>(random() % (digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point) t += '.';
            t += static_cast<char>('0' + random() % 10);
        }
        if (random() % 2) t += "E" + std::to_string(static_cast<int>(random() % 660) - 340);
        forms.push_back(t);
    }
    const std::string half = "1.00000000000000011102230246251565404236316680908203125" + std::string(900, '0');
    for (const char* tail : {"", "1", "0E0"}) forms.push_back("-" + half + tail);
    return forms;
}

TEST(ReadNumber, AgreesWithStrtodOnGeneratedForms) {
    for (const std::string& text : GeneratedForms()) {
        std::string reference = text;
        for (char& c : reference) {
            if (c == 'D' || c == 'd') c = 'e';
        }
        const double expected = std::strtod(reference.c_str(), nullptr);
        for (const std::string& form : {text, " " + text.substr(0, 1) + "\t" + text.substr(1) + "\n"}) {
            const auto n = ReadNumber(form);
            ASSERT_EQ(n.overflow, std::isinf(expected)) << form;
            if (!n.overflow) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(n.value), std::bit_cast<std::uint64_t>(expected)) << form;
            }
        }
    }
}

TEST(ReadNumber, ValuesBeyondDoubleOverflow) {
    for (const char* text : {"1E400", "-1E309", "1000000000000000000000000000000E300"}) {
        EXPECT_TRUE(ReadNumber(text).overflow) << text;
    }
}

struct PenCase {
    std::string text;
    std::optional<int> pen;
};

void PrintTo(const PenCase& c, std::ostream* os) { *os << ::testing::PrintToString(c.text); }

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
                      PenCase{"1E999", std::nullopt}, PenCase{"-12345678901234567E-13", -1235},
                      PenCase{"-3E-30", 0}, PenCase{"-12E999999999999", std::nullopt}));

}  // namespace
