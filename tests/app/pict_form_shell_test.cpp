// The main window's controls: menu tree, tool bar and the tool bar's commands.

#include <gtest/gtest.h>

#include <cmath>
#include <new>
#include <vector>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>

#include "form_test_support.h"

namespace kestrel::test {
namespace {

using ShellTest = FormTest;

// Each menu's object name, then its entries' ("-" before a separator's).
const std::vector<std::vector<const char*>> MenuTree = {
    {"PlotMenu20", "PlotMenu21", "PlotMenu24", "-PrintSeparator", "PrintTrueScale", "PrintFitted", "-PlotMenu22",
     "PlotMenu23"},
    {"PlotMenu30", "PlotMenu31", "BasicReading", "ShowTravel", "FollowFile"},
    {"PlotMenu80", "PensPanelToggle", "PagesPanelToggle", "-PanelsSeparator", "PlotMenu81"},
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
    // Button (1-based) and its Ctrl key; then the open, save, print and copy requests so far, and the drawing area's
    // width over the viewport's after the button and after the key (the keys zoom in steps of half the buttons').
    const double r2 = std::sqrt(2.0);
    const std::tuple<int, Qt::Key, QString, double, double> steps[] = {
        {6, Qt::Key_Plus, "0000", 2, r2}, {6, Qt::Key_Equal, "0000", 4, 2}, {7, Qt::Key_Minus, "0000", 2, r2},
        {8, Qt::Key_0, "0000", 1, 1},     {2, Qt::Key_O, "1000", 1, 1},     {3, Qt::Key_S, "1100", 1, 1},
        {4, Qt::Key_P, "1110", 1, 1},     {5, Qt::Key_C, "1111", 1, 1},     {1, Qt::Key_Q, "", 0, 0}};
    for (const bool keys : {false, true}) {
        fake = FakePlatform();
        form->show();
        form->activateWindow();  // shortcuts reach the active window only
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        for (const auto& [button, key, asked, byButton, byKey] : steps) {
            if (keys)
                QTest::keyClick(form->focusWidget(), key, Qt::ControlModifier);
            else
                form->Toolbar1()->actions()[button - 1]->trigger();
            EXPECT_EQ(form->isVisible(), button != 1) << button;  // the first button exits
            if (button == 1) break;
            EXPECT_EQ(QString::asprintf("%zu%zu%d%zu", fake.openCalls.size(), fake.saveCalls.size(), fake.printCalls,
                                        fake.clipboardImages.size()),
                      asked)
                << button;
            EXPECT_NEAR(form->Layout().area.width / form->Layout().viewport.width, keys ? byKey : byButton, 1e-9)
                << button;
        }
        EXPECT_TRUE(fake.messages.empty());
    }
}

TEST_F(ShellTest, AFailingCommandIsReportedAndTheWindowGoesOn) {
    form->RunReported([] { throw interact::KestrelError{6}; });
    form->RunReported([] { throw std::bad_alloc(); });
    ASSERT_EQ(fake.messages.size(), 2u);
    EXPECT_EQ(fake.messages[0].text, Message(reader::ErrorNumber::Overflow));
    EXPECT_EQ(fake.messages[1].text, Message(reader::ErrorNumber::OutOfMemory));
    EXPECT_TRUE(form->isVisible());
}

}  // namespace
}  // namespace kestrel::test
