#pragma once

#include <optional>

#include "reader/reader.h"

namespace kestrel::reader {

// Ends a reading from wherever its reason shows; what was read before stays.
struct Stop {
    StopReason reason;
};

inline void StopIf(std::optional<StopReason> reason) {
    if (reason) throw Stop{*reason};
}

}  // namespace kestrel::reader
