#include "app/stepwise_drawing.h"

#include <limits>

#include <QTimer>

#include "app/drawing_area.h"

namespace kestrel::app {

namespace {

// A step writes about this many pixels (a few milliseconds).
constexpr double StepPixels = 4'000'000;

}  // namespace

StepwiseDrawing::StepwiseDrawing(const reader::PlotStore& store,
                                 const view::DisplaySettings& settings, DrawingArea& area,
                                 std::function<void()> progressed, QObject* parent)
    : QObject(parent),
      store_(store),
      settings_(settings),
      area_(area),
      progressed_(std::move(progressed)),
      timer_(new QTimer(this)) {
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &StepwiseDrawing::DrawNextLines);
}

void StepwiseDrawing::Start(bool framed, const view::FitTransform* fit) {
    timer_->stop();
    view::RasterSurface surface = area_.Surface();
    const view::FitTransform placed =
        fit != nullptr ? *fit
                       : view::ComputeFit(store_, store_.PlotNo, surface.Width(), surface.Height());
    drawing_ = view::BeginDrawing(store_, settings_, surface, placed, framed);
    framed_ = framed;
    drawn_ = !store_.PlotName.empty();
    size_ = area_.size();
    DrawNextLines();
}

void StepwiseDrawing::RestartInPlace() {
    if (drawn_) Start(framed_, &drawing_.fit);
}

void StepwiseDrawing::DrawNextLines() {
    if (!drawing_.Finished()) {
        if (area_.size() != size_) {
            // The area changed under a drawing that nobody restarted: start again in place.
            Start(framed_, &drawing_.fit);
            return;
        }
        // The surface is taken afresh for every step: the raster may have been shared
        // (copied to the clipboard, say) in between, and must then not be written through.
        view::RasterSurface surface = area_.Surface();
        const double twips = area_.TwipsPerPixel();
        view::DrawMoreLines(store_, surface, drawing_, StepPixels * twips);
    }
    area_.update();
    if (drawing_.Finished()) {
        timer_->stop();
    } else if (!timer_->isActive()) {
        timer_->start();
    }
    progressed_();
}

void StepwiseDrawing::Finish() {
    if (!drawing_.Finished()) {
        if (area_.size() != size_) Start(framed_, &drawing_.fit);
        view::RasterSurface surface = area_.Surface();
        view::DrawMoreLines(store_, surface, drawing_, std::numeric_limits<double>::infinity());
        area_.update();
    }
    timer_->stop();
    progressed_();
}

void StepwiseDrawing::Stop() {
    timer_->stop();
    drawing_.Stop();
}

}  // namespace kestrel::app
