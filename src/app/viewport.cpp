#include "app/viewport.h"

#include <QScrollBar>
#include <QSignalBlocker>

#include "app/drawing_area.h"
#include "reader/rounding.h"
#include "view/view_transform.h"

namespace kestrel::app {

Viewport::Viewport(double twipsPerPixel, std::function<void(bool, int)> barMoved, QWidget* parent)
    : QWidget(parent), twipsPerPixel_(twipsPerPixel) {
    setObjectName("Picture1");
    setAutoFillBackground(true);
    area_ = new DrawingArea(twipsPerPixel, this);
    area_->setObjectName("Picture3");
    horizontalBar_ = new QScrollBar(Qt::Horizontal, this);
    horizontalBar_->setObjectName("HScroll1");
    verticalBar_ = new QScrollBar(Qt::Vertical, this);
    verticalBar_->setObjectName("VScroll1");
    for (QScrollBar* bar : {horizontalBar_, verticalBar_}) {
        bar->hide();
        bar->setRange(0, 0);
        const bool horizontal = bar == horizontalBar_;
        connect(bar, &QScrollBar::valueChanged, this,
                [barMoved, horizontal](int value) { barMoved(horizontal, value); });
    }
}

int Viewport::ToPixels(double twips) const { return reader::TwipsToPixels(twips, twipsPerPixel_); }

void Viewport::ApplyScrollBar(QScrollBar* bar, const view::ScrollBarState& state,
                              const view::Rect& viewport) {
    bar->setRange(0, state.maximum);
    bar->setValue(state.value);
    bar->setPageStep(state.largeStep);
    bar->setSingleStep(state.smallStep);
    // Bar positions are relative to the client area; the bars live in the viewport.
    const view::Rect& g = state.geometry;
    bar->setGeometry(ToPixels(g.left - viewport.left), ToPixels(g.top - viewport.top),
                     ToPixels(g.width), ToPixels(g.height));
    bar->setVisible(state.visible);
    bar->raise();
}

void Viewport::Apply(const view::ViewLayout& layout) {
    // The layout already holds the outcome of every value change, so the bars' own
    // signals would only repeat it.
    const QSignalBlocker blockH(horizontalBar_);
    const QSignalBlocker blockV(verticalBar_);
    // Only the part of the area in the viewport is a widget.
    area_->SetArea(view::PixelsOf(layout.area, twipsPerPixel_),
                   QSize(ToPixels(layout.viewport.width), ToPixels(layout.viewport.height)));
    ApplyScrollBar(horizontalBar_, layout.hscroll, layout.viewport);
    ApplyScrollBar(verticalBar_, layout.vscroll, layout.viewport);
}

}  // namespace kestrel::app
