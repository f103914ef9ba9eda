#include "output/output_formats.h"

#include <algorithm>
#include <cctype>

#include "output/bmp_writer.h"
#include "output/pdf_writer.h"
#include "output/png_writer.h"
#include "output/svg_writer.h"

namespace kestrel::output {

namespace {

constexpr OutputFormat Formats[] = {
    {"bmp", "BMPファイル(*.bmp)", WriteBmp, nullptr, false},
    {"png", nullptr, WritePng, nullptr, false},
    {"svg", "SVGファイル(*.svg)", nullptr, WriteSvg, false},
    {"pdf", "PDFファイル(*.pdf)", nullptr, WritePdf, true},
};

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    if (s.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(),
                      s.end() - static_cast<std::ptrdiff_t>(suffix.size()), [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

std::span<const OutputFormat> OutputFormats() { return Formats; }

const OutputFormat* FormatOfPath(std::string_view path) {
    for (const OutputFormat& format : Formats) {
        if (path.size() > format.extension.size() && EndsWithNoCase(path, format.extension) &&
            path[path.size() - format.extension.size() - 1] == '.')
            return &format;
    }
    return nullptr;
}

}  // namespace kestrel::output
