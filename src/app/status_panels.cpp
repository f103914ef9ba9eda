#include "app/status_panels.h"

#include <tuple>

#include <QLabel>
#include <QProgressBar>

#include "app/captions.h"

namespace kestrel::app {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName("StatusBar1");
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(QString::fromUtf8(PanelNames[i]), this);
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        panel->setToolTip(QString::fromUtf8(PanelNames[i]));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        addWidget(panel, 1);
        panels_[static_cast<std::size_t>(i)] = panel;
    }
    // The view's panels, empty until there is something to show.
    for (auto [label, name, tip] : {std::tuple{&pointer_, "PointerPanel", PointerPanelName},
                                    {&measure_, "MeasurePanel", MeasurePanelName}}) {
        *label = new QLabel(this);
        (*label)->setObjectName(name);
        (*label)->setToolTip(QString::fromUtf8(tip));
        (*label)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        (*label)->setMinimumWidth((*label)->fontMetrics().horizontalAdvance(QString(30, u'0')));
        addWidget(*label, 1);
    }
    // No taller than a panel, so that showing it does not move the viewport's bottom edge.
    progress_ = new QProgressBar(this);
    progress_->setObjectName("Progress");
    progress_->setRange(0, 100);
    progress_->setMaximumHeight(panels_[0]->sizeHint().height());
    progress_->hide();
    addPermanentWidget(progress_);
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
    progress_->show();
}

void StatusPanels::HideProgress() { progress_->hide(); }

}  // namespace kestrel::app
