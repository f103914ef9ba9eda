// kestrel-convert-png: reads a raster of 32-bit pixels (0xAARRGGBB, native byte order,
// rows top-down, no padding) from standard input and writes it as a PNG file.
// kestrel-convert runs it for PNG output so that only this program loads Qt.
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include <QFile>
#include <QImage>

namespace {

constexpr int MaxSide = 16384;

bool ParseSide(std::string_view s, int& out) {
    if (s.empty() || s.size() > 5) return false;
    int v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < 1 || v > MaxSide) return false;
    out = v;
    return true;
}

bool ReadAll(int fd, void* data, std::size_t size) {
    auto* p = static_cast<unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int width = 0;
    int height = 0;
    if (argc != 4 || !ParseSide(argv[2], width) || !ParseSide(argv[3], height)) {
        std::fprintf(stderr, "usage: kestrel-convert-png OUT.png WIDTH HEIGHT < pixels\n");
        return 2;
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    if (!ReadAll(STDIN_FILENO, pixels.data(), pixels.size() * sizeof(std::uint32_t))) return 1;
    // The raster already is QImage's RGB32 layout, so the image only wraps it.
    const QImage image(reinterpret_cast<const uchar*>(pixels.data()), width, height,
                       static_cast<qsizetype>(width) * 4, QImage::Format_RGB32);
    return image.save(QFile::decodeName(argv[1]), "PNG") ? 0 : 1;
}
