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

// What the comparison with strtod below leaves out: partial forms, blanks anywhere, &H and &O.
TEST(ReadNumber, ReadsTheLongestLeadingNumber) {
    const std::pair<std::string, double> cases[] = {
        {"20PD30", 20}, {"1.5.2", 1.5}, {"-", 0},           {"1E", 1},      {"1E+", 1},   {"E5", 0},
        {"", 0},        {"abc", 0},     {".5", 0.5},        {"-.5", -0.5},  {"+7", 7},    {"5.", 5},
        {"--5", 0},     {" 1 0 ", 10},  {"\t-1 . 5", -1.5}, {"1 E 2", 100}, {"1\n2", 12}, {"1\r2", 1},
        {"&HFF", 255},  {"&hff", 255},  {"&O17", 15},       {"&o78", 7},    {"&H", 0},    {"&X1", 0}};
    for (const auto& [text, value] : cases) {
        const auto n = ReadNumber(text);
        EXPECT_FALSE(n.overflow) << ::testing::PrintToString(text);
        EXPECT_EQ(n.value, value) << ::testing::PrintToString(text);
    }
}

// Signs, integer parts, fractions and exponents in every combination, then long random
// mantissas, and the halfway point between 1 and the next double decided by a digit
// far past the 800 the conversion keeps.
std::vector<std::string> GeneratedForms() {
    const char* signs[] = {"", "+", "-"};
    const char* integers[] = {
        "", "0", "7", "00012", "9007199254740993", "12345678901234567", "12345678901234567890123"};
    const char* fractions[] = {
        "", ".", ".5", ".30000000000000004", ".000000000000000000001", ".12345678901234567890123456789"};
    const char* exponents[] = {"",     "E0",    "e5",    "E-5",   "D22",   "d-22", "E23",
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

// The text between blanks must be one number; rounding and range are the rounding helper's.
TEST(ConvertPenNumber, WholeTextIsOneNumberWithin16Bits) {
    const std::pair<std::string, std::optional<int>> cases[] = {{"1", 1},        {"2.5", 2},
                                                                {" 3", 3},       {"3 ", 3},
                                                                {"32767.5", {}}, {"-32768.5", -32768},
                                                                {"1E1", 10},     {"&H10", 16},
                                                                {"", {}},        {"  ", {}},
                                                                {"x", {}},       {"1x", {}},
                                                                {"1 2", {}},     {"-", {}},
                                                                {"1E999", {}},   {"-12345678901234567E-13", -1235},
                                                                {"-3E-30", 0},   {"-12E999999999999", {}}};
    for (const auto& [text, pen] : cases) {
        const auto got = ConvertPenNumber(text);
        EXPECT_EQ(got ? std::optional<int>(*got) : std::nullopt, pen) << ::testing::PrintToString(text);
    }
}

}  // namespace
