// Runs the fuzz entry point over files, so former crashers stay fixed in every build, and
// with --hostile over the generated hostile cases too (--hostile=N: every Nth of them).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "hostile_cases.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Run(std::string_view bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    int files = 0;
    int cases = 0;
    for (int i = 1; i < argc; ++i) {
        if (const std::string_view a = argv[i]; a.starts_with("--hostile")) {
            const int stride = a.size() > 10 ? std::atoi(argv[i] + 10) : 1;
            cases += ForEachHostileCase(Run, std::max(stride, 1));
            continue;
        }
        std::filesystem::path arg(argv[i]);
        if (!std::filesystem::exists(arg)) continue;
        auto run = [&files](const std::filesystem::path& p) {
            std::ifstream in(p, std::ios::binary);
            Run(std::string((std::istreambuf_iterator<char>(in)), {}));
            ++files;
        };
        if (std::filesystem::is_directory(arg)) {
            for (const auto& e : std::filesystem::directory_iterator(arg)) {
                if (e.is_regular_file()) run(e.path());
            }
        } else {
            run(arg);
        }
    }
    std::printf("replayed %d files and %d hostile cases\n", files, cases);
    return files + cases > 0 ? 0 : 1;
}
