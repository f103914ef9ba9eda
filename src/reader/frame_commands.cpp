// Pages, the frame, scaling and the window: IN DF PG BP FR CO IP IR SC RO IW PS.
#include "reader/command_table.h"

namespace kestrel::reader {

namespace {

// The most numbers a frame command is read with; more leave it out.
constexpr std::size_t FrameNumbers = 8;

void Initialize(CommandContext& c) {
    c.plotter.Initialize();
    c.scan.SkipParameters();
}

void Defaults(CommandContext& c) {
    c.plotter.Defaults();
    c.scan.SkipParameters();
}

// PG, and a new frame (FR), which put out what is drawn like a page end. In a PCL job
// HP-GL/2 ejects no page: PCL does (ESC E, a form feed, a page-format command).
void EndPage(CommandContext& c) {
    if (!c.scan.InPclJob()) c.plotter.EndPage();
    c.scan.SkipParameters();
}

// BP: a new plot, begun with the plotter initialized; outside a PCL job the page drawn so
// far is put out first.
void BeginPlot(CommandContext& c) {
    if (!c.scan.InPclJob()) c.plotter.EndPage();
    c.plotter.Initialize();
    c.scan.SkipParameters();
}

template <bool (PlotterFrame::*Command)(std::span<const double>)>
void Frame(CommandContext& c) {
    std::span<const double> p;
    if (c.Numbers<FrameNumbers>(p)) (c.plotter.frame.*Command)(p);
}

constexpr CommandRow Rows[] = {
    {Mnemonic('I', 'N'), Initialize, InPolygonMode},
    {Mnemonic('D', 'F'), Defaults, InPolygonMode},
    {Mnemonic('P', 'G'), EndPage, InPolygonMode},
    {Mnemonic('B', 'P'), BeginPlot, InPolygonMode},
    {Mnemonic('F', 'R'), EndPage, InPolygonMode},
    {Mnemonic('C', 'O'), SkipParameters, InPolygonMode},  // a comment in quotes
    {Mnemonic('I', 'P'), Frame<&PlotterFrame::InputP1P2>, InPolygonMode},
    {Mnemonic('I', 'R'), Frame<&PlotterFrame::InputRelative>, InPolygonMode},
    {Mnemonic('S', 'C'), Frame<&PlotterFrame::Scale>, InPolygonMode},
    {Mnemonic('R', 'O'), Frame<&PlotterFrame::Rotate>, InPolygonMode},
    {Mnemonic('I', 'W'), Frame<&PlotterFrame::InputWindow>, InPolygonMode},
    {Mnemonic('P', 'S'), Frame<&PlotterFrame::PlotSize>, InPolygonMode},
};

}  // namespace

std::span<const CommandRow> FrameCommands() { return Rows; }

}  // namespace kestrel::reader
