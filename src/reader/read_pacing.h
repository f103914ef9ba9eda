#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "reader/reader.h"

namespace kestrel::reader {

// What a reading does now and then as it moves through its text: it reports the bytes
// passed (ReadOptions::progress), notices a cancel (ReadOptions::cancel), and gives back
// the pages of a mapped file behind it. A poll is one comparison until the next step.
class ReadPacing {
public:
    // About a millisecond of reading: a cancel is noticed at once, and the checks cost nothing.
    static constexpr std::ptrdiff_t Step = 64 << 10;

    // A first pass over the text that is read again afterwards reports no progress.
    ReadPacing(std::string_view text, const ReadOptions& options, bool reportsProgress = true);

    // The reason reading must end at `at`, if any: Cancelled, or FileChanged when the file
    // was cut short under the reading. Positions only move forward.
    std::optional<StopReason> Poll(const char* at) {
        if (at < next_) return std::nullopt;
        return Check(at);
    }
    // For scans that look ahead of the reading: only whether it was cancelled.
    bool Cancelled() const {
        return options_.cancel != nullptr && options_.cancel->load(std::memory_order_relaxed);
    }
    // The reading has ended at `at`.
    void Finish(const char* at);

private:
    std::optional<StopReason> Check(const char* at);

    const char* begin_;
    const char* next_;
    const ReadOptions& options_;
    bool reportsProgress_;
};

}  // namespace kestrel::reader
