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
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "app/captions.h"
#include "app/drawing_area.h"
#include "app/file_names.h"
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
    const int statusTop = statusBar_->isHidden() ? height() : statusBar_->geometry().top();
    const QSize outer = frameGeometry().size();
    const double t = twipsPerPixel_;

    view::WindowMetrics m;
    m.innerWidth = width() * t;
    m.innerHeight = std::max(0, height() - clientTop) * t;
    m.outerWidth = outer.width() * t;
    m.outerHeight = outer.height() * t;
    // The whole tool bar area, margins included, lies above the viewport.
    m.toolBarHeight = std::max(0, viewport_->geometry().top() - clientTop) * t;
    m.statusBarHeight = std::max(0, height() - statusTop) * t;
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

void PictForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    try {
        Form_Resize();
        // A fitted view is fitted to the new size; a zoomed one shows what the new
        // viewport does of the area, at its scale.
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
    const QString initialName = DisplayName(folder + dialogs_.FileFilter);
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

void PictForm::OpenPlotFile(const std::string& path) {
    const int slash = reader::LastPos(path, "/");
    loader_->Start(path.substr(0, static_cast<size_t>(slash)),
                   path.substr(static_cast<size_t>(slash)), reader::ReadOptions{Reading()});
    setCursor(Qt::BusyCursor);
    ShowProgress();
    progressTimer_->start();
}

void PictForm::ReloadPlotFile() {
    if (!store_.PlotName.empty()) OpenPlotFile(store_.PlotDir + store_.PlotName);
}

void PictForm::ShowReadPlot(LoadedPlot& plot) {
    unsetCursor();
    ShowProgress();
    try {
        store_.PlotDir = plot.dir;
        store_.PlotName = plot.name;
        // The plot tables change hands; the settings of the run stay.
        store_.SwapPlots(plot.store);

        const reader::ReadResult& result = plot.result;
        if (result.status == reader::ReadStatus::NoDelimiter) {
            ShowMessageBox(QString::fromUtf8(NoDelimiterMessage), false);
        } else if (result.status == reader::ReadStatus::CannotOpen) {
            ShowFileErrorMessage(result.errorNumber, plot.dir + plot.name);
        } else if (result.stop == reader::StopReason::OutOfMemory) {
            ShowErrorMessage(
                reader::ErrorNumber::OutOfMemory);  // what was read is shown all the same
        }

        display_.AdjustViewOff = 1;
        store_.PlotNo = 1;
        // A new plot is shown fitted, unturned, unmeasured.
        quarterTurns_.assign(static_cast<std::size_t>(store_.SlotCount()), 0);
        viewDrag_ = ViewDrag::None;
        ClearMeasure();
        if (plot.index)
            drawing_->AdoptIndex(std::move(*plot.index));
        else
            drawing_->InvalidateIndex();
        layout_.fitted = true;
        Form_Resize();
        RedrawPlot();
        RebuildPlotMenu();
        ShowPlotStatus();
        ShowFileName();
        if (result.status != reader::ReadStatus::CannotOpen) {
            recent_->Remember(plot.dir + plot.name);
            RebuildRecentFiles();
        }
        drawingArea_->setFocus();
    } catch (const interact::KestrelError&) {
        // The open command ends quietly; what it did so far stays done.
    } catch (const std::exception&) {
    }
}

QAction* PictForm::BasicReading() const { return menus_->BasicReading(); }

QToolBar* PictForm::Toolbar1() const { return menus_->Toolbar(); }

QMenu* PictForm::PlotMenu10() const { return menus_->PopupMenu(); }

reader::Reading PictForm::Reading() const {
    return BasicReading()->isChecked() ? reader::Reading::Basic : reader::Reading::Plotter;
}

void PictForm::BasicReading_Toggled() { ReloadPlotFile(); }

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

void PictForm::ShowMessageBox(const QString& text, bool warning) {
    // A box shown during a command gets the normal pointer, not the command's hourglass.
    const OverrideCursor arrow(Qt::ArrowCursor);
    platform_.ShowMessage(this, text, QString::fromUtf8(AppCaption),
                          warning ? MessageIcon::Warning : MessageIcon::None);
}

}  // namespace kestrel::app
