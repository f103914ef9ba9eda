// Line types: LT UL.
#include "reader/command_table.h"

namespace kestrel::reader {

namespace {

// LT [type[,length[,mode]]]
void LineType(CommandContext& c) {
    std::span<const double> p;
    if (c.Numbers(p)) c.plotter.drawing.lineType.Select(p);
}

// UL [index[,gap...]]
void UserLineType(CommandContext& c) {
    std::span<const double> p;
    if (c.Numbers(p)) c.plotter.drawing.lineType.Define(p);
}

constexpr CommandRow Rows[] = {
    {Mnemonic('L', 'T'), LineType, InPolygonMode},
    {Mnemonic('U', 'L'), UserLineType, InPolygonMode},
};

}  // namespace

std::span<const CommandRow> LineTypeCommands() { return Rows; }

}  // namespace kestrel::reader
