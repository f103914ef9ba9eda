#pragma once

#include <cstdint>
#include <string>

#include "reader/plot_store.h"
#include "reader/reader.h"

namespace kestrel::interact {

// Why reading a file ended before its end, as the window tells it.
enum class EarlyEnd {
    None,
    PageFeed,  // basic reading reads up to the first page feed
    BadPen,    // basic reading: a pen number it cannot take
    Overflow,  // basic reading: a coordinate beyond single precision
    SegmentLimit,
    PlotLimit,
    CharLimit,  // labels past the file's character limit were left out
    OutOfMemory,
    FileChanged,  // the file was not the same after reading as before
};

EarlyEnd EarlyEndOf(const reader::ReadResult& result, bool changedWhileRead);

// Whether the window says so at once rather than only among the plot's facts: limits,
// memory and a changed file do; basic reading's own ends do not, as they never have.
bool TellsAtOnce(EarlyEnd end);

// What a file read gives the status bar to note, besides any message.
enum class ReadNote {
    None,
    EmptyFile,
    NothingDrawn,  // no command in the file drew anything
};

ReadNote NoteOfRead(std::uint64_t fileBytes, const reader::ReadResult& result,
                    const reader::PlotStore& store);

// A time as h:mm:ss, to the nearest second; "-" for a time that cannot be told.
std::string DurationText(double seconds);

}  // namespace kestrel::interact
