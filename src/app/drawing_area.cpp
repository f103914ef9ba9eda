#include "app/drawing_area.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "reader/rounding.h"

namespace kestrel::app {

namespace {

// X keycodes of the digit row: evdev codes 2..11 (keys 1..9, 0) plus 8.
constexpr quint32 XkbDigitOne = 10;
constexpr quint32 XkbDigitZero = 19;

int ShiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

int ButtonCode(Qt::MouseButtons buttons) {
    return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) |
           (buttons.testFlag(Qt::RightButton) ? 2 : 0) |
           (buttons.testFlag(Qt::MiddleButton) ? 4 : 0);
}

QRect ToQRect(const interact::PixelRect& r) { return QRect(r.left, r.top, r.width, r.height); }

}  // namespace

int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers, quint32 scanCode,
                   bool xkbScanCodes) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (xkbScanCodes && !keypad && scanCode >= XkbDigitOne && scanCode <= XkbDigitZero) {
        return scanCode == XkbDigitZero ? '0' : static_cast<int>('1' + (scanCode - XkbDigitOne));
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return keypad ? 96 + (qtKey - Qt::Key_0) : '0' + (qtKey - Qt::Key_0);
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return 'A' + (qtKey - Qt::Key_A);
    }
    switch (qtKey) {
        case Qt::Key_Escape: return 27;
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        default: return 0;
    }
}

DrawingArea::DrawingArea(double twipsPerPixel, QWidget* parent)
    : QWidget(parent), twipsPerPixel_(twipsPerPixel) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // The pointer's position is shown as it moves, buttons held or not.
    setMouseTracking(true);
    FitRasterToSize();
}

const QImage& DrawingArea::Raster() {
    FitRasterToSize();
    return raster_;
}

view::RasterSurface DrawingArea::Surface() {
    FitRasterToSize();
    // bits() detaches, so the surface never writes into an image shared with a copy.
    auto* pixels = reinterpret_cast<std::uint32_t*>(raster_.bits());
    const int stride = static_cast<int>(raster_.bytesPerLine() / 4);
    view::RasterSurface surface(pixels, raster_.width(), raster_.height(), stride, twipsPerPixel_);
    surface.SetOrigin(shown_.left, shown_.top);
    return surface;
}

void DrawingArea::SetArea(const view::AreaPixels& area, const QSize& viewport) {
    // The part in the viewport: the area's pixels from its edge or the viewport's, whichever
    // is further in.
    const double left = std::max(area.left, 0.0), top = std::max(area.top, 0.0);
    const double right = std::min(area.left + area.width, static_cast<double>(viewport.width()));
    const double bottom = std::min(area.top + area.height, static_cast<double>(viewport.height()));
    const QRect part(static_cast<int>(left), static_cast<int>(top),
                     static_cast<int>(std::max(0.0, right - left)),
                     static_cast<int>(std::max(0.0, bottom - top)));
    shown_ = {area.width, area.height, left - area.left, top - area.top};
    setGeometry(part);
}

namespace {

// The pixels the marks cover, with the line's width and its end dots.
QRect MarkBounds(const OverlayMarks& marks) {
    constexpr double Margin = 4;
    const auto around = [](const QRectF& r) {
        return r.normalized().adjusted(-Margin, -Margin, Margin, Margin).toAlignedRect();
    };
    QRect covered;
    if (marks.rectangle) covered = around(marks.zoom);
    if (marks.line) covered |= around(QRectF(marks.measure.p1(), marks.measure.p2()));
    return covered;
}

}  // namespace

void DrawingArea::SetMarks(const OverlayMarks& marks) {
    if (marks == marks_) return;
    // Only where the marks were and are: they follow the pointer over a large raster.
    const QRect changed = MarkBounds(marks_) | MarkBounds(marks);
    marks_ = marks;
    update(changed);
}

QPointF DrawingArea::AreaTwips(const QPointF& local) const {
    return (local + QPointF(shown_.left, shown_.top)) * twipsPerPixel_;
}

void DrawingArea::SetShape(const interact::ShapeRect& shape) {
    shape_ = shape;
    update();
}

void DrawingArea::SetPreview(const QImage& picture, const QTransform& placed) {
    preview_ = picture;
    previewPlace_ = placed;
    update();
}

void DrawingArea::ClearPreview() {
    if (preview_.isNull()) return;
    preview_ = QImage();
    update();
}

void DrawingArea::paintEvent(QPaintEvent* event) {
    FitRasterToSize();
    QPainter painter(this);
    if (preview_.isNull()) {
        painter.drawImage(event->rect(), raster_, event->rect());
    } else {
        painter.fillRect(event->rect(), Qt::white);
        painter.setTransform(previewPlace_);
        painter.drawImage(0, 0, preview_);
        painter.resetTransform();
    }
    if (shape_.Visible) {
        const auto px = [this](float twips) {
            return reader::TwipsToPixels(twips, twipsPerPixel_);
        };
        // The outline frames the pixels a release copies; a zero side still shows a line.
        QRect r = ToQRect(interact::ShapePixels(shape_, twipsPerPixel_));
        if (r.isEmpty()) {
            r = QRect(px(shape_.Left), px(shape_.Top), std::max(1, px(shape_.Width)),
                      std::max(1, px(shape_.Height)));
        }
        r.translate(-static_cast<int>(shown_.left), -static_cast<int>(shown_.top));
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::NoBrush);
        // drawRect covers w+1 by h+1 pixels with a cosmetic pen; keep it inside the size.
        painter.drawRect(r.left(), r.top(), r.width() - 1, r.height() - 1);
    }
    PaintMarks(painter);
}

void DrawingArea::PaintMarks(QPainter& painter) const {
    if (marks_.rectangle) {
        painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(marks_.zoom);
    }
    if (marks_.line) {
        // Red, which no pen of the plot's own colours is, with a dot at each end.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(255, 0, 0), 1.5));
        painter.drawLine(marks_.measure);
        painter.setBrush(QColor(255, 0, 0));
        for (const QPointF& end : {marks_.measure.p1(), marks_.measure.p2()})
            painter.drawEllipse(end, 2.5, 2.5);
    }
}

void DrawingArea::keyPressEvent(QKeyEvent* event) {
    static const bool xkb = QGuiApplication::platformName() == QLatin1String("xcb") ||
                            QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    const int code = VirtualKeyCode(event->key(), event->modifiers(), event->nativeScanCode(), xkb);
    if (code == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Auto-repeat arrives as further presses; each one acts.
    emit keyDown(code, ShiftState(event->modifiers()));
}

void DrawingArea::mousePressEvent(QMouseEvent* event) {
    const QPointF p = AreaTwips(event->position());
    emit mouseDown(ButtonCode(event->button()), ShiftState(event->modifiers()),
                   static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void DrawingArea::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = AreaTwips(event->position());
    emit mouseMove(ButtonCode(event->buttons()), ShiftState(event->modifiers()),
                   static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void DrawingArea::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = AreaTwips(event->position());
    emit mouseUp(ButtonCode(event->button()), ShiftState(event->modifiers()),
                 static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void DrawingArea::wheelEvent(QWheelEvent* event) {
    // 120 eighths of a degree make a notch; finer wheels add up until they make one.
    wheelRest_ += event->angleDelta();
    const int across = wheelRest_.x() / 120;
    const int down = wheelRest_.y() / 120;
    wheelRest_ -= QPoint(across * 120, down * 120);
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        const QPointF p = AreaTwips(event->position());
        if (down != 0) emit wheelZoom(down, static_cast<float>(p.x()), static_cast<float>(p.y()));
        event->accept();
        return;
    }
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (across != 0) {
        emit wheelTurned(across, true);
    }
    if (down != 0) {
        emit wheelTurned(down, shift);
    }
    event->accept();
}

void DrawingArea::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit pointerLeft();
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

}  // namespace kestrel::app
