// Line types and attributes: LT UL LA.
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

// LA [kind,value...]: the ends, joins and miter limit of wide lines.
void LineAttributes(CommandContext& c) {
    std::span<const double> p;
    if (c.Numbers(p)) c.plotter.drawing.pens.LineAttributes(p);
}

constexpr CommandRow Rows[] = {
    {Mnemonic('L', 'T'), LineType, InPolygonMode},
    {Mnemonic('U', 'L'), UserLineType, InPolygonMode},
    {Mnemonic('L', 'A'), LineAttributes, InPolygonMode},
};

}  // namespace

std::span<const CommandRow> LineTypeCommands() { return Rows; }

}  // namespace kestrel::reader
