// Opening a plot file through the dialog seam, and the plot list.

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include "form_test_support.h"

namespace Kestrel_Test {
namespace {

const char HouseText[] =
    "IN;SP1;PU1000,1000;PD9000,1000,9000,6000,5000,9000,1000,6000,1000,1000;\n"
    "SP4;PU5500,3500;PD7500,3500,7500,5500,5500,5500,5500,3500;\n";

class OpenTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(dir.isValid() && QDir(dir.path()).mkdir("plots"));
        housePath = Write("plots/house.hpg", HouseText);
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QStringList PlotList() const {
        QStringList out;
        for (const QAction* a : form->findChild<QMenu*>("PlotMenu80")->actions()) out << a->text();
        return out;
    }
    // What the window shows, and the dialog state kept for the next open.
    QStringList State() const {
        return QStringList{form->PanelText(2), form->PanelText(4), QString::fromStdString(store.PlotDir + store.PlotName),
                           QString::fromStdString(store.FileFilter), QString::number(store.FilterIndex)} + PlotList();
    }
    QTemporaryDir dir;
    QString housePath;
};

TEST_F(OpenTest, LoadsDrawsAndReportsTheFile) {
    OpenThroughDialog(housePath, 2);
    ASSERT_EQ(fake.openCalls.size(), 1u);
    const auto& first = fake.openCalls[0];
    EXPECT_EQ(first.title, QString::fromUtf8("ＨＰＧＬファイルを開く"));
    EXPECT_EQ(first.initialName, QStringLiteral("*.hpg"));
    EXPECT_EQ(first.filters, (QStringList{QString::fromUtf8("ＨＰＧＬデータファイル(*.hpg)"), QString::fromUtf8("すべて(*.*)")}));
    EXPECT_EQ(first.filterIndex, 1);
    EXPECT_EQ(store.PlotDir, QDir(dir.path()).filePath("plots/").toStdString());  // split at the last separator
    EXPECT_EQ(store.PlotName, "house.hpg");
    EXPECT_EQ(form->PanelText(4), QStringLiteral("L/S : 9 / 0"));
    EXPECT_TRUE(fake.messages.empty());
    const QImage raster = Raster();  // fitted to the drawing area, in the pens' colours
    EXPECT_GT(CountColour(raster, Blue), 100);
    EXPECT_EQ(raster, Rendered(store, raster.size(), Twips()));

    // The next dialog starts in the folder with the chosen pattern; a cancel changes nothing.
    const QStringList before = State();
    form->findChild<QAction*>("PlotMenu21")->trigger();
    EXPECT_EQ(fake.openCalls.back().initialName, QDir(dir.path()).filePath("plots/*.*"));
    EXPECT_EQ(fake.openCalls.back().filterIndex, 2);
    EXPECT_EQ(State(), before);
    EXPECT_EQ(Raster(), raster);
}

TEST_F(OpenTest, FailedOpenShowsItsMessageThenAnEmptyPlot) {
    using Kestrel_App::MessageIcon;
    const struct { QString path; const char* text; MessageIcon icon; bool basic = false; } cases[] = {
        // neither ';' nor a character before a PD, which only the basic reading needs
        {Write("bare.hpg", "IN\nSP1\nPU100,100\n"), "ファイル中に区切子がありません", MessageIcon::None, true},
        {dir.filePath("missing.hpg"), "ファイルが見つかりません。(Err=53)\n対策：設定ファイルを間違えていないか確かめて下さい",
         MessageIcon::Warning},
        {dir.filePath("plots"), "ファイル名または番号が不正です。\n", MessageIcon::Warning}};  // a folder
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        form->BasicReading()->setChecked(c.basic);
        fake.messages.clear();
        OpenThroughDialog(housePath);
        OpenThroughDialog(c.path);
        ASSERT_EQ(fake.messages.size(), 1u);
        EXPECT_EQ(fake.messages[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(fake.messages[0].caption, QStringLiteral("Kestrel"));
        EXPECT_EQ(fake.messages[0].icon, c.icon);
        EXPECT_TRUE(AllWhite(Raster()));  // one plot without lines
        EXPECT_EQ(PlotList(), QStringList{"PLOT No.1"});
        EXPECT_EQ(form->PanelText(2), QStringLiteral("PLOT Files : 1 / 1"));
        EXPECT_EQ(form->PanelText(4), QStringLiteral("L/S : 0 / 0"));
    }
}

}  // namespace
}  // namespace Kestrel_Test
