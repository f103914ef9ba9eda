// Drawing into Picture3 in steps, so that a large plot does not stop the window: the
// first step runs at once, the rest between events, and the finished raster is the one a
// drawing in one go gives.

#include "app/pict_form.h"

#include <limits>

#include <QCoreApplication>
#include <QProgressBar>
#include <QTimer>

#include "app/captions.h"
#include "app/plot_loader.h"
#include "app/drawing_area.h"

namespace kestrel::app {

namespace {

// A step writes about this many pixels (a few milliseconds); each line costs as much
// as a few pixels besides, for its transform and set-up.
constexpr double StepPixels = 4'000'000;
constexpr double LinePixels = 16;

}  // namespace

void PictForm::StartDrawing(bool framed, const view::FitTransform* fit) {
    drawTimer_->stop();
    view::RasterSurface surface = picture3_->Surface();
    const view::FitTransform placed =
        fit != nullptr ? *fit
                       : view::ComputeFit(store_, store_.PlotNo, surface.Width(), surface.Height());
    drawing_ = view::BeginDrawing(store_, surface, placed, framed);
    drawingFramed_ = framed;
    drawn_ = !store_.PlotName.empty();
    drawingSize_ = picture3_->size();
    DrawNextLines();
}

void PictForm::DrawNextLines() {
    if (!drawing_.Finished()) {
        if (picture3_->size() != drawingSize_) {
            // The area changed under a drawing that nobody restarted: start again in place.
            StartDrawing(drawingFramed_, &drawing_.fit);
            return;
        }
        // The surface is taken afresh for every step: the raster may have been shared
        // (copied to the clipboard, say) in between, and must then not be written through.
        view::RasterSurface surface = picture3_->Surface();
        view::DrawMoreLines(store_, surface, drawing_, StepPixels * twipsPerPixel_,
                                    LinePixels * twipsPerPixel_);
    }
    picture3_->update();
    if (drawing_.Finished()) {
        drawTimer_->stop();
    } else if (!drawTimer_->isActive()) {
        drawTimer_->start();
    }
    ShowProgress();
}

void PictForm::FinishDrawing() {
    if (!drawing_.Finished()) {
        if (picture3_->size() != drawingSize_) StartDrawing(drawingFramed_, &drawing_.fit);
        view::RasterSurface surface = picture3_->Surface();
        view::DrawMoreLines(store_, surface, drawing_, std::numeric_limits<double>::infinity(), 0);
        picture3_->update();
    }
    drawTimer_->stop();
    ShowProgress();
}

bool PictForm::Busy() const { return loader_->Busy() || !drawing_.Finished(); }

void PictForm::ShowProgress() {
    if (loader_->Busy()) {
        progress_->setFormat(QString::fromUtf8(ReadingProgress));
        progress_->setValue(static_cast<int>(loader_->Progress() * 100));
    } else if (!drawing_.Finished()) {
        progress_->setFormat(QString::fromUtf8(DrawingProgress));
        progress_->setValue(static_cast<int>(100.0 * drawing_.Done()));
    } else {
        progressTimer_->stop();
        progress_->hide();
        return;
    }
    progress_->show();
}

}  // namespace kestrel::app
