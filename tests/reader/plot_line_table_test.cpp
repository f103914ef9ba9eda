// The segment table against std::vector: the same operations must leave the same records,
// across the change from heap block to mapping and back.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "reader/plot_line_table.h"

using kestrel::reader::PlotLine;
using kestrel::reader::PlotLineTable;

namespace {

bool Same(const PlotLineTable& table, const std::vector<PlotLine>& expected) {
    if (table.size() != expected.size() || table.capacity() < table.size()) return false;
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const PlotLine &a = table[k], &b = expected[k];
        if (a.X1 != b.X1 || a.X2 != b.X2 || a.Y1 != b.Y1 || a.Y2 != b.Y2 || a.Pen != b.Pen) return false;
    }
    return true;
}

TEST(PlotLineTable, BehavesAsAVectorAcrossHeapAndMapping) {
    std::mt19937 random(7);
    PlotLineTable table;
    std::vector<PlotLine> expected;
    for (int step = 0; step < 400; ++step) {
        const auto n = static_cast<std::size_t>(random() % 120000);  // 1 MiB is some 52000 records
        const PlotLine line{static_cast<float>(step), 1, 2, 3, static_cast<std::int16_t>(step)};
        const std::vector<PlotLine> part(expected.begin(), expected.begin() + static_cast<long>(expected.size() / 3));
        switch (random() % 6) {
            case 0:
                for (std::size_t k = 0; k < n; ++k) table.push_back(line), expected.push_back(line);
                break;
            case 1: table.resize(n), expected.resize(n); break;
            case 2: table.assign(n % 100, line), expected.assign(n % 100, line); break;
            case 3:
                table.insert(table.begin() + table.size() / 2, part.begin(), part.end());
                expected.insert(expected.begin() + static_cast<long>(expected.size() / 2), part.begin(), part.end());
                break;
            case 4: table.shrink_to_fit(), expected.shrink_to_fit(); break;
            default: {
                PlotLineTable moved = std::move(table);
                table = PlotLineTable(moved);  // a copy, then the original goes
            }
        }
        ASSERT_TRUE(Same(table, expected)) << "step " << step;
    }
}

}  // namespace
