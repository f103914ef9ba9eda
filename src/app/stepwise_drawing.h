#pragma once

#include <cstddef>
#include <functional>

#include <QImage>
#include <QObject>
#include <QSize>

#include "app/drawing_area.h"
#include "reader/plot_store.h"
#include "view/plot_drawing.h"
#include "view/spatial_index.h"

class QTimer;

namespace kestrel::app {

// Draws plot PlotNo into the part of the drawing area that shows, in steps, so that a large
// plot does not stop the window: the first step runs at once, the rest between events, and
// the finished raster is the one a drawing in one go gives. A zoomed view draws only what a
// spatial index finds in the part shown; the index is built when first needed.
class StepwiseDrawing : public QObject {
    Q_OBJECT

public:
    // `progressed` runs after every step.
    StepwiseDrawing(const reader::PlotStore& store, const view::DisplaySettings& settings,
                    DrawingArea& area, std::function<void()> progressed, QObject* parent);

    // Draws the part shown afresh, with the range frame or without. `sameView`: only the view
    // changed, not the plot, and a drawing that takes more than a step shows the last
    // picture, moved and scaled to the new view, until it is finished.
    void Start(bool framed, bool sameView = false);
    // Draws the part shown afresh, framed as the last drawing was, the last picture standing
    // in meanwhile: what is drawn changed (a display setting, the plot read again), not the
    // view. Nothing before a first drawing.
    void Restart();
    // The part shown moved or changed size: a view that only moved keeps its pixels and
    // draws the strips it uncovered; any other change draws the part again.
    void FollowView();
    // Draws what is left at once: output and the selection need the finished image.
    void Finish();
    void Stop();
    bool Finished() const { return drawing_.Finished(); }
    double Done() const { return drawing_.Done(); }

    // The `width` x `height` pixels of the area from (left, top) as the view draws them,
    // the frame as in the last drawing, but with every pen: hiding one is for the view
    // alone. White while nothing is loaded.
    QImage Render(double left, double top, int width, int height);

    // The plot's coordinates changed in place (a turn, a nudge): the index is built again
    // when next needed.
    void InvalidateIndex() { indexed_ = {}; }
    // Takes an index built over plot PlotNo's tables as the store now holds them.
    void AdoptIndex(view::SpatialIndex&& index);

private:
    // The tables an index was built over.
    struct IndexedTables {
        int slot = 0;
        const void* lines = nullptr;
        std::size_t lineCount = 0;
        const void* chars = nullptr;
        std::size_t charCount = 0;
        bool operator==(const IndexedTables&) const = default;
    };
    IndexedTables TablesOfPlot() const;
    // The index over plot PlotNo when drawing `surface` calls for one, else nothing.
    const view::SpatialIndex* IndexFor(const view::RasterSurface& surface);
    // The index over plot PlotNo, built now if it is not; nothing when it cannot be.
    const view::SpatialIndex* Index();
    void DrawNextLines(double pixels);
    // Shows the kept picture placed in the view now shown, or nothing once the drawing is done.
    void ShowPreview();

    const reader::PlotStore& store_;
    const view::DisplaySettings& settings_;
    DrawingArea& area_;
    std::function<void()> progressed_;
    QTimer* timer_ = nullptr;
    view::PlotDrawing drawing_;  // the drawing under way, or the last one
    view::PlotDrawing strips_;   // the last strip's, for its memory
    bool framed_ = false;
    bool drawn_ = false;   // a plot was drawn, to be followed when the view changes
    ShownPart shown_;      // the part of the area the drawing is of
    QSize size_;           // the raster's size when the drawing began
    QImage preview_;       // the last finished picture, while a new one is drawn
    ShownPart previewOf_;  // what of the area it shows
    view::SpatialIndex index_;
    IndexedTables indexed_;  // what index_ was built over; slot 0 for nothing
};

}  // namespace kestrel::app
