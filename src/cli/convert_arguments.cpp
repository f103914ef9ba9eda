#include "cli/convert_arguments.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "reader/plot_store.h"

namespace kestrel::cli {

namespace {

constexpr const char* Usage =
    "usage: kestrel-convert [--basic] [--page N] [--rotate right|left|180]... "
    "(--info FILE | --segments FILE | FILE -o OUT.bmp|OUT.png [--size WxH] [--frame] | "
    "FILE -o OUT.svg|OUT.pdf [--fit WxH])";

// The plot at 1:1 and 5 mm of paper all round: at most MaxPageMm.
constexpr const char* Limits =
    "Limits: an image is at most 16384 x 16384 pixels (--size). An SVG or PDF page at 1:1\n"
    "is at most 500 m a side, the 5 mm margins included: a plot longer than 499.99 m\n"
    "(19,999,600 plotter units) is refused unless --fit scales it. Reading stops at\n"
    "20,000,000 segments or 32,767 plots; label characters past 1,000,000 in a file are left\n"
    "out and counted (chars-dropped in --info).\n"
    "\n"
    "Exit status: 0 after any read, 1 when FILE cannot be read, memory runs out while\n"
    "reading, or OUT or the standard output cannot be written, 2 for a wrong command line.";

// The help starts with the same usage a wrong command line gets, and names each option
// with its value alone: which options go together the usage shows.
class UsageFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App*, std::string) const override {
        return std::string(Usage) + "\n";
    }
    std::string make_option_opts(const CLI::Option* option) const override {
        if (option->get_positional() || option->get_type_size() == 0) return {};
        return " " + option->get_type_name() + (option->get_expected_max() > 1 ? " ..." : "");
    }
};

// "1..max" written with digits only.
std::optional<int> ParsePositive(std::string_view s, int max) {
    if (s.empty() || s.size() > 5) return std::nullopt;
    int v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v < 1 || v > max) return std::nullopt;
    return v;
}

std::optional<int> ParsePage(std::string_view s) { return ParsePositive(s, reader::MaxPlots); }

// "WxH" in pixels, each side 1..MaxSide.
std::optional<std::pair<int, int>> ParseSize(std::string_view s) {
    const std::size_t x = s.find('x');
    if (x == std::string_view::npos) return std::nullopt;
    const auto w = ParsePositive(s.substr(0, x), MaxSide);
    const auto h = ParsePositive(s.substr(x + 1), MaxSide);
    if (!w || !h) return std::nullopt;
    return std::pair{*w, *h};
}

// "WxH" in millimetres, each side a positive decimal number no longer than a page may be.
std::optional<output::FitPaper> ParseFit(const std::string& text) {
    const char* s = text.c_str();
    char* end = nullptr;
    const double width = std::strtod(s, &end);
    if (end == s || *end != 'x' || !std::isdigit(static_cast<unsigned char>(end[1])))
        return std::nullopt;
    const double height = std::strtod(end + 1, &end);
    if (*end != '\0') return std::nullopt;
    const auto fits = [](double v) { return v > 0 && v <= output::MaxPageMm; };
    if (!std::isdigit(static_cast<unsigned char>(*s)) || !fits(width) || !fits(height))
        return std::nullopt;
    return output::FitPaper{width, height};
}

std::optional<interact::Turn> ParseTurn(std::string_view s) {
    if (s == "right") return interact::Turn::Right;
    if (s == "left") return interact::Turn::Left;
    if (s == "180") return interact::Turn::Half;
    return std::nullopt;
}

// A check of an option's value: empty when `parse` takes it, else what is wrong.
template <typename Parse>
CLI::Validator Takes(Parse parse, const char* wanted) {
    return CLI::Validator(
        [parse, wanted](std::string& value) -> std::string {
            if (parse(value)) return {};
            return "'" + value + "' is not " + wanted;
        },
        "");
}

// The command line's words as given; Interpret makes options of them.
struct Words {
    bool basic = false;
    bool frame = false;
    std::string page, size, fit, input, output, info, segments;
    std::vector<std::string> turns;
    CLI::Option* inputOption = nullptr;
    CLI::Option* outputOption = nullptr;
};

void DefineReading(CLI::App& app, Words& w) {
    app.add_flag("--basic", w.basic, "reads with basic reading instead of plotter reading");
    app.add_option("--page", w.page,
                   "the plot (page) of the file to use, 1 to 32767 (default 1); without it a "
                   "PDF holds every plot")
        ->type_name("N")
        ->check(Takes(ParsePage, "a plot number from 1 to 32767"));
    app.add_option("--rotate", w.turns,
                   "turns the plot about its origin before anything else; again and again, "
                   "in the order given")
        ->type_name("right|left|180")
        ->allow_extra_args(false)
        ->check(Takes(ParseTurn, "right, left or 180"));
    const auto info = app.add_option("--info", w.info,
                                     "prints the number of plots, then the plot's segment "
                                     "count, character count and extents, and why reading "
                                     "stopped early")
                          ->type_name("FILE");
    const auto segments = app.add_option("--segments", w.segments,
                                         "prints the plot's segment count, extents and every "
                                         "segment: X1 Y1 X2 Y2 PEN")
                              ->type_name("FILE");
    info->excludes(segments);
}

void DefineOutput(CLI::App& app, Words& w) {
    w.inputOption = app.add_option("FILE", w.input, "the plot file to draw into OUT");
    w.outputOption = app.add_option("-o", w.output,
                                    "the file written, its format by the extension: BMP or PNG "
                                    "(an image), SVG or PDF (paths); BMP to a device such as "
                                    "/dev/stdout")
                         ->type_name("OUT");
    const auto size = app.add_option("--size", w.size,
                                     "BMP and PNG: the image's size in pixels, each side 1 "
                                     "to 16384 (default 1600x1200)")
                          ->type_name("WxH")
                          ->check(Takes(ParseSize, "WxH with sides of 1 to 16384 pixels"));
    const auto frame =
        app.add_flag("--frame", w.frame, "BMP and PNG: draws the dash-dot range frame too");
    const auto fit = app.add_option("--fit", w.fit,
                                    "SVG and PDF: fits each plot into W x H millimetres (each "
                                    "at most 500000) instead of drawing it 1:1")
                         ->type_name("WxH")
                         ->check(Takes(ParseFit,
                                       "WxH in millimetres, each above 0 and at "
                                       "most 500000"));
    // --info and --segments take only the file (and the reading's options).
    for (const char* mode : {"--info", "--segments"}) {
        for (CLI::Option* rendering : {w.inputOption, w.outputOption, size, frame, fit})
            app.get_option(mode)->excludes(rendering);
    }
}

// The format and the options that go with it.
void InterpretOutput(const Words& w, const CLI::App& app, ConvertOptions& o) {
    if (w.inputOption->count() == 0)
        throw CLI::ValidationError("FILE",
                                   "no plot file given (FILE -o OUT, --info FILE or "
                                   "--segments FILE)");
    if (w.outputOption->count() == 0)
        throw CLI::ValidationError("-o", "no output file given for " + w.input);
    o.output = w.output;
    o.format = output::FormatOfPath(o.output);
    // -o /dev/stdout: a device has no extension to go by.
    if (!o.format && output::IsNamedDevice(o.output)) o.format = &output::OutputFormats().front();
    if (!o.format)
        throw CLI::ValidationError("-o", "'" + o.output +
                                             "' does not end in .bmp, .png, .svg "
                                             "or .pdf");
    // A raster has a size in pixels; paths have a paper size.
    for (const char* raster : {"--size", "--frame"}) {
        if (o.format->paths && app.count(raster) > 0)
            throw CLI::ValidationError(raster, "only for BMP and PNG images, not " + o.output);
    }
    if (!o.format->paths && app.count("--fit") > 0)
        throw CLI::ValidationError("--fit", "only for SVG and PDF, not " + o.output);
    if (const auto size = ParseSize(w.size)) std::tie(o.width, o.height) = *size;
    if (const auto fit = ParseFit(w.fit)) o.fit = *fit;
    o.frame = w.frame;
}

ConvertOptions Interpret(const Words& w, const CLI::App& app) {
    ConvertOptions o;
    if (w.basic) o.choice.reading = reader::Reading::Basic;
    if (const auto page = ParsePage(w.page)) {
        o.choice.page = *page;
        o.pageGiven = true;
    }
    for (const std::string& turn : w.turns) o.choice.turns.push_back(*ParseTurn(turn));
    if (app.count("--info") > 0 || app.count("--segments") > 0) {
        o.mode = app.count("--info") > 0 ? Mode::Info : Mode::Segments;
        o.input = o.mode == Mode::Info ? w.info : w.segments;
        return o;
    }
    o.input = w.input;
    InterpretOutput(w, app, o);
    return o;
}

}  // namespace

std::variant<ConvertOptions, int> ParseArgs(int argc, char** argv) {
    CLI::App app(
        "Reads an HPGL plot file and prints what it holds, or draws it into an image "
        "or a vector file.",
        "kestrel-convert");
    app.formatter(std::make_shared<UsageFormatter>());
    app.set_help_flag("-h,--help", "prints this help");
    app.footer(Limits);
    Words words;
    DefineReading(app, words);
    DefineOutput(app, words);
    try {
        app.parse(argc, argv);
        return Interpret(words, app);
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "kestrel-convert: %s\n%s\n", e.what(), Usage);
        return 2;
    }
}

}  // namespace kestrel::cli
