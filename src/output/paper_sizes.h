#pragma once

#include <span>

namespace kestrel::output {

// A standard sheet, in millimetres.
struct PaperSize {
    const char* name;
    double shortMm;
    double longMm;
};

// ISO 216's A sheets and ANSI's sheets (ANSI Y14.1), smallest first.
std::span<const PaperSize> IsoSheets();
std::span<const PaperSize> AnsiSheets();

struct SheetChoice {
    const PaperSize* sheet = nullptr;  // none of the sheets is large enough
    bool landscape = false;            // the long side across
};

// The smallest of `sheets` that holds a drawing `widthMm` x `heightMm`, upright or turned;
// a drawing that fits either way goes the way its own shape does.
SheetChoice SmallestSheetFor(double widthMm, double heightMm, std::span<const PaperSize> sheets);

}  // namespace kestrel::output
