#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
    int status;
    std::string out;
};

Outcome Convert(const std::string& args) {
    const std::string cmd = std::string(CONVERT_BIN) + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    Outcome r{-1, {}};
    if (!p) return r;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::string TempFile(const std::string& name, const std::string& content) {
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

TEST(Convert, PrintsSegmentsInStoreOrder) {
    const auto file = TempFile("kestrel_cli_a.hpg", "IN;SP3;PU0.5,0;PD100,-2.25;PD100,1E30;");
    const Outcome r = Convert("--segments " + file);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "segments 2\n"
              "extents 0.5 -2.25 100 1.00000002e+30\n"
              "0.5 0 100 -2.25 3\n"
              "100 -2.25 100 1.00000002e+30 3\n");
    EXPECT_EQ(Convert("--info " + file).out, "segments 2\nextents 0.5 -2.25 100 1.00000002e+30\n");
}

TEST(Convert, ReportsAMissingDelimiter) {
    const auto file = TempFile("kestrel_cli_b.hpg", "IN\r\nPU0,0\r\n");
    const Outcome r = Convert("--info " + file);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "nodelimiter\nsegments 0\nextents 3.39999995e+38 3.39999995e+38 -3.39999995e+38 "
                     "-3.39999995e+38\n");
}

TEST(Convert, ExitStatusTellsWhatWentWrong) {
    const Outcome missing = Convert("--info /nonexistent/kestrel.hpg");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("cannot open"), std::string::npos);
    EXPECT_EQ(std::count(missing.out.begin(), missing.out.end(), '\n'), 1);
    EXPECT_EQ(Convert("").status, 2);
    EXPECT_EQ(Convert("--bogus x").status, 2);
    EXPECT_NE(Convert("--info").out.find("usage:"), std::string::npos);
}

}  // namespace
