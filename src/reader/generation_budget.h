#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace kestrel::reader {

// Segments and polygon points that commands make beyond one per coordinate pair (arc
// chords, dashes, hatch lines, outlines of rectangles, wedges and polygons) are bounded
// by the input read so far: a few bytes can ask for a fine hatch of a whole page, again
// and again, and memory must stay proportional to the file. The rate allows a file of
// nothing but circles at the finest chord angle (a 5-byte "CI1,0" after CT1 is 720
// chords) and then some; the floor lets a small file fill a large area.
inline constexpr std::int64_t GeneratedPerByte = 256;
inline constexpr std::int64_t GeneratedFloor = 1 << 16;

class GenerationBudget {
public:
    void SetInputRead(std::size_t bytes) { read_ = static_cast<std::int64_t>(bytes); }
    // Never more than the segments reading may store at all: beyond that the work is lost.
    void SetCeiling(std::int64_t most) { ceiling_ = most; }

    std::int64_t Left() const {
        const std::int64_t left =
            std::min(GeneratedPerByte * read_ + GeneratedFloor, ceiling_) - used_;
        return left > 0 ? left : 0;
    }
    // Takes `n` if that many are left.
    bool Take(std::int64_t n) {
        if (n > Left()) return false;
        used_ += n;
        return true;
    }

private:
    std::int64_t read_ = 0;
    std::int64_t used_ = 0;
    std::int64_t ceiling_ = INT64_MAX;
};

}  // namespace kestrel::reader
