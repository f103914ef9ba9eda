#include "interact/plot_status.h"

#include <string_view>

namespace kestrel::interact {

namespace {

constexpr std::string_view PlotFilesLabel = "PLOT Files : ";
constexpr std::string_view LinesLabel = "L/S : ";
constexpr std::string_view Separator = " / ";
constexpr std::string_view PlotEntryLabel = "PLOT No.";

}  // namespace

std::string PlotStatusText(std::int16_t plotNo, std::int16_t plotTotal) {
    std::string s(PlotFilesLabel);
    s += std::to_string(plotNo);
    s += Separator;
    s += std::to_string(plotTotal);
    return s;
}

std::string LineStatusText(const reader::PlotStore& store) {
    // A plot number without a slot shows empty counts rather than failing the caller.
    const bool valid = store.ValidSlot(store.PlotNo);
    std::string s(LinesLabel);
    s += std::to_string(valid ? store.plots[store.PlotNo].LineCount : 0);
    s += Separator;
    s += std::to_string(valid ? store.plots[store.PlotNo].CharCount : 0);
    return s;
}

std::vector<std::string> PlotMenuCaptions(std::int16_t plotTotal) {
    // Entry 1 stays even for a file without plots; the rest follow the plot count.
    std::vector<std::string> captions;
    captions.reserve(plotTotal > 1 ? static_cast<std::size_t>(plotTotal) : 1);
    for (int i = 1; i == 1 || i <= plotTotal; ++i) {
        captions.push_back(std::string(PlotEntryLabel) + std::to_string(i));
    }
    return captions;
}

}  // namespace kestrel::interact
