#pragma once

#include <optional>
#include <string>
#include <vector>

#include "output/output_file.h"
#include "reader/error_number.h"
#include "reader/plot_store.h"

namespace kestrel::output {

enum class VectorFormat { Svg, Pdf };

// One plotter unit on the plotter's paper.
inline constexpr double MmPerPlotterUnit = 0.025;
// Blank paper around a plot drawn one to one, and at most around a fitted one.
inline constexpr double PageMarginMm = 5;
// Longer than any roll of plotter paper; pages beyond it are refused rather than written.
inline constexpr double MaxPageMm = 500'000;

// Paper to fit each plot into, in millimetres; 0 x 0 draws one to one instead.
struct FitPaper {
    double widthMm = 0;
    double heightMm = 0;
};

// Where a plot lies on its page.
struct PageLayout {
    double widthMm = 0;
    double heightMm = 0;
    double mmPerUnit = MmPerPlotterUnit;  // paper millimetres per plotter unit
    double leftMm = 0;                    // where the plot's MinX lands, from the left edge
    double topMm = 0;                     // where its MaxY lands, from the top edge
};

// The page of plot `slot`: one to one, the extents and a margin all round; or `paper`
// with the plot as large as the margins allow, centred. A plot without segments or
// characters (or a slot that does not exist) gets a blank page. Nothing when the page
// would exceed MaxPageMm.
std::optional<PageLayout> LayOutPage(const reader::PlotStore& store, int slot, FitPaper paper);

enum class VectorOutcome { Written, TooLarge, WriteFailed };

struct VectorResult {
    VectorOutcome outcome = VectorOutcome::Written;
    int error = 0;  // with WriteFailed: the errno of the failure
};

// Writes plots `slots` as strokes in their pens' styles, each run of joined segments of
// one pen a single path, the labels' strokes after them: an SVG holds the first plot, a
// PDF one page per plot. No slots give one blank page. An existing file at `path` stays
// as it was when writing fails.
VectorResult WriteVector(const std::string& path, VectorFormat format,
                         const reader::PlotStore& store, const std::vector<int>& slots,
                         FitPaper paper = {});

// The save command's writer, one to one and replacing a file only once written:
// ErrorNumber::None, or the number of the failure (see SaveErrorNumber; a page too large
// gives FileWriteError).
reader::ErrorNumber SaveVector(const std::string& path, VectorFormat format,
                               const reader::PlotStore& store, const std::vector<int>& slots);

}  // namespace kestrel::output
