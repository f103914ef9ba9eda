#include "output/bmp_writer.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "output/output_file.h"

namespace kestrel::output {

namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::int32_t PixelsPerMetre = 3780;  // 96 dpi, the screen's 15 twips per pixel

void Put16(unsigned char*& p, std::uint16_t v) {
    *p++ = static_cast<unsigned char>(v);
    *p++ = static_cast<unsigned char>(v >> 8);
}

void Put32(unsigned char*& p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) *p++ = static_cast<unsigned char>(v >> (8 * i));
}

constexpr std::size_t ChunkBytes = std::size_t{1} << 20;

// One row of 0xAARRGGBB pixels as blue, green, red bytes.
void ToBgr(const std::uint32_t* src, int width, unsigned char* d) {
    for (int x = 0; x < width; ++x, d += 3) {
        const std::uint32_t c = src[x];
        d[0] = static_cast<unsigned char>(c);
        d[1] = static_cast<unsigned char>(c >> 8);
        d[2] = static_cast<unsigned char>(c >> 16);
    }
}

}  // namespace

WriteResult WriteBmp(const std::string& path, const std::uint32_t* pixels, int width, int height,
                     int strideInPixels) {
    if (!pixels || width <= 0 || height <= 0 || strideInPixels < width)
        return {WriteResult::WriteFailed};
    // Row and file sizes must fit the header's 32-bit fields.
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * 3 + 3) & ~std::uint64_t{3};
    const std::uint64_t imageBytes = rowBytes * static_cast<std::uint64_t>(height);
    const std::uint64_t fileBytes = imageBytes + FileHeaderSize + InfoHeaderSize;
    if (fileBytes > std::numeric_limits<std::uint32_t>::max()) return {WriteResult::TooLarge};

    unsigned char header[FileHeaderSize + InfoHeaderSize];
    unsigned char* p = header;
    *p++ = 'B';
    *p++ = 'M';
    Put32(p, static_cast<std::uint32_t>(fileBytes));
    Put32(p, 0);  // reserved
    Put32(p, FileHeaderSize + InfoHeaderSize);
    Put32(p, InfoHeaderSize);
    Put32(p, static_cast<std::uint32_t>(width));
    Put32(p, static_cast<std::uint32_t>(height));  // positive: rows run bottom-up
    Put16(p, 1);                                   // planes
    Put16(p, 24);                                  // bits per pixel
    Put32(p, 0);                                   // BI_RGB, uncompressed
    Put32(p, static_cast<std::uint32_t>(imageBytes));
    Put32(p, static_cast<std::uint32_t>(PixelsPerMetre));
    Put32(p, static_cast<std::uint32_t>(PixelsPerMetre));
    Put32(p, 0);  // colours used: all
    Put32(p, 0);  // important colours: all

    OutputFile file(path);
    if (!file.IsOpen() || !file.Write(header, sizeof header)) return file.Failed();
    // Rows are converted into a buffer of about 1 MiB, written in one call each; a small
    // image needs no more than its own rows.
    const std::size_t rowsPerChunk =
        std::clamp<std::size_t>(ChunkBytes / rowBytes, 1, static_cast<std::size_t>(height));
    std::vector<unsigned char> chunk(static_cast<std::size_t>(rowBytes) * rowsPerChunk, 0);
    int y = height - 1;
    while (y >= 0) {
        unsigned char* d = chunk.data();
        std::size_t rows = 0;
        for (; rows < rowsPerChunk && y >= 0; ++rows, --y) {
            ToBgr(pixels + static_cast<std::ptrdiff_t>(y) * strideInPixels, width, d);
            d += rowBytes;  // the padding bytes stay 0
        }
        if (!file.Write(chunk.data(), rows * rowBytes)) return file.Failed();
    }
    if (!file.Finish()) return file.Failed();
    return {};
}

}  // namespace kestrel::output
