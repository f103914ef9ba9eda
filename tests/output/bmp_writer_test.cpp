// The 24-bit BMP writer, and the save command's replacing writer.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "output/bmp_writer.h"
#include "test_folder.h"

namespace {

namespace fs = std::filesystem;
using kestrel::output::SaveErrorNumber;
using kestrel::output::WriteBmp;

TEST(BmpWriter, HeaderAndPixelsRoundTrip) {
    // Two rows of 3 pixels (0xAARRGGBB) at a stride of 5: neither the alpha nor the gap may show.
    const std::uint32_t px[] = {0x00000000, 0x01280001, 0x02500002, 0xDEADBEEF, 0xDEADBEEF,
                                0x00000701, 0x01280702, 0x02500703, 0xDEADBEEF, 0xDEADBEEF};
    const TestFolder dir;
    const std::string path = dir.Path("test.bmp");
    ASSERT_TRUE(WriteBmp(path, px, 3, 2, 5));
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(b.size(), 54u + 24u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 2), "BM");
    const auto u32 = [&b](std::size_t at) {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24;
    };
    // File size, reserved, pixel offset, header size, width, height (bottom-up), planes and bits, compression, image
    // size.
    const std::uint32_t fields[] = {54 + 24, 0, 54, 40, 3, 2, 1 | 24 << 16, 0, 24};
    for (std::size_t i = 0; i < std::size(fields); ++i) EXPECT_EQ(u32(2 + 4 * i), fields[i]) << i;
    // Blue, green, red; the bottom row first, each padded with zeros to 12 bytes.
    const std::vector<int> pixels = {1, 7, 0, 2, 7, 0x28, 3, 7, 0x50, 0, 0, 0,
                                     0, 0, 0, 1, 0, 0x28, 2, 0, 0x50, 0, 0, 0};
    EXPECT_EQ(std::vector<int>(b.begin() + 54, b.end()), pixels);
}

TEST(BmpWriter, SaveReplacesThroughALinkKeepsPermissionsAndRefusesWhatItCannotWrite) {
    const TestFolder folder;
    const fs::path& dir = folder.Dir();
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    std::ofstream(dir / "target.bmp") << "old";
    fs::permissions(dir / "target.bmp", perms);
    fs::create_symlink("target.bmp", dir / "link.bmp");
    const std::uint32_t px[2] = {0x00FF0000u, 0x000000FFu};
    ASSERT_EQ(SaveErrorNumber(WriteBmp((dir / "link.bmp").string(), px, 2, 1, 2)), kestrel::reader::ErrorNumber::None);
    EXPECT_TRUE(fs::is_symlink(dir / "link.bmp"));
    EXPECT_EQ(fs::file_size(dir / "target.bmp"), 54u + 8u);
    EXPECT_EQ(fs::status(dir / "target.bmp").permissions(), perms);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);  // no temporary file left
    // Nothing to write is a failure of its own, not a success.
    EXPECT_EQ(SaveErrorNumber(WriteBmp((dir / "none.bmp").string(), px, 0, 0, 0)),
              kestrel::reader::ErrorNumber::FileWriteError);
    EXPECT_FALSE(fs::exists(dir / "none.bmp"));
    // Nor is an image over 4 GiB written or even read.
    EXPECT_FALSE(WriteBmp((dir / "huge.bmp").string(), px, 40000, 40000, 40000));
    EXPECT_FALSE(fs::exists(dir / "huge.bmp"));
}

}  // namespace
