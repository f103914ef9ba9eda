#pragma once

#include <cstdint>
#include <string>

namespace Kestrel_Output {

// Writes 32-bit pixels (0xAARRGGBB) as a 24-bit uncompressed Windows BMP with a
// 40-byte BITMAPINFOHEADER, rows bottom-up and padded to 4 bytes. False on failure.
bool WriteBmp(const std::string& path, const std::uint32_t* pixels, int width, int height,
              int strideInPixels);

}  // namespace Kestrel_Output
