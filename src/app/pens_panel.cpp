#include "app/pens_panel.h"

#include <algorithm>

#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/captions.h"
#include "output/paper_sizes.h"
#include "reader/units.h"
#include "view/plot_statistics.h"

namespace kestrel::app {

namespace {

enum Fact { Extents, Size, Paper, Pens, Segments, Chars, PenDown, PenUp, Time, Changes, Way, End };

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QString Metres(double mm) { return QStringLiteral("%1 m").arg(mm / 1000, 0, 'f', 3); }

QString SheetText(double widthMm, double heightMm, std::span<const output::PaperSize> sheets) {
    const output::SheetChoice choice = output::SmallestSheetFor(widthMm, heightMm, sheets);
    if (choice.sheet == nullptr) return Text(NoneText);
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(choice.sheet->name),
                                       Text(choice.landscape ? LandscapeText : PortraitText));
}

// Enum order: one column per title.
enum Column { PenColumn, ColourColumn, WidthColumn, SegmentsColumn, LengthColumn };

QIcon Swatch(view::Rgb colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(QColor(colour.r, colour.g, colour.b));
    return QIcon(pixmap);
}

}  // namespace

const char* EarlyEndCaption(interact::EarlyEnd end) {
    using interact::EarlyEnd;
    switch (end) {
        case EarlyEnd::None: return ReadToTheEnd;
        case EarlyEnd::PageFeed: return EndedAtPageFeed;
        case EarlyEnd::BadPen: return EndedAtBadPen;
        case EarlyEnd::Overflow: return EndedAtOverflow;
        case EarlyEnd::SegmentLimit: return EndedAtSegmentLimit;
        case EarlyEnd::PlotLimit: return EndedAtPlotLimit;
        case EarlyEnd::CharLimit: return EndedAtCharLimit;
        case EarlyEnd::OutOfMemory: return EndedOutOfMemory;
        case EarlyEnd::FileChanged: return EndedFileChanged;
    }
    return ReadToTheEnd;
}

PensPanel::PensPanel(QWidget* parent) : QDockWidget(Text(PensPanelCaption), parent) {
    setObjectName("PensPanel");
    setToolTip(Text(PensPanelTip));
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < facts_.size(); ++i) {
        facts_[i] = new QLabel(Text(NoneText), content);
        facts_[i]->setObjectName(QStringLiteral("Fact%1").arg(i + 1));
        facts_[i]->setWordWrap(true);
        facts_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(Text(FactTitles[i]), facts_[i]);
    }
    layout->addLayout(form);
    pens_ = new QTreeWidget(content);
    pens_->setObjectName("PenList");
    pens_->setRootIsDecorated(false);
    pens_->setToolTip(Text(PensPanelTip));
    QStringList titles;
    for (const char* title : PenColumnTitles) titles << Text(title);
    pens_->setHeaderLabels(titles);
    pens_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(pens_, 1);
    setWidget(content);
    connect(pens_, &QTreeWidget::itemChanged, this, &PensPanel::PenTicked);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown && stale_) Refresh();
    });
}

QString PensPanel::Fact(int row) const {
    return row >= 0 && row < static_cast<int>(facts_.size())
               ? facts_[static_cast<std::size_t>(row)]->text()
               : QString();
}

void PensPanel::Show(const ShownPlot& plot, const std::vector<std::int16_t>& hidden) {
    plot_ = plot;
    hidden_ = hidden;
    stale_ = true;
    if (isVisible()) Refresh();
}

void PensPanel::Refresh() {
    stale_ = false;
    const bool loaded = plot_.store != nullptr && plot_.store->ValidSlot(plot_.slot);
    if (!loaded) {
        ShowFacts({});
        ShowPens({});
        return;
    }
    auto known = known_.find(plot_.slot);
    if (known == known_.end())
        known = known_.emplace(plot_.slot, view::PlotStatisticsOf(*plot_.store, plot_.slot)).first;
    ShowFacts(known->second);
    ShowPens(known->second);
}

void PensPanel::ShowFacts(const view::PlotStatistics& stats) {
    for (QLabel* fact : facts_) fact->setText(Text(NoneText));
    if (plot_.store == nullptr || !plot_.store->ValidSlot(plot_.slot)) return;
    const reader::Plot& plot = plot_.store->plots[static_cast<std::size_t>(plot_.slot)];
    if (plot.LineCount > 0 || plot.CharCount > 0) {
        facts_[Extents]->setText(
            Text(ExtentsFormat).arg(plot.MinX).arg(plot.MaxX).arg(plot.MinY).arg(plot.MaxY));
        const double w = (static_cast<double>(plot.MaxX) - plot.MinX) * reader::MmPerPlotterUnit;
        const double h = (static_cast<double>(plot.MaxY) - plot.MinY) * reader::MmPerPlotterUnit;
        facts_[Size]->setText(Text(SizeFormat).arg(w, 0, 'f', 1).arg(h, 0, 'f', 1));
        facts_[Paper]->setText(SheetText(w, h, output::IsoSheets()) + QStringLiteral(", ") +
                               SheetText(w, h, output::AnsiSheets()));
    }
    facts_[Pens]->setText(QString::number(stats.pens.size()));
    facts_[Segments]->setText(QString::number(plot.LineCount));
    facts_[Chars]->setText(QString::number(plot.CharCount));
    facts_[PenDown]->setText(Metres(stats.penDownMm));
    const QString partial = stats.penUpPartial ? Text(PartialText) : QString();
    if (stats.penUpKnown) facts_[PenUp]->setText(Metres(stats.penUpMm) + partial);
    facts_[Time]->setText(QString::fromStdString(interact::DurationText(stats.seconds)) + partial +
                          Text(TimeNote));
    if (stats.penUpKnown)
        facts_[Changes]->setText(QString::number(stats.penChanges) + Text(TimesText));
    facts_[Way]->setText(
        Text(plot_.reading == reader::Reading::Basic ? BasicReadingText : PlotterReadingText));
    facts_[End]->setText(Text(EarlyEndCaption(plot_.end)));
}

void PensPanel::ShowPens(const view::PlotStatistics& stats) {
    const QSignalBlocker quiet(pens_);  // the ticks set here change nothing
    pens_->clear();
    for (const view::PenStatistics& pen : stats.pens) {
        auto* item = new QTreeWidgetItem(pens_);
        item->setText(PenColumn, QString::number(pen.pen));
        item->setData(PenColumn, Qt::UserRole, pen.pen);
        const bool hidden = std::binary_search(hidden_.begin(), hidden_.end(), pen.pen);
        item->setCheckState(PenColumn, hidden ? Qt::Unchecked : Qt::Checked);
        item->setIcon(ColourColumn, Swatch(pen.style.colour));
        item->setToolTip(ColourColumn, QStringLiteral("#%1%2%3")
                                           .arg(pen.style.colour.r, 2, 16, QLatin1Char('0'))
                                           .arg(pen.style.colour.g, 2, 16, QLatin1Char('0'))
                                           .arg(pen.style.colour.b, 2, 16, QLatin1Char('0')));
        item->setText(WidthColumn, pen.style.widthMm > 0
                                       ? QStringLiteral("%1 mm").arg(pen.style.widthMm, 0, 'g', 3)
                                       : Text(HairLineText));
        item->setText(SegmentsColumn, QString::number(pen.segments));
        item->setText(LengthColumn, QString::number(pen.drawnMm / 1000, 'f', 3));
        for (int c : {SegmentsColumn, LengthColumn}) item->setTextAlignment(c, Qt::AlignRight);
    }
}

void PensPanel::PenTicked(QTreeWidgetItem* item) {
    const auto pen = static_cast<std::int16_t>(item->data(PenColumn, Qt::UserRole).toInt());
    const bool hidden = item->checkState(PenColumn) == Qt::Unchecked;
    const auto it = std::lower_bound(hidden_.begin(), hidden_.end(), pen);
    const bool was = it != hidden_.end() && *it == pen;
    if (hidden == was) return;
    if (hidden) {
        hidden_.insert(it, pen);
    } else {
        hidden_.erase(it);
    }
    if (hiddenChanged) hiddenChanged(hidden_);
}

}  // namespace kestrel::app
