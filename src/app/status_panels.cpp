#include "app/status_panels.h"

#include <algorithm>

#include <QLabel>
#include <QProgressBar>
#include <QStackedWidget>

#include "app/captions.h"

namespace kestrel::app {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName("StatusBar1");
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(QString::fromUtf8(PanelNames[i]), this);
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        panel->setToolTip(QString::fromUtf8(PanelNames[i]));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The panels share the width there is; their texts never hold the window wider.
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        addWidget(panel, 1);
        panels_[static_cast<std::size_t>(i)] = panel;
    }
    reading_ = new QLabel(this);
    reading_->setObjectName("ReadingPanel");
    reading_->setToolTip(QString::fromUtf8(ReadingPanelTip));
    reading_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    addPermanentWidget(reading_);

    // The corner keeps its width whether it shows a note, the progress or nothing, so that
    // the panels beside it never move.
    corner_ = new QStackedWidget(this);
    corner_->setObjectName("StatusCorner");
    note_ = new QLabel(corner_);
    note_->setObjectName("Note");
    progress_ = new QProgressBar(corner_);
    progress_->setObjectName("Progress");
    progress_->setRange(0, 100);
    corner_->addWidget(note_);
    corner_->addWidget(progress_);
    int width = progress_->sizeHint().width();
    for (const char* note : StatusNotes)
        width = std::max(width, note_->fontMetrics().horizontalAdvance(QString::fromUtf8(note)));
    corner_->setFixedSize(width + 8, panels_[0]->sizeHint().height());
    addPermanentWidget(corner_);
}

QString StatusPanels::PanelText(int panel) const {
    if (panel < 1 || panel > 4) return {};
    return panels_[static_cast<std::size_t>(panel - 1)]->text();
}

void StatusPanels::SetPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 4) panels_[static_cast<std::size_t>(panel - 1)]->setText(text);
}

void StatusPanels::ShowProgress(const char* format, double percent) {
    progress_->setFormat(QString::fromUtf8(format));
    progress_->setValue(static_cast<int>(percent));
    corner_->setCurrentWidget(progress_);
}

void StatusPanels::HideProgress() { corner_->setCurrentWidget(note_); }

void StatusPanels::SetReading(const QString& text) { reading_->setText(text); }

QString StatusPanels::Reading() const { return reading_->text(); }

void StatusPanels::ShowNote(const QString& text) { note_->setText(text); }

QString StatusPanels::Note() const { return note_->text(); }

}  // namespace kestrel::app
