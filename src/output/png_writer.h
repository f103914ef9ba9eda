#pragma once

#include <cstdint>
#include <string>

#include "output/output_file.h"

namespace kestrel::output {

// Writes 32-bit pixels (0xAARRGGBB, alpha ignored) as an 8-bit RGB, non-interlaced PNG
// file.
WriteResult WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
                     int strideInPixels);

}  // namespace kestrel::output
