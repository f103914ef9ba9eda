#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QImage>
#include <QMainWindow>
#include <QPointer>

#include "interact/plot_facts.h"
#include "interact/rotation.h"
#include "reader/plot_store.h"
#include "reader/reader.h"
#include "reader/units.h"
#include "view/display_settings.h"
#include "view/view_layout.h"
#include "view/view_transform.h"

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
class FileFollower;
class PagesPanel;
class PensPanel;
class Platform;
class PlotLoader;
class PlotOutput;
class RecentFiles;
class StatusPanels;
class StepwiseDrawing;
class Viewport;
class WindowMenus;
struct LoadedPlot;

// What the file and print dialogs keep from one use to the next, for the run.
struct DialogState {
    std::string FileFilter;  // the pattern of the open dialog's filter chosen last
    std::int16_t FilterIndex = 0;
    std::string SaveDir;  // the folder of the file last saved, with its trailing separator
    std::string SaveName;
    std::int16_t PrintCancelled = 0;  // 1 when the last print dialog ended without OK
};

// The main window. Handlers keep the names of the controls and events they serve; the
// plots live in the store passed in, the dialogs' state and the display settings here. The commands
// are built from one table (WindowMenus); output and stepwise drawing are parts of their own.
class PictForm : public QMainWindow {
    Q_OBJECT

public:
    PictForm(reader::PlotStore& store, Platform& platform, QWidget* parent = nullptr);
    ~PictForm() override;

    // Start-up and layout: the viewport `Picture1`, the drawing area `Picture3` in it and
    // the scroll bars `HScroll1` and `VScroll1`.
    void Form_Load();
    void Form_Resize();
    void HScroll1_Change();
    void VScroll1_Change();

    // View commands: the drawing area twice or half the size, or fitted to the window.
    void ZoomIn();
    void ZoomOut();
    void FitToWindow();
    // Ctrl + wheel: `steps` notches of zoom in (out when negative) keeping the point under
    // the mouse (Picture3's twips) where it is.
    void ZoomAtPoint(int steps, float x, float y);
    // Ctrl++ and Ctrl+-: a step of zoom in or out about the view's centre.
    void ZoomInStep();
    void ZoomOutStep();

    // The whole drawing area at the view's scale, drawn for output; nothing, after a
    // message, when it is larger than a picture may be.
    std::optional<QImage> AreaImage();
    // `width` x `height` pixels of the drawing area from its pixel (left, top), drawn for
    // output as the view draws them.
    QImage AreaPart(double left, double top, int width, int height);
    // The drawing area's size in pixels.
    view::AreaPixels AreaInPixels() const;

    // Drawing of plot PlotNo into Picture3's raster, with the range frame or without.
    void DrawPlot();
    void RedrawPlot();
    // Draws what is left of the drawing under way at once.
    void FinishDrawing();
    // True while a file is being read or a drawing is still under way.
    bool Busy() const;

    // The file menu: open (21), save (24, and the pop-up menu's 18), exit (23).
    void PlotMenu21_Click();
    void PlotMenu24_Click();
    void PlotMenu18_Click() { PlotMenu24_Click(); }
    void PlotMenu23_Click();
    // The plot list: entry `index` shows plot index + 1.
    void PlotMenu81_Click(int index);
    // Tool bar button `index` (1..8, left to right).
    void Toolbar1_ButtonClick(int index);

    // The pop-up menu: rotation right, left and by 180 degrees, print, copy.
    void PlotMenu15_Click();
    void PlotMenu16_Click();
    void PlotMenu17_Click();
    void PlotMenu13_Click();
    void PlotMenu14_Click();
    void ShowPrinterDialog();
    QPrinter& Printer();  // the current printer and its settings, for this run

    // The display settings (31), the command list (91), the version (93), the manual (94).
    void PlotMenu31_Click();
    void PlotMenu91_Click();
    void PlotMenu93_Click();
    void PlotMenu94_Click();
    QWidget* OptionForm() const { return displaySettingsForm_; }
    QWidget* ComdForm() const { return commandListForm_; }
    QWidget* VersForm() const { return versionForm_; }

    // ｵﾌﾟｼｮﾝ → read the basic commands only: the loaded file is read again at once.
    void BasicReading_Toggled();
    QAction* BasicReading() const;
    reader::Reading Reading() const;
    // ｵﾌﾟｼｮﾝ → the pen-up moves as dotted lines, and following the file as it changes on
    // disk; both are kept for the next run.
    void ShowTravel_Toggled();
    void FollowFile_Toggled();
    QAction* ShowTravel() const;
    QAction* FollowFile() const;

    // ﾌｧｲﾙ → the plot's vectors through a print preview: at true scale over as many sheets
    // as they take, or fitted to one.
    void PrintTrueScale_Click();
    void PrintFitted_Click();

    // The dockable panels: the pens and facts of the plot shown, and the file's pages.
    PensPanel* Pens() const { return pensPanel_; }
    PagesPanel* Pages() const { return pagesPanel_; }

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

    // Everything the open command does once a path has been chosen. The file is read in
    // the background; the window serves its events meanwhile and shows the plot once read.
    void OpenChosenFile(const QString& path);
    // The same for a path as the bytes the system gave (a dropped file, a recent file).
    void OpenPlotFile(const std::string& path);
    // A recent file: one that is no longer there is named in a message and leaves the list.
    void OpenRecentFile(const std::string& path);
    // Reads the loaded file again from disk (F5, and as it changes when followed), keeping
    // the plot shown and the view.
    void ReloadPlotFile();
    // The open command's steps once a file has been read: the plot replaces the one shown.
    void ShowReadPlot(LoadedPlot& plot);

    void RebuildPlotMenu();
    void ShowPlotStatus();
    void ShowErrorMessage(reader::ErrorNumber number);
    // A message of the window's own, with the warning icon.
    void ShowWarning(const QString& text);
    // A failure with a file: the message, then the file's name on a line of its own.
    void ShowFileErrorMessage(reader::ErrorNumber number, const std::string& path);
    // Runs a command started by a key, menu or button: a failure ends the command with
    // its message, never the program.
    void RunReported(const std::function<void()>& command);

    // For the window's own parts and for tests.
    reader::PlotStore& Store() { return store_; }
    DialogState& Dialogs() { return dialogs_; }
    view::DisplaySettings& Display() { return display_; }
    const view::ViewLayout& Layout() const { return layout_; }
    double TwipsPerPixel() const { return twipsPerPixel_; }
    QWidget* Picture1() const;
    DrawingArea* Picture3() const { return drawingArea_; }
    QScrollBar* HScroll1() const;
    QScrollBar* VScroll1() const;
    QToolBar* Toolbar1() const;
    QStatusBar* StatusBar1() const;
    QMenu* PlotMenu10() const;           // the pop-up menu
    QString PanelText(int panel) const;  // panel 1..4
    QString ReadingText() const;         // the status bar's reading of the plot shown
    QString StatusNote() const;          // and its note
    const QImage& Picture2() const { return selectionImage_; }  // the selection; never shown

    // What the layout reads from the window, in twips.
    view::WindowMetrics ReadMetrics() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QMenu* createPopupMenu() override;

private:
    void BuildViewport();
    void BuildPanels();
    void RestoreSettings();
    void KeepWindowPlace();
    // The viewport has a new size: the window's, or a panel came or went beside it.
    void ViewportResized();
    // Starts reading `path`; `keepView` keeps the plot shown and the view.
    void StartReading(const std::string& path, bool keepView);
    // After a read: messages and the status bar's note; false when the file is not one to
    // remember among the recent files.
    bool TellHowReadingWent(const LoadedPlot& plot);
    // A file read anew is shown fitted from its first plot; one read again for the view
    // shown keeps the plot number, the turns and the view (`seen`, as it was before).
    void ShowNewPlot(LoadedPlot& plot);
    void ShowPlotAgain(LoadedPlot& plot, std::int16_t shownBefore, const view::PlotView& seen);
    // The index the loader built, when it is over the plot shown as it is (not `turned`).
    void UseIndexRead(LoadedPlot& plot, bool turned);
    // The pens panel, the pages and the plot list's mark follow the plot shown.
    void RefreshPanels();
    void HiddenPensChanged(const std::vector<std::int16_t>& hidden);
    void RebuildRecentFiles();
    void ShowFileName();
    void ShowProgress();
    void ApplyLayout();
    void Zoom(bool (*step)(view::ViewLayout&, const view::WindowMetrics&, const view::ZoomLimits&));
    void ShowMessageBox(const QString& text, bool warning);
    // Shows plot `plotNo` and its status (Page Up and Down, the plot list).
    void ShowPlotNumbered(std::int16_t plotNo);
    void Rotate(interact::Turn turn);
    void TurnPlot(interact::Turn turn);    // Rotate's turn of the tables alone
    void ShowPopupMenu(float x, float y);  // at a point of Picture3, in twips
    // Esc: a right-button drag under way is given up, else as CancelViewDrag.
    void CancelDrag();

    // The view's own part: the picture following the layout, the gestures that move it or
    // measure on it, and the pointer's coordinates.
    // Given: a drag given up by Esc, its buttons still held.
    enum class ViewDrag { None, Pan, Measure, Zoom, Given };
    void ShowView();
    // RedrawPlot after the view alone changed: the last picture stands in until it is done.
    void RedrawView();
    void ZoomBy(double factor, double x, double y);  // about a point of the viewport, twips
    void ZoomAtCentre(double factor);                // of the viewport's visible part
    view::FitTransform ViewFit() const;
    view::PlotPoint FileAt(float x, float y) const;  // under a point of Picture3, in twips
    int& QuarterTurns();                             // of plot PlotNo
    void ShowPointer(float x, float y);
    bool BeginViewDrag(int button, int shift, float x, float y);
    bool ContinueViewDrag(float x, float y);
    bool EndViewDrag(int button, float x, float y);
    // Esc: a drag under way is given up, else the measuring line cleared.
    void CancelViewDrag();
    void ShowMeasure();
    void ClearMeasure();
    void UpdateMarks();

    reader::PlotStore& store_;
    Platform& platform_;
    DialogState dialogs_;
    view::DisplaySettings display_;
    double twipsPerPixel_ = reader::ScreenTwipsPerPixel;
    view::ViewLayout layout_;

    StatusPanels* statusBar_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    Viewport* viewport_ = nullptr;
    DrawingArea* drawingArea_ = nullptr;  // the viewport's
    QImage selectionImage_;
    std::int32_t dragStartX_ = 0;
    std::int32_t dragStartY_ = 0;
    ViewDrag viewDrag_ = ViewDrag::None;
    float viewDragX_ = 0, viewDragY_ = 0;  // where a pan grabbed the area, or a zoom began
    float viewDragToX_ = 0, viewDragToY_ = 0;
    bool measured_ = false;  // a measuring line shows, between these points of the file
    view::PlotPoint measureFrom_, measureTo_;
    std::vector<int> quarterTurns_;  // per slot: how the plot is turned from the file's own
    int dialogFilterIndex_ = 1;      // the file dialogs keep the last filter chosen in either
    // A right-button drag under way, and whether Esc ended it before the button came up.
    bool dragging_ = false;
    bool dragCancelled_ = false;
    // How the plot shown was read.
    reader::Reading shownReading_ = reader::Reading::Plotter;
    interact::EarlyEnd shownEnd_ = interact::EarlyEnd::None;
    PensPanel* pensPanel_ = nullptr;
    PagesPanel* pagesPanel_ = nullptr;
    FileFollower* follower_ = nullptr;

    QPointer<QWidget> displaySettingsForm_;
    QPointer<QWidget> commandListForm_;
    QPointer<QWidget> versionForm_;

    std::unique_ptr<PlotLoader> loader_;
    std::unique_ptr<RecentFiles> recent_;
    std::unique_ptr<StepwiseDrawing> drawing_;
    std::unique_ptr<PlotOutput> output_;
    std::unique_ptr<WindowMenus> menus_;
};

}  // namespace kestrel::app
