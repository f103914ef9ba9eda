#pragma once

#include <cstdint>
#include <string>

namespace Kestrel_Cli {

// The program that turns raw pixels into a PNG file; it sits beside kestrel-convert.
inline constexpr const char* PngHelperName = "kestrel-convert-png";

// Writes 32-bit pixels (0xAARRGGBB, alpha ignored) as a PNG file through the helper
// program, which alone loads Qt: the BMP path then starts without it. False on failure.
bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
              int strideInPixels);

}  // namespace Kestrel_Cli
