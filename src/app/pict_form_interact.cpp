// The drawing area's keyboard, mouse and wheel, and the rotation commands.

#include "app/pict_form.h"

#include <algorithm>

#include <QApplication>
#include <QMenu>
#include <QScrollBar>

#include "app/platform.h"
#include "interact/rotation.h"
#include "reader/rounding.h"
#include "app/drawing_area.h"

namespace kestrel::app {

namespace {

// Windows virtual-key codes the drawing area acts on.
enum KeyCode : int {
    PageUp = 33,
    PageDown = 34,
    LeftArrow = 37,
    UpArrow = 38,
    RightArrow = 39,
    DownArrow = 40,
    Digit2 = 50,
    Digit4 = 52,
    Digit6 = 54,
    Digit8 = 56,
    Keypad2 = 98,
    Keypad4 = 100,
    Keypad6 = 102,
    Keypad8 = 104,
};

enum Button : int { LeftButton = 1, RightButton = 2 };

// The smallest selection, in pixels each way.
constexpr int MinimumSelection = 3;

// One side of the selection, from the start point to the mouse whichever way it went.
// The origin is set first and the size taken against the single-precision value stored.
void Span(float mouse, std::int32_t start, float& origin, float& size) {
    const auto anchor = static_cast<float>(start);
    if (mouse > anchor) {
        origin = anchor;
        size = mouse - origin;
    } else {
        origin = mouse;
        size = anchor - origin;
    }
}

}  // namespace

void PictForm::ConnectPicture3() {
        connect(picture3_, &DrawingArea::keyDown, this, &PictForm::Picture3_KeyDown);
    connect(picture3_, &DrawingArea::mouseDown, this, &PictForm::Picture3_MouseDown);
    connect(picture3_, &DrawingArea::mouseMove, this, &PictForm::Picture3_MouseMove);
    connect(picture3_, &DrawingArea::mouseUp, this, &PictForm::Picture3_MouseUp);
    connect(picture3_, &DrawingArea::wheelTurned, this, &PictForm::Picture3_MouseWheel);
}

void PictForm::PlotMenu15_Click() {
    RunReported([this] {
        interact::RotatePlot(store_, interact::Turn::Right);
        RedrawPlot();
    });
}

void PictForm::PlotMenu16_Click() {
    RunReported([this] {
        interact::RotatePlot(store_, interact::Turn::Left);
        RedrawPlot();
    });
}

void PictForm::PlotMenu17_Click() {
    RunReported([this] {
        interact::RotatePlot(store_, interact::Turn::Half);
        RedrawPlot();
    });
}

void PictForm::Picture3_KeyDown(int keyCode, int) {
    const auto nudge = [this](std::int16_t code) {
        RunReported([this, code] {
            interact::ShiftPlotChars(store_, code);
            DrawPlot();
        });
    };
    switch (keyCode) {
        case PageUp:
            RunReported([this] {
                store_.PlotNo = static_cast<std::int16_t>(std::max(store_.PlotNo - 1, 1));
                DrawPlot();
                ShowPlotStatus();
            });
            break;
        case PageDown:
            RunReported([this] {
                const int next = store_.PlotNo + 1;
                store_.PlotNo = next > store_.PlotTotal ? store_.PlotTotal
                                                        : static_cast<std::int16_t>(next);
                DrawPlot();
                ShowPlotStatus();
            });
            break;
        // The left arrow turns right and the right arrow left.
        case LeftArrow:
            PlotMenu15_Click();
            break;
        case RightArrow:
            PlotMenu16_Click();
            break;
        case DownArrow:
            PlotMenu17_Click();
            break;
        case UpArrow:
            RunReported([this] { DrawPlot(); });
            break;
        case Keypad4:
        case Digit4:
            nudge(10);
            break;
        case Keypad6:
        case Digit6:
            nudge(11);
            break;
        case Keypad2:
        case Digit2:
            nudge(12);
            break;
        case Keypad8:
        case Digit8:
            nudge(13);
            break;
        default:
            break;
    }
}

void PictForm::Picture3_MouseDown(int button, int, float x, float y) {
    if (button == RightButton) {
        interact::ShapeRect shape = picture3_->Shape();
        shape.Visible = true;
        shape.Top = y;
        shape.Left = x;
        shape.Height = 1;
        shape.Width = 1;
        picture3_->SetShape(shape);
    }
    dragStartX_ = reader::RoundedClamped<std::int32_t>(x, reader::Halves::ToEven);
    dragStartY_ = reader::RoundedClamped<std::int32_t>(y, reader::Halves::ToEven);
    if (button == LeftButton) {
        const QPoint at(ToPixels(x), ToPixels(y));
        platform_.PopupMenu(plotMenu10_, picture3_->mapToGlobal(at));
    }
}

void PictForm::Picture3_MouseMove(int button, int, float x, float y) {
    if (store_.PlotName.empty()) {
        return;
    }
    if (button == LeftButton) {
        const QPoint at(ToPixels(x), ToPixels(y));
        platform_.PopupMenu(plotMenu10_, picture3_->mapToGlobal(at));
    } else if (button == RightButton) {
        interact::ShapeRect shape = picture3_->Shape();
        shape.Visible = true;
        Span(y, dragStartY_, shape.Top, shape.Height);
        Span(x, dragStartX_, shape.Left, shape.Width);
        picture3_->SetShape(shape);
    }
}

void PictForm::Picture3_MouseUp(int button, int, float, float) {
    if (button != RightButton) {
        return;
    }
    // The pixels the outline frames, clipped to the raster. Less than 3 x 3 pixels is a
    // click rather than a drag: no selection, so that the next copy or save takes the
    // whole drawing rather than a speck.
    const interact::PixelRect pixels = interact::ShapePixels(picture3_->Shape(), twipsPerPixel_);
    const QRect region = QRect(pixels.left, pixels.top, pixels.width, pixels.height)
                             .intersected(QRect(QPoint(0, 0), picture3_->size()));
    if (region.width() < MinimumSelection || region.height() < MinimumSelection) {
        interact::ShapeRect shape = picture3_->Shape();
        shape.Visible = false;
        picture3_->SetShape(shape);
        picture2_ = QImage();
        return;
    }
    FinishDrawing();  // the selection holds the finished drawing
    picture2_ = picture3_->Raster().copy(region);
}

void PictForm::Picture3_MouseWheel(int steps, bool horizontal) {
    QScrollBar* bar = horizontal ? hscroll1_ : vscroll1_;
    if (bar->isHidden() || steps == 0) {
        return;
    }
    // A notch moves as far as in any Qt scroll area: wheelScrollLines() small steps.
    // Setting the value runs the bar's change handler through valueChanged.
    const long long delta = static_cast<long long>(steps) * QApplication::wheelScrollLines() *
                            bar->singleStep();
    const long long target = std::clamp<long long>(bar->value() - delta, bar->minimum(), bar->maximum());
    bar->setValue(static_cast<int>(target));
}

}  // namespace kestrel::app
