// What a desktop viewer owes its users beyond the original commands: dropping a file on
// the window, the recent files and the title.

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
#include "app/drawing_area.h"
#include "app/file_names.h"
#include "app/recent_files.h"
#include "app/window_menus.h"

namespace kestrel::app {

void PictForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void PictForm::dropEvent(QDropEvent* event) {
    const std::string path = DroppedFileBytes(*event->mimeData());
    if (path.empty()) return;
    event->acceptProposedAction();
    OpenPlotFile(path);
}

void PictForm::RebuildRecentFiles() { menus_->RebuildRecentFiles(recent_->Files()); }

void PictForm::ShowFileName() {
    setWindowTitle(QString::fromUtf8(AppCaption) + QString::fromUtf8(TitleSeparator) +
                   DisplayName(store_.PlotName));
}

}  // namespace kestrel::app
