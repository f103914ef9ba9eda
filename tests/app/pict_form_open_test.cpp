// Opening a plot file through the dialog seam, and the plot list.

#include <gtest/gtest.h>

#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include "app/messages.h"
#include "form_test_support.h"

namespace Kestrel_Test {
namespace {

const char HouseText[] =
    "IN;SP1;PU1000,1000;PD9000,1000,9000,6000,5000,9000,1000,6000,1000,1000;\n"
    "SP4;PU5500,3500;PD7500,3500,7500,5500,5500,5500,5500,3500;\n";
constexpr int HouseSegments = 9;

class OpenTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir("plots"));
        housePath = dir.filePath("plots/house.hpg");
        Write(housePath, HouseText);
    }

    static void Write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QStringList PlotList() const {
        QStringList out;
        for (const QAction* a : form->findChild<QMenu*>("PlotMenu80")->actions()) {
            out << a->text() + (a->isEnabled() ? "" : " (disabled)");
        }
        return out;
    }

    // The window's visible state, to check that something changed nothing.
    struct Snapshot {
        QImage raster;
        QStringList panels;
        QStringList plotList;
        std::string plotDir, plotName, fileFilter;
        int filterIndex, plotNo, plotTotal, adjustViewOff, lineCount;
        bool operator==(const Snapshot&) const = default;
    };

    Snapshot Take() const {
        return {Raster(),
                {form->PanelText(1), form->PanelText(2), form->PanelText(3), form->PanelText(4)},
                PlotList(),
                store.PlotDir,
                store.PlotName,
                store.FileFilter,
                store.FilterIndex,
                store.PlotNo,
                store.PlotTotal,
                store.AdjustViewOff,
                store.LineCount[1]};
    }

    QTemporaryDir dir;
    QString housePath;
};

TEST_F(OpenTest, FirstDialogStartsWithTheHpglPattern) {
    form->findChild<QAction*>("PlotMenu21")->trigger();
    ASSERT_EQ(fake.openCalls.size(), 1u);
    const auto& call = fake.openCalls[0];
    EXPECT_EQ(call.title, QString::fromUtf8("ＨＰＧＬファイルを開く"));
    EXPECT_EQ(call.initialName, QStringLiteral("*.hpg"));
    EXPECT_EQ(call.filters, (QStringList{QString::fromUtf8("ＨＰＧＬデータファイル(*.hpg)"),
                                         QString::fromUtf8("すべて(*.*)")}));
    EXPECT_EQ(call.filterIndex, 1);
    EXPECT_FALSE(call.overrideCursor);
}

TEST_F(OpenTest, LoadsDrawsAndReportsTheFile) {
    OpenThroughDialog(housePath);
    EXPECT_EQ(store.PlotDir, QDir(dir.path()).filePath("plots/").toStdString());
    EXPECT_EQ(store.PlotName, "house.hpg");
    EXPECT_EQ(store.PlotNo, 1);
    EXPECT_EQ(store.PlotTotal, 1);
    EXPECT_EQ(store.AdjustViewOff, 1);
    EXPECT_EQ(form->PanelText(1), QString::fromUtf8("ウィンドウサイズ"));
    EXPECT_EQ(form->PanelText(2), QStringLiteral("PLOT Files : 1 / 1"));
    EXPECT_EQ(form->PanelText(3), QString::fromUtf8("フォントタイプ"));
    EXPECT_EQ(form->PanelText(4), QStringLiteral("L/S : %1 / 0").arg(HouseSegments));
    EXPECT_EQ(PlotList(), QStringList{"PLOT No.1"});
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Drawn fitted to the viewport-sized drawing area, in the pens' colours.
    const QImage raster = Raster();
    EXPECT_EQ(raster.size(), ViewportSize());
    EXPECT_GT(CountColour(raster, Blue), 100);
    EXPECT_GT(CountColour(raster, Red), 50);
    EXPECT_EQ(raster, Rendered(store, raster.size(), Twips()));
}

struct FilterCase {
    int chosen;
    const char* pattern;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << "filter " << c.chosen;
}

class OpenFilterTest : public OpenTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(OpenFilterTest, NextDialogStartsInTheFolderWithTheLastPattern) {
    OpenThroughDialog(housePath, GetParam().chosen);
    EXPECT_EQ(store.FilterIndex, GetParam().chosen);
    EXPECT_EQ(store.FileFilter, GetParam().pattern);
    form->PlotMenu21_Click();  // cancelled
    ASSERT_EQ(fake.openCalls.size(), 2u);
    EXPECT_EQ(fake.openCalls[1].initialName,
              QDir(dir.path()).filePath("plots/") + QString::fromUtf8(GetParam().pattern));
    EXPECT_EQ(fake.openCalls[1].filterIndex, GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(Filters, OpenFilterTest,
                         ::testing::Values(FilterCase{1, "*.hpg"}, FilterCase{2, "*.*"}),
                         [](const auto& info) {
                             return "Filter" + std::to_string(info.param.chosen);
                         });

TEST_F(OpenTest, CancelChangesNothing) {
    const Snapshot before = Take();
    form->PlotMenu21_Click();
    EXPECT_EQ(Take(), before);

    OpenThroughDialog(housePath, 2);
    const Snapshot loaded = Take();
    ASSERT_NE(loaded, before);
    form->PlotMenu21_Click();
    EXPECT_EQ(Take(), loaded);
    EXPECT_EQ(fake.openCalls.size(), 3u);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(OpenTest, FileWithoutDelimiterShowsTheMessageThenAnEmptyPlot) {
    OpenThroughDialog(housePath);
    const QString bare = dir.filePath("bare.hpg");
    Write(bare, "IN\nSP1\nPU100,100\n");  // neither ';' nor a character before a PD
    OpenThroughDialog(bare);

    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, QString::fromUtf8("ファイル中に区切子がありません"));
    EXPECT_EQ(fake.messages[0].caption, QStringLiteral("Kestrel"));
    EXPECT_EQ(fake.messages[0].icon, Kestrel_App::MessageIcon::None);
    EXPECT_EQ(fake.messages[0].cursor, Qt::ArrowCursor);
    EXPECT_EQ(store.PlotName, "bare.hpg");
    EXPECT_TRUE(AllWhite(Raster()));
    EXPECT_EQ(PlotList(), QStringList{"PLOT No.1"});
    EXPECT_EQ(form->PanelText(2), QStringLiteral("PLOT Files : 1 / 1"));
    EXPECT_EQ(form->PanelText(4), QStringLiteral("L/S : 0 / 0"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

struct UnreadableCase {
    const char* name;
    int error;
};

void PrintTo(const UnreadableCase& c, std::ostream* os) {
    *os << c.name;
}

class UnreadableFileTest : public OpenTest, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableFileTest, ReportsTheErrorThenShowsAnEmptyPlot) {
    const UnreadableCase& c = GetParam();
    OpenThroughDialog(housePath);
    QString path = dir.filePath("missing.hpg");
    if (c.error == 52) {
        path = dir.filePath("plots");  // a folder
    } else if (c.error == 70) {
        if (geteuid() == 0) {
            GTEST_SKIP() << "root reads every file";
        }
        path = dir.filePath("locked.hpg");
        Write(path, HouseText);
        QFile::setPermissions(path, QFileDevice::WriteOwner);
    }
    OpenThroughDialog(path);

    ASSERT_EQ(fake.messages.size(), 1u);
    QString expected = QString::fromStdString(Kestrel_Sub::ErrorMessageText(c.error));
    expected.replace("\r\n", "\n");
    EXPECT_EQ(fake.messages[0].text, expected);
    EXPECT_EQ(fake.messages[0].icon, Kestrel_App::MessageIcon::Warning);
    EXPECT_EQ(fake.messages[0].caption, QStringLiteral("Kestrel"));
    EXPECT_TRUE(AllWhite(Raster()));
    EXPECT_EQ(form->PanelText(4), QStringLiteral("L/S : 0 / 0"));
    EXPECT_EQ(PlotList(), QStringList{"PLOT No.1"});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableFileTest,
                         ::testing::Values(UnreadableCase{"Missing", 53},
                                           UnreadableCase{"Folder", 52},
                                           UnreadableCase{"NoPermission", 70}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OpenTest, FlatPlotIsDrawn) {
    const QString flat = dir.filePath("flat.hpg");
    Write(flat, "IN;SP1;PU0,500;PD4000,500;\n");
    OpenThroughDialog(flat);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_GT(CountColour(Raster(), Blue), 100);
    EXPECT_EQ(form->PanelText(4), QStringLiteral("L/S : 1 / 0"));
}

TEST_F(OpenTest, SecondLoadKeepsOnePlotListEntry) {
    OpenThroughDialog(housePath);
    OpenThroughDialog(SamplePath("house.hpg"));
    EXPECT_EQ(PlotList(), QStringList{"PLOT No.1"});
    EXPECT_EQ(store.PlotDir, QStringLiteral(SAMPLES_DIR "/").toStdString());
}

TEST_F(OpenTest, LoadSetsTheAdjustSettingOff) {
    store.AdjustViewOff = 0;
    OpenThroughDialog(housePath);
    EXPECT_EQ(store.AdjustViewOff, 1);
}

TEST_F(OpenTest, OpenChosenFileLeavesTheDialogStateAlone) {
    store.FilterIndex = 2;
    store.FileFilter = "*.*";
    form->OpenChosenFile(housePath);
    EXPECT_TRUE(fake.openCalls.empty());
    EXPECT_EQ(store.FilterIndex, 2);
    EXPECT_EQ(store.FileFilter, "*.*");
    EXPECT_EQ(store.PlotName, "house.hpg");
    EXPECT_EQ(form->PanelText(4), QStringLiteral("L/S : %1 / 0").arg(HouseSegments));
}

TEST_F(OpenTest, PlotListEntryRedrawsWithTheRangeFrame) {
    OpenThroughDialog(housePath);
    const QImage afterOpen = Raster();
    form->findChild<QMenu*>("PlotMenu80")->actions().front()->trigger();
    EXPECT_EQ(store.PlotNo, 1);
    const QImage drawn = Raster();
    EXPECT_NE(drawn, afterOpen);  // DrawPlot: another margin, and the frame
    EXPECT_EQ(drawn, Rendered(store, drawn.size(), Twips(), true));
    EXPECT_EQ(form->PanelText(2), QStringLiteral("PLOT Files : 1 / 1"));
    EXPECT_EQ(form->PanelText(4), QStringLiteral("L/S : %1 / 0").arg(HouseSegments));
}

}  // namespace
}  // namespace Kestrel_Test
