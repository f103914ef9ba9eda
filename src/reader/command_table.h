#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "reader/hpgl_scanner.h"
#include "reader/mnemonic.h"
#include "reader/plotter.h"
#include "reader/reader.h"

namespace kestrel::reader {

// The most numbers any command takes (UL: an index and 20 gaps).
inline constexpr std::size_t MostNumbers = 21;

// What a command works with while it runs: the plotter, and the scanner its parameters
// come from.
class CommandContext {
public:
    CommandContext(std::string_view text, Plotter& plotter, const ReadOptions& options);

    HpglScanner scan;
    Plotter& plotter;

    // Between commands and between the points of a long one: tells the budget how far
    // reading has come, and now and then the progress; throws Stop when reading is
    // cancelled or a mapped file is cut short.
    void Poll() {
        plotter.drawing.budget.SetInputRead(scan.Offset());
        if (scan.Offset() >= nextPoll_) PollNow();
    }

    // The command's numbers, up to `Most` of them. False, with the rest of the command
    // skipped, on a malformed number or more than `Most`; false as well, after reading
    // them, when the command is not carried out (see CommandFlags).
    template <std::size_t Most = MostNumbers>
    bool Numbers(std::span<const double>& numbers) {
        static_assert(Most <= MostNumbers);
        return ReadNumbers(Most, numbers);
    }

    // Whether the command about to run is only read, not carried out.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

private:
    void PollNow();
    bool ReadNumbers(std::size_t most, std::span<const double>& numbers);

    const char* text_;
    const ReadOptions& options_;
    std::size_t nextPoll_ = 0;
    bool readOnly_ = false;
    double values_[MostNumbers] = {};
};

// One function per command; it reads its own parameters from the context.
using CommandHandler = void (*)(CommandContext&);

enum CommandFlags : std::uint8_t {
    NoFlags = 0,
    // Carried out in polygon mode as well. A command without it reads its numbers there
    // and changes nothing.
    InPolygonMode = 1 << 0,
};

struct CommandRow {
    std::uint16_t mnemonic;  // see Mnemonic
    CommandHandler handler;
    std::uint8_t flags;
};

// Each family of commands lists its rows in its own file.
std::span<const CommandRow> PenCommands();       // pens and moves
std::span<const CommandRow> FrameCommands();     // pages, the frame, scaling, the window
std::span<const CommandRow> ShapeCommands();     // arcs, circles and curves
std::span<const CommandRow> PolygonCommands();   // rectangles, wedges, polygons and fills
std::span<const CommandRow> LabelCommands();     // labels
std::span<const CommandRow> LineTypeCommands();  // line types

// The families' rows, found by mnemonic in one step; a mnemonic no family has skips its
// parameters. Mnemonics are two upper-case letters.
class CommandTable {
public:
    struct Entry {
        CommandHandler handler;
        std::uint8_t flags;
    };

    CommandTable();
    const Entry& Find(std::uint16_t mnemonic) const { return entries_[MnemonicIndex(mnemonic)]; }

    // Every row, family by family.
    static std::array<std::span<const CommandRow>, 6> Families();

private:
    std::array<Entry, MnemonicCount> entries_;
};

// The table plotter reading dispatches by, built on first use.
const CommandTable& PlotterCommands();

// Skips what is left of the command's parameters.
void SkipParameters(CommandContext& c);

}  // namespace kestrel::reader
