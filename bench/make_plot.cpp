// Writes the benchmark plot to a file, for timing whole processes side by side.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bench_plot.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_bench_plot SEGMENTS FILE\n");
        return 2;
    }
    std::ofstream(argv[2], std::ios::binary) << kestrel::bench::MakeBenchPlot(std::atoll(argv[1]));
    return 0;
}
