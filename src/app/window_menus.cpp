#include "app/window_menus.h"

#include <algorithm>
#include <functional>

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app/captions.h"
#include "app/file_names.h"
#include "app/pict_form.h"
#include "interact/plot_status.h"

namespace kestrel::app {

namespace {

struct Command {
    const char* name;     // the control's name, kept as the action's object name
    const char* caption;  // in a menu
    const char* toolTip;  // on the tool bar; nullptr: not there
    const char* icon;
    QKeySequence::StandardKey standardKey;
    const char* keys;  // besides, in QKeySequence's portable text, "; " between sequences
    void (PictForm::*handler)();
    bool checkable = false;
};

// The tool bar shows the commands with a tooltip, in this order. Each key sits on one
// action only: Qt ignores a key that two actions claim.
const Command Commands[] = {
    {"PlotMenu23", PlotMenu23Caption, ToolbarTips[0], ":/icons/exit.png", QKeySequence::UnknownKey,
     "Ctrl+Q", &PictForm::PlotMenu23_Click},
    {"PlotMenu21", PlotMenu21Caption, ToolbarTips[1], ":/icons/open.png", QKeySequence::Open, "",
     &PictForm::PlotMenu21_Click},
    {"PlotMenu24", PlotMenu24Caption, ToolbarTips[2], ":/icons/save.png", QKeySequence::Save, "",
     &PictForm::PlotMenu24_Click},
    {"PlotMenu13", PlotMenu13Caption, ToolbarTips[3], ":/icons/print.png", QKeySequence::Print, "",
     &PictForm::PlotMenu13_Click},
    {"PlotMenu14", PlotMenu14Caption, ToolbarTips[4], ":/icons/copy.png", QKeySequence::Copy, "",
     &PictForm::PlotMenu14_Click},
    {"ZoomIn", ToolbarTips[5], ToolbarTips[5], ":/icons/zoomin.png", QKeySequence::UnknownKey, "",
     &PictForm::ZoomIn},
    {"ZoomOut", ToolbarTips[6], ToolbarTips[6], ":/icons/zoomout.png", QKeySequence::UnknownKey, "",
     &PictForm::ZoomOut},
    {"FitToWindow", ToolbarTips[7], ToolbarTips[7], ":/icons/fit.png", QKeySequence::UnknownKey,
     "Ctrl+0", &PictForm::FitToWindow},
    {"PlotMenu31", PlotMenu31Caption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::PlotMenu31_Click},
    {"BasicReading", BasicReadingCaption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::BasicReading_Toggled, true},
    {"PlotMenu94", PlotMenu94Caption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::PlotMenu94_Click},
    {"PlotMenu91", PlotMenu91Caption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::PlotMenu91_Click},
    {"PlotMenu93", PlotMenu93Caption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::PlotMenu93_Click},
    {"PlotMenu15", PlotMenu15Caption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::PlotMenu15_Click},
    {"PlotMenu16", PlotMenu16Caption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::PlotMenu16_Click},
    {"PlotMenu17", PlotMenu17Caption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::PlotMenu17_Click},
    // The pop-up's own entry for saving, kept as the control it has always been.
    {"PlotMenu18", PlotMenu18Caption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::PlotMenu18_Click},
    {"Reload", "", nullptr, nullptr, QKeySequence::UnknownKey, "F5", &PictForm::ReloadPlotFile},
    {"PrintTrueScale", PrintTrueScaleCaption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::PrintTrueScale_Click},
    {"PrintFitted", PrintFittedCaption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::PrintFitted_Click},
    {"ShowTravel", ShowTravelCaption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::ShowTravel_Toggled, true},
    {"FollowFile", FollowFileCaption, nullptr, nullptr, QKeySequence::UnknownKey, "",
     &PictForm::FollowFile_Toggled, true},
    // Zoom in steps about the view's centre; the tool bar's buttons double and halve.
    {"ZoomInStep", "", nullptr, nullptr, QKeySequence::UnknownKey,
     "Ctrl++; Ctrl+=", &PictForm::ZoomInStep},
    {"ZoomOutStep", "", nullptr, nullptr, QKeySequence::UnknownKey, "Ctrl+-",
     &PictForm::ZoomOutStep},
};

// A menu's entries by command name; "-Name" is a separator of that name.
struct MenuLayout {
    const char* name;
    const char* caption;
    std::vector<const char*> entries;
};

const MenuLayout MenuBar[] = {
    {"PlotMenu20",
     PlotMenu20Caption,
     {"PlotMenu21", "PlotMenu24", "-PrintSeparator", "PrintTrueScale", "PrintFitted", "-PlotMenu22",
      "PlotMenu23"}},
    {"PlotMenu30", PlotMenu30Caption, {"PlotMenu31", "BasicReading", "ShowTravel", "FollowFile"}},
    {"PlotMenu80", PlotMenu80Caption, {}},
    {"PlotMenu90", PlotMenu90Caption, {"PlotMenu94", "PlotMenu91", "-PlotMenu92", "PlotMenu93"}},
};

// The drawing area's pop-up menu: a child of the window, never in the menu bar.
const MenuLayout Popup = {"PlotMenu10",
                          PlotMenu10Caption,
                          {"PlotMenu15", "PlotMenu16", "PlotMenu17", "-PlotMenu12", "PlotMenu13",
                           "PlotMenu14", "PlotMenu18"}};

// A menu's cost grows with the square of its entries: files of many pages get their
// plots from the hundredth on in submenus of a hundred.
constexpr std::size_t PlotGroupSize = 100;

}  // namespace

WindowMenus::WindowMenus(PictForm& form) : form_(form) {
    for (const Command& command : Commands) {
        auto* action = new QAction(QString::fromUtf8(command.caption), &form);
        action->setObjectName(command.name);
        if (command.toolTip != nullptr) action->setToolTip(QString::fromUtf8(command.toolTip));
        if (command.icon != nullptr) action->setIcon(QIcon(command.icon));
        QList<QKeySequence> keys = QKeySequence::keyBindings(command.standardKey);
        keys += QKeySequence::listFromString(QString::fromLatin1(command.keys));
        action->setShortcuts(keys);
        const auto handler = command.handler;
        const auto run = [&form, handler] {
            form.RunReported([&form, handler] { (form.*handler)(); });
        };
        if (command.checkable) {
            action->setCheckable(true);
            QObject::connect(action, &QAction::toggled, &form, run);
        } else {
            QObject::connect(action, &QAction::triggered, &form, run);
        }
        // The window's own actions work with no menu open; Reload is in no menu at all.
        form.addAction(action);
        commands_.push_back(action);
    }
    basicReading_ = Action("BasicReading");
    showTravel_ = Action("ShowTravel");
    followFile_ = Action("FollowFile");
    BuildMenuBar();
    BuildPopupMenu();
    BuildToolbar();
}

QAction* WindowMenus::Action(const char* name) const {
    const auto it = std::find_if(commands_.begin(), commands_.end(), [name](const QAction* a) {
        return a->objectName() == QLatin1String(name);
    });
    return it != commands_.end() ? *it : nullptr;
}

namespace {

QMenu* BuildMenu(QWidget* parent, const MenuLayout& layout,
                 const std::function<QAction*(const char*)>& action) {
    auto* menu = new QMenu(QString::fromUtf8(layout.caption), parent);
    menu->setObjectName(layout.name);
    menu->menuAction()->setObjectName(layout.name);
    for (const char* entry : layout.entries) {
        if (entry[0] == '-') {
            menu->addSeparator()->setObjectName(entry + 1);
        } else {
            menu->addAction(action(entry));
        }
    }
    return menu;
}

}  // namespace

void WindowMenus::BuildMenuBar() {
    QMenuBar* bar = form_.menuBar();
    // A menu bar inside the window on every desktop, so the client area starts below it.
    bar->setNativeMenuBar(false);
    const auto action = [this](const char* name) { return Action(name); };
    for (const MenuLayout& layout : MenuBar) bar->addMenu(BuildMenu(&form_, layout, action));
    fileMenu_ = form_.findChild<QMenu*>("PlotMenu20");
    exitSeparator_ = fileMenu_->findChild<QAction*>("PlotMenu22");
    // The recent files go between a separator of their own and the exit entry's.
    recentSeparator_ = fileMenu_->insertSeparator(exitSeparator_);
    recentSeparator_->setObjectName("RecentFilesSeparator");
    plotListMenu_ = form_.findChild<QMenu*>("PlotMenu80");
    auto* none = new QAction(QString::fromUtf8(PlotMenu81Caption), &form_);
    none->setObjectName("PlotMenu81");
    QObject::connect(none, &QAction::triggered, &form_, [this] { form_.PlotMenu81_Click(0); });
    plotListMenu_->addAction(none);
    plotEntries_.push_back(none);
}

void WindowMenus::BuildPopupMenu() {
    popupMenu_ = BuildMenu(&form_, Popup, [this](const char* name) { return Action(name); });
}

void WindowMenus::BuildToolbar() {
    toolbar_ = new QToolBar(&form_);
    toolbar_->setObjectName("Toolbar1");
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(24, 24));
    int button = 0;
    for (QAction* action : commands_) {
        if (action->icon().isNull()) continue;
        toolbar_->addAction(action);
        toolbar_->widgetForAction(action)->setObjectName(
            QStringLiteral("Toolbar1_Button%1").arg(++button));
    }
    form_.addToolBar(Qt::TopToolBarArea, toolbar_);
}

void WindowMenus::RebuildPlotList(int plotTotal) {
    const std::vector<std::string> captions = interact::PlotMenuCaptions(plotTotal);
    MarkPlot(0);  // before the entry marked goes
    QAction* first = plotEntries_.front();
    if (!captions.empty()) first->setText(QString::fromStdString(captions.front()));
    first->setEnabled(true);
    qDeleteAll(plotGroups_);  // with the entries they own
    plotGroups_.clear();
    if (plotEntries_.size() > PlotGroupSize) plotEntries_.resize(PlotGroupSize);
    while (plotEntries_.size() > 1) {
        delete plotEntries_.back();
        plotEntries_.pop_back();
    }
    const bool grouped = captions.size() > PlotGroupSize;
    QMenu* group = nullptr;
    for (std::size_t i = 1; i < captions.size(); ++i) {
        if (grouped && i % PlotGroupSize == 0) {
            const std::size_t last = std::min(i + PlotGroupSize, captions.size());
            group = new QMenu(QString::fromStdString(captions[i]) + " - " + QString::number(last),
                              plotListMenu_);
            plotListMenu_->addMenu(group);
            plotGroups_.push_back(group);
        }
        auto* entry = new QAction(QString::fromStdString(captions[i]),
                                  group != nullptr ? static_cast<QObject*>(group) : &form_);
        entry->setObjectName("PlotMenu81");
        entry->setCheckable(true);
        const int index = static_cast<int>(i);
        QObject::connect(entry, &QAction::triggered, &form_,
                         [this, index] { form_.PlotMenu81_Click(index); });
        (group != nullptr ? group : plotListMenu_)->addAction(entry);
        plotEntries_.push_back(entry);
    }
}

void WindowMenus::MarkPlot(int plotNo) {
    if (marked_ != nullptr) marked_->setChecked(false);
    marked_ = nullptr;
    // "なし" stands for no plot until a file is loaded.
    if (plotNo < 1 || static_cast<std::size_t>(plotNo) > plotEntries_.size()) return;
    QAction* entry = plotEntries_[static_cast<std::size_t>(plotNo - 1)];
    if (entry->text() == QString::fromUtf8(PlotMenu81Caption)) return;
    entry->setCheckable(true);
    entry->setChecked(true);
    marked_ = entry;
}

void WindowMenus::AddPanels(std::initializer_list<QAction*> toggles) {
    // Above the plot list, apart from it.
    QAction* first = plotEntries_.front();
    for (QAction* toggle : toggles) plotListMenu_->insertAction(first, toggle);
    plotListMenu_->insertSeparator(first)->setObjectName("PanelsSeparator");
}

void WindowMenus::RebuildRecentFiles(const std::vector<std::string>& files) {
    qDeleteAll(recentFiles_);
    recentFiles_.clear();
    for (std::size_t i = 0; i < files.size(); ++i) {
        QString name = DisplayName(files[i]);
        name.replace(u'&', QStringLiteral("&&"));  // not an access key
        auto* entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name), &form_);
        entry->setObjectName("RecentFile");
        const std::string path = files[i];
        QObject::connect(entry, &QAction::triggered, &form_,
                         [this, path] { form_.OpenRecentFile(path); });
        fileMenu_->insertAction(exitSeparator_, entry);
        recentFiles_.push_back(entry);
    }
    recentSeparator_->setVisible(!files.empty());
}

}  // namespace kestrel::app
