#include <gtest/gtest.h>

#include <png.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "output/png_writer.h"
#include "test_folder.h"

using kestrel::output::WritePng;

namespace {

TEST(PngWriter, RoundTrip) {
    // Incompressible noise with varied alpha (which must be dropped) and a guard value in the
    // stride gap.
    const int w = 900, h = 700, stride = 901;
    std::vector<std::uint32_t> px(static_cast<std::size_t>(stride) * h, 0x12345678u);
    std::mt19937 noise(7);
    for (int i = 0; i < stride * h; ++i) px[i] = i % stride == w ? px[i] : static_cast<std::uint32_t>(noise());
    const TestFolder dir;
    const std::string path = dir.Path("test.png");
    ASSERT_TRUE(WritePng(path, px.data(), w, h, stride));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
    ASSERT_TRUE(image.width == w && image.height == h && image.format == PNG_FORMAT_RGB);
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &rgb[3 * (static_cast<std::size_t>(y) * w + x)];
            ASSERT_EQ(std::uint32_t{p[0]} << 16 | p[1] << 8 | p[2],
                      px[static_cast<std::size_t>(y) * stride + x] & 0xFFFFFFu)
                << x << "," << y;
        }
    EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", px.data(), w, h, stride));
}

}  // namespace
