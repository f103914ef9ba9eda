#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "reader/error_number.h"
#include "reader/plot_store.h"

namespace kestrel::reader {

enum class ReadStatus {
    Read,         // the file was read (possibly ended early; see StopReason)
    NoDelimiter,  // no command delimiter anywhere: the plot is empty
    CannotOpen,   // the file could not be opened or read: the plot is empty
};

// Why reading ended; every reason keeps what was read before it.
enum class StopReason {
    EndOfFile,
    PageFeed,
    BadPen,
    Overflow,
    SegmentLimit,
    PlotLimit,  // more pages than plot numbers
    OutOfMemory,
    Cancelled,    // ReadOptions::cancel was set
    FileChanged,  // the file was cut short by another program while being read
};

// Plotter reading reads HPGL and HP-GL/2 as a pen plotter does, every page a plot;
// basic reading is the exact reading of the basic commands into one plot.
enum class Reading { Plotter, Basic };

struct ReadOptions {
    Reading reading = Reading::Plotter;
    std::int32_t segmentLimit = MaxSegments;  // for the whole file
    // Polled while reading: when it becomes true, reading ends with StopReason::Cancelled.
    const std::atomic<bool>* cancel = nullptr;
    // Bytes of the file read so far, updated now and then while reading.
    std::atomic<std::uint64_t>* progress = nullptr;
};

struct ReadResult {
    ReadStatus status = ReadStatus::Read;
    StopReason stop = StopReason::EndOfFile;
    ErrorNumber errorNumber =
        ErrorNumber::None;  // with CannotOpen: FileNotFound, PermissionDenied or BadFileName
    std::int64_t charsDropped = 0;  // label characters left out past MaxChars
};

// Reads the file at `path` into the store: its plots into slots 1..PlotTotal. The store's
// PlotDir and PlotName are the caller's to set.
ReadResult ReadPlotFile(PlotStore& store, const std::string& path, const ReadOptions& options = {});

// Reads plot text already in memory, exactly as ReadPlotFile reads a file's bytes.
ReadResult ReadPlotText(PlotStore& store, std::string_view text, const ReadOptions& options = {});

// The failure number for an errno from opening or reading a file.
ErrorNumber FileErrorNumber(int err);

// 1-based position of the last occurrence of `part` in `text`, 0 if none.
int LastPos(std::string_view text, std::string_view part);

}  // namespace kestrel::reader
