#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include "interact/selection.h"
#include "reader/units.h"
#include "view/raster_surface.h"

namespace kestrel::app {

// The Windows virtual-key code of a key press: Page Up/Down 33/34, End/Home 35/36,
// arrows 37-40, digits 48-57, letters 65-90, keypad digits 96-105; 0 for other keys.
// `scanCode` is the native scan code, and `xkbScanCodes` says it is an X keycode
// (xcb, Wayland): then a digit-row key keeps its digit's code whatever symbol Shift
// or the layout puts on it.
int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 scanCode, bool xkbScanCodes);

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
    view::RasterSurface Surface();

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

private:
    // A picture box keeps its image when it is resized: old pixels stay at the
    // top-left, new ones are white, nothing is scaled or redrawn.
    void FitRasterToSize();

    double twipsPerPixel_ = reader::ScreenTwipsPerPixel;
    QImage raster_;
    interact::ShapeRect shape_;
    QPoint wheelRest_;  // eighths of a degree not yet making a whole notch
};

}  // namespace kestrel::app
