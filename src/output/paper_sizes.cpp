#include "output/paper_sizes.h"

namespace kestrel::output {

namespace {

constexpr PaperSize Iso[] = {
    {"A5", 148, 210}, {"A4", 210, 297}, {"A3", 297, 420},
    {"A2", 420, 594}, {"A1", 594, 841}, {"A0", 841, 1189},
};

// Inches as ANSI defines the sheets, 25.4 mm each.
constexpr PaperSize Ansi[] = {
    {"ANSI A", 8.5 * 25.4, 11 * 25.4}, {"ANSI B", 11 * 25.4, 17 * 25.4},
    {"ANSI C", 17 * 25.4, 22 * 25.4},  {"ANSI D", 22 * 25.4, 34 * 25.4},
    {"ANSI E", 34 * 25.4, 44 * 25.4},
};

}  // namespace

std::span<const PaperSize> IsoSheets() { return Iso; }

std::span<const PaperSize> AnsiSheets() { return Ansi; }

SheetChoice SmallestSheetFor(double widthMm, double heightMm, std::span<const PaperSize> sheets) {
    // NaN fits no sheet.
    if (!(widthMm >= 0 && heightMm >= 0)) return {};
    // A drawing the sheet's own size fits, whatever the last bit of its inches in mm.
    constexpr double Slack = 1e-6;
    for (const PaperSize& sheet : sheets) {
        const double s = sheet.shortMm + Slack;
        const double l = sheet.longMm + Slack;
        const bool upright = widthMm <= s && heightMm <= l;
        const bool turned = widthMm <= l && heightMm <= s;
        if (upright && (!turned || heightMm >= widthMm)) return {&sheet, false};
        if (turned) return {&sheet, true};
    }
    return {};
}

}  // namespace kestrel::output
