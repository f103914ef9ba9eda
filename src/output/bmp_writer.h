#pragma once

#include <cstdint>
#include <string>

#include "reader/error_number.h"

namespace kestrel::output {

// Writes 32-bit pixels (0xAARRGGBB) as a 24-bit uncompressed Windows BMP with a
// 40-byte BITMAPINFOHEADER, rows bottom-up and padded to 4 bytes. False on failure,
// which leaves an existing file as it was.
bool WriteBmp(const std::string& path, const std::uint32_t* pixels, int width, int height,
              int strideInPixels);

// The save command's writer: the same file. Returns ErrorNumber::None, or the number of
// the failure (see SaveErrorNumber); an image without pixels cannot be written and gives
// FileWriteError.
reader::ErrorNumber SaveBmp(const std::string& path, const std::uint32_t* pixels, int width,
                            int height, int strideInPixels);

// The failure number for an errno met while saving: PermissionDenied (also for a
// read-only place), DiskFull, PathNotFound (a missing folder) or FileWriteError.
reader::ErrorNumber SaveErrorNumber(int err);

}  // namespace kestrel::output
