#include "interact/navigation.h"

#include <algorithm>

namespace kestrel::interact {

namespace {

struct KeyRow {
    int code;
    KeyAction action;
};

// The digit keys of the main keyboard and of the keypad act alike.
constexpr KeyRow KeyTable[] = {
    {33, {KeyCommand::PreviousPlot}},    {34, {KeyCommand::NextPlot}},
    {37, {KeyCommand::TurnRight}},       {38, {KeyCommand::Redraw}},
    {39, {KeyCommand::TurnLeft}},        {40, {KeyCommand::TurnHalf}},
    {'4', {KeyCommand::NudgeChars, 10}}, {100, {KeyCommand::NudgeChars, 10}},
    {'6', {KeyCommand::NudgeChars, 11}}, {102, {KeyCommand::NudgeChars, 11}},
    {'2', {KeyCommand::NudgeChars, 12}}, {98, {KeyCommand::NudgeChars, 12}},
    {'8', {KeyCommand::NudgeChars, 13}}, {104, {KeyCommand::NudgeChars, 13}},
    {36, {KeyCommand::FirstPlot}},       {35, {KeyCommand::LastPlot}},
    {27, {KeyCommand::Cancel}},
};

}  // namespace

KeyAction ActionOfKey(int keyCode) {
    for (const KeyRow& row : KeyTable) {
        if (row.code == keyCode) return row.action;
    }
    return {};
}

std::int16_t PreviousPlotNo(const reader::PlotStore& store) {
    return static_cast<std::int16_t>(std::max(store.PlotNo - 1, 1));
}

std::int16_t NextPlotNo(const reader::PlotStore& store) {
    const int next = store.PlotNo + 1;
    return next > store.PlotTotal ? store.PlotTotal : static_cast<std::int16_t>(next);
}

std::int16_t FirstPlotNo(const reader::PlotStore& store) {
    return store.PlotTotal >= 1 ? std::int16_t{1} : store.PlotNo;
}

std::int16_t LastPlotNo(const reader::PlotStore& store) {
    return store.PlotTotal >= 1 ? store.PlotTotal : store.PlotNo;
}

PlotEdge EdgeOfStep(const reader::PlotStore& store, KeyCommand command) {
    // Only a loaded file has edges to meet.
    if (store.PlotTotal < 1) return PlotEdge::None;
    if (command == KeyCommand::PreviousPlot && store.PlotNo <= 1) return PlotEdge::First;
    if (command == KeyCommand::NextPlot && store.PlotNo >= store.PlotTotal) return PlotEdge::Last;
    return PlotEdge::None;
}

}  // namespace kestrel::interact
