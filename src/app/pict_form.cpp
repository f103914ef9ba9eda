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
#include "app/stepwise_drawing.h"
#include "app/window_menus.h"
#include "interact/messages.h"
#include "interact/plot_status.h"
#include "reader/reader.h"
#include "reader/rounding.h"

namespace kestrel::app {

namespace {

// Twips are 1/1440 inch; the screen's logical resolution gives the pixels per inch.
double ScreenTwipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
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
    BuildStatusBar();
    BuildViewport();
    drawing_ = std::make_unique<StepwiseDrawing>(store_, *drawingArea_, [this] { ShowProgress(); }, this);
    RebuildRecentFiles();
    setAcceptDrops(true);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &PictForm::ShowProgress);
    menuBar()->adjustSize();
    resize(ToPixels(DesignClientWidth), menuBar()->sizeHint().height() + ToPixels(DesignClientHeight));
    // Lay the bars out now so that Form_Load reads real sizes before the first show.
    layout()->activate();
    Form_Load();
    // The keys work at once, without a click into the drawing area first.
    drawingArea_->setFocus();
}

PictForm::~PictForm() = default;

void PictForm::BuildStatusBar() {
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("StatusBar1");
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(QString::fromUtf8(PanelNames[i]), statusBar_);
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        panel->setToolTip(QString::fromUtf8(PanelNames[i]));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar_->addWidget(panel, 1);
        panels_[static_cast<size_t>(i)] = panel;
    }
    // Shown only while a file is read or a large plot drawn; no taller than a panel, so
    // that showing it does not move the viewport's bottom edge.
    progress_ = new QProgressBar(statusBar_);
    progress_->setObjectName("Progress");
    progress_->setRange(0, 100);
    progress_->setMaximumHeight(panels_[0]->sizeHint().height());
    progress_->hide();
    statusBar_->addPermanentWidget(progress_);
    setStatusBar(statusBar_);
}

void PictForm::BuildViewport() {
    viewport_ = new QWidget(this);
    viewport_->setObjectName("Picture1");
    viewport_->setAutoFillBackground(true);
    setCentralWidget(viewport_);

    drawingArea_ = new DrawingArea(twipsPerPixel_, viewport_);
    drawingArea_->setObjectName("Picture3");

    horizontalBar_ = new QScrollBar(Qt::Horizontal, viewport_);
    horizontalBar_->setObjectName("HScroll1");
    verticalBar_ = new QScrollBar(Qt::Vertical, viewport_);
    verticalBar_->setObjectName("VScroll1");
    for (QScrollBar* bar : {horizontalBar_, verticalBar_}) {
        bar->hide();
        bar->setRange(0, 0);
    }
    connect(horizontalBar_, &QScrollBar::valueChanged, this, [this](int value) {
        layout_.hscroll.value = static_cast<std::int16_t>(value);
        HScroll1_Change();
    });
    connect(verticalBar_, &QScrollBar::valueChanged, this, [this](int value) {
        layout_.vscroll.value = static_cast<std::int16_t>(value);
        VScroll1_Change();
    });
    connect(drawingArea_, &DrawingArea::keyDown, this, &PictForm::Picture3_KeyDown);
    connect(drawingArea_, &DrawingArea::mouseDown, this, &PictForm::Picture3_MouseDown);
    connect(drawingArea_, &DrawingArea::mouseMove, this, &PictForm::Picture3_MouseMove);
    connect(drawingArea_, &DrawingArea::mouseUp, this, &PictForm::Picture3_MouseUp);
    connect(drawingArea_, &DrawingArea::wheelTurned, this, &PictForm::Picture3_MouseWheel);
    connect(drawingArea_, &DrawingArea::wheelZoom, this, &PictForm::ZoomAtPoint);
}

int PictForm::ToPixels(double twips) const {
    return reader::RoundedClamped<int>(twips / twipsPerPixel_, reader::Halves::AwayFromZero);
}

QString PictForm::PanelText(int panel) const {
    if (panel < 1 || panel > 4) {
        return {};
    }
    return panels_[static_cast<size_t>(panel - 1)]->text();
}

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
    m.scrollBarThickness = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, horizontalBar_) * t;
    m.twipsPerPixel = t;
    return m;
}

void PictForm::ApplyScrollBar(QScrollBar* bar, const view::ScrollBarState& state) {
    bar->setRange(0, state.maximum);
    bar->setValue(state.value);
    bar->setPageStep(state.largeStep);
    bar->setSingleStep(state.smallStep);
    // Bar positions are relative to the client area; the bars live in the viewport.
    const view::Rect& g = state.geometry;
    bar->setGeometry(ToPixels(g.left - layout_.viewport.left),
                     ToPixels(g.top - layout_.viewport.top), ToPixels(g.width), ToPixels(g.height));
    bar->setVisible(state.visible);
    bar->raise();
}

void PictForm::ApplyLayout() {
    // The layout already holds the outcome of every value change, so the bars' own
    // signals would only repeat it.
    const QSignalBlocker blockH(horizontalBar_);
    const QSignalBlocker blockV(verticalBar_);
    const view::Rect& p3 = layout_.area;
    drawingArea_->setGeometry(ToPixels(p3.left), ToPixels(p3.top), ToPixels(p3.width),
                           ToPixels(p3.height));
    ApplyScrollBar(horizontalBar_, layout_.hscroll);
    ApplyScrollBar(verticalBar_, layout_.vscroll);
}

void PictForm::Form_Load() {
    store_.FileFilter = HpglPattern;
    store_.FilterIndex = 1;
    view::StartLayout(layout_, ReadMetrics());
    ApplyLayout();
}

void PictForm::Form_Resize() {
    view::FitAreaToViewport(layout_, ReadMetrics());
    ApplyLayout();
}

void PictForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    try {
        Form_Resize();
        // With the setting ON the plot follows the window. OFF keeps its scale and place and
        // draws what the new area shows, so that nothing drawn is lost by shrinking.
        if (store_.AdjustViewOff == 0) {
            RedrawPlot();
        } else {
            drawing_->RestartInPlace();
        }
    } catch (const interact::KestrelError&) {
        // A resize has no command to end and no one to tell; the view keeps what it has.
    } catch (const std::exception&) {
    }
}

void PictForm::HScroll1_Change() {
    view::FollowHorizontalBar(layout_);
    ApplyLayout();
}

void PictForm::VScroll1_Change() {
    view::FollowVerticalBar(layout_);
    ApplyLayout();
}

void PictForm::ZoomIn() { Zoom(view::EnlargeArea); }

void PictForm::ZoomOut() { Zoom(view::ReduceArea); }

void PictForm::Zoom(bool (*step)(view::ViewLayout&, const view::WindowMetrics&)) {
    // A refused step changed nothing, so there is nothing to apply or redraw.
    if (step(layout_, ReadMetrics())) {
        ApplyLayout();
        RedrawPlot();
    }
}

void PictForm::FitToWindow() {
    view::FitAreaHidingBars(layout_, ReadMetrics());
    ApplyLayout();
    RedrawPlot();
}

void PictForm::DrawPlot() {
    drawing_->Start(store_.RangeFrameOff == 0);
    // A drawing that goes on between events needs no pass of its own.
    if (drawing_->Finished()) {
        QCoreApplication::processEvents();
    }
}

void PictForm::RedrawPlot() { drawing_->Start(false); }

void PictForm::FinishDrawing() { drawing_->Finish(); }

bool PictForm::Busy() const { return loader_->Busy() || !drawing_->Finished(); }

void PictForm::ShowProgress() {
    if (loader_->Busy()) {
        progress_->setFormat(QString::fromUtf8(ReadingProgress));
        progress_->setValue(static_cast<int>(loader_->Progress() * 100));
    } else if (!drawing_->Finished()) {
        progress_->setFormat(QString::fromUtf8(DrawingProgress));
        progress_->setValue(static_cast<int>(100.0 * drawing_->Done()));
    } else {
        progressTimer_->stop();
        progress_->hide();
        return;
    }
    progress_->show();
}

void PictForm::PlotMenu21_Click() {
    // Before the first load of a run, the folder of the last file of an earlier one.
    const std::string folder = store_.PlotDir.empty() ? recent_->LastFolder() : store_.PlotDir;
    const QString initialName = DisplayName(folder + store_.FileFilter);
    const QStringList filters{QString::fromUtf8(HpglFilter), QString::fromUtf8(AllFilesFilter)};
    dialogFilterIndex_ = store_.FilterIndex;
    const auto choice = platform_.ChooseOpenFile(this, QString::fromUtf8(OpenDialogTitle),
                                                 initialName, filters, dialogFilterIndex_);
    if (!choice) {
        return;  // cancelled: nothing changes
    }
    dialogFilterIndex_ = choice->filterIndex;
    store_.FilterIndex = static_cast<std::int16_t>(choice->filterIndex);
    store_.FileFilter = store_.FilterIndex == 1 ? HpglPattern : AllFilesPattern;
    OpenChosenFile(choice->path);
}

void PictForm::OpenChosenFile(const QString& path) { OpenPlotFile(LocalPathBytes(path)); }

void PictForm::OpenPlotFile(const std::string& path) {
    const int slash = reader::LastPos(path, "/");
    loader_->Start(path.substr(0, static_cast<size_t>(slash)), path.substr(static_cast<size_t>(slash)),
                   reader::ReadOptions{Reading()});
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
            ShowErrorMessage(reader::ErrorNumber::OutOfMemory);  // what was read is shown all the same
        }

        store_.AdjustViewOff = 1;
        store_.PlotNo = 1;
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

void PictForm::PlotMenu81_Click(int index) { ShowPlotNumbered(static_cast<std::int16_t>(index + 1)); }

void PictForm::ShowPlotNumbered(std::int16_t plotNo) {
    RunReported([this, plotNo] {
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
    panels_[1]->setText(
        QString::fromStdString(interact::PlotStatusText(store_.PlotNo, store_.PlotTotal)));
    panels_[3]->setText(QString::fromStdString(interact::LineStatusText(store_)));
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
