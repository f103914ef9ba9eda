#pragma once

#include <QImage>
#include <QWidget>

#include "view/raster_surface.h"

namespace Kestrel_View {

// The selection rectangle, in the drawing area's twips; visible means a selection exists.
struct ShapeRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    bool Visible = false;
};

// The drawing area `Picture3`: a widget over a persistent raster. Drawing goes into
// the raster; painting only shows it, with the selection rectangle laid over it.
class DrawingArea : public QWidget {
    Q_OBJECT

public:
    explicit DrawingArea(double twipsPerPixel, QWidget* parent = nullptr);

    double TwipsPerPixel() const { return twipsPerPixel_; }

    // The kept image, sized to the widget.
    const QImage& Raster();
    // A surface that draws straight into the raster's pixels; call update() afterwards.
    RasterSurface Surface();

    const ShapeRect& Shape() const { return shape_; }
    void SetShape(const ShapeRect& shape);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A picture box keeps its image when it is resized: old pixels stay at the
    // top-left, new ones are white, nothing is scaled or redrawn.
    void FitRasterToSize();

    double twipsPerPixel_ = 15;
    QImage raster_;
    ShapeRect shape_;
};

}  // namespace Kestrel_View
