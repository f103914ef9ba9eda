#include "app/status_panels.h"

#include <algorithm>
#include <tuple>

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
        // Their texts never hold the window wider. Panels 2 and 4, whose texts tell
        // something, keep their texts' width; the two whose texts never change take the rest.
        const bool constant = i == 0 || i == 2;
        if (constant) {
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        } else {
            panel->setMinimumWidth(1);
        }
        addWidget(panel, constant ? 1 : 0);
        panels_[static_cast<std::size_t>(i)] = panel;
    }
    // The view's panels, empty until there is something to show. Their texts change as the
    // pointer moves: they take a share of the room left, never their texts' width, and
    // never the room panels 2 and 4 need.
    for (auto [label, name, tip] : {std::tuple{&pointer_, "PointerPanel", PointerPanelName},
                                    {&measure_, "MeasurePanel", MeasurePanelName}}) {
        *label = new QLabel(this);
        (*label)->setObjectName(name);
        (*label)->setToolTip(QString::fromUtf8(tip));
        (*label)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        (*label)->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        addWidget(*label, 1);
    }
    // The corner keeps its width whatever it shows, so that the panels beside it never move.
    corner_ = new QStackedWidget(this);
    corner_->setObjectName("StatusCorner");
    cornerText_ = new QLabel(corner_);
    cornerText_->setObjectName("ReadingPanel");
    cornerText_->setToolTip(QString::fromUtf8(ReadingPanelTip));
    cornerText_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    progress_ = new QProgressBar(corner_);
    progress_->setObjectName("Progress");
    progress_->setRange(0, 100);
    corner_->addWidget(cornerText_);
    corner_->addWidget(progress_);
    int width = progress_->sizeHint().width();
    for (const char* text : CornerTexts) {
        width =
            std::max(width, cornerText_->fontMetrics().horizontalAdvance(QString::fromUtf8(text)) +
                                2 * cornerText_->frameWidth() + 6);
    }
    corner_->setFixedSize(width, panels_[0]->sizeHint().height());
    addPermanentWidget(corner_);
}

QString StatusPanels::PanelText(int panel) const {
    if (panel < 1 || panel > 4) return {};
    return panels_[static_cast<std::size_t>(panel - 1)]->text();
}

void StatusPanels::SetPanelText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 4) panels_[static_cast<std::size_t>(panel - 1)]->setText(text);
}

void StatusPanels::SetPointerText(const QString& text) { pointer_->setText(text); }

void StatusPanels::SetMeasureText(const QString& text) { measure_->setText(text); }

QString StatusPanels::PointerText() const { return pointer_->text(); }

QString StatusPanels::MeasureText() const { return measure_->text(); }

void StatusPanels::ShowProgress(const char* format, double percent) {
    progress_->setFormat(QString::fromUtf8(format));
    progress_->setValue(static_cast<int>(percent));
    corner_->setCurrentWidget(progress_);
}

void StatusPanels::HideProgress() { corner_->setCurrentWidget(cornerText_); }

void StatusPanels::SetReading(const QString& text) {
    reading_ = text;
    cornerText_->setText(note_.isEmpty() ? reading_ : note_);
}

void StatusPanels::ShowNote(const QString& text) {
    note_ = text;
    cornerText_->setText(note_.isEmpty() ? reading_ : note_);
}

}  // namespace kestrel::app
