#include "app/pict_form.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "app/captions.h"
#include "app/drawing_area.h"
#include "app/file_follower.h"
#include "app/file_names.h"
#include "app/pages_panel.h"
#include "app/pens_panel.h"
#include "app/platform.h"
#include "app/plot_loader.h"
#include "app/plot_output.h"
#include "app/recent_files.h"
#include "app/status_panels.h"
#include "app/stepwise_drawing.h"
#include "app/viewport.h"
#include "app/window_menus.h"
#include "interact/messages.h"
#include "interact/plot_status.h"
#include "reader/reader.h"
#include "reader/rounding.h"
#include "reader/units.h"

namespace kestrel::app {

namespace {

// Twips are 1/1440 inch; the screen's logical resolution gives the pixels per inch.
double ScreenTwipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? reader::TwipsPerInch / dpi : reader::ScreenTwipsPerPixel;
}

// A mouse pointer for the length of a scope, restored on every way out.
class OverrideCursor {
public:
    explicit OverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
    OverrideCursor(const OverrideCursor&) = delete;
    OverrideCursor& operator=(const OverrideCursor&) = delete;
};

// The client area's design size, in twips.
constexpr double DesignClientWidth = 7545;
constexpr double DesignClientHeight = 5820;

}  // namespace

PictForm::PictForm(reader::PlotStore& store, Platform& platform, QWidget* parent)
    : QMainWindow(parent),
      store_(store),
      platform_(platform),
      twipsPerPixel_(ScreenTwipsPerPixel()),
      loader_(std::make_unique<PlotLoader>([this](LoadedPlot& plot) { ShowReadPlot(plot); })),
      recent_(std::make_unique<RecentFiles>()),
      output_(std::make_unique<PlotOutput>(*this, platform, selectionImage_, dialogFilterIndex_)) {
    setObjectName("PictForm");
    setWindowTitle(AppCaption);
    menus_ = std::make_unique<WindowMenus>(*this);
    statusBar_ = new StatusPanels(this);
    setStatusBar(statusBar_);
    BuildViewport();
    drawing_ = std::make_unique<StepwiseDrawing>(
        store_, display_, *drawingArea_, [this] { ShowProgress(); }, this);
    BuildPanels();
    follower_ = new FileFollower(
        [this] {
            if (!store_.PlotName.empty()) StartReading(store_.PlotDir + store_.PlotName, true);
        },
        this);
    RebuildRecentFiles();
    setAcceptDrops(true);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &PictForm::ShowProgress);
    menuBar()->adjustSize();
    resize(viewport_->ToPixels(DesignClientWidth),
           menuBar()->sizeHint().height() + viewport_->ToPixels(DesignClientHeight));
    // Lay the bars out now so that Form_Load reads real sizes before the first show.
    layout()->activate();
    Form_Load();
    RestoreSettings();
    // The keys work at once, without a click into the drawing area first.
    drawingArea_->setFocus();
}

PictForm::~PictForm() = default;

void PictForm::BuildViewport() {
    viewport_ = new Viewport(
        twipsPerPixel_,
        [this](bool horizontal, int value) {
            (horizontal ? layout_.hscroll : layout_.vscroll).value =
                static_cast<std::int16_t>(value);
            horizontal ? HScroll1_Change() : VScroll1_Change();
        },
        this);
    setCentralWidget(viewport_);
    // Its size follows the window and the panels docked beside it.
    viewport_->installEventFilter(this);
    drawingArea_ = viewport_->Area();
    connect(drawingArea_, &DrawingArea::keyDown, this, &PictForm::Picture3_KeyDown);
    connect(drawingArea_, &DrawingArea::mouseDown, this, &PictForm::Picture3_MouseDown);
    connect(drawingArea_, &DrawingArea::mouseMove, this, &PictForm::Picture3_MouseMove);
    connect(drawingArea_, &DrawingArea::mouseUp, this, &PictForm::Picture3_MouseUp);
    connect(drawingArea_, &DrawingArea::wheelTurned, this, &PictForm::Picture3_MouseWheel);
    connect(drawingArea_, &DrawingArea::wheelZoom, this, &PictForm::ZoomAtPoint);
    connect(drawingArea_, &DrawingArea::pointerLeft, this,
            [this] { statusBar_->SetPointerText({}); });
}

QWidget* PictForm::Picture1() const { return viewport_; }

QScrollBar* PictForm::HScroll1() const { return viewport_->HorizontalBar(); }

QScrollBar* PictForm::VScroll1() const { return viewport_->VerticalBar(); }

QStatusBar* PictForm::StatusBar1() const { return statusBar_; }

QString PictForm::PanelText(int panel) const { return statusBar_->PanelText(panel); }

QMenu* PictForm::createPopupMenu() {
    // No context menu over the bars: the tool bar and status bar cannot be hidden.
    return nullptr;
}

view::WindowMetrics PictForm::ReadMetrics() const {
    // The client area starts below the menu bar and holds the tool bar and status bar.
    const int clientTop = menuBar()->isHidden() ? 0 : menuBar()->geometry().bottom() + 1;
    const QSize outer = frameGeometry().size();
    const double t = twipsPerPixel_;
    // The viewport's place: the client area less the bars and any panel docked beside it.
    const QRect central = viewport_->geometry();

    view::WindowMetrics m;
    m.innerWidth = central.width() * t;
    m.innerHeight = std::max(0, height() - clientTop) * t;
    m.outerWidth = outer.width() * t;
    m.outerHeight = outer.height() * t;
    // The whole tool bar area, margins included, lies above the viewport; the status bar
    // and the panels docked below it lie under it.
    m.toolBarHeight = std::max(0, central.top() - clientTop) * t;
    m.statusBarHeight = std::max(0, height() - central.bottom() - 1) * t;
    m.scrollBarThickness =
        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, viewport_->HorizontalBar()) * t;
    m.twipsPerPixel = t;
    return m;
}

void PictForm::ApplyLayout() {
    viewport_->Apply(layout_);
    UpdateMarks();
}

void PictForm::Form_Load() {
    dialogs_.FileFilter = HpglPattern;
    dialogs_.FilterIndex = 1;
    view::StartLayout(layout_, ReadMetrics());
    ApplyLayout();
}

void PictForm::Form_Resize() {
    view::FollowWindow(layout_, ReadMetrics());
    ApplyLayout();
}

bool PictForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport_ && event->type() == QEvent::Resize) ViewportResized();
    return QMainWindow::eventFilter(watched, event);
}

void PictForm::ViewportResized() {
    try {
        Form_Resize();
        // A fitted view is fitted to the new size; a zoomed one shows what the new
        // viewport does of the area, at its scale. A panel taking room beside the viewport
        // or giving it back resizes it as the window does.
        if (layout_.fitted) {
            RedrawView();
        } else {
            drawing_->FollowView();
        }
    } catch (const interact::KestrelError&) {
        // A resize has no command to end and no one to tell; the view keeps what it has.
    } catch (const std::exception&) {
    }
}

void PictForm::HScroll1_Change() {
    view::FollowHorizontalBar(layout_);
    ShowView();
}

void PictForm::VScroll1_Change() {
    view::FollowVerticalBar(layout_);
    ShowView();
}

void PictForm::ZoomIn() { Zoom(view::EnlargeArea); }

void PictForm::ZoomOut() { Zoom(view::ReduceArea); }

void PictForm::Zoom(bool (*step)(view::ViewLayout&, const view::WindowMetrics&,
                                 const view::ZoomLimits&)) {
    // A refused step changed nothing, so there is nothing to apply or redraw.
    if (step(layout_, ReadMetrics(),
             view::ZoomLimitsOf(store_, store_.PlotNo, layout_, twipsPerPixel_))) {
        ApplyLayout();
        RedrawView();
    }
}

void PictForm::FitToWindow() {
    view::FitAreaToViewport(layout_, ReadMetrics());
    ApplyLayout();
    RedrawView();
}

void PictForm::DrawPlot() {
    drawing_->Start(display_.RangeFrameOff == 0);
    // A drawing that goes on between events needs no pass of its own.
    if (drawing_->Finished()) {
        QCoreApplication::processEvents();
    }
}

void PictForm::RedrawPlot() { drawing_->Start(false); }

void PictForm::RedrawView() { drawing_->Start(false, true); }

void PictForm::FinishDrawing() { drawing_->Finish(); }

bool PictForm::Busy() const { return loader_->Busy() || !drawing_->Finished(); }

void PictForm::ShowProgress() {
    if (loader_->Busy()) {
        statusBar_->ShowProgress(ReadingProgress, loader_->Progress() * 100);
    } else if (!drawing_->Finished()) {
        statusBar_->ShowProgress(DrawingProgress, drawing_->Done() * 100);
    } else {
        progressTimer_->stop();
        statusBar_->HideProgress();
    }
}

void PictForm::PlotMenu21_Click() {
    // Before the first load of a run, the folder of the last file of an earlier one.
    const std::string folder = store_.PlotDir.empty() ? recent_->LastFolder() : store_.PlotDir;
    // The name box starts empty, in the folder.
    const QString initialName = DisplayName(folder);
    const QStringList filters{QString::fromUtf8(HpglFilter), QString::fromUtf8(AllFilesFilter)};
    dialogFilterIndex_ = dialogs_.FilterIndex;
    const auto choice = platform_.ChooseOpenFile(this, QString::fromUtf8(OpenDialogTitle),
                                                 initialName, filters, dialogFilterIndex_);
    if (!choice) {
        return;  // cancelled: nothing changes
    }
    dialogFilterIndex_ = choice->filterIndex;
    dialogs_.FilterIndex = static_cast<std::int16_t>(choice->filterIndex);
    dialogs_.FileFilter = dialogs_.FilterIndex == 1 ? HpglPattern : AllFilesPattern;
    OpenChosenFile(choice->path);
}

void PictForm::OpenChosenFile(const QString& path) { OpenPlotFile(LocalPathBytes(path)); }

void PictForm::OpenPlotFile(const std::string& path) { StartReading(path, false); }

void PictForm::StartReading(const std::string& path, bool keepView) {
    const int slash = reader::LastPos(path, "/");
    loader_->Start(path.substr(0, static_cast<size_t>(slash)),
                   path.substr(static_cast<size_t>(slash)), reader::ReadOptions{Reading()},
                   keepView, store_.PlotNo);
    setCursor(Qt::BusyCursor);
    ShowProgress();
    progressTimer_->start();
}

void PictForm::ReloadPlotFile() {
    if (!store_.PlotName.empty()) StartReading(store_.PlotDir + store_.PlotName, true);
}

void PictForm::ShowReadPlot(LoadedPlot& plot) {
    unsetCursor();
    ShowProgress();
    try {
        const std::int16_t shownBefore = store_.PlotNo;
        // Read again for the view shown: the same file, drawn before.
        const bool keepView = plot.keepView && !store_.PlotName.empty() &&
                              store_.PlotDir == plot.dir && store_.PlotName == plot.name;
        // The view in the plot's own terms, which outlast a change of its extents.
        const view::PlotView seen =
            keepView ? view::PlotViewOf(store_, shownBefore, layout_, ReadMetrics())
                     : view::PlotView{};
        store_.PlotDir = plot.dir;
        store_.PlotName = plot.name;
        // The plot tables change hands; the settings of the run stay.
        store_.SwapPlots(plot.store);
        pagesPanel_->ShowPlots(store_);
        pensPanel_->Forget();
        shownReading_ = plot.reading;
        shownEnd_ = interact::EarlyEndOf(plot.result, plot.changedWhileRead);
        const bool remember = TellHowReadingWent(plot);
        if (keepView) {
            ShowPlotAgain(plot, shownBefore, seen);
        } else {
            ShowNewPlot(plot);
        }
        RebuildPlotMenu();
        ShowPlotStatus();
        RefreshPanels();
        ShowFileName();
        statusBar_->SetReading(QString::fromUtf8(
            shownReading_ == reader::Reading::Basic ? BasicReadingText : PlotterReadingText));
        if (remember) {
            recent_->Remember(plot.dir + plot.name);
            RebuildRecentFiles();
        }
        follower_->Follow(plot.dir + plot.name, plot.stamp);
        drawingArea_->setFocus();
    } catch (const interact::KestrelError&) {
        // The open command ends quietly; what it did so far stays done.
    } catch (const std::exception&) {
    }
}

void PictForm::ShowNewPlot(LoadedPlot& plot) {
    display_.AdjustViewOff = 1;
    display_.HiddenPens.clear();
    dialogs_.SaveDir.clear();  // saving starts in the plot's folder
    store_.PlotNo = 1;
    // A new plot is shown fitted, unturned, unmeasured.
    quarterTurns_.assign(static_cast<std::size_t>(store_.SlotCount()), 0);
    viewDrag_ = ViewDrag::None;
    ClearMeasure();
    UseIndexRead(plot, false);
    layout_.fitted = true;
    // The pages show for a file of several; the viewport takes its size at once.
    pagesPanel_->setVisible(store_.PlotTotal > 1);
    layout()->activate();
    Form_Resize();
    RedrawPlot();
}

void PictForm::ShowPlotAgain(LoadedPlot& plot, std::int16_t shownBefore,
                             const view::PlotView& seen) {
    store_.PlotNo =
        std::clamp<std::int16_t>(shownBefore, 1, std::max<std::int16_t>(1, store_.PlotTotal));
    if (store_.PlotNo != shownBefore) ClearMeasure();  // it measured another plot
    // The plots come as the file has them: turned again as they were shown.
    constexpr interact::Turn ByQuarters[] = {interact::Turn::Left, interact::Turn::Half,
                                             interact::Turn::Right};
    std::vector<int> turns(static_cast<std::size_t>(store_.SlotCount()), 0);
    turns.swap(quarterTurns_);
    const std::int16_t shown = store_.PlotNo;
    bool shownTurned = false;
    for (std::size_t slot = 1; slot < turns.size() && store_.ValidSlot(static_cast<int>(slot));
         ++slot) {
        const int quarters = ((turns[slot] % 4) + 4) % 4;
        if (quarters == 0) continue;
        store_.PlotNo = static_cast<std::int16_t>(slot);
        TurnPlot(ByQuarters[quarters - 1]);
        pagesPanel_->Redraw(store_.PlotNo);
        shownTurned = shownTurned || store_.PlotNo == shown;
    }
    store_.PlotNo = shown;
    UseIndexRead(plot, shownTurned);
    // A zoomed view keeps its scale and the point at its centre; a fitted one fits anew.
    if (!layout_.fitted && store_.PlotNo == shownBefore &&
        view::ShowPlotView(layout_, ReadMetrics(), store_, store_.PlotNo, seen))
        ApplyLayout();
    drawing_->Restart();
    UpdateMarks();  // the measuring line where the plot now lies
}

void PictForm::UseIndexRead(LoadedPlot& plot, bool turned) {
    // The loader's index is over the plot as read, before any turn.
    if (plot.index && plot.indexedPlot == store_.PlotNo && !turned) {
        drawing_->AdoptIndex(std::move(*plot.index));
    } else {
        drawing_->InvalidateIndex();
    }
}

bool PictForm::TellHowReadingWent(const LoadedPlot& plot) {
    const reader::ReadResult& result = plot.result;
    if (result.status == reader::ReadStatus::NoDelimiter) {
        ShowMessageBox(QString::fromUtf8(NoDelimiterMessage), false);
    } else if (result.status == reader::ReadStatus::CannotOpen) {
        ShowFileErrorMessage(result.errorNumber, plot.dir + plot.name);
    } else if (shownEnd_ == interact::EarlyEnd::OutOfMemory) {
        ShowErrorMessage(reader::ErrorNumber::OutOfMemory);  // what was read is shown all the same
    } else if (interact::TellsAtOnce(shownEnd_) &&
               !(shownEnd_ == interact::EarlyEnd::FileChanged && follower_->Enabled())) {
        // A file followed is read again once it has settled.
        ShowMessageBox(QString::fromUtf8(EarlyEndCaption(shownEnd_)), true);
    }
    const interact::ReadNote note = interact::NoteOfRead(plot.stamp.size, result, store_);
    const char* text = note == interact::ReadNote::EmptyFile      ? EmptyFileNote
                       : note == interact::ReadNote::NothingDrawn ? NothingDrawnNote
                       : plot.keepView                            ? FollowedNote
                                                                  : "";
    statusBar_->ShowNote(QString::fromUtf8(text));
    return result.status != reader::ReadStatus::CannotOpen && note == interact::ReadNote::None;
}

QAction* PictForm::BasicReading() const { return menus_->BasicReading(); }

QToolBar* PictForm::Toolbar1() const { return menus_->Toolbar(); }

QMenu* PictForm::PlotMenu10() const { return menus_->PopupMenu(); }

reader::Reading PictForm::Reading() const {
    return BasicReading()->isChecked() ? reader::Reading::Basic : reader::Reading::Plotter;
}

void PictForm::BasicReading_Toggled() {
    // The pages may come out otherwise: the file starts afresh.
    if (!store_.PlotName.empty()) StartReading(store_.PlotDir + store_.PlotName, false);
}

void PictForm::RebuildPlotMenu() { menus_->RebuildPlotList(store_.PlotTotal); }

void PictForm::PlotMenu81_Click(int index) {
    ShowPlotNumbered(static_cast<std::int16_t>(index + 1));
}

void PictForm::ShowPlotNumbered(std::int16_t plotNo) {
    RunReported([this, plotNo] {
        if (plotNo != store_.PlotNo) ClearMeasure();  // it measured the other plot
        store_.PlotNo = plotNo;
        DrawPlot();
        ShowPlotStatus();
        statusBar_->ShowNote({});
        RefreshPanels();
    });
}

void PictForm::RunReported(const std::function<void()>& command) {
    try {
        command();
    } catch (const interact::KestrelError& e) {
        ShowErrorMessage(reader::ErrorNumber{e.number});
    } catch (const std::bad_alloc&) {
        ShowErrorMessage(reader::ErrorNumber::OutOfMemory);
    } catch (const std::out_of_range&) {
        ShowErrorMessage(reader::ErrorNumber::IndexOutOfRange);
    }
}

void PictForm::ShowPlotStatus() {
    statusBar_->SetPanelText(
        2, QString::fromStdString(interact::PlotStatusText(store_.PlotNo, store_.PlotTotal)));
    statusBar_->SetPanelText(4, QString::fromStdString(interact::LineStatusText(store_)));
}

void PictForm::Toolbar1_ButtonClick(int index) {
    const QList<QAction*> buttons = Toolbar1()->actions();
    if (index >= 1 && index <= buttons.size()) buttons[index - 1]->trigger();
}

void PictForm::ShowErrorMessage(reader::ErrorNumber number) {
    QString text = QString::fromStdString(interact::ErrorMessageText(number));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ShowMessageBox(text, true);
}

void PictForm::ShowFileErrorMessage(reader::ErrorNumber number, const std::string& path) {
    // Bytes that are not UTF-8 show as replacement characters.
    QString text = QString::fromStdString(interact::FileErrorMessageText(number, path));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ShowMessageBox(text, true);
}

void PictForm::ShowWarning(const QString& text) { ShowMessageBox(text, true); }

void PictForm::ShowMessageBox(const QString& text, bool warning) {
    // A box shown during a command gets the normal pointer, not the command's hourglass.
    const OverrideCursor arrow(Qt::ArrowCursor);
    platform_.ShowMessage(this, text, QString::fromUtf8(AppCaption),
                          warning ? MessageIcon::Warning : MessageIcon::None);
}

}  // namespace kestrel::app
