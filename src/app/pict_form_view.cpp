// The view: zoom about a point, the centre or a dragged rectangle, panning, measuring, the
// pointer's coordinates, and the pictures of the drawing area that output takes.

#include "app/pict_form.h"

#include <algorithm>
#include <cmath>

#include "app/drawing_area.h"
#include "app/platform.h"
#include "app/status_panels.h"
#include "app/stepwise_drawing.h"
#include "app/viewport.h"
#include "interact/messages.h"
#include "interact/selection.h"
#include "interact/view_status.h"

namespace kestrel::app {

namespace {

// A zoom rectangle narrower or lower than this many pixels is a click, not a choice.
constexpr double SmallestZoomRect = 3;

}  // namespace

void PictForm::ShowView() {
    ApplyLayout();
    drawing_->FollowView();
}

view::AreaPixels PictForm::AreaInPixels() const {
    return view::PixelsOf(layout_.area, twipsPerPixel_);
}

view::FitTransform PictForm::ViewFit() const {
    return view::AreaFit(store_, store_.PlotNo, AreaInPixels(), twipsPerPixel_);
}

int& PictForm::QuarterTurns() {
    if (quarterTurns_.size() < static_cast<std::size_t>(store_.SlotCount()))
        quarterTurns_.resize(static_cast<std::size_t>(store_.SlotCount()));
    return quarterTurns_[store_.ValidSlot(store_.PlotNo) ? store_.PlotNo : 0];
}

view::PlotPoint PictForm::FileAt(float x, float y) const {
    const int slot = store_.ValidSlot(store_.PlotNo) ? store_.PlotNo : 0;
    const int turns =
        static_cast<std::size_t>(slot) < quarterTurns_.size() ? quarterTurns_[slot] : 0;
    return view::FilePoint(view::PlotPointAt(ViewFit(), x, y), turns);
}

void PictForm::ZoomBy(double factor, double x, double y) {
    RunReported([this, factor, x, y] {
        const view::ZoomLimits limits =
            view::ZoomLimitsOf(store_, store_.PlotNo, layout_, twipsPerPixel_);
        if (view::ZoomAbout(layout_, ReadMetrics(), factor, x, y, limits)) {
            ApplyLayout();
            RedrawView();
        }
    });
}

void PictForm::ZoomAtPoint(int steps, float x, float y) {
    // The point in the viewport: the area's twips less how far the area lies off its corner.
    const double left = AreaInPixels().left * twipsPerPixel_;
    const double top = AreaInPixels().top * twipsPerPixel_;
    ZoomBy(std::pow(view::WheelZoomStep, steps), x + left, y + top);
    ShowPointer(x, y);
}

void PictForm::ZoomInStep() { ZoomAtCentre(view::KeyZoomStep); }

void PictForm::ZoomOutStep() { ZoomAtCentre(1 / view::KeyZoomStep); }

void PictForm::ZoomAtCentre(double factor) {
    const view::Rect& v = layout_.viewport;
    const double bar = ReadMetrics().scrollBarThickness;
    ZoomBy(factor, (v.width - (layout_.vscroll.visible ? bar : 0)) / 2,
           (v.height - (layout_.hscroll.visible ? bar : 0)) / 2);
}

void PictForm::ShowPointer(float x, float y) {
    if (store_.PlotName.empty()) return statusBar_->SetPointerText({});
    const view::PlotPoint p = FileAt(x, y);
    statusBar_->SetPointerText(
        QString::fromStdString(interact::PointerText(p.x, p.y, twipsPerPixel_ / ViewFit().s)));
}

void PictForm::ShowMeasure() {
    if (!measured_) return statusBar_->SetMeasureText({});
    statusBar_->SetMeasureText(QString::fromStdString(
        interact::MeasureText(measureTo_.x - measureFrom_.x, measureTo_.y - measureFrom_.y,
                              twipsPerPixel_ / ViewFit().s)));
}

// Shift + left drag measures, Ctrl + left drag picks a rectangle to zoom to, the middle
// button pans; each only while a file is loaded.
bool PictForm::BeginViewDrag(int button, int shift, float x, float y) {
    if (store_.PlotName.empty()) return false;
    viewDrag_ = ViewDrag::None;
    if (button == interact::MiddleButton) {
        viewDrag_ = ViewDrag::Pan;
        drawingArea_->setCursor(Qt::ClosedHandCursor);
    } else if (button == interact::LeftButton && (shift & 1) != 0) {
        viewDrag_ = ViewDrag::Measure;
        measured_ = true;
        measureFrom_ = measureTo_ = FileAt(x, y);
        ShowMeasure();
    } else if (button == interact::LeftButton && (shift & 2) != 0) {
        viewDrag_ = ViewDrag::Zoom;
    } else {
        return false;
    }
    if (viewDrag_ != ViewDrag::Pan) drawingArea_->setCursor(Qt::CrossCursor);
    viewDragX_ = viewDragToX_ = x;
    viewDragY_ = viewDragToY_ = y;
    UpdateMarks();
    return true;
}

bool PictForm::ContinueViewDrag(float x, float y) {
    switch (viewDrag_) {
        case ViewDrag::None: return false;
        case ViewDrag::Pan:
            // The point grabbed stays under the pointer.
            if (view::Pan(layout_, x - viewDragX_, y - viewDragY_)) ShowView();
            return true;
        case ViewDrag::Measure:
            measureTo_ = FileAt(x, y);
            ShowMeasure();
            break;
        case ViewDrag::Zoom: break;
        case ViewDrag::Given: return true;
    }
    viewDragToX_ = x;
    viewDragToY_ = y;
    UpdateMarks();
    return true;
}

bool PictForm::EndViewDrag(int button, float x, float y) {
    if (viewDrag_ == ViewDrag::Given) {
        viewDrag_ = ViewDrag::None;
        return true;
    }
    const bool middle = viewDrag_ == ViewDrag::Pan;
    if (viewDrag_ == ViewDrag::None || (button == interact::MiddleButton) != middle) return false;
    ContinueViewDrag(x, y);
    const ViewDrag ended = viewDrag_;
    viewDrag_ = ViewDrag::None;
    drawingArea_->unsetCursor();
    UpdateMarks();
    const double t = twipsPerPixel_;
    const view::Rect picked{std::min(viewDragX_, x) + AreaInPixels().left * t,
                            std::min(viewDragY_, y) + AreaInPixels().top * t,
                            std::fabs(x - viewDragX_), std::fabs(y - viewDragY_)};
    if (ended == ViewDrag::Zoom && picked.width >= SmallestZoomRect * t &&
        picked.height >= SmallestZoomRect * t) {
        RunReported([this, picked] {
            const view::ZoomLimits limits =
                view::ZoomLimitsOf(store_, store_.PlotNo, layout_, twipsPerPixel_);
            if (view::ZoomToRect(layout_, ReadMetrics(), picked, limits)) {
                ApplyLayout();
                RedrawView();
            }
        });
    }
    return true;
}

void PictForm::CancelViewDrag() {
    if (viewDrag_ == ViewDrag::None || viewDrag_ == ViewDrag::Given) {
        measured_ = false;
    } else {
        // The buttons still held change nothing until they are released.
        if (viewDrag_ == ViewDrag::Measure) measured_ = false;
        viewDrag_ = ViewDrag::Given;
        drawingArea_->unsetCursor();
    }
    ShowMeasure();
    UpdateMarks();
}

void PictForm::ClearMeasure() {
    measured_ = false;
    ShowMeasure();
    UpdateMarks();
}

void PictForm::UpdateMarks() {
    OverlayMarks marks;
    const ShownPart shown = drawingArea_->Shown();
    const double t = twipsPerPixel_;
    const auto local = [&](double x, double y) {
        return QPointF(x / t - shown.left, y / t - shown.top);
    };
    if (measured_ && !store_.PlotName.empty()) {
        const view::FitTransform fit = ViewFit();
        const int turns = -QuarterTurns();
        const view::PlotPoint a = view::AreaPointOf(fit, view::FilePoint(measureFrom_, turns));
        const view::PlotPoint b = view::AreaPointOf(fit, view::FilePoint(measureTo_, turns));
        marks.line = true;
        marks.measure = QLineF(local(a.x, a.y), local(b.x, b.y));
    }
    if (viewDrag_ == ViewDrag::Zoom) {
        marks.rectangle = true;
        marks.zoom =
            QRectF(local(viewDragX_, viewDragY_), local(viewDragToX_, viewDragToY_)).normalized();
    }
    drawingArea_->SetMarks(marks);
}

QImage PictForm::AreaPart(double left, double top, int width, int height) {
    return drawing_->Render(left, top, width, height);
}

std::optional<QImage> PictForm::AreaImage() {
    const view::AreaPixels area = AreaInPixels();
    if (area.width > interact::LargestImageSide || area.height > interact::LargestImageSide) {
        QString text = QString::fromStdString(interact::ImageTooLargeText(area.width, area.height));
        ShowMessageBox(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), true);
        return std::nullopt;
    }
    return AreaPart(0, 0, static_cast<int>(area.width), static_cast<int>(area.height));
}

}  // namespace kestrel::app
