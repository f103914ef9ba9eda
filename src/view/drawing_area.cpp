#include "view/drawing_area.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <QPaintEvent>
#include <QPainter>

namespace Kestrel_View {

DrawingArea::DrawingArea(double twipsPerPixel, QWidget* parent)
    : QWidget(parent), twipsPerPixel_(twipsPerPixel) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    FitRasterToSize();
}

const QImage& DrawingArea::Raster() {
    FitRasterToSize();
    return raster_;
}

RasterSurface DrawingArea::Surface() {
    FitRasterToSize();
    // bits() detaches, so the surface never writes into an image shared with a copy.
    auto* pixels = reinterpret_cast<std::uint32_t*>(raster_.bits());
    const int stride = static_cast<int>(raster_.bytesPerLine() / 4);
    return RasterSurface(pixels, raster_.width(), raster_.height(), stride, twipsPerPixel_);
}

void DrawingArea::SetShape(const ShapeRect& shape) {
    shape_ = shape;
    update();
}

void DrawingArea::paintEvent(QPaintEvent* event) {
    FitRasterToSize();
    QPainter painter(this);
    painter.drawImage(event->rect(), raster_, event->rect());
    if (shape_.Visible) {
        const auto px = [this](float twips) {
            return static_cast<int>(std::lround(twips / twipsPerPixel_));
        };
        const int w = std::max(1, px(shape_.Width));
        const int h = std::max(1, px(shape_.Height));
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::NoBrush);
        // drawRect covers w+1 by h+1 pixels with a cosmetic pen; keep it inside the size.
        painter.drawRect(px(shape_.Left), px(shape_.Top), w - 1, h - 1);
    }
}

void DrawingArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitRasterToSize();
}

void DrawingArea::FitRasterToSize() {
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (raster_.size() == size) {
        return;
    }
    QImage resized(size, QImage::Format_RGB32);
    resized.fill(Qt::white);
    if (!raster_.isNull()) {
        const int rows = std::min(raster_.height(), resized.height());
        const int bytes = std::min(raster_.width(), resized.width()) * 4;
        for (int y = 0; y < rows; ++y) {
            std::memcpy(resized.scanLine(y), raster_.constScanLine(y), static_cast<size_t>(bytes));
        }
    }
    raster_ = std::move(resized);
}

}  // namespace Kestrel_View
