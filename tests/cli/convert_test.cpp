// kestrel-convert: the plot's segments as text, and its render mode FILE -o OUT.bmp|OUT.png [--size WxH] [--frame].
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "test_folder.h"

namespace {

// Runs a shell command; its exit status (-1 if it did not exit), and in `output` what it wrote
// to stdout and, unless sent to the file `errors`, stderr.
int Shell(const std::string& command, std::string* output, const std::string& errors = "&1") {
    FILE* p = popen(("(" + command + ") 2>" + errors).c_str(), "r");
    if (!p) return -1;
    char buf[4096];
    std::string out;
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int st = pclose(p);
    if (output) *output = out;
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

// Runs the program; its exit status, and in `output` what it wrote to stdout and stderr.
int Convert(const std::string& args, std::string* output = nullptr) {
    return Shell(std::string(CONVERT_BIN) + " " + args, output);
}

// A 24-bit BMP as 0xRRGGBB values, top row first.
struct Image {
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

Image ReadBmp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b{std::istreambuf_iterator<char>(in), {}};
    Image img;
    if (b.size() < 54) return img;
    img.width = b[18] | b[19] << 8 | b[20] << 16;
    img.height = b[22] | b[23] << 8 | b[24] << 16;
    const std::size_t row = (3 * static_cast<std::size_t>(img.width) + 3) & ~std::size_t{3};
    if (b.size() != 54 + row * img.height) return Image{};
    for (int y = img.height - 1; y >= 0; --y)
        for (std::size_t at = 54 + y * row, x = 0; x < static_cast<std::size_t>(img.width); ++x, at += 3)
            img.rgb.push_back(static_cast<std::uint32_t>(b[at + 2] << 16 | b[at + 1] << 8 | b[at]));
    return img;
}

constexpr std::uint32_t White = 0xFFFFFF, Red = 0x800000;

std::string Square(const TestFolder& dir) {
    return dir.File("square.hpg", "IN;SP4;PU0,0;PD1000,0,1000,1000,0,1000,0,0;");
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The segments in store order, after the turns in the order given.
TEST(Convert, PrintsTheSegmentsAsAsked) {
    // (10, 20)-(30, 40): right then 180 gives (-20, 10)-(-40, 30).
    const TestFolder dir;
    const std::string file = dir.File("rotate.hpg", "IN;SP2;PU10,20;PD30,40;");
    const std::pair<std::string, std::string> cases[] = {
        {"--basic --segments " + dir.File("a.hpg", "IN;SP3;PU0.5,0;PD100,-2.25;PD100,1E30;"),
         "segments 2\nextents 0.5 -2.25 100 1.00000002e+30\n0.5 0 100 -2.25 3\n100 -2.25 100 1.00000002e+30 3\n"},
        {"--basic --info " + dir.File("b.hpg", "IN\r\nPU0,0\r\n"),
         "nodelimiter\nplots 1\nsegments 0\nchars 0\nextents none\n"},
        // What basic reading's checks read: the store's placeholders for no extents.
        {"--basic --segments " + dir.Path("b.hpg"),
         "nodelimiter\nsegments 0\nextents 3.39999995e+38 3.39999995e+38 -3.39999995e+38 -3.39999995e+38\n"},
        {"--segments " + file + " --rotate right --rotate 180",
         "segments 1\nextents -40 10 -20 30\n-20 10 -40 30 2\n"}};
    for (const auto& [args, expected] : cases) {
        std::string out;
        EXPECT_EQ(Convert(args, &out), 0) << args;
        EXPECT_EQ(out, expected) << args;
    }
}

TEST(Convert, RendersTheFittedPlot) {
    // The square fills 95 % of the height (114 pixels) from the 1 % top margin (1.2),
    // centred across (from 100 - 57): pixels 43..157 by 1..115.
    const TestFolder dir;
    const std::string out = dir.Path("render.bmp");
    std::string messages;
    ASSERT_EQ(Convert(Square(dir) + " --size 200x120 -o " + out, &messages), 0);
    EXPECT_EQ(messages, "");
    const Image img = ReadBmp(out);
    ASSERT_TRUE(img.width == 200 && img.height == 120);
    EXPECT_EQ(std::set<std::uint32_t>(img.rgb.begin(), img.rgb.end()), (std::set<std::uint32_t>{White, Red}));
    for (const auto& [x, y] : {std::pair{43, 1}, {157, 115}, {100, 1}, {43, 60}, {157, 60}, {100, 115}})
        EXPECT_EQ(img.At(x, y), Red) << x << "," << y;
    for (const auto& [x, y] : {std::pair{100, 60}, {42, 1}, {158, 60}, {100, 0}, {100, 116}})
        EXPECT_EQ(img.At(x, y), White) << x << "," << y;
    const std::string png = dir.Path("render.PNG");
    ASSERT_EQ(Convert(Square(dir) + " -o " + png + " --size 300x7"), 0);
    EXPECT_EQ(Slurp(png).substr(0, 8), "\x89PNG\r\n\x1A\n");  // by the extension
    // A device takes a BMP: "BM", then 54 + 3 rows of 12 bytes in all.
    ASSERT_EQ(Convert(Square(dir) + " --size 4x3 -o /dev/stdout", &messages), 0);
    EXPECT_EQ(messages.substr(0, 2), "BM");
    EXPECT_EQ(messages.size(), 90u);
}

TEST(Convert, ExitStatusAndUsage) {
    // 1 with one line: the input cannot be read or the output not written; 2 with a line naming the
    // argument at fault, then the usage; --help lists the options and the limits.
    const TestFolder dir;
    const std::string out = dir.Path("usage.bmp");
    const std::string Square = ::Square(dir);
    const std::tuple<std::string, int, std::string> cases[] = {
        {"/nonexistent/k.hpg -o " + out, 1, ""},
        {Square + " -o /nonexistent/out.png", 1, ""},
        {"", 2, "FILE"},
        {Square, 2, "-o"},
        {Square + " -o out.gif", 2, "-o"},
        {Square + " -o " + out + " --size 0x100", 2, "--size"},
        {"--rotate 90 --info " + Square, 2, "--rotate"},
        {"--info " + Square + " --rotate", 2, "--rotate"},
        {"--info " + Square + " --frame", 2, "--frame"},
        {"--segments " + Square + " " + Square, 2, "FILE"},
        {"--page 2 --info " + Square, 1, ""},
        {"--page 0 --info " + Square, 2, "--page"},
        {Square + " -o /nonexistent/x.svg", 1, ""},
        {Square + " -o x.svg --size 10x10", 2, "--size"},
        {Square + " -o x.pdf --frame", 2, "--frame"},
        {Square + " -o x.png --fit 10x10", 2, "--fit"},
        {Square + " -o x.pdf --fit 0x10", 2, "--fit"},
        {Square + " --bogus -o " + out, 2, "--bogus"},
        {dir.File("huge.hpg", "IN;PD30000000,0;") + " -o " + dir.Path("huge.svg"), 1, ""},
        {"--help", 0, "--fit WxH"},
        {"--help", 0, "at most 16384 x 16384 pixels"},
        {"--help", 0, "a plot longer than 499.99 m"}};
    for (const auto& [args, status, fault] : cases) {
        std::string messages;
        EXPECT_EQ(Convert(args, &messages), status) << args;
        const std::size_t lineEnd = messages.find('\n');
        const std::string first = messages.substr(0, lineEnd), rest = messages.substr(lineEnd + 1);
        if (status == 0) {
            EXPECT_NE(messages.find(fault), std::string::npos) << messages;
        } else if (status == 1) {
            EXPECT_TRUE(first.rfind("kestrel-convert: ", 0) == 0 && lineEnd == messages.size() - 1) << messages;
        } else {
            EXPECT_TRUE(first.rfind("kestrel-convert: ", 0) == 0 && first.find(fault) != std::string::npos) << args;
            EXPECT_TRUE(rest.rfind("usage: kestrel-convert [--basic] [--page N] [--rotate right|left|180]", 0) == 0 &&
                        rest.find("FILE -o OUT.bmp|OUT.png [--size WxH] [--frame]") != std::string::npos)
                << messages;
        }
    }
}

// Runs that cannot finish as asked: exit 1 and one line saying why, never a hang, an abort
// or a half-written file. A FIFO nobody writes (or reads) would block an open forever.
TEST(Convert, FailuresEndCleanlyAndSayWhy) {
    const TestFolder dir;
    const std::string square = Square(dir), d = dir.Dir();
    const std::string old = dir.File("existing.bmp", "the image before");
    ASSERT_EQ(::mkfifo(dir.Path("fifo.hpg").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(dir.Path("fifo.bmp").c_str(), 0600), 0);
    std::string big = "PU0,0;PD";
    for (int i = 0; i < 3'000'000; ++i) big += "1,1,";
    const std::string large = dir.File("large.hpg", big + "1,1;");
    const std::string stopsEarly = dir.File("pen.hpg", "PD1,1;SPx;PD2,2;");
    const std::string labels = dir.File("labels.hpg", "LB" + std::string(1'000'005, 'A') + "\x03");
    const std::string longName = std::string(246, 'n') + ".svg";  // 250 bytes, the temporary name longer
    // A large PDF written in the background, sent `signal` once its temporary file is there.
    const auto interrupted = [&](const std::string& signal) {
        return "%C " + large + " -o " + d + "/big.pdf & for i in $(seq 6000); do ls -a " + d +
               " | grep -q '^.big.pdf.*tmp$' && break; sleep 0.01; done; kill -" + signal +
               " $!; { wait $!; } 2>/dev/null; echo $?";
    };
    struct Case {
        std::string command;
        std::string message;  // the line on stderr
        std::string output;   // part of what is printed
    };
    const Case cases[] = {
        {"ulimit -f 8; %C " + square + " --size 200x120 -o " + old, "cannot write " + old + ": File too large", ""},
        {"%C " + square + " -o /dev/full", "cannot write /dev/full: No space left on device", ""},
        {"ln -s /dev/full " + d + "/full.png; %C " + square + " -o " + d + "/full.png",
         "cannot write " + d + "/full.png: No space left on device", ""},
        {"%C --info " + dir.Path("fifo.hpg"), "cannot open " + dir.Path("fifo.hpg") + ": not a readable file", ""},
        {"%C " + square + " -o " + dir.Path("fifo.bmp"), "cannot write " + dir.Path("fifo.bmp") + ": Invalid argument",
         ""},
        {"%C --info " + square + " >/dev/full", "cannot write the standard output: No space left on device", ""},
        {"ulimit -v 60000; %C --basic --info " + large, "out of memory reading " + large, "\nstopped out-of-memory\n"},
        {"ulimit -v 60000; %C --info " + large, "out of memory reading " + large, "\nstopped out-of-memory\n"},
        {"%C --basic --info " + stopsEarly + " && echo done", "",
         "segments 1\nchars 0\nextents 0 0 1 1\nstopped bad-pen\ndone\n"},
        {"%C --info " + labels, "", "\nchars 1000000\nchars-dropped 5\n"},
        // Stopped while it reads, the file cut short, and let go on.
        {"cp " + large + " " + d + "/cut.hpg; " CONVERT_BIN " --info " + d +
             "/cut.hpg & for i in $(seq 5000);"
             " do grep -q cut.hpg /proc/$!/maps && break; done; kill -STOP $!; truncate -s 100 " +
             d + "/cut.hpg; kill -CONT $!; wait $!",
         "", "\nstopped file-changed\n"},
        {"ln -s missing.svg " + d + "/link.svg; %C " + square + " -o " + d + "/link.svg && readlink " + d +
             "/link.svg && head -c 5 " + d + "/missing.svg",
         "", "missing.svg\n<?xml"},
        {"%C " + square + " -o " + d + "/" + longName + " && head -c 5 " + d + "/" + longName, "", "<?xml"},
        {interrupted("TERM"), "", "143\n"},
        {interrupted("INT"), "", "130\n"},
    };
    for (const Case& c : cases) {
#if defined(__SANITIZE_ADDRESS__)
        if (c.command.find("ulimit -v") != std::string::npos) continue;  // the sanitizer needs the address space
#endif
        std::string command = c.command;
        if (const auto at = command.find("%C"); at != std::string::npos)
            command.replace(at, 2, std::string("timeout 60 ") + CONVERT_BIN);
        std::string out;
        EXPECT_EQ(Shell(command, &out, dir.Path("stderr")), c.message.empty() ? 0 : 1) << c.command;
        EXPECT_EQ(Slurp(dir.Path("stderr")), c.message.empty() ? "" : "kestrel-convert: " + c.message + "\n")
            << c.command;
        EXPECT_NE(out.find(c.output), std::string::npos) << c.command << ": " << out;
    }
    EXPECT_EQ(Slurp(old), "the image before");
    // No temporary file left, nor the interrupted PDF; the link kept.
    std::set<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.Dir())) left.insert(e.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"cut.hpg", "existing.bmp", "fifo.bmp", "fifo.hpg", "full.png", "labels.hpg",
                                           "large.hpg", "link.svg", longName, "missing.svg", "pen.hpg", "square.hpg",
                                           "stderr"}));
}

TEST(Convert, VectorFilesReadBackByOtherTools) {
    const TestFolder dir;
    const std::string Square = ::Square(dir);
    // The square is 25 mm, 35 mm (99.21 pt) with the margins; the two plots 25 x 0 and 0 x 50 mm.
    const std::string pdf = dir.Path("paths.pdf"), svg = dir.Path("paths.svg"),
                      two = dir.File("two.hpg", "IN;SP1;PU0,0;PD1000,0;PG;SP2;PU0,0;PD0,2000;PG;"),
                      labels = dir.File("labels.hpg", "IN;SP1;SI1,1;LBH\x03SP2;LO7;LBH\x03"),
                      pdfSizes = "pdfinfo -l 9 " + pdf + " | grep -E 'Pages|Page.*size'",
                      // A roll of 12.5 m at one to one: a page beyond what PDF libraries take as given.
        longRoll = dir.File("long_roll.hpg", "IN;PU0,0;PD500000,0,500000,100000;");
    const std::string rendered = dir.Path("rendered.png"), raster = dir.Path("raster.png"),
                      close = " && " CONVERT_BIN " " SAMPLES_DIR "/pens.hpg --size 400x400 -o " + raster +
                              " && f() { convert $1 -alpha off -colorspace gray -threshold 90% -negate -trim +repage"
                              " -morphology Dilate Disk:2 -resize 100x100! -threshold 50% $1; } && f " +
                              raster + " && f " + rendered + " && [ $(compare -metric AE " + raster + " " + rendered +
                              " null: 2>&1) -lt 600 ] && echo close";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {Square + " -o " + pdf, pdfSizes, "Pages: 1\nPage 1 size: 99.2126 x 99.2126 pts\n"},
        {Square + " -o " + pdf + " --fit 297x210", pdfSizes, "Pages: 1\nPage 1 size: 841.89 x 595.276 pts (A4)\n"},
        {two + " -o " + pdf, pdfSizes,
         "Pages: 2\nPage 1 size: 99.2126 x 28.3465 pts\nPage 2 size: 28.3465 x 170.079 pts\n"},
        {"--page 2 --rotate left " + two + " -o " + pdf, pdfSizes, "Pages: 1\nPage 1 size: 170.079 x 28.3465 pts\n"},
        {longRoll + " -o " + pdf, pdfSizes, "Pages: 1\nPage 1 size: 35462 x 7114.96 pts\n"},  // in whole points
        {longRoll + " -o " + pdf,
         "pdftoppm -png -scale-to 500 -singlefile " + pdf + " | convert png:- -format %@ info:",
         "499x100+0+0"},  // the drawing fills the page
        {Square + " -o " + svg,
         "xmllint --noout " + svg + " && head -2 " + svg + " | grep -o 'width.*viewBox=\"[^\"]*'",
         "width=\"35mm\" height=\"35mm\" viewBox=\"0 0 1400 1400\n"},
        {SAMPLES_DIR "/pens.hpg -o " + svg, "xmllint --xpath \"count(//*[local-name()='path'])\" " + svg,
         "7\n"},  // a path per pen; pen 0 draws nothing
        // Labels alone, H 1 cm high: stems 0.625 to 9.375 mm, then right-aligned on the pen at 15 mm,
        // 5.625 to 14.375 mm; so 13.75 x 10 mm and a path per pen.
        {labels + " -o " + pdf, pdfSizes, "Pages: 1\nPage 1 size: 67.3228 x 56.6929 pts\n"},
        {labels + " -o " + svg, "xmllint --xpath \"count(//*[local-name()='path'])\" " + svg, "2\n"},
        // Renders of both, made black on white, cut to the ink, thickened and shrunk to 100 x 100,
        // differ from the raster's in a few hundred pixels at most (turned by 180 degrees: 2000).
        {SAMPLES_DIR "/pens.hpg --fit 40x40 -o " + svg,
         "rsvg-convert -b white -w 422 -h 422 " + svg + " >" + rendered + close, "close\n"},
        {SAMPLES_DIR "/pens.hpg --fit 40x40 -o " + pdf,
         "pdftoppm -png -scale-to 422 -singlefile " + pdf + " >" + rendered + close, "close\n"},
    };
    for (const auto& [args, check, expected] : cases) {
        std::string printed;  // runs of spaces made one
        ASSERT_EQ(Convert(args), 0) << args;
        EXPECT_EQ(Shell(check + " | tr -s ' '", &printed) == 0 ? printed : "", expected) << check;
    }
}

}  // namespace
