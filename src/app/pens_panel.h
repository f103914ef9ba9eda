#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include <QDockWidget>

#include "interact/plot_facts.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "view/plot_statistics.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace kestrel::app {

// How reading ended, in the window's words.
const char* EarlyEndCaption(interact::EarlyEnd end);

// The plot the panel tells of, and how it was read.
struct ShownPlot {
    const reader::PlotStore* store = nullptr;  // nullptr: nothing loaded
    int slot = 0;
    reader::Reading reading = reader::Reading::Plotter;
    interact::EarlyEnd end = interact::EarlyEnd::None;
};

// A dockable panel: the facts of the plot shown (extents, size, nearest paper, counts,
// distances and plotting time, the reading and how it ended) over the list of its pens,
// each with its colour, width, segments and drawn length, and a box that shows or hides
// the pen in the view.
class PensPanel : public QDockWidget {
    Q_OBJECT

public:
    explicit PensPanel(QWidget* parent);

    // Shows `plot`, the pens `hidden` unticked. The figures are worked out while the panel
    // is shown, and otherwise when it next is.
    void Show(const ShownPlot& plot, const std::vector<std::int16_t>& hidden);
    // The plots have been read afresh: figures worked out before no longer hold.
    void Forget() { known_.clear(); }
    // A tick changed: the pens now hidden, sorted.
    std::function<void(const std::vector<std::int16_t>&)> hiddenChanged;

    // For tests: fact `row` (0-based, as the captions list them) and the pen list.
    QString Fact(int row) const;
    QTreeWidget* PenList() const { return pens_; }

private:
    void Refresh();
    void ShowFacts(const view::PlotStatistics& stats);
    void ShowPens(const view::PlotStatistics& stats);
    void PenTicked(QTreeWidgetItem* item);

    ShownPlot plot_;
    std::vector<std::int16_t> hidden_;
    bool stale_ = true;
    // The figures of the plots worked out so far, by slot: turning a plot or stepping back to
    // it does not change them, and a large plot takes a while.
    std::unordered_map<int, view::PlotStatistics> known_;
    std::array<QLabel*, 12> facts_{};
    QTreeWidget* pens_ = nullptr;
};

}  // namespace kestrel::app
