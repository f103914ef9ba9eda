#include "reader/command_table.h"

#include "reader/plot_file_text.h"

namespace kestrel::reader {

namespace {

// Progress, cancelling and the mapped file's pages are looked at this often, in bytes.
constexpr std::size_t PollBytes = 1 << 18;

}  // namespace

CommandContext::CommandContext(std::string_view text, Plotter& plotter, const ReadOptions& options)
    : scan(text), plotter(plotter), text_(text.data()), options_(options) {}

void CommandContext::PollNow() {
    nextPoll_ = scan.Offset() + PollBytes;
    if (options_.progress) options_.progress->store(scan.Offset(), std::memory_order_relaxed);
    if (options_.cancel && options_.cancel->load(std::memory_order_relaxed)) {
        throw Stop{StopReason::Cancelled};
    }
    // A mapped file's pages behind the reading go back; a file cut short ends it.
    if (!PassedMappedText(text_ + scan.Offset())) throw Stop{StopReason::FileChanged};
}

bool CommandContext::ReadNumbers(std::size_t most, std::span<const double>& numbers) {
    std::size_t count = 0;
    for (;;) {
        double v;
        const HpglScanner::Param r = scan.Number(v);
        if (r == HpglScanner::Param::End) break;
        // A malformed number, or more than any form of the command takes.
        if (r == HpglScanner::Param::Bad || count == most) {
            scan.SkipParameters();
            return false;
        }
        values_[count++] = v;
    }
    numbers = std::span<const double>(values_, count);
    return !readOnly_;
}

void SkipParameters(CommandContext& c) { c.scan.SkipParameters(); }

CommandTable::CommandTable() {
    entries_.fill({SkipParameters, InPolygonMode});
    for (const std::span<const CommandRow> family : Families()) {
        for (const CommandRow& row : family)
            entries_[MnemonicIndex(row.mnemonic)] = {row.handler, row.flags};
    }
}

std::array<std::span<const CommandRow>, 6> CommandTable::Families() {
    return {PenCommands(),     FrameCommands(), ShapeCommands(),
            PolygonCommands(), LabelCommands(), LineTypeCommands()};
}

const CommandTable& PlotterCommands() {
    static const CommandTable table;
    return table;
}

}  // namespace kestrel::reader
