#pragma once

#include <initializer_list>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QToolBar;

namespace kestrel::app {

class PictForm;

// The window's commands, one QAction each, built from one table and shared by the menu
// bar, the drawing area's pop-up menu and the tool bar; and the two lists the menus
// change at run time, the plots of the file and the recent files.
class WindowMenus {
public:
    explicit WindowMenus(PictForm& form);

    QToolBar* Toolbar() const { return toolbar_; }
    QMenu* PopupMenu() const { return popupMenu_; }
    QAction* BasicReading() const { return basicReading_; }
    QAction* ShowTravel() const { return showTravel_; }
    QAction* FollowFile() const { return followFile_; }

    // The plot list (ｳｨﾝﾄﾞｳ) for `plotTotal` plots; "なし" when there are none.
    void RebuildPlotList(int plotTotal);
    // Ticks the plot list's entry of plot `plotNo`, the plot shown.
    void MarkPlot(int plotNo);
    // The panels' toggles, at the head of the window menu.
    void AddPanels(std::initializer_list<QAction*> toggles);
    // The recent files, between the file menu's entries and its exit entry.
    void RebuildRecentFiles(const std::vector<std::string>& files);

private:
    QAction* Action(const char* name) const;
    void BuildMenuBar();
    void BuildPopupMenu();
    void BuildToolbar();

    PictForm& form_;
    std::vector<QAction*> commands_;  // in the table's order
    QToolBar* toolbar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QAction* exitSeparator_ = nullptr;
    std::vector<QAction*> recentFiles_;
    QAction* basicReading_ = nullptr;
    QAction* showTravel_ = nullptr;
    QAction* followFile_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    QMenu* plotListMenu_ = nullptr;
    std::vector<QAction*> plotEntries_;  // element i stands for plot i + 1
    std::vector<QMenu*> plotGroups_;     // submenus of the plot list for files of many plots
    QAction* marked_ = nullptr;          // the entry of the plot shown
};

}  // namespace kestrel::app
