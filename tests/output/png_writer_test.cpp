#include <gtest/gtest.h>

#include <sys/resource.h>
#include <zlib.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "output/png_writer.h"

using Kestrel_Output::WritePng;

namespace {

std::vector<unsigned char> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::uint32_t Be32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

struct Chunk {
    std::string type;
    std::vector<unsigned char> data;
};

// Splits a PNG file into its chunks, checking the signature, every CRC and that
// nothing follows IEND. Adds a test failure and returns what it got on any fault.
std::vector<Chunk> ReadChunks(const std::vector<unsigned char>& b) {
    std::vector<Chunk> chunks;
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() < 8 || !std::equal(signature, signature + 8, b.begin())) {
        ADD_FAILURE() << "no PNG signature";
        return chunks;
    }
    std::size_t at = 8;
    while (at < b.size()) {
        if (b.size() - at < 12) {
            ADD_FAILURE() << "chunk cut short at " << at;
            return chunks;
        }
        const std::uint32_t length = Be32(&b[at]);
        if (length > b.size() - at - 12) {
            ADD_FAILURE() << "chunk length " << length << " runs past the end";
            return chunks;
        }
        const unsigned char* type = &b[at + 4];
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), type, length + 4);
        EXPECT_EQ(Be32(type + 4 + length), crc) << "CRC of chunk " << chunks.size();
        chunks.push_back({std::string(type, type + 4), {type + 4, type + 4 + length}});
        at += 12 + length;
        if (chunks.back().type == "IEND") break;
    }
    EXPECT_EQ(at, b.size()) << "bytes after IEND";
    return chunks;
}

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// A decoded 8-bit RGB PNG as 0xRRGGBB values, top row first; empty on any fault.
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb;
    std::size_t idatChunks = 0;
};

Image Decode(const std::string& path) {
    Image img;
    const std::vector<Chunk> chunks = ReadChunks(Bytes(path));
    if (chunks.empty() || chunks.front().type != "IHDR" || chunks.front().data.size() != 13) {
        ADD_FAILURE() << "IHDR is not the first chunk";
        return img;
    }
    if (chunks.back().type != "IEND" || !chunks.back().data.empty()) {
        ADD_FAILURE() << "no empty IEND at the end";
        return img;
    }
    const auto& h = chunks.front().data;
    // Bit depth 8, colour type 2 (RGB), deflate, filter method 0, not interlaced.
    EXPECT_EQ(std::vector<int>(h.begin() + 8, h.end()), (std::vector<int>{8, 2, 0, 0, 0}));
    const int width = static_cast<int>(Be32(&h[0])), height = static_cast<int>(Be32(&h[4]));
    std::vector<unsigned char> deflated;
    for (std::size_t i = 1; i + 1 < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].type, "IDAT") << "chunk " << i;
        deflated.insert(deflated.end(), chunks[i].data.begin(), chunks[i].data.end());
        ++img.idatChunks;
    }
    // One byte over the expected size, so that surplus data shows.
    const std::size_t row = 1 + 3 * static_cast<std::size_t>(width);
    std::vector<unsigned char> raw(row * height + 1);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return img;
    z.next_in = deflated.data();
    z.avail_in = static_cast<uInt>(deflated.size());
    z.next_out = raw.data();
    z.avail_out = static_cast<uInt>(raw.size());
    const int r = inflate(&z, Z_FINISH);
    const uLong out = z.total_out;
    const uInt leftIn = z.avail_in;
    inflateEnd(&z);
    if (r != Z_STREAM_END || out != raw.size() - 1 || leftIn != 0) {
        ADD_FAILURE() << "inflate: " << r << ", " << out << " of " << raw.size() - 1 << " bytes, "
                      << leftIn << " left over";
        return img;
    }
    std::vector<unsigned char> prior(row, 0), cur(row);
    for (int y = 0; y < height; ++y) {
        const unsigned char* f = &raw[static_cast<std::size_t>(y) * row];
        for (std::size_t i = 1; i < row; ++i) {
            const int a = i > 3 ? cur[i - 3] : 0, b = prior[i], c = i > 3 ? prior[i - 3] : 0;
            const int pred = f[0] == 0 ? 0 : f[0] == 1 ? a : f[0] == 2 ? b : f[0] == 3 ? (a + b) / 2 : Paeth(a, b, c);
            cur[i] = static_cast<unsigned char>(f[i] + pred);
        }
        if (f[0] > 4) {
            ADD_FAILURE() << "filter type " << int{f[0]} << " in row " << y;
            return img;
        }
        for (std::size_t i = 1; i < row; i += 3)
            img.rgb.push_back(static_cast<std::uint32_t>(cur[i] << 16 | cur[i + 1] << 8 | cur[i + 2]));
        prior.swap(cur);
    }
    img.width = width;
    img.height = height;
    return img;
}

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// Pixels with varied alpha (which must be dropped) and a guard value in the stride gap.
std::vector<std::uint32_t> Pattern(int width, int height, int stride, bool noise) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(stride) * height, 0x12345678u);
    std::uint64_t s = 0x9E3779B97F4A7C15ull;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            s ^= s << 13, s ^= s >> 7, s ^= s << 17;
            const std::uint32_t alpha = static_cast<std::uint32_t>(x * 7 + y) << 24;
            const std::uint32_t colour = noise                          ? static_cast<std::uint32_t>(s)
                                         : (x + 2 * y) % 37 == 0        ? 0x800000u
                                         : x == y                       ? 0x008000u | (y & 0xFF)
                                                                        : 0xFFFFFFu;
            px[static_cast<std::size_t>(y) * stride + x] = alpha | (colour & 0xFFFFFFu);
        }
    return px;
}

void ExpectRoundTrip(const std::string& path, int width, int height, int stride, bool noise) {
    const std::vector<std::uint32_t> px = Pattern(width, height, stride, noise);
    ASSERT_TRUE(WritePng(path, px.data(), width, height, stride));
    const Image img = Decode(path);
    ASSERT_EQ(img.width, width);
    ASSERT_EQ(img.height, height);
    ASSERT_EQ(img.rgb.size(), static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(img.rgb[static_cast<std::size_t>(y) * width + x],
                      px[static_cast<std::size_t>(y) * stride + x] & 0xFFFFFFu)
                << x << "," << y;
}

TEST(PngWriter, RoundTrip) {
    const std::string path = TempPath("kestrel_png_test.png");
    // Width, height, stride; each written over the file before, which must shrink.
    const int cases[][3] = {{700, 500, 700}, {3, 2, 5}, {1, 1, 1}, {17, 9, 20}, {1600, 1200, 1600}};
    for (const auto& [width, height, stride] : cases) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        ExpectRoundTrip(path, width, height, stride, false);
    }
    std::filesystem::remove(path);
}

TEST(PngWriter, IncompressiblePixelsSpanSeveralIdatChunks) {
    const std::string path = TempPath("kestrel_png_noise.png");
    ExpectRoundTrip(path, 900, 700, 901, true);  // about 1.9 MB deflated
    EXPECT_GT(Decode(path).idatChunks, 1u);
    std::filesystem::remove(path);
}

TEST(PngWriter, RefusesWhatItCannotWrite) {
    const std::vector<std::uint32_t> px(64 * 64, 0xFFFFFFFFu);
    const std::string path = TempPath("kestrel_png_refused.png");
    std::filesystem::remove(path);
    EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", px.data(), 4, 4, 4));
    EXPECT_FALSE(WritePng(std::filesystem::temp_directory_path().string(), px.data(), 4, 4, 4));
    EXPECT_FALSE(WritePng(path, nullptr, 4, 4, 4));
    EXPECT_FALSE(WritePng(path, px.data(), 0, 4, 4));
    EXPECT_FALSE(WritePng(path, px.data(), 4, -1, 4));
    EXPECT_FALSE(WritePng(path, px.data(), 4, 4, 3));  // stride shorter than a row
    EXPECT_FALSE(std::filesystem::exists(path));
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(WritePng("/dev/full", px.data(), 64, 64, 64));
    }
}

// A write that fails part way (here: over the file size limit) leaves no partial image.
TEST(PngWriter, FailedWriteLeavesNoPartialFile) {
    const std::string fresh = TempPath("kestrel_png_cut_fresh.png");
    const std::string old = TempPath("kestrel_png_cut_old.png");
    std::filesystem::remove(fresh);
    std::ofstream(old, std::ios::binary) << "an older image";
    const std::vector<std::uint32_t> px = Pattern(900, 700, 900, true);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 256 << 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool freshWritten = WritePng(fresh, px.data(), 900, 700, 900);
    const bool oldWritten = WritePng(old, px.data(), 900, 700, 900);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(freshWritten);
    EXPECT_FALSE(oldWritten);
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(std::filesystem::file_size(old), 0u);
    std::filesystem::remove(old);
}

}  // namespace
