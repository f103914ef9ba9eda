// What a desktop viewer owes its users beyond the original commands: keyboard shortcuts,
// dropping a file on the window, Ctrl + wheel zoom, the recent files and the title.

#include "app/pict_form.h"

#include <cmath>
#include <cstdlib>

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>

#include "app/captions.h"
#include "app/file_names.h"
#include "app/recent_files.h"
#include "app/drawing_area.h"

namespace kestrel::app {

void PictForm::BuildShortcuts() {
    // Each key sits on one action only: Qt ignores a key that two actions claim. The
    // tool bar's buttons carry the commands that have no menu entry in the menu bar.
    const auto keys = [this](const QString& name, const QList<QKeySequence>& sequences) {
        if (auto* action = findChild<QAction*>(name)) action->setShortcuts(sequences);
    };
    keys(QStringLiteral("PlotMenu21"), {QKeySequence::Open});
    keys(QStringLiteral("PlotMenu24"), {QKeySequence::Save});
    keys(QStringLiteral("PlotMenu23"), {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    keys(QStringLiteral("Toolbar1_Button4"), {QKeySequence::Print});
    keys(QStringLiteral("Toolbar1_Button5"), {QKeySequence::Copy});
    keys(QStringLiteral("Toolbar1_Button6"),
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    keys(QStringLiteral("Toolbar1_Button7"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    keys(QStringLiteral("Toolbar1_Button8"), {QKeySequence(Qt::CTRL | Qt::Key_0)});

    auto* reload = new QAction(this);
    reload->setObjectName("Reload");
    reload->setShortcut(QKeySequence(Qt::Key_F5));
    connect(reload, &QAction::triggered, this, &PictForm::ReloadPlotFile);
    addAction(reload);

    connect(picture3_, &DrawingArea::wheelZoom, this, &PictForm::ZoomAtPoint);
}

void PictForm::ZoomAtPoint(int steps, float x, float y) {
    RunReported([this, steps, x, y] {
        if (view::ZoomAboutPoint(layout_, ReadMetrics(), steps, x, y) > 0) {
            ApplyLayout();
            RedrawPlot();
        }
    });
}

void PictForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void PictForm::dropEvent(QDropEvent* event) {
    const std::string path = DroppedFileBytes(*event->mimeData());
    if (path.empty()) return;
    event->acceptProposedAction();
    OpenPlotFile(path);
}

void PictForm::RebuildRecentFiles() {
    for (QAction* entry : recentFiles_) delete entry;
    recentFiles_.clear();
    QAction* before = nullptr;  // the exit entry's separator
    for (QAction* action : plotMenu20_->actions()) {
        if (action->objectName() == QLatin1String("PlotMenu22")) before = action;
    }
    const std::vector<std::string> files = recent_->Files();
    for (std::size_t i = 0; i < files.size(); ++i) {
        QString name = DisplayName(files[i]);
        name.replace(u'&', QStringLiteral("&&"));  // not an access key
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name), this);
        entry->setObjectName("RecentFile");
        const std::string path = files[i];
        connect(entry, &QAction::triggered, this, [this, path] { OpenPlotFile(path); });
        plotMenu20_->insertAction(before, entry);
        recentFiles_.push_back(entry);
    }
    recentSeparator_->setVisible(!files.empty());
}

void PictForm::ShowFileName() {
    setWindowTitle(QString::fromUtf8(AppCaption) + QString::fromUtf8(TitleSeparator) +
                   DisplayName(store_.PlotName));
}

}  // namespace kestrel::app
