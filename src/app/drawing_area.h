#pragma once

#include <QImage>
#include <QLineF>
#include <QRect>
#include <QTransform>
#include <QWidget>

#include "interact/selection.h"
#include "reader/units.h"
#include "view/raster_surface.h"
#include "view/view_transform.h"

namespace kestrel::app {

// The Windows virtual-key code of a key press: Esc 27, Page Up/Down 33/34, End/Home 35/36,
// arrows 37-40, digits 48-57, letters 65-90, keypad digits 96-105; 0 for other keys.
// `scanCode` is the native scan code, and `xkbScanCodes` says it is an X keycode
// (xcb, Wayland): then a digit-row key keeps its digit's code whatever symbol Shift
// or the layout puts on it.
int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 scanCode, bool xkbScanCodes);

// What of the drawing area a raster shows: the area's size in pixels, and the raster's
// top-left pixel in it.
struct ShownPart {
    double areaWidth = 0;
    double areaHeight = 0;
    double left = 0;
    double top = 0;
    bool operator==(const ShownPart&) const = default;
};

// Marks laid over the drawing, in the widget's pixels: the measuring line and the rectangle
// a zoom is dragged over.
struct OverlayMarks {
    bool line = false;
    QLineF measure;
    bool rectangle = false;
    QRectF zoom;
    bool operator==(const OverlayMarks&) const = default;
};

// The drawing area `Picture3`. The area itself may be far larger than any widget or image:
// the widget covers the part of it that shows in the viewport, over a persistent raster of
// that part. Drawing goes into the raster; painting only shows it, with the selection
// rectangle and the marks laid over it.
class DrawingArea : public QWidget {
    Q_OBJECT

public:
    explicit DrawingArea(double twipsPerPixel, QWidget* parent = nullptr);

    double TwipsPerPixel() const { return twipsPerPixel_; }

    // The kept image of the part shown, sized to the widget.
    const QImage& Raster();
    // A surface that draws straight into the raster's pixels, positions in the whole area's
    // twips; call update() afterwards.
    view::RasterSurface Surface();

    // Places the widget over the part of `area` (pixels, relative to the viewport) that a
    // viewport of `viewport` pixels shows. The raster keeps its pixels where they were.
    void SetArea(const view::AreaPixels& area, const QSize& viewport);
    ShownPart Shown() const { return shown_; }
    void SetMarks(const OverlayMarks& marks);
    // While the view is drawn afresh after it moved or zoomed, its last finished picture is
    // shown instead, `placed` where it lies in the new view.
    void SetPreview(const QImage& picture, const QTransform& placed);
    void ClearPreview();

    const interact::ShapeRect& Shape() const { return shape_; }
    void SetShape(const interact::ShapeRect& shape);

signals:
    // Input in the window's terms: Windows key codes, buttons 1 = left, 2 = right,
    // 4 = middle (summed for the held ones in a move), shift 1 = Shift, 2 = Ctrl,
    // 4 = Alt, positions in twips from the area's top-left corner.
    void keyDown(int keyCode, int shift);
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int button, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);
    // The pointer left the widget.
    void pointerLeft();
    // Whole wheel notches, positive away from the user; sideways for a horizontal
    // wheel or with Shift held.
    void wheelTurned(int steps, bool horizontal);
    // The same with Ctrl held: whole notches at the mouse position, in twips.
    void wheelZoom(int steps, float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // A picture box keeps its image when it is resized: old pixels stay at the
    // top-left, new ones are white, nothing is scaled or redrawn.
    void FitRasterToSize();
    // A position of the widget as twips of the whole area.
    QPointF AreaTwips(const QPointF& local) const;
    void PaintMarks(QPainter& painter) const;

    double twipsPerPixel_ = reader::ScreenTwipsPerPixel;
    QImage raster_;
    interact::ShapeRect shape_;
    ShownPart shown_;
    OverlayMarks marks_;
    QImage preview_;
    QTransform previewPlace_;
    QPoint wheelRest_;  // eighths of a degree not yet making a whole notch
};

}  // namespace kestrel::app
