#include <gtest/gtest.h>

#include "interact/navigation.h"

namespace kestrel::interact {
namespace {

TEST(Navigation, KeysAndPageSteps) {
    // Windows key code; the command and the nudge code it gives.
    const std::tuple<int, KeyCommand, int> keys[] = {
        {33, KeyCommand::PreviousPlot, 0}, {34, KeyCommand::NextPlot, 0},     {37, KeyCommand::TurnRight, 0},
        {39, KeyCommand::TurnLeft, 0},     {40, KeyCommand::TurnHalf, 0},     {38, KeyCommand::Redraw, 0},
        {'4', KeyCommand::NudgeChars, 10}, {100, KeyCommand::NudgeChars, 10}, {'6', KeyCommand::NudgeChars, 11},
        {102, KeyCommand::NudgeChars, 11}, {'2', KeyCommand::NudgeChars, 12}, {98, KeyCommand::NudgeChars, 12},
        {'8', KeyCommand::NudgeChars, 13}, {104, KeyCommand::NudgeChars, 13}, {'5', KeyCommand::None, 0},
        {101, KeyCommand::None, 0},        {0, KeyCommand::None, 0},          {36, KeyCommand::FirstPlot, 0},
        {35, KeyCommand::LastPlot, 0},     {27, KeyCommand::Cancel, 0}};
    for (const auto& [code, command, nudge] : keys) {
        EXPECT_EQ(ActionOfKey(code).command, command) << code;
        EXPECT_EQ(ActionOfKey(code).nudgeCode, nudge) << code;
    }
    // PlotNo and PlotTotal; the plot before and after, the first and last (Home, End), and
    // the edges Page Up and Page Down meet. Before a load Page Up gives 1 and there are no edges.
    using E = PlotEdge;
    const std::tuple<int, int, int, int, int, int, E, E> pages[] = {
        {0, 0, 1, 0, 0, 0, E::None, E::None}, {1, 3, 1, 2, 1, 3, E::First, E::None},
        {2, 3, 1, 3, 1, 3, E::None, E::None}, {3, 3, 2, 3, 1, 3, E::None, E::Last},
        {7, 3, 6, 3, 1, 3, E::None, E::Last}, {1, 1, 1, 1, 1, 1, E::First, E::Last}};
    for (const auto& [no, total, previous, next, first, last, up, down] : pages) {
        reader::PlotStore store;
        store.PlotNo = static_cast<std::int16_t>(no);
        store.PlotTotal = static_cast<std::int16_t>(total);
        SCOPED_TRACE(testing::Message() << no << " of " << total);
        EXPECT_EQ(PreviousPlotNo(store), previous);
        EXPECT_EQ(NextPlotNo(store), next);
        EXPECT_EQ(FirstPlotNo(store), first);
        EXPECT_EQ(LastPlotNo(store), last);
        EXPECT_EQ(EdgeOfStep(store, KeyCommand::PreviousPlot), up);
        EXPECT_EQ(EdgeOfStep(store, KeyCommand::NextPlot), down);
        EXPECT_EQ(EdgeOfStep(store, KeyCommand::LastPlot), E::None);
    }
}

}  // namespace
}  // namespace kestrel::interact
