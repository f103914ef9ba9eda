#include "app/true_scale_print.h"

#include <algorithm>
#include <optional>

#include <QFont>
#include <QPainter>
#include <QPrinter>

#include "app/captions.h"
#include "output/page_layout.h"
#include "output/print_plan.h"
#include "view/plot_walk.h"

namespace kestrel::app {

namespace {

constexpr double MarkMm = 5;     // an overlap mark's length
constexpr double LabelMm = 2.5;  // a sheet label's height

// The printable part of the sheet, in mm.
QSizeF PrintableMm(const QPrinter& printer) {
    return printer.pageRect(QPrinter::Millimeter).size();
}

double DotsPerMm(const QPrinter& printer) { return printer.resolution() / 25.4; }

std::optional<output::PageLayout> Layout(const QPrinter& printer, const reader::PlotStore& store,
                                         int slot, VectorScale scale) {
    const QSizeF sheet = PrintableMm(printer);
    const output::FitPaper paper = scale == VectorScale::Fitted
                                       ? output::FitPaper{sheet.width(), sheet.height()}
                                       : output::FitPaper{};
    return output::LayOutPage(store, slot, paper);
}

output::SheetPlan Plan(const QPrinter& printer, const output::PageLayout& page, VectorScale scale) {
    if (scale == VectorScale::Fitted) return {1, 1, {output::SheetTile{}}};
    const QSizeF sheet = PrintableMm(printer);
    return output::PlanSheets(page.widthMm, page.heightMm, sheet.width(), sheet.height());
}

// Short strokes where a neighbouring sheet's edge lies, along the sides they overlap.
void DrawMarks(QPainter& painter, const output::SheetTile& tile, QSizeF sheet, double dpm) {
    painter.setPen(QPen(Qt::black, output::HairLineMm * dpm));
    const double w = sheet.width(), h = sheet.height(), o = output::SheetOverlapMm;
    const auto line = [&](double x1, double y1, double x2, double y2) {
        painter.drawLine(QPointF(x1 * dpm, y1 * dpm), QPointF(x2 * dpm, y2 * dpm));
    };
    for (const auto& [on, x] : {std::pair(tile.left, o), std::pair(tile.right, w - o)}) {
        if (!on) continue;
        line(x, 0, x, MarkMm);
        line(x, h - MarkMm, x, h);
    }
    for (const auto& [on, y] : {std::pair(tile.top, o), std::pair(tile.bottom, h - o)}) {
        if (!on) continue;
        line(0, y, MarkMm, y);
        line(w - MarkMm, y, w, y);
    }
}

void DrawLabel(QPainter& painter, const QString& text, double dpm) {
    QFont font = painter.font();
    font.setPixelSize(std::max(1, static_cast<int>(LabelMm * dpm)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(dpm, (LabelMm + 1) * dpm), text);
}

}  // namespace

void PainterStrokes::SetPen(const view::StrokeLook& look) {
    const view::NativeStroke native = pieces_.Start(look);
    constexpr Qt::PenCapStyle Caps[] = {Qt::RoundCap, Qt::FlatCap, Qt::SquareCap, Qt::RoundCap};
    // Mitered, else beveled past the limit: SVG's miter, which Qt also draws.
    constexpr Qt::PenJoinStyle Joins[] = {Qt::RoundJoin, Qt::SvgMiterJoin, Qt::SvgMiterJoin,
                                          Qt::RoundJoin, Qt::BevelJoin,    Qt::RoundJoin};
    pen_ = QPen(QColor(look.colour.r, look.colour.g, look.colour.b),
                look.width > 0 ? look.width : hairLine_, Qt::SolidLine,
                Caps[static_cast<int>(native.cap)], Joins[static_cast<int>(native.join)]);
    pen_.setMiterLimit(std::max(1.0, look.miterLimit));
}

void PainterStrokes::MoveTo(double x, double y) {
    path_.moveTo(x, y);
    pieces_.Follow(x, y, false);
}

void PainterStrokes::LineTo(double x, double y) {
    if (double x0, y0; pieces_.Restart(x0, y0)) path_.moveTo(x0, y0);
    path_.lineTo(x, y);
    pieces_.Follow(x, y, true);
}

void PainterStrokes::Stroke() {
    painter_.strokePath(path_, pen_);
    path_.clear();
    QPainterPath filled;
    for (const view::StrokePiece& p : pieces_.Finish()) {
        if (p.count == 0) filled.addEllipse(QPointF(p.centre.x, p.centre.y), p.radius, p.radius);
        for (int i = 0; i < p.count; ++i) {
            const QPointF at(p.points[static_cast<std::size_t>(i)].x,
                             p.points[static_cast<std::size_t>(i)].y);
            i == 0 ? filled.moveTo(at) : filled.lineTo(at);
        }
        filled.closeSubpath();
    }
    if (!filled.isEmpty()) painter_.fillPath(filled, pen_.color());
}

int SheetsFor(const QPrinter& printer, const reader::PlotStore& store, int slot,
              VectorScale scale) {
    const auto page = Layout(printer, store, slot, scale);
    return page ? static_cast<int>(Plan(printer, *page, scale).tiles.size()) : 0;
}

PrintOutcome PrintPlotVectors(QPrinter& printer, const reader::PlotStore& store, int slot,
                              VectorScale scale, const QString& name) {
    const auto page = Layout(printer, store, slot, scale);
    const output::SheetPlan plan = page ? Plan(printer, *page, scale) : output::SheetPlan{};
    if (plan.tiles.empty()) return PrintOutcome::TooManySheets;
    QPainter painter;
    if (!painter.begin(&printer)) return PrintOutcome::PrinterFailed;
    painter.setRenderHint(QPainter::Antialiasing);
    const double dpm = DotsPerMm(printer);
    const QSizeF sheet = PrintableMm(printer);
    const view::WalkOptions walk = output::PageWalk(store, {slot, *page}, dpm);
    const auto count = static_cast<int>(plan.tiles.size());
    for (int i = 0; i < count; ++i) {
        const output::SheetTile& tile = plan.tiles[static_cast<std::size_t>(i)];
        if (i > 0 && !printer.newPage()) {
            printer.abort();
            return PrintOutcome::PrinterFailed;
        }
        painter.save();
        painter.setClipRect(QRectF(QPointF(0, 0), sheet * dpm));
        painter.translate(-tile.x * dpm, -tile.y * dpm);
        PainterStrokes strokes(painter, output::HairLineMm * dpm);
        view::PlotWalk(store, slot, walk).Continue(store, strokes);
        painter.restore();
        if (count > 1) {
            DrawMarks(painter, tile, sheet, dpm);
            DrawLabel(painter,
                      QString::fromUtf8(SheetLabel)
                          .arg(name)
                          .arg(i + 1)
                          .arg(count)
                          .arg(tile.row + 1)
                          .arg(tile.column + 1),
                      dpm);
        }
    }
    return painter.end() ? PrintOutcome::Printed : PrintOutcome::PrinterFailed;
}

}  // namespace kestrel::app
