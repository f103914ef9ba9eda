#pragma once

#include <cstdint>
#include <string>

namespace kestrel::bench {

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

// A deterministic page of text: labels of 40 characters at the default size, ten to a
// row and a line apart, over about the area of MakeBenchPlot's polylines; letters, digits
// and punctuation drawn from the printable ASCII, a pen change now and then.
inline std::string MakeLabelPlot(std::int64_t chars) {
    std::string out = "IN;\r\nSP1;\r\n";
    out.reserve(static_cast<std::size_t>(chars) * 3 / 2);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    constexpr int PerLabel = 40;
    std::int64_t done = 0;
    for (int label = 0; done < chars; ++label) {
        if (label % 40 == 0) out += "SP" + std::to_string(1 + (label / 40) % 8) + ";\r\n";
        const long x = 20000 + (label % 10) * 4600L;
        const long y = 80000 - (label / 10) * 217L;
        out += "PA" + std::to_string(x) + "," + std::to_string(y) + ";LB";
        for (int i = 0; i < PerLabel && done < chars; ++i, ++done) {
            out += static_cast<char>('!' + next() % 94);
        }
        out += "\x03\r\n";
    }
    return out;
}

}  // namespace kestrel::bench
