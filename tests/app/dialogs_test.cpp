// The display settings, command list and version windows; the manual; closing the program.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "app/captions.h"
#include "app/dialogs.h"
#include "form_test_support.h"
#include "reader/command_table.h"

namespace kestrel::test {
namespace {

using app::PictForm;

class DialogsTest : public FormTest {
protected:
    void TearDown() override {
        form->close();
        FlushDeletes();
    }
    static void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QWidget* Options() {
        form->PlotMenu31_Click();
        return form->OptionForm();
    }
    static QRadioButton* Radio(QWidget* dialog, int n) {
        return dialog->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(n));
    }
    // Which button of each group is on: 1 or 2 for the first group, 3 or 4 for the second.
    static std::pair<int, int> Selected(QWidget* dialog) {
        const auto on = [dialog](int n) { return Radio(dialog, n)->isChecked() ? n : 0; };
        return {on(1) + on(2), on(3) + on(4)};
    }
    QStringList CommandList() {  // opened anew when it was closed
        form->PlotMenu91_Click();
        QStringList out;
        auto* list = form->ComdForm()->findChild<QListWidget*>("List1");
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
};

TEST_F(DialogsTest, DisplaySettingsShowAndStoreTheFlagsOnlyOnOk) {
    // Flags before, buttons clicked, OK (or the title bar's close), shown at opening, flags after.
    const struct {
        std::int16_t adjust, range;
        int click1, click2;
        bool ok;
        std::pair<int, int> shown;
        std::int16_t adjustAfter, rangeAfter;
    } rows[] = {{0, 0, 2, 4, true, {1, 3}, 1, 1},
                {1, 1, 1, 3, true, {2, 4}, 0, 0},
                {0, 1, 2, 3, false, {1, 4}, 0, 1},
                {1, 0, 0, 0, true, {2, 3}, 1, 0}};
    EXPECT_EQ(Selected(Options()), std::make_pair(1, 3));  // both ON at start
    for (const auto& r : rows) {
        form->Display().AdjustViewOff = r.adjust;
        form->Display().RangeFrameOff = r.range;
        QWidget* dialog = Options();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Selected(dialog), r.shown) << r.adjust << r.range;
        for (int n : {r.click1, r.click2})
            if (n != 0) Radio(dialog, n)->click();
        if (r.ok)
            dialog->findChild<QPushButton*>("Command1")->click();
        else
            dialog->close();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(std::pair(form->Display().AdjustViewOff, form->Display().RangeFrameOff),
                  std::pair(r.adjustAfter, r.rangeAfter))
            << r.adjust << r.range << r.ok;
    }
}

TEST_F(DialogsTest, PenWidthsShowUntilTurnedOffAndTheDrawingFollowsAtOnce) {
    form->OpenChosenFile(QStringLiteral(SAMPLES_DIR "/shapes.hpg"));
    ASSERT_TRUE(WaitUntilIdle(*form));
    const QImage wide = Raster();
    ASSERT_FALSE(AllWhite(wide));
    // OFF draws hair-lines only, ON the widths again; OK without a change draws nothing anew.
    const std::tuple<int, std::int16_t, bool> rows[] = {{6, 1, false}, {0, 1, false}, {5, 0, true}};
    for (const auto& [click, after, wideShown] : rows) {
        QWidget* dialog = Options();
        EXPECT_EQ(Radio(dialog, form->Display().PenWidthOff == 0 ? 5 : 6)->isChecked(), true);
        if (click != 0) Radio(dialog, click)->click();
        dialog->findChild<QPushButton*>("Command1")->click();
        ASSERT_TRUE(WaitUntilIdle(*form));
        EXPECT_EQ(form->Display().PenWidthOff, after);
        EXPECT_EQ(Raster() == wide, wideShown) << click;
    }
}

TEST_F(DialogsTest, CommandListKeepsTheEightBasicCommandsFirstAfterReopening) {
    const QStringList shown = CommandList();
    QStringList mnemonics;
    for (const QString& line : shown.mid(0, 9)) mnemonics << line.left(2);
    EXPECT_EQ(mnemonics.join(' '), "DF IN PA PD PG PR PU SP BP");  // then plotter reading's
    // The commands plotter reading's table holds, but WD, which is read for a display
    // Kestrel has not.
    std::set<QString> listed, known;
    for (const QString& line : shown) listed.insert(line.left(2));
    for (const auto& family : reader::CommandTable::Families())
        for (const reader::CommandRow& row : family)
            if (row.mnemonic != reader::Mnemonic('W', 'D'))
                known.insert(QString(QChar(row.mnemonic >> 8)) + QChar(row.mnemonic & 0xFF));
    EXPECT_EQ(listed, known);
    const auto* list = form->ComdForm()->findChild<QListWidget*>("List1");
    EXPECT_EQ(list->font().family(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(list->font().pointSizeF(), 9.0);
    form->ComdForm()->findChild<QPushButton*>("Command1")->click();
    EXPECT_FALSE(form->ComdForm() != nullptr && form->ComdForm()->isVisible());
    EXPECT_EQ(CommandList(), shown);
}

TEST_F(DialogsTest, VersionWindowTextsAndItsKeys) {
    form->PlotMenu93_Click();
    QWidget* dialog = form->VersForm();
    const auto label = [dialog](const char* name) { return dialog->findChild<QLabel*>(name); };
    EXPECT_EQ(label("picIcon")->pixmap().size(), QSize(32, 32));
    for (const char* name : {"lblTitle", "lblVersion", "lblDescription"})  // no text cut off
        EXPECT_GE(label(name)->width(), label(name)->sizeHint().width()) << name;

    // Esc and Enter press OK; a key that is neither leaves the window open.
    const std::pair<Qt::Key, bool> keys[] = {
        {Qt::Key_A, false}, {Qt::Key_Escape, true}, {Qt::Key_Return, true}, {Qt::Key_Enter, true}};
    for (const auto& [key, closes] : keys) {
        form->PlotMenu93_Click();
        QWidget* shown = form->VersForm();
        QTest::keyClick(shown, key);
        EXPECT_EQ(shown->isVisible(), !closes) << key;
    }
}

TEST_F(DialogsTest, OneInstanceEachAndAllOpenTogether) {
    const std::pair<void (PictForm::*)(), QWidget* (PictForm::*)() const> dialogs[] = {
        {&PictForm::PlotMenu31_Click, &PictForm::OptionForm},
        {&PictForm::PlotMenu91_Click, &PictForm::ComdForm},
        {&PictForm::PlotMenu93_Click, &PictForm::VersForm}};
    for (const auto& [menu, dialog] : dialogs) {
        (form.get()->*menu)();
        QWidget* first = (form.get()->*dialog)();
        ASSERT_NE(first, nullptr);
        EXPECT_TRUE(first->parentWidget() == nullptr && !first->isModal());  // no owner
        (form.get()->*menu)();
        EXPECT_EQ((form.get()->*dialog)(), first);
    }
    for (const auto& [menu, dialog] : dialogs) EXPECT_TRUE((form.get()->*dialog)()->isVisible());
    EXPECT_TRUE(form->isVisible() && form->isEnabled());
    // Esc closes each, from whichever control has the focus; the settings keep their flags.
    Radio(form->OptionForm(), 4)->setChecked(true);
    for (const auto& [menu, dialog] : dialogs) {
        QWidget* shown = (form.get()->*dialog)();
        QTest::keyClick(shown->focusWidget() ? shown->focusWidget() : shown, Qt::Key_Escape);
        EXPECT_FALSE(shown->isVisible()) << shown->objectName().toStdString();
    }
    EXPECT_EQ(form->Display().RangeFrameOff, 0);
}

TEST_F(DialogsTest, ClosingTheMainWindowClosesTheDialogs) {
    form->Display().AdjustViewOff = 0;
    form->PlotMenu31_Click();
    Radio(form->OptionForm(), 2)->click();
    form->PlotMenu91_Click();
    form->PlotMenu93_Click();
    form->PlotMenu23_Click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(fake.messages.empty());  // nothing asked
    FlushDeletes();
    EXPECT_TRUE(!form->OptionForm() && !form->ComdForm() && !form->VersForm());
    EXPECT_EQ(form->Display().AdjustViewOff, 0);  // closed, not confirmed
}

TEST_F(DialogsTest, ManualOpensInABrowserEachTimeAndAFailureIsReported) {
    const QString path = QCoreApplication::applicationDirPath() + "/help/index.htm";
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(KESTREL_BUILT_MANUAL)));
    form->PlotMenu94_Click();
    form->PlotMenu94_Click();
    EXPECT_EQ(fake.browserPaths, (std::vector<QString>{path, path}));
    EXPECT_TRUE(fake.messages.empty());

    fake.browserStarts = false;
    form->PlotMenu94_Click();
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_TRUE(fake.messages[0].text.contains(path));
    EXPECT_EQ(fake.messages[0].caption, QStringLiteral("Kestrel"));
    EXPECT_EQ(fake.messages[0].icon, app::MessageIcon::Warning);
}

TEST(ManualPathTest, BesideTheProgramFirstThenTheInstalledShare) {
    // Manual beside the program, manual under share/, expected answer.
    const struct {
        bool beside, shared;
        const char* want;
    } rows[] = {{true, true, "bin/help/index.htm"},
                {false, true, "share/kestrel/help/index.htm"},
                {false, false, "bin/help/index.htm"}};
    for (const auto& r : rows) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QDir root(dir.path());
        ASSERT_TRUE(root.mkpath("bin/help") && root.mkpath("share/kestrel/help"));
        ASSERT_TRUE(!r.beside || QFile(root.filePath("bin/help/index.htm")).open(QIODevice::WriteOnly));
        ASSERT_TRUE(!r.shared || QFile(root.filePath("share/kestrel/help/index.htm")).open(QIODevice::WriteOnly));
        EXPECT_EQ(app::ManualPath(root.filePath("bin")), root.filePath(r.want)) << r.beside << r.shared;
    }
}

}  // namespace
}  // namespace kestrel::test
