#pragma once

#include <cstdint>
#include <string>

namespace kestrel::output {

// Writes 32-bit pixels (0xAARRGGBB) as a 24-bit uncompressed Windows BMP with a
// 40-byte BITMAPINFOHEADER, rows bottom-up and padded to 4 bytes. False on failure,
// which leaves an existing file as it was.
bool WriteBmp(const std::string& path, const std::uint32_t* pixels, int width, int height,
              int strideInPixels);

// The save command's writer: the same file. Returns 0, or the
// run-time error number of the failure (see SaveErrorNumber); an image without pixels
// cannot be written and gives 31037.
int SaveBmp(const std::string& path, const std::uint32_t* pixels, int width, int height,
            int strideInPixels);

// The run-time error number for an errno met while saving: 70 no permission or a
// read-only place, 61 disk full, 76 a missing folder, 31037 anything else.
int SaveErrorNumber(int err);

}  // namespace kestrel::output
