#include "reader/plotter_reader.h"

#include <new>

#include "reader/command_table.h"
#include "reader/plotter.h"

namespace kestrel::reader {

namespace {

// Each command found is looked up in the table and run; a command that is not carried
// out in polygon mode is only read there.
void RunCommands(CommandContext& c, const CommandTable& commands) {
    std::uint16_t mnemonic = 0;
    for (;;) {
        c.Poll();
        switch (c.scan.Next(mnemonic)) {
            case HpglScanner::Event::End: return;
            case HpglScanner::Event::PrinterReset:
                c.plotter.EndPage();
                c.plotter.Initialize();
                break;
            case HpglScanner::Event::PageEject: c.plotter.EndPage(); break;
            case HpglScanner::Event::Command: {
                const CommandTable::Entry& command = commands.Find(mnemonic);
                c.SetReadOnly(!(command.flags & InPolygonMode) &&
                              c.plotter.drawing.polygon.Active());
                command.handler(c);
                break;
            }
        }
    }
}

}  // namespace

ReadResult ReadPlotterText(PlotStore& store, std::string_view text, const ReadOptions& options) {
    ReadResult result;
    PlotPages pages(store, options.segmentLimit);
    Plotter plotter(pages);
    plotter.drawing.budget.SetCeiling(options.segmentLimit);
    CommandContext context(text, plotter, options);
    try {
        RunCommands(context, PlotterCommands());
    } catch (const Stop& stop) {
        result.stop = stop.reason;
    } catch (const std::bad_alloc&) {
        result.stop = StopReason::OutOfMemory;
    }
    if (options.progress) {
        options.progress->store(context.scan.Offset(), std::memory_order_relaxed);
    }
    pages.Finish();
    result.charsDropped = pages.CharsDropped();
    return result;
}

}  // namespace kestrel::reader
