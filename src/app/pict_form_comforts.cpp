// What a desktop viewer owes its users beyond the original commands: dropping a file on
// the window, the recent files and the title, the panels, the options and the window's
// place kept between runs.

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
#include <QSettings>

#include "app/captions.h"
#include "app/drawing_area.h"
#include "app/file_follower.h"
#include "app/file_names.h"
#include "app/pages_panel.h"
#include "app/pens_panel.h"
#include "app/plot_loader.h"
#include "app/recent_files.h"
#include "app/status_panels.h"
#include "app/stepwise_drawing.h"
#include "app/window_menus.h"

namespace kestrel::app {

namespace {

// Settings kept between runs besides the recent files. The display settings are not among
// them: they start ON in every run.
const char ShowTravelKey[] = "showTravel";
const char FollowFileKey[] = "followFile";
const char GeometryKey[] = "geometry";
const char WindowStateKey[] = "windowState";

}  // namespace

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

void PictForm::BuildPanels() {
    pensPanel_ = new PensPanel(this);
    pensPanel_->hiddenChanged = [this](const std::vector<std::int16_t>& hidden) {
        HiddenPensChanged(hidden);
    };
    addDockWidget(Qt::RightDockWidgetArea, pensPanel_);
    pensPanel_->hide();
    pagesPanel_ = new PagesPanel(this);
    pagesPanel_->plotChosen = [this](int plotNo) {
        ShowPlotNumbered(static_cast<std::int16_t>(plotNo));
    };
    addDockWidget(Qt::BottomDockWidgetArea, pagesPanel_);
    pagesPanel_->hide();
    QAction* pens = pensPanel_->toggleViewAction();
    pens->setObjectName("PensPanelToggle");
    QAction* pages = pagesPanel_->toggleViewAction();
    pages->setObjectName("PagesPanelToggle");
    menus_->AddPanels({pens, pages});
}

void PictForm::RestoreSettings() {
    const QSettings settings;
    ShowTravel()->setChecked(settings.value(ShowTravelKey, false).toBool());
    FollowFile()->setChecked(settings.value(FollowFileKey, true).toBool());
    // An option restored to the state it starts in sends no signal of its own.
    display_.ShowTravel = ShowTravel()->isChecked();
    follower_->SetEnabled(FollowFile()->isChecked());
    restoreGeometry(settings.value(GeometryKey).toByteArray());
    restoreState(settings.value(WindowStateKey).toByteArray());
    // The pages show when a file of several is read.
    pagesPanel_->hide();
}

void PictForm::KeepWindowPlace() {
    QSettings settings;
    settings.setValue(GeometryKey, saveGeometry());
    settings.setValue(WindowStateKey, saveState());
}

QAction* PictForm::ShowTravel() const { return menus_->ShowTravel(); }

QAction* PictForm::FollowFile() const { return menus_->FollowFile(); }

void PictForm::ShowTravel_Toggled() {
    display_.ShowTravel = ShowTravel()->isChecked();
    QSettings().setValue(ShowTravelKey, display_.ShowTravel);
    drawing_->Restart();
}

void PictForm::FollowFile_Toggled() {
    follower_->SetEnabled(FollowFile()->isChecked());
    QSettings().setValue(FollowFileKey, follower_->Enabled());
}

void PictForm::HiddenPensChanged(const std::vector<std::int16_t>& hidden) {
    display_.HiddenPens = hidden;
    RunReported([this] { drawing_->Restart(); });
}

void PictForm::RefreshPanels() {
    const bool loaded = !store_.PlotName.empty();
    pensPanel_->Show(
        loaded ? ShownPlot{&store_, store_.PlotNo, shownReading_, shownEnd_} : ShownPlot{},
        display_.HiddenPens);
    pagesPanel_->MarkPlot(store_.PlotNo);
    menus_->MarkPlot(loaded ? store_.PlotNo : 0);
}

void PictForm::OpenRecentFile(const std::string& path) {
    if (!FileStamp::Of(path).exists) {
        // The plot shown stays; the name goes from the list.
        ShowFileErrorMessage(reader::ErrorNumber::FileNotFound, path);
        recent_->Forget(path);
        RebuildRecentFiles();
        return;
    }
    OpenPlotFile(path);
}

QString PictForm::ReadingText() const { return statusBar_->Reading(); }

QString PictForm::StatusNote() const { return statusBar_->Note(); }

}  // namespace kestrel::app
