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
#include "app/file_names.h"
#include "interact/messages.h"
#include "app/platform.h"
#include "app/plot_loader.h"
#include "app/recent_files.h"
#include "interact/plot_status.h"
#include "reader/reader.h"
#include "reader/rounding.h"
#include "app/drawing_area.h"
#include "view/plot_drawing.h"

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

constexpr const char* ToolbarIcons[8] = {
    ":/icons/exit.png", ":/icons/open.png",   ":/icons/save.png",    ":/icons/print.png",
    ":/icons/copy.png", ":/icons/zoomin.png", ":/icons/zoomout.png", ":/icons/fit.png",
};

}  // namespace

PictForm::PictForm(reader::PlotStore& store, Platform& platform, QWidget* parent)
    : QMainWindow(parent),
      store_(store),
      platform_(platform),
      twipsPerPixel_(ScreenTwipsPerPixel()),
      loader_(std::make_unique<PlotLoader>([this](LoadedPlot& plot) { ShowReadPlot(plot); })),
      recent_(std::make_unique<RecentFiles>()) {
    setObjectName("PictForm");
    setWindowTitle(AppCaption);
    BuildMenus();
    BuildToolbar();
    BuildStatusBar();
    BuildViewport();
    ConnectPicture3();
    BuildShortcuts();
    RebuildRecentFiles();
    setAcceptDrops(true);
    drawTimer_ = new QTimer(this);
    drawTimer_->setInterval(0);
    connect(drawTimer_, &QTimer::timeout, this, &PictForm::DrawNextLines);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &PictForm::ShowProgress);
    menuBar()->adjustSize();
    resize(ToPixels(DesignClientWidth),
           menuBar()->sizeHint().height() + ToPixels(DesignClientHeight));
    // Lay the bars out now so that Form_Load reads real sizes before the first show.
    layout()->activate();
    Form_Load();
    // The keys work at once, without a click into the drawing area first.
    picture3_->setFocus();
}

PictForm::~PictForm() = default;

void PictForm::BuildMenus() {
    // A menu bar inside the window on every desktop, so the client area starts below it.
    menuBar()->setNativeMenuBar(false);

    const auto addItem = [this](QMenu* menu, const char* name, const char* caption) {
        auto* action = new QAction(QString::fromUtf8(caption), this);
        action->setObjectName(name);
        menu->addAction(action);
        return action;
    };
    const auto addSeparator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(name);
    };
    const auto addMenu = [this](const char* name, const char* caption) {
        auto* menu = new QMenu(QString::fromUtf8(caption), this);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        return menu;
    };

    const auto on = [this](QAction* action, void (PictForm::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };

    QMenu* plotMenu20 = addMenu("PlotMenu20", PlotMenu20Caption);
    plotMenu20_ = plotMenu20;
    on(addItem(plotMenu20, "PlotMenu21", PlotMenu21Caption), &PictForm::PlotMenu21_Click);
    on(addItem(plotMenu20, "PlotMenu24", PlotMenu24Caption), &PictForm::PlotMenu24_Click);
    // The recent files go here, between a separator of their own and the exit entry's.
    recentSeparator_ = plotMenu20->addSeparator();
    recentSeparator_->setObjectName("RecentFilesSeparator");
    addSeparator(plotMenu20, "PlotMenu22");
    on(addItem(plotMenu20, "PlotMenu23", PlotMenu23Caption), &PictForm::PlotMenu23_Click);
    menuBar()->addMenu(plotMenu20);

    QMenu* plotMenu30 = addMenu("PlotMenu30", PlotMenu30Caption);
    on(addItem(plotMenu30, "PlotMenu31", PlotMenu31Caption), &PictForm::PlotMenu31_Click);
    basicReading_ = addItem(plotMenu30, "BasicReading", BasicReadingCaption);
    basicReading_->setCheckable(true);
    connect(basicReading_, &QAction::toggled, this, [this](bool) { BasicReading_Toggled(); });
    menuBar()->addMenu(plotMenu30);

    plotMenu80_ = addMenu("PlotMenu80", PlotMenu80Caption);
    QAction* first = addItem(plotMenu80_, "PlotMenu81", PlotMenu81Caption);
    connect(first, &QAction::triggered, this, [this] { PlotMenu81_Click(0); });
    plotMenu81_.push_back(first);
    menuBar()->addMenu(plotMenu80_);

    QMenu* plotMenu90 = addMenu("PlotMenu90", PlotMenu90Caption);
    on(addItem(plotMenu90, "PlotMenu94", PlotMenu94Caption), &PictForm::PlotMenu94_Click);
    on(addItem(plotMenu90, "PlotMenu91", PlotMenu91Caption), &PictForm::PlotMenu91_Click);
    addSeparator(plotMenu90, "PlotMenu92");
    on(addItem(plotMenu90, "PlotMenu93", PlotMenu93Caption), &PictForm::PlotMenu93_Click);
    menuBar()->addMenu(plotMenu90);

    // The drawing area's pop-up menu: a child of the window, never in the menu bar.
    plotMenu10_ = addMenu("PlotMenu10", PlotMenu10Caption);
    on(addItem(plotMenu10_, "PlotMenu15", PlotMenu15Caption), &PictForm::PlotMenu15_Click);
    on(addItem(plotMenu10_, "PlotMenu16", PlotMenu16Caption), &PictForm::PlotMenu16_Click);
    on(addItem(plotMenu10_, "PlotMenu17", PlotMenu17Caption), &PictForm::PlotMenu17_Click);
    addSeparator(plotMenu10_, "PlotMenu12");
    on(addItem(plotMenu10_, "PlotMenu13", PlotMenu13Caption), &PictForm::PlotMenu13_Click);
    on(addItem(plotMenu10_, "PlotMenu14", PlotMenu14Caption), &PictForm::PlotMenu14_Click);
    on(addItem(plotMenu10_, "PlotMenu18", PlotMenu18Caption), &PictForm::PlotMenu18_Click);
}

void PictForm::BuildToolbar() {
    toolbar1_ = new QToolBar(this);
    toolbar1_->setObjectName("Toolbar1");
    toolbar1_->setMovable(false);
    toolbar1_->setFloatable(false);
    toolbar1_->setIconSize(QSize(24, 24));
    for (int i = 0; i < 8; ++i) {
        auto* button = new QAction(QIcon(ToolbarIcons[i]), QString(), this);
        button->setObjectName(QStringLiteral("Toolbar1_Button%1").arg(i + 1));
        button->setToolTip(QString::fromUtf8(ToolbarTips[i]));
        const int index = i + 1;
        connect(button, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        toolbar1_->addAction(button);
    }
    addToolBar(Qt::TopToolBarArea, toolbar1_);
}

void PictForm::BuildStatusBar() {
    statusBar1_ = new QStatusBar(this);
    statusBar1_->setObjectName("StatusBar1");
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(QString::fromUtf8(PanelNames[i]), statusBar1_);
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        panel->setToolTip(QString::fromUtf8(PanelNames[i]));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar1_->addWidget(panel, 1);
        panels_[static_cast<size_t>(i)] = panel;
    }
    // Shown only while a file is read or a large plot drawn; no taller than a panel, so
    // that showing it does not move the viewport's bottom edge.
    progress_ = new QProgressBar(statusBar1_);
    progress_->setObjectName("Progress");
    progress_->setRange(0, 100);
    progress_->setMaximumHeight(panels_[0]->sizeHint().height());
    progress_->hide();
    statusBar1_->addPermanentWidget(progress_);
    setStatusBar(statusBar1_);
}

void PictForm::BuildViewport() {
    picture1_ = new QWidget(this);
    picture1_->setObjectName("Picture1");
    picture1_->setAutoFillBackground(true);
    setCentralWidget(picture1_);

    picture3_ = new DrawingArea(twipsPerPixel_, picture1_);
    picture3_->setObjectName("Picture3");

    hscroll1_ = new QScrollBar(Qt::Horizontal, picture1_);
    hscroll1_->setObjectName("HScroll1");
    vscroll1_ = new QScrollBar(Qt::Vertical, picture1_);
    vscroll1_->setObjectName("VScroll1");
    for (QScrollBar* bar : {hscroll1_, vscroll1_}) {
        bar->hide();
        bar->setRange(0, 0);
    }
    connect(hscroll1_, &QScrollBar::valueChanged, this, [this](int value) {
        layout_.hscroll.value = static_cast<std::int16_t>(value);
        HScroll1_Change();
    });
    connect(vscroll1_, &QScrollBar::valueChanged, this, [this](int value) {
        layout_.vscroll.value = static_cast<std::int16_t>(value);
        VScroll1_Change();
    });
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
    const int statusTop = statusBar1_->isHidden() ? height() : statusBar1_->geometry().top();
    const QSize outer = frameGeometry().size();
    const double t = twipsPerPixel_;

    view::WindowMetrics m;
    m.innerWidth = width() * t;
    m.innerHeight = std::max(0, height() - clientTop) * t;
    m.outerWidth = outer.width() * t;
    m.outerHeight = outer.height() * t;
    // The whole tool bar area, margins included, lies above the viewport.
    m.toolBarHeight = std::max(0, picture1_->geometry().top() - clientTop) * t;
    m.statusBarHeight = std::max(0, height() - statusTop) * t;
    m.scrollBarThickness = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, hscroll1_) * t;
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
    const QSignalBlocker blockH(hscroll1_);
    const QSignalBlocker blockV(vscroll1_);
    const view::Rect& p3 = layout_.area;
    picture3_->setGeometry(ToPixels(p3.left), ToPixels(p3.top), ToPixels(p3.width),
                           ToPixels(p3.height));
    ApplyScrollBar(hscroll1_, layout_.hscroll);
    ApplyScrollBar(vscroll1_, layout_.vscroll);
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
        } else if (drawn_) {
            StartDrawing(drawingFramed_, &drawing_.fit);
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
    StartDrawing(store_.RangeFrameOff == 0);
    // A drawing that goes on between events needs no pass of its own.
    if (drawing_.Finished()) {
        QCoreApplication::processEvents();
    }
}

void PictForm::RedrawPlot() { StartDrawing(false); }

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
        picture3_->setFocus();
    } catch (const interact::KestrelError&) {
        // The open command ends quietly; what it did so far stays done.
    } catch (const std::exception&) {
    }
}

reader::Reading PictForm::Reading() const {
    return basicReading_->isChecked() ? reader::Reading::Basic : reader::Reading::Plotter;
}

void PictForm::BasicReading_Toggled() {
    if (store_.PlotName.empty()) return;
    RunReported([this] { ReloadPlotFile(); });
}

void PictForm::RebuildPlotMenu() {
    const std::vector<std::string> captions = interact::PlotMenuCaptions(store_.PlotTotal);
    if (!captions.empty()) {
        plotMenu81_.front()->setText(QString::fromStdString(captions.front()));
    }
    plotMenu81_.front()->setEnabled(true);
    // A menu's cost grows with the square of its entries: files of many pages get their
    // plots from the hundredth on in submenus of a hundred, which own them.
    constexpr std::size_t GroupSize = 100;
    qDeleteAll(plotGroups_);
    plotGroups_.clear();
    if (plotMenu81_.size() > GroupSize) plotMenu81_.resize(GroupSize);
    while (plotMenu81_.size() > 1) {
        delete plotMenu81_.back();
        plotMenu81_.pop_back();
    }
    const bool grouped = captions.size() > GroupSize;
    QMenu* group = nullptr;
    for (std::size_t i = 1; i < captions.size(); ++i) {
        if (grouped && i % GroupSize == 0) {
            const std::size_t last = std::min(i + GroupSize, captions.size());
            group = new QMenu(QString::fromStdString(captions[i]) + " - " + QString::number(last), plotMenu80_);
            plotMenu80_->addMenu(group);
            plotGroups_.push_back(group);
        }
        auto* entry = new QAction(QString::fromStdString(captions[i]), group ? static_cast<QObject*>(group) : this);
        entry->setObjectName("PlotMenu81");
        const int index = static_cast<int>(i);
        connect(entry, &QAction::triggered, this, [this, index] { PlotMenu81_Click(index); });
        (group ? group : plotMenu80_)->addAction(entry);
        plotMenu81_.push_back(entry);
    }
}

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
    RunReported([this, index] {
        switch (index) {
            case 1:
                PlotMenu23_Click();
                break;
            case 2:
                PlotMenu21_Click();
                break;
            case 3:
                PlotMenu24_Click();
                break;
            case 4:
                PlotMenu13_Click();
                break;
            case 5:
                PlotMenu14_Click();
                break;
            case 6:
                ZoomIn();
                break;
            case 7:
                ZoomOut();
                break;
            case 8:
                FitToWindow();
                break;
            default:
                break;
        }
    });
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
