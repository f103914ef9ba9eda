#pragma once

#include <cstdint>
#include <string>

#include "output/output_file.h"

namespace kestrel::output {

// Writes 32-bit pixels (0xAARRGGBB) as a 24-bit uncompressed Windows BMP with a
// 40-byte BITMAPINFOHEADER, rows bottom-up and padded to 4 bytes. An image without pixels,
// or too large for the format, is not written.
WriteResult WriteBmp(const std::string& path, const std::uint32_t* pixels, int width, int height,
                     int strideInPixels);

}  // namespace kestrel::output
