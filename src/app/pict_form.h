#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QMainWindow>
#include <QPointer>

#include "reader/plot_store.h"
#include "reader/reader.h"
#include "view/plot_drawing.h"
#include "view/view_layout.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QScrollBar;
class QStatusBar;
class QTimer;
class QToolBar;

namespace kestrel::app {

class DrawingArea;

class Platform;
class PlotLoader;
class RecentFiles;
struct LoadedPlot;

// The main window. Handlers keep the names of the controls and events they serve;
// all shared data lives in the plot store passed in.
class PictForm : public QMainWindow {
    Q_OBJECT

public:
    PictForm(reader::PlotStore& store, Platform& platform, QWidget* parent = nullptr);
    ~PictForm() override;

    // Start-up and layout handlers.
    void Form_Load();
    void Form_Resize();
    void HScroll1_Change();
    void VScroll1_Change();

    // View commands. They trap nothing: a failure (interact::KestrelError) reaches
    // the tool bar's trap. Virtual so that a test can make one fail.
    virtual void ZoomIn();
    virtual void ZoomOut();
    virtual void FitToWindow();

    // Drawing of plot PlotNo into Picture3's raster.
    void DrawPlot();
    void RedrawPlot();

    // Menu and tool bar handlers.
    void PlotMenu21_Click();
    void PlotMenu81_Click(int index);
    void Toolbar1_ButtonClick(int index);

    // Rotation of the plot shown: right, left, 180 degrees.
    void PlotMenu15_Click();
    void PlotMenu16_Click();
    void PlotMenu17_Click();

    // The drawing area's keyboard and mouse. Key codes are Windows virtual-key codes;
    // buttons 1 = left, 2 = right, 4 = middle (held buttons summed in a move);
    // positions are in Picture3's twips. The modifier state is ignored.
    void Picture3_KeyDown(int keyCode, int shift);
    void Picture3_MouseDown(int button, int shift, float x, float y);
    void Picture3_MouseMove(int button, int shift, float x, float y);
    void Picture3_MouseUp(int button, int shift, float x, float y);
    // The wheel: `steps` notches (positive away from the user), sideways when `horizontal`.
    void Picture3_MouseWheel(int steps, bool horizontal);
    std::int32_t DragStartX() const { return dragStartX_; }
    std::int32_t DragStartY() const { return dragStartY_; }

    // Output: print, copy, save (the pop-up entry calls the menu's).
    void PlotMenu13_Click();
    void PlotMenu14_Click();
    void PlotMenu18_Click();
    void PlotMenu24_Click();
    void ShowPrinterDialog();
    QPrinter& Printer();  // the current printer and its settings, for this run

    // The shell: exit, display settings, command list, version, manual.
    void PlotMenu23_Click();
    void PlotMenu31_Click();
    void PlotMenu91_Click();
    void PlotMenu93_Click();
    void PlotMenu94_Click();
    QWidget* OptionForm() const { return optionForm_; }
    QWidget* ComdForm() const { return comdForm_; }
    QWidget* VersForm() const { return versForm_; }

    // ｵﾌﾟｼｮﾝ → read the basic commands only: the loaded file is read again at once.
    void BasicReading_Toggled();
    QAction* BasicReading() const { return basicReading_; }
    reader::Reading Reading() const;

    // Everything the open command does once a path has been chosen. The file is read in
    // the background; the window serves its events meanwhile and shows the plot once read.
    void OpenChosenFile(const QString& path);
    // The same for a path as the bytes the system gave (a dropped file, a recent file).
    void OpenPlotFile(const std::string& path);
    // Reads the loaded file again from disk (F5).
    void ReloadPlotFile();
    // The open command's steps once a file has been read: the plot replaces the one shown.
    void ShowReadPlot(LoadedPlot& plot);
    // True while a file is being read or a drawing is still under way.
    bool Busy() const;
    // Draws what is left of the drawing under way at once: the output commands and the
    // selection need the finished image.
    void FinishDrawing();
    // Ctrl + wheel: `steps` enlargements (reductions when negative) keeping the point
    // under the mouse (Picture3's twips) where it is.
    void ZoomAtPoint(int steps, float x, float y);

    void RebuildPlotMenu();
    void ShowPlotStatus();
    void ShowErrorMessage(reader::ErrorNumber number);
    // A failure with a file: the message, then the file's name on a line of its own.
    void ShowFileErrorMessage(reader::ErrorNumber number, const std::string& path);

    // For the window's own parts and for tests.
    reader::PlotStore& Store() { return store_; }
    const view::ViewLayout& Layout() const { return layout_; }
    double TwipsPerPixel() const { return twipsPerPixel_; }
    QWidget* Picture1() const { return picture1_; }
    DrawingArea* Picture3() const { return picture3_; }
    QScrollBar* HScroll1() const { return hscroll1_; }
    QScrollBar* VScroll1() const { return vscroll1_; }
    QToolBar* Toolbar1() const { return toolbar1_; }
    QStatusBar* StatusBar1() const { return statusBar1_; }
    QMenu* PlotMenu10() const { return plotMenu10_; }
    QString PanelText(int panel) const;  // panel 1..4
    const QImage& Picture2() const { return picture2_; }

    // What the layout reads from the window, in twips.
    view::WindowMetrics ReadMetrics() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QMenu* createPopupMenu() override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BuildStatusBar();
    void BuildViewport();
    void BuildShortcuts();
    void RebuildRecentFiles();
    void ShowFileName();
    // Starts drawing plot PlotNo into Picture3: with `fit`, placed as that fit says,
    // otherwise fitted to the area. What one step does not finish goes on between events.
    void StartDrawing(bool framed, const view::FitTransform* fit = nullptr);
    void DrawNextLines();
    void ShowProgress();
    void ConnectPicture3();  // routes the drawing area's input to the handlers
    void ApplyLayout();
    void Zoom(bool (*step)(view::ViewLayout&, const view::WindowMetrics&));
    void ApplyScrollBar(QScrollBar* bar, const view::ScrollBarState& state);
    void ShowMessageBox(const QString& text, bool warning);
    // Shows plot `plotNo` and its status (Page Up and Down, the plot list).
    void ShowPlotNumbered(std::int16_t plotNo);
    void ShowPopupMenu(float x, float y);  // at a point of Picture3, in twips
    // Runs a command started by a key, menu or button: a failure ends the command with
    // its message, never the program.
    void RunReported(const std::function<void()>& command);
    int ToPixels(double twips) const;

    reader::PlotStore& store_;
    Platform& platform_;
    double twipsPerPixel_ = 15;
    view::ViewLayout layout_;

    QToolBar* toolbar1_ = nullptr;
    QStatusBar* statusBar1_ = nullptr;
    std::array<QLabel*, 4> panels_{};
    QWidget* picture1_ = nullptr;
    DrawingArea* picture3_ = nullptr;
    QScrollBar* hscroll1_ = nullptr;
    QScrollBar* vscroll1_ = nullptr;
    QImage picture2_;  // the selection buffer; never shown
    std::int32_t dragStartX_ = 0;
    std::int32_t dragStartY_ = 0;

    std::unique_ptr<QPrinter> printer_;
    int dialogFilterIndex_ = 1;  // the file dialog keeps the last filter chosen in it

    QPointer<QWidget> optionForm_;
    QPointer<QWidget> comdForm_;
    QPointer<QWidget> versForm_;

    std::unique_ptr<PlotLoader> loader_;
    std::unique_ptr<RecentFiles> recent_;
    view::PlotDrawing drawing_;  // the drawing under way, or the last one
    bool drawingFramed_ = false;
    bool drawn_ = false;  // drawing_ holds the fit of a plot drawn
    QSize drawingSize_;   // the raster's size when the drawing began
    QTimer* drawTimer_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    QProgressBar* progress_ = nullptr;

    QMenu* plotMenu20_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    std::vector<QAction*> recentFiles_;
    QAction* basicReading_ = nullptr;
    QMenu* plotMenu10_ = nullptr;
    QMenu* plotMenu80_ = nullptr;
    std::vector<QAction*> plotMenu81_;  // the plot list; element i stands for plot i + 1
    std::vector<QMenu*> plotGroups_;    // submenus of the plot list for files of many plots
};

}  // namespace kestrel::app
