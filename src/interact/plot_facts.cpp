#include "interact/plot_facts.h"

#include <cmath>
#include <cstdio>

namespace kestrel::interact {

namespace {

bool DrawsNothing(const reader::PlotStore& store) {
    for (int slot = 1; slot <= store.PlotTotal && store.ValidSlot(slot); ++slot) {
        const reader::Plot& plot = store.plots[static_cast<std::size_t>(slot)];
        if (plot.LineCount > 0 || plot.CharCount > 0) return false;
    }
    return true;
}

}  // namespace

EarlyEnd EarlyEndOf(const reader::ReadResult& result, bool changedWhileRead) {
    using reader::StopReason;
    switch (result.stop) {
        case StopReason::OutOfMemory: return EarlyEnd::OutOfMemory;
        case StopReason::SegmentLimit: return EarlyEnd::SegmentLimit;
        case StopReason::PlotLimit: return EarlyEnd::PlotLimit;
        default: break;
    }
    // A file that changed explains any other end, its own reason included.
    if (changedWhileRead || result.stop == StopReason::FileChanged) return EarlyEnd::FileChanged;
    switch (result.stop) {
        case StopReason::PageFeed: return EarlyEnd::PageFeed;
        case StopReason::BadPen: return EarlyEnd::BadPen;
        case StopReason::Overflow: return EarlyEnd::Overflow;
        default: break;
    }
    return result.charsDropped > 0 ? EarlyEnd::CharLimit : EarlyEnd::None;
}

bool TellsAtOnce(EarlyEnd end) {
    switch (end) {
        case EarlyEnd::SegmentLimit:
        case EarlyEnd::PlotLimit:
        case EarlyEnd::CharLimit:
        case EarlyEnd::OutOfMemory:
        case EarlyEnd::FileChanged: return true;
        default: return false;
    }
}

ReadNote NoteOfRead(std::uint64_t fileBytes, const reader::ReadResult& result,
                    const reader::PlotStore& store) {
    // A file that could not be read, or that basic reading found no delimiter in, has a
    // message of its own.
    if (result.status != reader::ReadStatus::Read) return ReadNote::None;
    if (fileBytes == 0) return ReadNote::EmptyFile;
    return DrawsNothing(store) ? ReadNote::NothingDrawn : ReadNote::None;
}

std::string DurationText(double seconds) {
    // Beyond this the text is no use to anyone, and the conversion would overflow.
    constexpr double Longest = 1e12;
    if (!(seconds >= 0 && seconds < Longest)) return "-";
    const auto total = static_cast<long long>(std::llround(seconds));
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                  total % 60);
    return text;
}

}  // namespace kestrel::interact
