#pragma once

#include <functional>

#include <QObject>
#include <QSize>

#include "reader/plot_store.h"
#include "view/plot_drawing.h"

class QTimer;

namespace kestrel::app {

class DrawingArea;

// Draws plot PlotNo into the drawing area in steps, so that a large plot does not stop
// the window: the first step runs at once, the rest between events, and the finished
// raster is the one a drawing in one go gives.
class StepwiseDrawing : public QObject {
    Q_OBJECT

public:
    // `progressed` runs after every step.
    StepwiseDrawing(const reader::PlotStore& store, const view::DisplaySettings& settings,
                    DrawingArea& area, std::function<void()> progressed, QObject* parent);

    // With `fit`, placed as that fit says, otherwise fitted to the area.
    void Start(bool framed, const view::FitTransform* fit = nullptr);
    // The last plot drawn again, at the same scale and place, over the area's new size.
    void RestartInPlace();
    // Draws what is left at once: output and the selection need the finished image.
    void Finish();
    void Stop();
    bool Finished() const { return drawing_.Finished(); }
    double Done() const { return drawing_.Done(); }

private:
    void DrawNextLines();

    const reader::PlotStore& store_;
    const view::DisplaySettings& settings_;
    DrawingArea& area_;
    std::function<void()> progressed_;
    QTimer* timer_ = nullptr;
    view::PlotDrawing drawing_;  // the drawing under way, or the last one
    bool framed_ = false;
    bool drawn_ = false;  // drawing_ holds the fit of a plot drawn
    QSize size_;          // the raster's size when the drawing began
};

}  // namespace kestrel::app
