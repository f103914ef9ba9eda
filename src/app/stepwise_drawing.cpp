#include "app/stepwise_drawing.h"

#include <cmath>
#include <limits>
#include <new>
#include <span>
#include <stdexcept>

#include <QTimer>

namespace kestrel::app {

namespace {

constexpr double All = std::numeric_limits<double>::infinity();

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
    connect(timer_, &QTimer::timeout, this, [this] { DrawNextLines(view::StepPixels); });
}

void StepwiseDrawing::Start(bool framed, bool sameView) {
    timer_->stop();
    if (!sameView || !drawn_) {
        preview_ = QImage();
    } else if (drawing_.Finished()) {
        preview_ = area_.Raster().copy();  // otherwise the one kept stays: it is finished
        previewOf_ = shown_;
    }
    view::RasterSurface surface = area_.Surface();
    const ShownPart shown = area_.Shown();
    const double t = area_.TwipsPerPixel();
    drawing_ = view::BeginViewDrawing(store_, settings_, surface, shown.areaWidth * t,
                                      shown.areaHeight * t, framed, IndexFor(surface), &drawing_);
    framed_ = framed;
    drawn_ = !store_.PlotName.empty();
    shown_ = shown;
    size_ = area_.size();
    DrawNextLines(view::FirstStepPixels);
    ShowPreview();
}

void StepwiseDrawing::Restart() {
    if (drawn_) Start(framed_, true);
}

void StepwiseDrawing::ShowPreview() {
    if (drawing_.Finished()) preview_ = QImage();
    if (preview_.isNull()) return area_.ClearPreview();
    // A pixel p of the picture is pixel left + p of the area it showed, which lies f times as
    // far in the area now.
    const double fx = shown_.areaWidth / previewOf_.areaWidth;
    const double fy = shown_.areaHeight / previewOf_.areaHeight;
    area_.SetPreview(preview_, QTransform(fx, 0, 0, fy, previewOf_.left * fx - shown_.left,
                                          previewOf_.top * fy - shown_.top));
}

void StepwiseDrawing::FollowView() {
    const ShownPart now = area_.Shown();
    if (!drawn_ || (now == shown_ && area_.size() == size_)) return;
    const double dx = shown_.left - now.left, dy = shown_.top - now.top;
    const bool moved = now.areaWidth == shown_.areaWidth && now.areaHeight == shown_.areaHeight &&
                       area_.size() == size_ && std::abs(dx) < size_.width() &&
                       std::abs(dy) < size_.height();
    if (!moved || !drawing_.Finished()) return Start(framed_, true);
    view::RasterSurface surface = area_.Surface();
    surface.Shift(static_cast<int>(dx), static_cast<int>(dy));
    const double t = area_.TwipsPerPixel();
    view::DrawUncovered(store_, settings_, surface, static_cast<int>(dx), static_cast<int>(dy),
                        now.areaWidth * t, now.areaHeight * t, framed_, Index(), &strips_);
    shown_ = now;
    area_.update();
}

void StepwiseDrawing::DrawNextLines(double pixels) {
    if (!drawing_.Finished()) {
        if (area_.size() != size_ || area_.Shown() != shown_) {
            // The view changed under a drawing that nobody restarted: start again.
            Start(framed_, true);
            return;
        }
        // The surface is taken afresh for every step: the raster may have been shared
        // (copied to the clipboard, say) in between, and must then not be written through.
        view::RasterSurface surface = area_.Surface();
        view::DrawMoreLines(store_, surface, drawing_, pixels * area_.TwipsPerPixel());
    }
    if (preview_.isNull()) area_.update();  // else the last picture stands in until done
    if (drawing_.Finished()) {
        timer_->stop();
        ShowPreview();
    } else if (!timer_->isActive()) {
        timer_->start();
    }
    progressed_();
}

void StepwiseDrawing::Finish() {
    if (!drawing_.Finished()) {
        if (area_.size() != size_ || area_.Shown() != shown_) Start(framed_);
        view::RasterSurface surface = area_.Surface();
        view::DrawMoreLines(store_, surface, drawing_, All);
        area_.update();
    }
    timer_->stop();
    ShowPreview();
    progressed_();
}

void StepwiseDrawing::Stop() {
    timer_->stop();
    drawing_.Stop();
    ShowPreview();
}

QImage StepwiseDrawing::Render(double left, double top, int width, int height) {
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(Qt::white);
    const ShownPart shown = area_.Shown();
    const QRectF wanted(left - shown.left, top - shown.top, width, height);
    if (drawing_.Finished() && shown == shown_ && settings_.HiddenPens.empty() &&
        QRectF(area_.Raster().rect()).contains(wanted))
        return area_.Raster().copy(wanted.toRect());  // on screen already, finished
    if (store_.PlotName.empty()) return image;
    view::DisplaySettings everyPen = settings_;
    everyPen.HiddenPens.clear();
    view::RasterSurface surface(reinterpret_cast<std::uint32_t*>(image.bits()), width, height,
                                static_cast<int>(image.bytesPerLine() / 4), area_.TwipsPerPixel());
    surface.SetOrigin(left, top);
    const double t = area_.TwipsPerPixel();
    view::PlotDrawing drawing =
        view::BeginViewDrawing(store_, everyPen, surface, shown.areaWidth * t, shown.areaHeight * t,
                               drawn_ && framed_, IndexFor(surface));
    view::DrawMoreLines(store_, surface, drawing, All);
    return image;
}

StepwiseDrawing::IndexedTables StepwiseDrawing::TablesOfPlot() const {
    const int slot = store_.PlotNo;
    const auto lines = view::IndexedLines(store_, slot);
    const auto chars = view::IndexedChars(store_, slot);
    if (lines.empty() && chars.empty()) return {};
    return {slot, lines.data(), lines.size(), chars.data(), chars.size()};
}

void StepwiseDrawing::AdoptIndex(view::SpatialIndex&& index) {
    index_ = std::move(index);
    indexed_ = TablesOfPlot();
}

const view::SpatialIndex* StepwiseDrawing::IndexFor(const view::RasterSurface& surface) {
    const ShownPart shown = area_.Shown();
    const double t = area_.TwipsPerPixel();
    return view::WorthIndexing(surface, shown.areaWidth * t, shown.areaHeight * t) ? Index()
                                                                                   : nullptr;
}

const view::SpatialIndex* StepwiseDrawing::Index() {
    const IndexedTables tables = TablesOfPlot();
    if (store_.PlotName.empty() || tables.slot == 0) return nullptr;
    if (tables == indexed_) return &index_;
    try {
        index_.Build({static_cast<const reader::PlotLine*>(tables.lines), tables.lineCount},
                     {static_cast<const reader::PlotChar*>(tables.chars), tables.charCount});
    } catch (const std::bad_alloc&) {
        indexed_ = {};
        return nullptr;  // drawn from every record, as at the fitted view
    } catch (const std::length_error&) {
        indexed_ = {};
        return nullptr;
    }
    indexed_ = tables;
    return &index_;
}

}  // namespace kestrel::app
