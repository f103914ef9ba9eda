// The smallest standard sheet a drawing fits on.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "output/paper_sizes.h"

namespace kestrel::output {
namespace {

TEST(PaperSizes, SmallestSheetUprightOrTurned) {
    // Drawing in mm; the ISO and the ANSI sheet ("" for none), each with "+" when turned.
    const std::tuple<double, double, std::string, std::string> rows[] = {
        {190, 277, "A4", "ANSI A"},    {297, 210, "A4+", "ANSI B+"}, {210, 297, "A4", "ANSI B"},
        {100, 100, "A5", "ANSI A"},    {300, 200, "A3+", "ANSI B+"}, {250, 200, "A4+", "ANSI A+"},
        {841, 1189, "A0", ""},         {1200, 100, "", ""},          {NAN, 100, "", ""},
        {863.6, 1117.6, "", "ANSI E"},
    };
    const auto name = [](SheetChoice c) {
        return c.sheet == nullptr ? std::string() : std::string(c.sheet->name) + (c.landscape ? "+" : "");
    };
    for (const auto& [w, h, iso, ansi] : rows) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        EXPECT_EQ(name(SmallestSheetFor(w, h, IsoSheets())), iso);
        EXPECT_EQ(name(SmallestSheetFor(w, h, AnsiSheets())), ansi);
    }
}

}  // namespace
}  // namespace kestrel::output
