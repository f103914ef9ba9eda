#include "reader/read_pacing.h"

#include <cstdint>

#include "reader/plot_file_text.h"

namespace kestrel::reader {

ReadPacing::ReadPacing(std::string_view text, const ReadOptions& options, bool reportsProgress)
    : begin_(text.data()),
      next_(text.data()),
      options_(options),
      reportsProgress_(reportsProgress) {}

std::optional<StopReason> ReadPacing::Check(const char* at) {
    next_ = at + Step;
    if (reportsProgress_ && options_.progress != nullptr) {
        options_.progress->store(static_cast<std::uint64_t>(at - begin_),
                                 std::memory_order_relaxed);
    }
    if (Cancelled()) return StopReason::Cancelled;
    if (!PassedMappedText(at)) return StopReason::FileChanged;
    return std::nullopt;
}

void ReadPacing::Finish(const char* at) {
    if (reportsProgress_ && options_.progress != nullptr) {
        options_.progress->store(static_cast<std::uint64_t>(at - begin_),
                                 std::memory_order_relaxed);
    }
}

}  // namespace kestrel::reader
