#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "output/png_writer.h"
#include "test_folder.h"

using kestrel::output::WritePng;

namespace {

std::uint32_t Be32(const unsigned char* p) { return std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// Decodes an 8-bit RGB PNG into 0xRRGGBB values, top row first, checking the signature,
// the header, every CRC, IDAT only between IHDR and a final IEND, and the data's length.
std::vector<std::uint32_t> Decode(const std::string& path, int& width, int& height, int& idats) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::uint32_t> rgb;
    if (b.size() < 8 || std::string(b.begin(), b.begin() + 8) != "\x89PNG\r\n\x1A\n") return ADD_FAILURE() << "signature", rgb;
    std::vector<unsigned char> deflated;
    std::string type;
    idats = 0;
    for (std::size_t at = 8; type != "IEND"; at += 12 + Be32(&b[at])) {
        if (b.size() - at < 12 || Be32(&b[at]) > b.size() - at - 12) return ADD_FAILURE() << "chunk cut short", rgb;
        const std::uint32_t length = Be32(&b[at]);
        const unsigned char* data = &b[at + 8];
        EXPECT_EQ(Be32(data + length), crc32(0, &b[at + 4], length + 4)) << "CRC at " << at;
        type.assign(b.begin() + at + 4, b.begin() + at + 8);
        if (at == 8) {
            EXPECT_TRUE(type == "IHDR" && length == 13);
            width = static_cast<int>(Be32(data)), height = static_cast<int>(Be32(data + 4));
            EXPECT_EQ(std::vector<int>(data + 8, data + 13), (std::vector<int>{8, 2, 0, 0, 0}));  // 8-bit RGB
        } else if (type == "IDAT") {
            deflated.insert(deflated.end(), data, data + length), ++idats;
        } else {
            EXPECT_TRUE(type == "IEND" && length == 0 && at + 12 == b.size()) << type;
        }
    }
    const std::size_t row = 1 + 3 * static_cast<std::size_t>(width);
    std::vector<unsigned char> raw(row * height + 1);  // one byte more, so that surplus data shows
    uLongf size = raw.size();
    if (uncompress(raw.data(), &size, deflated.data(), deflated.size()) != Z_OK || size != raw.size() - 1) return ADD_FAILURE() << "inflate", rgb;
    for (int y = 0; y < height; ++y) {  // the writer leaves rows unfiltered (type 0)
        const unsigned char* f = &raw[y * row];
        EXPECT_EQ(f[0], 0) << "row " << y;
        for (std::size_t i = 1; i < row; i += 3) rgb.push_back(std::uint32_t{f[i]} << 16 | f[i + 1] << 8 | f[i + 2]);
    }
    return rgb;
}

TEST(PngWriter, RoundTrip) {
    // Incompressible noise with varied alpha (which must be dropped) and a guard value in the
    // stride gap: about 1.9 MB, which needs several IDAT chunks.
    const int w = 900, h = 700, stride = 901;
    std::vector<std::uint32_t> px(static_cast<std::size_t>(stride) * h, 0x12345678u);
    std::uint64_t s = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < stride * h; ++i)
        if (i % stride != w) s ^= s << 13, s ^= s >> 7, s ^= s << 17, px[i] = static_cast<std::uint32_t>(s);
    const TestFolder dir;
    const std::string path = dir.Path("test.png");
    ASSERT_TRUE(WritePng(path, px.data(), w, h, stride));
    int width = 0, height = 0, idats = 0;
    const std::vector<std::uint32_t> rgb = Decode(path, width, height, idats);
    ASSERT_TRUE(width == w && height == h && rgb.size() == static_cast<std::size_t>(w) * h);
    EXPECT_GT(idats, 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(rgb[static_cast<std::size_t>(y) * w + x], px[static_cast<std::size_t>(y) * stride + x] & 0xFFFFFFu) << x << "," << y;
    EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", px.data(), w, h, stride));
}

}  // namespace
