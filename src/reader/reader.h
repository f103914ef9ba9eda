#pragma once

#include <cstdint>
#include <string_view>

#include "reader/plot_store.h"

namespace Kestrel_Sub {

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
};

struct ReadResult {
    ReadStatus status = ReadStatus::Read;
    StopReason stop = StopReason::EndOfFile;
    int errorNumber = 0;  // with CannotOpen: 53 missing, 70 no permission, 52 otherwise
};

// Reads the file PlotDir + PlotName into slot 1 of the store.
ReadResult ReadPlotFile(Kestrel_Val::PlotStore& store);

// Reads plot text already in memory, exactly as ReadPlotFile reads a file's bytes.
// segmentLimit lowers the per-plot segment limit (tests use it).
ReadResult ReadPlotText(Kestrel_Val::PlotStore& store, std::string_view text,
                        std::int32_t segmentLimit = Kestrel_Val::MaxSegments);

// The failure number for an errno from opening or reading a file.
int FileErrorNumber(int err);

// 1-based position of the last occurrence of `part` in `text`, 0 if none.
int LastPos(std::string_view text, std::string_view part);

}  // namespace Kestrel_Sub
