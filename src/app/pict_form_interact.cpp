// The drawing area's keyboard, mouse and wheel, and the rotation commands.

#include "app/pict_form.h"

#include <algorithm>

#include <QApplication>
#include <QMenu>
#include <QScrollBar>

#include "app/captions.h"
#include "app/drawing_area.h"
#include "app/pages_panel.h"
#include "app/platform.h"
#include "app/status_panels.h"
#include "app/stepwise_drawing.h"
#include "app/viewport.h"
#include "interact/navigation.h"
#include "interact/rotation.h"
#include "interact/selection.h"

namespace kestrel::app {

void PictForm::TurnPlot(interact::Turn turn) {
    if (interact::RotatePlot(store_, turn)) {
        // Kept as quarters counter-clockwise, to read the file's own coordinates back.
        QuarterTurns() += turn == interact::Turn::Right ? -1 : turn == interact::Turn::Left ? 1 : 2;
        drawing_->InvalidateIndex();
    }
}

void PictForm::Rotate(interact::Turn turn) {
    TurnPlot(turn);
    RedrawPlot();
    pagesPanel_->Redraw(store_.PlotNo);
    RefreshPanels();  // the extents have turned
    UpdateMarks();
}

void PictForm::PlotMenu15_Click() {
    RunReported([this] { Rotate(interact::Turn::Right); });
}

void PictForm::PlotMenu16_Click() {
    RunReported([this] { Rotate(interact::Turn::Left); });
}

void PictForm::PlotMenu17_Click() {
    RunReported([this] { Rotate(interact::Turn::Half); });
}

void PictForm::Picture3_KeyDown(int keyCode, int) {
    const interact::KeyAction key = interact::ActionOfKey(keyCode);
    switch (key.command) {
        case interact::KeyCommand::PreviousPlot:
        case interact::KeyCommand::NextPlot: {
            // A step that can go no further says so.
            const interact::PlotEdge edge = interact::EdgeOfStep(store_, key.command);
            ShowPlotNumbered(key.command == interact::KeyCommand::NextPlot
                                 ? interact::NextPlotNo(store_)
                                 : interact::PreviousPlotNo(store_));
            if (edge != interact::PlotEdge::None)
                statusBar_->ShowNote(QString::fromUtf8(
                    edge == interact::PlotEdge::First ? FirstPlotNote : LastPlotNote));
            return;
        }
        case interact::KeyCommand::FirstPlot:
            return ShowPlotNumbered(interact::FirstPlotNo(store_));
        case interact::KeyCommand::LastPlot: return ShowPlotNumbered(interact::LastPlotNo(store_));
        case interact::KeyCommand::Cancel: return CancelDrag();
        case interact::KeyCommand::TurnRight: return PlotMenu15_Click();
        case interact::KeyCommand::TurnLeft: return PlotMenu16_Click();
        case interact::KeyCommand::TurnHalf: return PlotMenu17_Click();
        case interact::KeyCommand::Redraw: return RunReported([this] { DrawPlot(); });
        case interact::KeyCommand::NudgeChars:
            return RunReported([this, key] {
                interact::ShiftPlotChars(store_, key.nudgeCode);
                drawing_->InvalidateIndex();
                DrawPlot();
            });
        case interact::KeyCommand::None: return;
    }
}

// Esc: a selection being dragged is given up first, then what the view's gestures hold.
void PictForm::CancelDrag() {
    if (!dragging_ || dragCancelled_) return CancelViewDrag();
    dragCancelled_ = true;
    interact::ShapeRect shape = drawingArea_->Shape();
    shape.Visible = false;
    drawingArea_->SetShape(shape);
    selectionImage_ = QImage();
}

void PictForm::Picture3_MouseDown(int button, int shift, float x, float y) {
    if (button == interact::RightButton) {
        drawingArea_->SetShape(interact::ShapeAtPress(x, y));
        dragging_ = true;
        dragCancelled_ = false;
    }
    dragStartX_ = interact::DragStartOf(x);
    dragStartY_ = interact::DragStartOf(y);
    if (BeginViewDrag(button, shift, x, y)) return;
    if (button == interact::LeftButton) ShowPopupMenu(x, y);
}

void PictForm::Picture3_MouseMove(int button, int, float x, float y) {
    if (store_.PlotName.empty()) {
        return;
    }
    ShowPointer(x, y);
    if (ContinueViewDrag(x, y)) return;
    if (button == interact::LeftButton) {
        ShowPopupMenu(x, y);
    } else if (button == interact::RightButton && !dragCancelled_) {
        drawingArea_->SetShape(interact::ShapeOfDrag(dragStartX_, dragStartY_, x, y));
    }
}

void PictForm::Picture3_MouseUp(int button, int, float x, float y) {
    // A selection's drag ends with its button, whatever else the release ends.
    const bool cancelled = dragCancelled_;
    if (button == interact::RightButton) dragging_ = dragCancelled_ = false;
    if (EndViewDrag(button, x, y) || button != interact::RightButton) {
        return;
    }
    if (cancelled) return;  // Esc ended the drag: no selection
    const view::AreaPixels area = AreaInPixels();
    const auto side = [](double pixels) { return static_cast<int>(std::min(pixels, 2e9)); };
    const interact::PixelRect region = interact::SelectedPixels(
        drawingArea_->Shape(), twipsPerPixel_, side(area.width), side(area.height));
    if (region.Empty()) {
        interact::ShapeRect shape = drawingArea_->Shape();
        shape.Visible = false;
        drawingArea_->SetShape(shape);
        selectionImage_ = QImage();
        return;
    }
    // The selection holds the finished drawing, drawn for it where it reaches past the view.
    selectionImage_ = AreaPart(region.left, region.top, region.width, region.height);
}

void PictForm::ShowPopupMenu(float x, float y) {
    const QPoint at(viewport_->ToPixels(x), viewport_->ToPixels(y));
    platform_.PopupMenu(PlotMenu10(), drawingArea_->mapToGlobal(at));
}

void PictForm::Picture3_MouseWheel(int steps, bool horizontal) {
    // A notch moves as far as in any Qt scroll area: wheelScrollLines() small steps.
    if (view::ScrollByWheel(layout_, horizontal, steps, QApplication::wheelScrollLines()))
        ShowView();
}

}  // namespace kestrel::app
