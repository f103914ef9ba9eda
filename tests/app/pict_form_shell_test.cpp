// The main window's controls: menu tree, tool bar and the tool bar's commands.

#include <gtest/gtest.h>

#include <new>
#include <vector>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>

#include "form_test_support.h"
#include "interact/messages.h"

namespace kestrel::test {
namespace {

using ShellTest = FormTest;

// Each menu's object name, then its entries' ("-" before a separator's).
const std::vector<std::vector<const char*>> MenuTree = {
    {"PlotMenu20", "PlotMenu21", "PlotMenu24", "-PlotMenu22", "PlotMenu23"},
    {"PlotMenu30", "PlotMenu31", "BasicReading"},
    {"PlotMenu80", "PlotMenu81"},
    {"PlotMenu90", "PlotMenu94", "PlotMenu91", "-PlotMenu92", "PlotMenu93"},
    {"PlotMenu10", "PlotMenu15", "PlotMenu16", "PlotMenu17", "-PlotMenu12", "PlotMenu13", "PlotMenu14", "PlotMenu18"},
};

TEST_F(ShellTest, MenusAndToolBar) {
    for (const auto& m : MenuTree) {
        auto* menu = form->findChild<QMenu*>(m[0]);
        ASSERT_NE(menu, nullptr) << m[0];
        QStringList got, want(m.begin() + 1, m.end());
        for (const QAction* a : menu->actions())  // no recent files yet: their entries are hidden
            if (a->isVisible()) got << (a->isSeparator() ? "-" : "") + a->objectName();
        EXPECT_EQ(got, want);
    }
    QStringList bar;  // the four menus, not the pop-up
    for (const QAction* a : form->menuBar()->actions()) bar << (a->menu() ? a->menu()->objectName() : "?");
    EXPECT_EQ(bar, (QStringList{"PlotMenu20", "PlotMenu30", "PlotMenu80", "PlotMenu90"}));
    // The tool bar's buttons share the menus' actions where there are any.
    QStringList buttons;
    for (const QAction* b : form->Toolbar1()->actions()) buttons << b->objectName();
    EXPECT_EQ(buttons, (QStringList{"PlotMenu23", "PlotMenu21", "PlotMenu24", "PlotMenu13", "PlotMenu14", "ZoomIn",
                                    "ZoomOut", "FitToWindow"}));
}

TEST_F(ShellTest, ToolBarButtonsAndTheirShortcutsRunTheCommands) {
    const QSize viewport = ViewportSize();
    // Button (1-based) and its Ctrl key; open, save, print and copy requests so far; area size over viewport's; a bar
    // shown.
    const struct {
        int button;
        Qt::Key key;
        int opens, saves, prints, copies;
        double factor;
        bool bars;
    } steps[] = {{6, Qt::Key_Plus, 0, 0, 0, 0, 2, true},  {6, Qt::Key_Equal, 0, 0, 0, 0, 4, true},
                 {7, Qt::Key_Minus, 0, 0, 0, 0, 2, true}, {8, Qt::Key_0, 0, 0, 0, 0, 1, false},
                 {2, Qt::Key_O, 1, 0, 0, 0, 1, false},    {3, Qt::Key_S, 1, 1, 0, 0, 1, false},
                 {4, Qt::Key_P, 1, 1, 1, 0, 1, false},    {5, Qt::Key_C, 1, 1, 1, 1, 1, false},
                 {1, Qt::Key_Q, 1, 1, 1, 1, 1, false}};
    for (const bool keys : {false, true}) {
        fake = FakePlatform();
        form->show();
        form->activateWindow();  // shortcuts reach the active window only
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        for (const auto& s : steps) {
            if (keys)
                QTest::keyClick(form->focusWidget(), s.key, Qt::ControlModifier);
            else
                form->Toolbar1()->actions()[s.button - 1]->trigger();
            EXPECT_EQ(form->isVisible(), s.button != 1) << s.button;  // the first button exits
            if (s.button == 1) break;
            EXPECT_EQ(static_cast<int>(fake.openCalls.size()), s.opens) << s.button;
            EXPECT_EQ(static_cast<int>(fake.saveCalls.size()), s.saves) << s.button;
            EXPECT_EQ(fake.printCalls, s.prints) << s.button;
            EXPECT_EQ(static_cast<int>(fake.clipboardImages.size()), s.copies) << s.button;
            EXPECT_NEAR(form->Picture3()->width(), viewport.width() * s.factor, 2) << s.button;
            EXPECT_NEAR(form->Picture3()->height(), viewport.height() * s.factor, 2) << s.button;
            EXPECT_EQ(form->HScroll1()->isVisible() || form->VScroll1()->isVisible(), s.bars) << s.button;
        }
        EXPECT_TRUE(fake.messages.empty());
    }
}

TEST_F(ShellTest, AFailingCommandIsReportedAndTheWindowGoesOn) {
    form->show();
    form->RunReported([] { throw interact::KestrelError{6}; });
    form->RunReported([] { throw interact::KestrelError{11}; });
    form->RunReported([] { throw std::bad_alloc(); });
    QStringList texts;
    for (const auto& m : fake.messages) texts << m.text;
    EXPECT_EQ(texts, (QStringList{"オーバーフロー(Err=6)", "エラーメッセージ番号 11", "メモリが足りません(Err=7)"}));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(ShellTest, NoneSelectsPlotOne) {
    QAction* none = form->findChild<QMenu*>("PlotMenu80")->actions().front();
    ASSERT_TRUE(none->isEnabled());
    none->trigger();
    EXPECT_EQ(form->PanelText(2), QString("PLOT Files : 1 / 0"));
    EXPECT_EQ(form->PanelText(4), QString("L/S : 0 / 0"));
}

}  // namespace
}  // namespace kestrel::test
