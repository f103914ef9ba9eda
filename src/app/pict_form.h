#pragma once

#include <array>
#include <vector>

#include <QImage>
#include <QMainWindow>

#include "reader/plot_store.h"
#include "view/view_layout.h"

class QAction;
class QLabel;
class QMenu;
class QScrollBar;
class QStatusBar;
class QToolBar;

namespace Kestrel_View {
class DrawingArea;
}

namespace Kestrel_App {

class Platform;

// The main window. Handlers keep the names of the controls and events they serve;
// all shared data lives in the plot store passed in.
class PictForm : public QMainWindow {
    Q_OBJECT

public:
    PictForm(Kestrel_Val::PlotStore& store, Platform& platform, QWidget* parent = nullptr);
    ~PictForm() override;

    // Start-up and layout handlers.
    void Form_Load();
    void Form_Resize();
    void HScroll1_Change();
    void VScroll1_Change();

    // View commands. They throw Kestrel_Sub::KestrelError; the tool bar reports it.
    void ZoomIn();
    void ZoomOut();
    void FitToWindow();

    // Drawing of plot PlotNo into Picture3's raster.
    void DrawPlot();
    void RedrawPlot();

    // Menu and tool bar handlers.
    void PlotMenu21_Click();
    void PlotMenu81_Click(int index);
    void Toolbar1_ButtonClick(int index);

    // Everything the open command does once a path has been chosen.
    void OpenChosenFile(const QString& path);

    void RebuildPlotMenu();
    void ShowPlotStatus();
    void ShowErrorMessage(int number);

    // For the window's own parts and for tests.
    Kestrel_Val::PlotStore& Store() { return store_; }
    const Kestrel_View::ViewLayout& Layout() const { return layout_; }
    double TwipsPerPixel() const { return twipsPerPixel_; }
    QWidget* Picture1() const { return picture1_; }
    Kestrel_View::DrawingArea* Picture3() const { return picture3_; }
    QScrollBar* HScroll1() const { return hscroll1_; }
    QScrollBar* VScroll1() const { return vscroll1_; }
    QToolBar* Toolbar1() const { return toolbar1_; }
    QStatusBar* StatusBar1() const { return statusBar1_; }
    QMenu* PlotMenu10() const { return plotMenu10_; }
    QString PanelText(int panel) const;  // panel 1..4
    const QImage& Picture2() const { return picture2_; }

    // What the layout reads from the window, in twips.
    Kestrel_View::WindowMetrics ReadMetrics() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    QMenu* createPopupMenu() override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void BuildViewport();
    void ApplyLayout();
    void Zoom(bool (*step)(Kestrel_View::ViewLayout&, const Kestrel_View::WindowMetrics&));
    void ApplyScrollBar(QScrollBar* bar, const Kestrel_View::ScrollBarState& state);
    void ShowMessageBox(const QString& text, bool warning);
    int ToPixels(double twips) const;

    Kestrel_Val::PlotStore& store_;
    Platform& platform_;
    double twipsPerPixel_ = 15;
    Kestrel_View::ViewLayout layout_;

    QToolBar* toolbar1_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;
    std::array<QLabel*, 4> panels_{};
    QWidget* picture1_ = nullptr;
    Kestrel_View::DrawingArea* picture3_ = nullptr;
    QScrollBar* hscroll1_ = nullptr;
    QScrollBar* vscroll1_ = nullptr;
    QImage picture2_;  // the selection buffer; never shown

    QMenu* plotMenu10_ = nullptr;
    QMenu* plotMenu80_ = nullptr;
    std::vector<QAction*> plotMenu81_;  // the plot list; element i stands for plot i + 1
};

}  // namespace Kestrel_App
