#include "output/page_layout.h"

#include <algorithm>
#include <cmath>

namespace kestrel::output {

namespace {

using reader::PlotStore;

// Whether the plot has anything drawn: its extents mean something only then.
bool HasDrawing(const PlotStore& store, int slot) {
    return slot >= 1 && store.ValidSlot(slot) &&
           (view::StoredLineCount(store, slot) > 0 || store.plots[slot].CharCount > 0);
}

// Width of the range lo..hi in double precision (single precision could overflow);
// 0 for none, as an empty plot's reset extents give.
double Extent(float lo, float hi) {
    const double d = static_cast<double>(hi) - static_cast<double>(lo);
    return d > 0 ? d : 0;
}

}  // namespace

std::optional<PageLayout> LayOutPage(const PlotStore& store, int slot, FitPaper paper) {
    double dx = 0;
    double dy = 0;
    if (HasDrawing(store, slot)) {
        dx = Extent(store.plots[slot].MinX, store.plots[slot].MaxX);
        dy = Extent(store.plots[slot].MinY, store.plots[slot].MaxY);
    }
    PageLayout page;
    if (paper.widthMm <= 0 || paper.heightMm <= 0) {
        page.widthMm = dx * reader::MmPerPlotterUnit + 2 * PageMarginMm;
        page.heightMm = dy * reader::MmPerPlotterUnit + 2 * PageMarginMm;
        page.leftMm = PageMarginMm;
        page.topMm = PageMarginMm;
    } else {
        // Small paper keeps most of itself for the plot.
        const double margin =
            std::min(PageMarginMm, 0.05 * std::min(paper.widthMm, paper.heightMm));
        const double sx = dx > 0 ? (paper.widthMm - 2 * margin) / dx : HUGE_VAL;
        const double sy = dy > 0 ? (paper.heightMm - 2 * margin) / dy : HUGE_VAL;
        const double s = std::min(sx, sy);
        if (std::isfinite(s) && s > 0) page.mmPerUnit = s;  // a single point keeps 1:1
        page.widthMm = paper.widthMm;
        page.heightMm = paper.heightMm;
        page.leftMm = (paper.widthMm - page.mmPerUnit * dx) / 2;
        page.topMm = (paper.heightMm - page.mmPerUnit * dy) / 2;
    }
    if (!(page.widthMm <= MaxPageMm && page.heightMm <= MaxPageMm)) return std::nullopt;
    return page;
}

std::optional<std::vector<Page>> LayOutPages(const PlotStore& store, const std::vector<int>& slots,
                                             FitPaper paper) {
    // Slot 0 is never filled: it stands for the blank page of a file without plots.
    const std::vector<int> plots = slots.empty() ? std::vector<int>{0} : slots;
    std::vector<Page> pages;
    for (const int slot : plots) {
        const auto layout = LayOutPage(store, slot, paper);
        if (!layout) return std::nullopt;
        pages.push_back({slot, *layout});
    }
    return pages;
}

view::WalkOptions PageWalk(const PlotStore& store, const Page& page, double unitsPerMm, bool yUp) {
    const PageLayout& layout = page.layout;
    const double scale = layout.mmPerUnit * unitsPerMm;
    view::WalkOptions walk;
    walk.map.originX = layout.leftMm * unitsPerMm;
    walk.map.originY = (yUp ? layout.heightMm - layout.topMm : layout.topMm) * unitsPerMm;
    walk.map.scaleX = scale;
    walk.map.scaleY = yUp ? scale : -scale;
    if (HasDrawing(store, page.slot)) {
        walk.map.fromX = store.plots[page.slot].MinX;
        walk.map.fromY = store.plots[page.slot].MaxY;
    }
    return walk;
}

}  // namespace kestrel::output
