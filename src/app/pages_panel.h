#pragma once

#include <functional>

#include <QDockWidget>

#include "reader/plot_store.h"

class QListView;

namespace kestrel::app {

class PageThumbnails;

// A dockable strip of the file's plots (pages) as thumbnails, drawn as they come into
// sight; the plot shown is highlighted, and a click shows another.
class PagesPanel : public QDockWidget {
    Q_OBJECT

public:
    explicit PagesPanel(QWidget* parent);
    ~PagesPanel() override;

    // The plots of `store`, as a read left them.
    void ShowPlots(const reader::PlotStore& store);
    // Highlights plot `plotNo`.
    void MarkPlot(int plotNo);
    // Plot `plotNo` has changed (turned): its thumbnail is drawn afresh.
    void Redraw(int plotNo);
    // A plot chosen by a click, by its number.
    std::function<void(int)> plotChosen;

    QListView* List() const { return list_; }
    static constexpr int ThumbnailWidth = 96;
    static constexpr int ThumbnailHeight = 72;

private:
    void FollowDockArea(Qt::DockWidgetArea area);

    QListView* list_ = nullptr;
    PageThumbnails* model_ = nullptr;
};

}  // namespace kestrel::app
