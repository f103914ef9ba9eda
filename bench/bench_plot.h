#pragma once

#include <cstdint>
#include <string>

namespace kestrel_bench {

// A deterministic plot of random-walk polylines: PD commands of 8 pairs each,
// a pen change now and then, CRLF line ends. 150000 segments make about 2 MB.
inline std::string MakeBenchPlot(std::int64_t segments) {
    std::string out = "IN;\r\nSP1;\r\n";
    out.reserve(static_cast<std::size_t>(segments) * 14);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    long x = 50000;
    long y = 50000;
    std::int64_t done = 0;
    int commands = 0;
    while (done < segments) {
        if (commands % 40 == 0) {
            out += "SP" + std::to_string(1 + (commands / 40) % 8) + ";\r\n";
            x = 20000 + static_cast<long>(next() % 60000);
            y = 20000 + static_cast<long>(next() % 60000);
            out += "PU" + std::to_string(x) + "," + std::to_string(y) + ";\r\n";
        }
        out += "PD";
        for (int i = 0; i < 8 && done < segments; ++i, ++done) {
            x += static_cast<long>(next() % 401) - 200;
            y += static_cast<long>(next() % 401) - 200;
            if (i > 0) out += ',';
            out += std::to_string(x);
            out += ',';
            out += std::to_string(y);
        }
        out += ";\r\n";
        ++commands;
    }
    out += "PU;\r\n";
    return out;
}

}  // namespace kestrel_bench
