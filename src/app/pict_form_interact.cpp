// The drawing area's keyboard, mouse and wheel, and the rotation commands.

#include "app/pict_form.h"

#include <algorithm>

#include <QApplication>
#include <QMenu>
#include <QScrollBar>

#include "app/platform.h"
#include "interact/navigation.h"
#include "interact/rotation.h"
#include "interact/selection.h"
#include "app/drawing_area.h"

namespace kestrel::app {

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
    const interact::KeyAction key = interact::ActionOfKey(keyCode);
    switch (key.command) {
        case interact::KeyCommand::PreviousPlot: return ShowPlotNumbered(interact::PreviousPlotNo(store_));
        case interact::KeyCommand::NextPlot: return ShowPlotNumbered(interact::NextPlotNo(store_));
        case interact::KeyCommand::TurnRight: return PlotMenu15_Click();
        case interact::KeyCommand::TurnLeft: return PlotMenu16_Click();
        case interact::KeyCommand::TurnHalf: return PlotMenu17_Click();
        case interact::KeyCommand::Redraw: return RunReported([this] { DrawPlot(); });
        case interact::KeyCommand::NudgeChars:
            return RunReported([this, key] {
                interact::ShiftPlotChars(store_, key.nudgeCode);
                DrawPlot();
            });
        case interact::KeyCommand::None: return;
    }
}

void PictForm::Picture3_MouseDown(int button, int, float x, float y) {
    if (button == interact::RightButton) picture3_->SetShape(interact::ShapeAtPress(x, y));
    dragStartX_ = interact::DragStartOf(x);
    dragStartY_ = interact::DragStartOf(y);
    if (button == interact::LeftButton) ShowPopupMenu(x, y);
}

void PictForm::Picture3_MouseMove(int button, int, float x, float y) {
    if (store_.PlotName.empty()) {
        return;
    }
    if (button == interact::LeftButton) {
        ShowPopupMenu(x, y);
    } else if (button == interact::RightButton) {
        picture3_->SetShape(interact::ShapeOfDrag(dragStartX_, dragStartY_, x, y));
    }
}

void PictForm::Picture3_MouseUp(int button, int, float, float) {
    if (button != interact::RightButton) {
        return;
    }
    const interact::PixelRect region = interact::SelectedPixels(picture3_->Shape(), twipsPerPixel_,
                                                                picture3_->width(), picture3_->height());
    if (region.Empty()) {
        interact::ShapeRect shape = picture3_->Shape();
        shape.Visible = false;
        picture3_->SetShape(shape);
        picture2_ = QImage();
        return;
    }
    FinishDrawing();  // the selection holds the finished drawing
    picture2_ = picture3_->Raster().copy(region.left, region.top, region.width, region.height);
}

void PictForm::ShowPopupMenu(float x, float y) {
    const QPoint at(ToPixels(x), ToPixels(y));
    platform_.PopupMenu(plotMenu10_, picture3_->mapToGlobal(at));
}

void PictForm::Picture3_MouseWheel(int steps, bool horizontal) {
    // A notch moves as far as in any Qt scroll area: wheelScrollLines() small steps.
    if (view::ScrollByWheel(layout_, horizontal, steps, QApplication::wheelScrollLines())) ApplyLayout();
}

}  // namespace kestrel::app
