// The main window's controls: menu tree, tool bar, status bar, and the tool bar's mapping.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/messages.h"
#include "form_test_support.h"

namespace Kestrel_Test {
namespace {

// One menu's entries: object name and caption, "-" standing for a separator.
struct MenuItem {
    const char* name;
    const char* caption;
};

struct MenuCase {
    const char* menu;
    const char* title;
    std::vector<MenuItem> items;
};

void PrintTo(const MenuCase& c, std::ostream* os) {
    *os << c.menu;
}

const std::vector<MenuCase> MenuTree = {
    {"PlotMenu20",
     "ﾌｧｲﾙ(&F)",
     {{"PlotMenu21", "ﾌﾟﾛｯﾀﾌｧｲﾙの読み込み"},
      {"PlotMenu24", "画像の保存（ＢＭＰ形式）"},
      {"PlotMenu22", "-"},
      {"PlotMenu23", "プログラムの終了"}}},
    {"PlotMenu30", "ｵﾌﾟｼｮﾝ(&O)", {{"PlotMenu31", "表示設定(&E)"}}},
    {"PlotMenu80", "ｳｨﾝﾄﾞｳ(&W)", {{"PlotMenu81", "なし"}}},
    {"PlotMenu90",
     "ﾍﾙﾌﾟ(&H)",
     {{"PlotMenu94", "オンラインマニュアル"},
      {"PlotMenu91", "対応コマンド一覧表"},
      {"PlotMenu92", "-"},
      {"PlotMenu93", "バージョン情報"}}},
    {"PlotMenu10",
     "ポップアップメニュー",
     {{"PlotMenu15", "右に９０°回転"},
      {"PlotMenu16", "左に９０°回転"},
      {"PlotMenu17", "１８０°回転"},
      {"PlotMenu12", "-"},
      {"PlotMenu13", "印刷"},
      {"PlotMenu14", "ｸﾘｯﾌﾟﾎﾞｰﾄﾞに保管"},
      {"PlotMenu18", "画像の保存（ＢＭＰ形式）"}}},
};

class MenuTreeTest : public FormTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuTreeTest, HoldsItsEntriesInOrder) {
    const MenuCase& c = GetParam();
    auto* menu = form->findChild<QMenu*>(c.menu);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QString::fromUtf8(c.title));
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(c.items.size()));
    for (size_t i = 0; i < c.items.size(); ++i) {
        const QAction* a = actions[static_cast<qsizetype>(i)];
        SCOPED_TRACE(c.items[i].name);
        EXPECT_EQ(a->objectName(), QString::fromUtf8(c.items[i].name));
        if (std::string(c.items[i].caption) == "-") {
            EXPECT_TRUE(a->isSeparator());
        } else {
            EXPECT_FALSE(a->isSeparator());
            EXPECT_EQ(a->text(), QString::fromUtf8(c.items[i].caption));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Menus, MenuTreeTest, ::testing::ValuesIn(MenuTree),
                         [](const auto& info) { return std::string(info.param.menu); });

using ShellTest = FormTest;

TEST_F(ShellTest, MenuBarHoldsTheFourMenusButNotThePopUp) {
    const QList<QAction*> top = form->menuBar()->actions();
    QStringList names;
    for (const QAction* a : top) {
        ASSERT_NE(a->menu(), nullptr);
        names << a->menu()->objectName();
    }
    EXPECT_EQ(names, (QStringList{"PlotMenu20", "PlotMenu30", "PlotMenu80", "PlotMenu90"}));
    EXPECT_FALSE(form->PlotMenu10()->isVisible());
    EXPECT_EQ(form->PlotMenu10()->title(), QString::fromUtf8("ポップアップメニュー"));
}

TEST_F(ShellTest, NoActionHasAShortcut) {
    const QList<QAction*> actions = form->findChildren<QAction*>();
    ASSERT_GT(actions.size(), 20);
    for (const QAction* a : actions) {
        EXPECT_TRUE(a->shortcut().isEmpty()) << a->objectName().toStdString();
    }
}

TEST_F(ShellTest, PlotListStartsWithNoneWhichSelectsPlotOne) {
    auto* entries = form->findChild<QMenu*>("PlotMenu80");
    ASSERT_EQ(entries->actions().size(), 1);
    EXPECT_EQ(entries->actions().front()->text(), QString::fromUtf8("なし"));
    ASSERT_TRUE(entries->actions().front()->isEnabled());
    entries->actions().front()->trigger();
    EXPECT_EQ(form->findChild<QLabel*>("StatusBar1_Panel2")->text(), QString("PLOT Files : 1 / 0"));
    EXPECT_EQ(form->findChild<QLabel*>("StatusBar1_Panel4")->text(), QString("L/S : 0 / 0"));
}

TEST_F(ShellTest, CaptionIsKestrel) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kestrel"));
}

TEST_F(ShellTest, ToolbarHasEightButtonsWithTipsAndImages) {
    const QStringList tips{"プログラム終了", "ファイルを開く",         "ビットマップ形式で保存",
                           "印刷",           "クリップボードへコピー", "拡大",
                           "縮小",           "ウィンドウに合わせる"};
    ASSERT_EQ(form->Toolbar1()->objectName(), QStringLiteral("Toolbar1"));
    const QList<QAction*> buttons = form->Toolbar1()->actions();
    ASSERT_EQ(buttons.size(), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(buttons[i]->toolTip(), tips[i]);
        EXPECT_FALSE(buttons[i]->icon().pixmap(24, 24).isNull());
    }
    for (const char* icon :
         {":/icons/exit.png", ":/icons/open.png", ":/icons/save.png", ":/icons/print.png",
          ":/icons/copy.png", ":/icons/zoomin.png", ":/icons/zoomout.png", ":/icons/fit.png"}) {
        EXPECT_TRUE(QFile::exists(QString::fromUtf8(icon))) << icon;
    }
}

TEST_F(ShellTest, StatusBarPanelsShowTheirNames) {
    const QStringList names{"ウィンドウサイズ", "プロット番号", "フォントタイプ",
                            "ライン数/文字数"};
    const QList<QLabel*> labels = form->StatusBar1()->findChildren<QLabel*>();
    ASSERT_EQ(form->StatusBar1()->objectName(), QStringLiteral("StatusBar1"));
    for (int i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(form->PanelText(i), names[i - 1]);
        auto* label = form->findChild<QLabel*>(QStringLiteral("StatusBar1_Panel%1").arg(i));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->toolTip(), names[i - 1]);
    }
    // Left to right on the bar.
    for (int i = 1; i < 4; ++i) {
        auto* left = form->findChild<QLabel*>(QStringLiteral("StatusBar1_Panel%1").arg(i));
        auto* right = form->findChild<QLabel*>(QStringLiteral("StatusBar1_Panel%1").arg(i + 1));
        EXPECT_LT(left->x(), right->x());
    }
}

TEST_F(ShellTest, ExitCommandsCloseTheWindow) {
    for (const char* name : {"PlotMenu23", "Toolbar1_Button1"}) {
        SCOPED_TRACE(name);
        form->show();
        ASSERT_TRUE(form->isVisible());
        form->findChild<QAction*>(name)->trigger();
        EXPECT_FALSE(form->isVisible());
    }
}

// What a tool bar button did to the view and the dialogs.
struct ButtonCase {
    int index;
    int openCalls;
    double sizeFactor;  // drawing area size relative to the viewport afterwards
};

void PrintTo(const ButtonCase& c, std::ostream* os) {
    *os << "button " << c.index;
}

class ToolbarButtonTest : public FormTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ToolbarButtonTest, RunsItsCommand) {
    const ButtonCase& c = GetParam();
    const QSize viewport = ViewportSize();
    if (c.index >= 1 && c.index <= 8) {
        form->Toolbar1()->actions()[c.index - 1]->trigger();
    } else {
        form->Toolbar1_ButtonClick(c.index);
    }
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(static_cast<int>(fake.openCalls.size()), c.openCalls);
    EXPECT_TRUE(fake.messages.empty());
    const QSize expected(static_cast<int>(viewport.width() * c.sizeFactor),
                         static_cast<int>(viewport.height() * c.sizeFactor));
    EXPECT_NEAR(form->Picture3()->width(), expected.width(), 1);
    EXPECT_NEAR(form->Picture3()->height(), expected.height(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ToolbarButtonTest,
    ::testing::Values(ButtonCase{0, 0, 1}, ButtonCase{2, 1, 1}, ButtonCase{3, 0, 1},
                      ButtonCase{4, 0, 1}, ButtonCase{5, 0, 1}, ButtonCase{6, 0, 2},
                      ButtonCase{7, 0, 0.5}, ButtonCase{8, 0, 1}, ButtonCase{9, 0, 1}),
    [](const auto& info) { return "Button" + std::to_string(info.param.index); });

TEST_F(ShellTest, FitButtonUndoesAnEnlargement) {
    form->Toolbar1_ButtonClick(6);
    ASSERT_EQ(form->Picture3()->size(), ViewportSize() * 2);
    form->Toolbar1_ButtonClick(8);
    EXPECT_EQ(form->Picture3()->size(), ViewportSize());
}

// The message box of a failure: its text (line breaks as shown), OK only, warning icon.
struct ErrorCase {
    int number;
    const char* text;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << "error " << c.number;
}

class ErrorMessageTest : public FormTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorMessageTest, ShowsTheTextWithAWarning) {
    const ErrorCase& c = GetParam();
    form->ShowErrorMessage(c.number);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, QString::fromUtf8(c.text));
    EXPECT_EQ(fake.messages[0].caption, QStringLiteral("Kestrel"));
    EXPECT_EQ(fake.messages[0].icon, Kestrel_App::MessageIcon::Warning);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ErrorMessageTest,
    ::testing::Values(ErrorCase{6, "オーバーフロー(Err=6)"},
                      ErrorCase{52, "ファイル名または番号が不正です。\n"},
                      ErrorCase{53,
                                "ファイルが見つかりません。(Err=53)"
                                "\n対策：設定ファイルを間違えていないか確かめて下さい"},
                      ErrorCase{5, "エラーメッセージ番号 5"}),
    [](const auto& info) { return "Error" + std::to_string(info.param.number); });

}  // namespace
}  // namespace Kestrel_Test
