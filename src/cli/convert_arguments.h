#pragma once

#include <string>
#include <variant>
#include <vector>

#include "interact/rotation.h"
#include "output/output_formats.h"
#include "output/page_layout.h"
#include "reader/reader.h"

namespace kestrel::cli {

// The largest side of an image in pixels, and the size drawn when none is given: the
// screen's ratio at 96 dpi.
inline constexpr int MaxSide = 16384;
inline constexpr int DefaultWidth = 1600;
inline constexpr int DefaultHeight = 1200;

enum class Mode { Render, Info, Segments };

// Which reading, which plot of the file, and how it is turned before anything is drawn
// or printed.
struct ReadChoice {
    reader::Reading reading = reader::Reading::Plotter;
    int page = 1;
    std::vector<interact::Turn> turns;  // in the order given
};

struct ConvertOptions {
    Mode mode = Mode::Render;
    ReadChoice choice;
    std::string input;
    std::string output;
    const output::OutputFormat* format = nullptr;
    int width = DefaultWidth;
    int height = DefaultHeight;
    bool frame = false;
    bool pageGiven = false;  // a PDF holds every plot unless a page is given
    output::FitPaper fit;    // 0 x 0: one to one
};

// What the command line asks for. When it asks for help, or is wrong, the exit status
// instead, once the help (0) or what is wrong, naming the argument, and the usage (2)
// are printed.
std::variant<ConvertOptions, int> ParseArgs(int argc, char** argv);

}  // namespace kestrel::cli
