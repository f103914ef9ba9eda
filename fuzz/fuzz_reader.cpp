// libFuzzer entry point: any bytes are a plot file, for both readings, and every field
// of them a number text.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "reader/generation_budget.h"
#include "reader/number.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "reader/stroke_font.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The longest leading decimal number of `text` (sign, digits with at most one point, an
// E or D exponent with digits), D made E so that strtod reads it; empty if it has no digit.
std::string LeadingNumber(std::string_view text, std::size_t& length) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    length = 0;
    if (!digits) return {};
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t expStart = j;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j > expStart) i = j;
    }
    length = i;
    std::string number(text.substr(0, i));
    for (char& c : number) {
        if (c == 'D' || c == 'd') c = 'e';
    }
    return number;
}

// The number reader against strtod: values bit for bit, overflow exactly when strtod overflows.
void CheckNumber(std::string_view field) {
    std::string compact;
    for (const char c : field) {
        if (c != ' ' && c != '\t' && c != '\n') compact.push_back(c);
    }
    if (!compact.empty() && compact[0] == '&') return;  // &H and &O integers
    std::size_t length = 0;
    const std::string number = LeadingNumber(compact, length);
    const kestrel::reader::NumberValue read = kestrel::reader::ReadNumber(field);
    if (number.empty()) {
        if (read.value != 0 || read.overflow) std::abort();
        return;
    }
    const double expected = std::strtod(number.c_str(), nullptr);
    if (read.overflow != std::isinf(expected)) std::abort();
    if (!read.overflow &&
        std::bit_cast<std::uint64_t>(read.value) != std::bit_cast<std::uint64_t>(expected)) {
        std::abort();
    }
}

// Pen numbers: the whole text between blanks must be one number within 16 bits.
void CheckPen(std::string_view field) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
    if (!field.empty() && field[0] == '&') return;
    std::size_t length = 0;
    const std::string number = LeadingNumber(field, length);
    std::optional<std::int16_t> expected;
    if (!number.empty() && length == field.size()) {
        const double r = std::nearbyint(std::strtod(number.c_str(), nullptr));
        if (r >= -32768.0 && r <= 32767.0) expected = static_cast<std::int16_t>(r);
    }
    if (kestrel::reader::ConvertPenNumber(field) != expected) std::abort();
}

// What every read must leave: plots 1..PlotTotal, each with its counted segments and
// characters stored and finite, no more segments than `most` and no more characters than
// bytes of input (`size`).
void CheckStore(const kestrel::reader::PlotStore& store, std::size_t size, std::size_t most) {
    if (store.PlotTotal < 1 || store.PlotTotal >= store.SlotCount()) std::abort();
    std::size_t total = 0;
    std::size_t totalChars = 0;
    for (int plot = 1; plot <= store.PlotTotal; ++plot) {
        const std::int32_t count = store.plots[plot].LineCount;
        if (count < 0 || store.plots[plot].PlotLines.size() < static_cast<std::size_t>(count) + 1)
            std::abort();
        for (std::int32_t k = 1; k <= count; ++k) {
            const auto& l = store.Line(plot, k);
            if (!std::isfinite(l.X1) || !std::isfinite(l.Y1) || !std::isfinite(l.X2) ||
                !std::isfinite(l.Y2)) {
                std::abort();
            }
        }
        total += static_cast<std::size_t>(count);
        // Characters: stored as counted, finite, of the font; each costs a byte of input.
        const std::int32_t chars = store.plots[plot].CharCount;
        if (chars < 0 ||
            (chars > 0 && store.plots[plot].PlotChars.size() <= static_cast<std::size_t>(chars)))
            std::abort();
        for (std::int32_t k = 1; k <= chars; ++k) {
            const auto& c = store.plots[plot].PlotChars[static_cast<std::size_t>(k)];
            for (const float v : {c.X, c.Y, c.WidthX, c.WidthY, c.HeightX, c.HeightY}) {
                if (!std::isfinite(v)) std::abort();
            }
            if (c.Glyph >= kestrel::reader::StrokeFont::Standard().Count()) std::abort();
        }
        totalChars += static_cast<std::size_t>(chars);
    }
    if (total > most || totalChars > size) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kestrel::reader::PlotStore store;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // Basic reading: every stored segment costs at least two bytes of input (",,").
    kestrel::reader::ReadPlotText(store, text, {kestrel::reader::Reading::Basic});
    if (store.PlotTotal != 1) std::abort();
    CheckStore(store, size, size / 2 + 1);

    // Plotter reading: a pair costs two bytes at least (PE's shortest numbers), and so
    // does a command that draws a shape (a chord, say, when the budget is spent); what
    // shapes make beyond that (chords, dashes, hatch lines, outlines) is budgeted per byte.
    const auto generated = kestrel::reader::GeneratedPerByte * static_cast<std::int64_t>(size) +
                           kestrel::reader::GeneratedFloor;
    // A lower segment limit keeps each run short: a few bytes of fine hatching can make a
    // million lines, and reading past the limit is the same code whatever the limit.
    constexpr std::int32_t SegmentLimit = 1 << 12;
    kestrel::reader::ReadPlotText(store, text, {kestrel::reader::Reading::Plotter, SegmentLimit});
    CheckStore(store, size, size / 2 + 1 + static_cast<std::size_t>(generated));

    // Each field between separators is a number text, as x, y and pen texts are.
    std::size_t start = 0;
    for (int fields = 0; start <= text.size() && fields < 256; ++fields) {
        std::size_t end = text.find_first_of(",;", start);
        if (end == std::string_view::npos) end = text.size();
        CheckNumber(text.substr(start, end - start));
        CheckPen(text.substr(start, end - start));
        start = end + 1;
    }
    return 0;
}
