#pragma once

#include <optional>
#include <vector>

#include "reader/plot_store.h"
#include "reader/units.h"
#include "view/plot_walk.h"

namespace kestrel::output {

// A hair-line on paper, for outputs that have no device hair-line: the finest technical
// pen stands in for it.
inline constexpr double HairLineMm = 0.1;
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
    double mmPerUnit = reader::MmPerPlotterUnit;  // paper millimetres per plotter unit
    double leftMm = 0;                            // where the plot's MinX lands, from the left edge
    double topMm = 0;                             // where its MaxY lands, from the top edge
};

// The page of plot `slot`: one to one, the extents and a margin all round; or `paper`
// with the plot as large as the margins allow, centred. A plot without segments or
// characters (or a slot that does not exist) gets a blank page. Nothing when the page
// would exceed MaxPageMm.
std::optional<PageLayout> LayOutPage(const reader::PlotStore& store, int slot, FitPaper paper);

struct Page {
    int slot = 0;
    PageLayout layout;
};

// A page for each of plots `slots`, no slots giving one blank page; nothing when a page
// would be too large.
std::optional<std::vector<Page>> LayOutPages(const reader::PlotStore& store,
                                             const std::vector<int>& slots, FitPaper paper);

// The walk that draws a page's plot in `unitsPerMm` output units per paper millimetre,
// from the page's top left corner with y growing downwards, or with `yUp` from its bottom
// left corner with y growing upwards.
view::WalkOptions PageWalk(const reader::PlotStore& store, const Page& page, double unitsPerMm,
                           bool yUp = false);

}  // namespace kestrel::output
