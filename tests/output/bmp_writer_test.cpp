#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "output/bmp_writer.h"

using Kestrel_Output::WriteBmp;

namespace {

TEST(BmpWriter, HeaderAndPixelsRoundTrip) {
    // Rows of 3 pixels padded to 12 bytes, read with a stride of 5.
    const int width = 3, height = 2, stride = 5, rowBytes = 12;
    const std::string path = (std::filesystem::temp_directory_path() / "kestrel_bmp_test.bmp").string();
    std::vector<std::uint32_t> px(static_cast<std::size_t>(stride) * height, 0xDEADBEEFu);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) px[static_cast<std::size_t>(y) * stride + x] = 0x01000000u * x | (x * 40u & 0xFF) << 16 | (y * 7u & 0xFF) << 8 | (x + y) % 256;
    ASSERT_TRUE(WriteBmp(path, px.data(), width, height, stride));
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b{std::istreambuf_iterator<char>(in), {}};
    const auto u32 = [&b](std::size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24; };
    const std::uint32_t image = static_cast<std::uint32_t>(rowBytes * height);
    ASSERT_EQ(b.size(), 54u + image);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 2), "BM");
    // File size, reserved, pixel offset, header size, width, height (bottom-up), planes and bits, compression, image size.
    const std::uint32_t fields[] = {54 + image, 0, 54, 40, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 1 | 24 << 16, 0, image};
    for (std::size_t i = 0; i < std::size(fields); ++i) EXPECT_EQ(u32(2 + 4 * i), fields[i]) << i;
    for (int y = 0; y < height; ++y) {
        const std::size_t row = 54 + static_cast<std::size_t>(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(static_cast<std::uint32_t>(b[row + 3 * x] | b[row + 3 * x + 1] << 8 | b[row + 3 * x + 2] << 16), px[static_cast<std::size_t>(y) * stride + x] & 0xFFFFFF) << x << "," << y;
        for (int pad = width * 3; pad < rowBytes; ++pad) ASSERT_EQ(b[row + pad], 0);
    }
    std::filesystem::remove(path);
}

TEST(BmpWriter, RefusesAnImageOver4GiBWithoutReadingIt) {
    const std::uint32_t px = 0;
    const std::string path = (std::filesystem::temp_directory_path() / "kestrel_bmp_refused.bmp").string();
    EXPECT_FALSE(WriteBmp(path, &px, 40000, 40000, 40000));
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace

namespace {

TEST(BmpWriter, SaveReplacesThroughALinkAndKeepsPermissions) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "kestrel_bmp_save_test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    {
        std::ofstream(dir / "target.bmp") << "old";
    }
    fs::permissions(dir / "target.bmp", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("target.bmp", dir / "link.bmp");
    const std::uint32_t px[2] = {0x00FF0000u, 0x000000FFu};
    ASSERT_EQ(Kestrel_Output::SaveBmp((dir / "link.bmp").string(), px, 2, 1, 2), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.bmp"));
    EXPECT_EQ(fs::file_size(dir / "target.bmp"), 54u + 8u);
    EXPECT_EQ(fs::status(dir / "target.bmp").permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);  // no temporary file left
    // Nothing to write is a failure of its own, not a success.
    EXPECT_EQ(Kestrel_Output::SaveBmp((dir / "none.bmp").string(), px, 0, 0, 0), 31037);
    EXPECT_FALSE(fs::exists(dir / "none.bmp"));
    fs::remove_all(dir);
}

}  // namespace
