#pragma once

#include <QPainterPath>
#include <QPen>
#include <QString>

#include "reader/plot_store.h"
#include "view/stroke_shapes.h"
#include "view/stroke_target.h"

class QPainter;
class QPrinter;

namespace kestrel::app {

// A stroke target that paints onto a QPainter in its own units, with round ends and
// corners as a pen leaves them; hair-lines are `hairLine` wide.
class PainterStrokes final : public view::StrokeTarget {
public:
    PainterStrokes(QPainter& painter, double hairLine) : painter_(painter), hairLine_(hairLine) {}

    void SetPen(const view::StrokeLook& look) override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void Stroke() override;

private:
    QPainter& painter_;
    double hairLine_;
    QPen pen_;
    QPainterPath path_;
    view::PathPieces pieces_;  // ends and corners the painter does not stroke itself
};

// The plot's vectors as the plotter draws them: at true scale (one plotter unit is
// 0.025 mm) over as many sheets as they need, or fitted to one sheet.
enum class VectorScale { TrueScale, Fitted };

enum class PrintOutcome { Printed, TooManySheets, PrinterFailed };

// The sheets plot `slot` takes on the printer's paper at `scale`; 0 when too many.
int SheetsFor(const QPrinter& printer, const reader::PlotStore& store, int slot, VectorScale scale);

// Prints plot `slot` of the store in its pens' colours and widths; tiled sheets carry
// marks where their neighbours' edges go and a label naming the plot `name` and the sheet.
PrintOutcome PrintPlotVectors(QPrinter& printer, const reader::PlotStore& store, int slot,
                              VectorScale scale, const QString& name);

}  // namespace kestrel::app
