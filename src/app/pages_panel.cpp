#include "app/pages_panel.h"

#include <vector>

#include <QAbstractListModel>
#include <QImage>
#include <QListView>
#include <QSignalBlocker>

#include "app/captions.h"
#include "interact/plot_status.h"
#include "reader/units.h"
#include "view/plot_drawing.h"
#include "view/raster_surface.h"

namespace kestrel::app {

// The plots as list entries; a thumbnail is drawn when the view first asks for it, so
// that only those in sight are ever drawn.
class PageThumbnails : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void Reset(const reader::PlotStore& store) {
        beginResetModel();
        store_ = &store;
        count_ = std::max<int>(0, store.PlotTotal);
        thumbnails_.assign(static_cast<std::size_t>(count_), QImage());
        endResetModel();
    }
    void Forget(int row) {
        if (row < 0 || row >= count_) return;
        thumbnails_[static_cast<std::size_t>(row)] = QImage();
        emit dataChanged(index(row), index(row), {Qt::DecorationRole});
    }
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : count_; }
    QVariant data(const QModelIndex& index, int role) const override {
        const int row = index.row();
        if (!index.isValid() || row >= count_) return {};
        if (role == Qt::DisplayRole) return QStringLiteral("%1").arg(row + 1);
        if (role != Qt::DecorationRole) return {};
        QImage& thumbnail = thumbnails_[static_cast<std::size_t>(row)];
        if (thumbnail.isNull()) thumbnail = Draw(row + 1);
        return thumbnail;
    }

private:
    // Plot `slot` fitted into a thumbnail, in hair-lines.
    QImage Draw(int slot) const {
        QImage image(PagesPanel::ThumbnailWidth, PagesPanel::ThumbnailHeight, QImage::Format_RGB32);
        view::RasterSurface surface(reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
                                    image.height(), static_cast<int>(image.bytesPerLine() / 4),
                                    reader::ScreenTwipsPerPixel);
        surface.Clear();
        if (store_ == nullptr || !store_->ValidSlot(slot)) return image;
        const view::FitTransform fit =
            view::ComputeFit(*store_, slot, surface.Width(), surface.Height());
        view::WalkOptions options;
        options.map = {fit.ox, fit.oy, fit.minX, fit.maxY, fit.s, -fit.s};
        options.labelDetail = reader::ScreenTwipsPerPixel;
        options.penWidths = false;
        view::PlotWalk(*store_, slot, options).Continue(*store_, surface);
        return image;
    }

    const reader::PlotStore* store_ = nullptr;
    int count_ = 0;
    mutable std::vector<QImage> thumbnails_;
};

namespace {

// A strip one thumbnail deep, however it lies.
class PageStrip : public QListView {
public:
    using QListView::QListView;
    QSize sizeHint() const override {
        const int deep = PagesPanel::ThumbnailHeight + 2 * fontMetrics().height() + 16;
        return flow() == LeftToRight ? QSize(4 * PagesPanel::ThumbnailWidth, deep)
                                     : QSize(PagesPanel::ThumbnailWidth + 32, 3 * deep);
    }
};

}  // namespace

PagesPanel::PagesPanel(QWidget* parent)
    : QDockWidget(QString::fromUtf8(PagesPanelCaption), parent),
      list_(new PageStrip(this)),
      model_(new PageThumbnails(this)) {
    setObjectName("PagesPanel");
    list_->setObjectName("PageList");
    list_->setModel(model_);
    list_->setViewMode(QListView::IconMode);
    list_->setIconSize(QSize(ThumbnailWidth, ThumbnailHeight));
    list_->setMovement(QListView::Static);
    list_->setResizeMode(QListView::Adjust);
    list_->setUniformItemSizes(true);
    list_->setWrapping(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    setWidget(list_);
    connect(list_, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (plotChosen) plotChosen(index.row() + 1);
    });
    connect(this, &QDockWidget::dockLocationChanged, this, &PagesPanel::FollowDockArea);
    FollowDockArea(Qt::BottomDockWidgetArea);
}

PagesPanel::~PagesPanel() = default;

void PagesPanel::FollowDockArea(Qt::DockWidgetArea area) {
    // A strip along the side it is docked to.
    const bool across = area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
    list_->setFlow(across ? QListView::LeftToRight : QListView::TopToBottom);
}

void PagesPanel::ShowPlots(const reader::PlotStore& store) { model_->Reset(store); }

void PagesPanel::MarkPlot(int plotNo) {
    const QModelIndex index = model_->index(plotNo - 1);
    const QSignalBlocker quiet(list_->selectionModel());
    if (!index.isValid()) {
        list_->selectionModel()->clearSelection();
        return;
    }
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    list_->scrollTo(index);
}

void PagesPanel::Redraw(int plotNo) { model_->Forget(plotNo - 1); }

}  // namespace kestrel::app
