#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "interact/plot_status.h"
#include "reader/plot_store.h"

using namespace kestrel::interact;

namespace {

TEST(PlotStatus, PanelTextsAndMenu) {
    EXPECT_EQ(PlotStatusText(-3, 1234), "PLOT Files : -3 / 1234");
    kestrel::reader::PlotStore store;
    store.plots[0].LineCount = 7;
    store.plots[0].CharCount = 9;
    store.plots[1].LineCount = 523;
    // The counts follow PlotNo; a number without a plot counts nothing.
    const std::pair<std::int16_t, const char*> cases[] = {
        {1, "L/S : 523 / 0"}, {0, "L/S : 7 / 9"}, {2, "L/S : 0 / 0"}, {-1, "L/S : 0 / 0"}};
    for (const auto& [plotNo, text] : cases) {
        store.PlotNo = plotNo;
        EXPECT_EQ(LineStatusText(store), text) << plotNo;
    }
    // One entry per plot, and always the first.
    using Captions = std::vector<std::string>;
    for (const std::int16_t n : {1, 0, -4}) EXPECT_EQ(PlotMenuCaptions(n), Captions{"PLOT No.1"}) << n;
    EXPECT_EQ(PlotMenuCaptions(3), (Captions{"PLOT No.1", "PLOT No.2", "PLOT No.3"}));
}

}  // namespace
