// Opening a plot file through the dialog seam, and the plot list.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include "app/captions.h"
#include "app/plot_loader.h"
#include "form_test_support.h"
#include "reader/reader.h"

namespace kestrel::test {
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
        return QStringList{
                   form->PanelText(2), form->PanelText(4), QString::fromStdString(store.PlotDir + store.PlotName),
                   QString::fromStdString(form->Dialogs().FileFilter), QString::number(form->Dialogs().FilterIndex)} +
               PlotList();
    }
    QTemporaryDir dir;
    QString housePath;
};

TEST_F(OpenTest, LoadsDrawsAndReportsTheFile) {
    OpenThroughDialog(housePath, 2);
    ASSERT_EQ(fake.openCalls.size(), 1u);
    EXPECT_EQ(fake.openCalls[0].initialName, QStringLiteral("*.hpg"));
    EXPECT_EQ(fake.openCalls[0].filterIndex, 1);
    EXPECT_EQ(fake.openCalls[0].filters.first(), QString::fromUtf8(app::HpglFilter));
    EXPECT_EQ(store.PlotDir, QDir(dir.path()).filePath("plots/").toStdString());  // split at the last separator
    EXPECT_EQ(store.PlotName, "house.hpg");
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
    using E = reader::ErrorNumber;
    const QString pipe = dir.filePath("pipe.hpg");  // with no writer: opening it must not block
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    // The file, its message, and whether basic reading reads it: the first has neither ';' nor a character before a
    // PD, which only basic reading needs. A file error warns and names the file.
    const std::tuple<QString, QString, bool> cases[] = {
        {Write("bare.hpg", "IN\nSP1\nPU100,100\n"), QString::fromUtf8(app::NoDelimiterMessage), true},
        {dir.filePath("missing.hpg"), Message(E::FileNotFound, dir.filePath("missing.hpg")), false},
        {dir.filePath("plots"), Message(E::BadFileName, dir.filePath("plots")), false},  // a folder
        {pipe, Message(E::BadFileName, pipe), false}};
    for (const auto& [path, text, basic] : cases) {
        SCOPED_TRACE(path.toStdString());
        form->BasicReading()->setChecked(basic);
        fake.messages.clear();
        OpenThroughDialog(housePath);
        OpenThroughDialog(path);
        ASSERT_EQ(fake.messages.size(), 1u);
        EXPECT_EQ(fake.messages[0].text, text);
        EXPECT_EQ(fake.messages[0].icon, basic ? app::MessageIcon::None : app::MessageIcon::Warning);
        EXPECT_TRUE(AllWhite(Raster()));  // one plot without lines
        EXPECT_EQ(QStringList({form->PanelText(2), form->PanelText(4)}) + PlotList(),
                  QStringList({"PLOT Files : 1 / 1", "L/S : 0 / 0", "PLOT No.1"}));
    }
}

// A plot whose lines cross it corner to corner: costly to draw, quick to write.
QByteArray Zigzag(int lines) {
    QByteArray text = "IN;SP1;PU0,0;PD";
    for (int i = 1; i <= lines; ++i) text += (i % 2 ? "10000,7000" : "0,0") + QByteArray(i < lines ? "," : ";\n");
    return text;
}

TEST_F(OpenTest, ReadingAndDrawingGoOnWhileTheWindowServesItsEvents) {
    const QString big = Write("big.hpg", Zigzag(40000));
    auto* progress = form->findChild<QProgressBar*>("Progress");
    // The open command returns at once; meanwhile another file is chosen, and only that one shows.
    fake.openAnswers.push_back({big, 1});
    form->PlotMenu21_Click();
    EXPECT_TRUE(form->Busy() && store.PlotName.empty());
    EXPECT_EQ(progress->isVisible() ? progress->format() : "", QString::fromUtf8("読み込み中 %p%"));
    OpenThroughDialog(housePath);
    EXPECT_EQ(store.PlotName + std::to_string(store.plots[1].LineCount), "house.hpg9");
    EXPECT_FALSE(progress->isVisible());

    // A large plot is drawn in steps between events, and ends as one drawing in one go does.
    OpenThroughDialog(big);
    ASSERT_EQ(store.plots[1].LineCount, 40000);
    form->RedrawPlot();
    EXPECT_TRUE(form->Busy());
    QTest::qWait(1);
    EXPECT_EQ(progress->format(), QString::fromUtf8("描画中 %p%"));
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(Raster(), Rendered(store, Raster().size(), Twips()));

    // Closing the window ends a reading under way.
    fake.openAnswers.push_back({housePath, 1});
    form->PlotMenu21_Click();
    form->close();
    EXPECT_FALSE(form->Busy());
    form.reset();
    EXPECT_EQ(store.plots[1].LineCount, 40000);
}

TEST_F(OpenTest, OutOfMemoryKeepsWhatWasReadAndSaysSo) {
    app::LoadedPlot plot{dir.filePath("plots/").toStdString(), "house.hpg", {}, {}, {}};
    reader::ReadPlotText(plot.store, HouseText);
    plot.result.stop = reader::StopReason::OutOfMemory;
    form->ShowReadPlot(plot);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, Message(reader::ErrorNumber::OutOfMemory));
    EXPECT_EQ(store.plots[1].LineCount, 9);
    EXPECT_EQ(Raster(), Rendered(store, Raster().size(), Twips()));
}

TEST_F(OpenTest, NamesThatAreNotUtf8OpenByEveryWay) {
    // "あい.hpg" in Shift-JIS: Qt shows the bytes as replacement characters.
    const std::string bytes = QFile::encodeName(dir.filePath("plots/")).toStdString() + "\x82\xa0\x82\xa2.hpg";
    std::ofstream(bytes) << HouseText;
    const QString shown = QFile::decodeName(bytes.c_str());
    QMimeData qtUrl, fileManagerUrl;
    qtUrl.setUrls({QUrl::fromLocalFile(shown)});
    fileManagerUrl.setData("text/uri-list",
                           "file://" + QByteArray::fromStdString(bytes).toPercentEncoding("/") + "\r\n");
    const auto drop = [this](QMimeData* data) {  // entering makes the window the drop's target
        QDragEnterEvent enter(QPoint(30, 30), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->Picture3(), &enter);
        QDropEvent event(QPointF(30, 30), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->Picture3(), &event);
    };
    const auto recent = [&] {
        for (QAction* a : form->findChildren<QAction*>("RecentFile"))
            if (a->text().endsWith(shown)) a->trigger();
    };
    const auto reload = [&] {
        OpenThroughDialog(shown);
        store.plots[1].LineCount = 0;
        QTest::keyClick(form->Picture3(), Qt::Key_F5);
    };
    const std::function<void()> ways[] = {[&] { OpenThroughDialog(shown); }, [&] { drop(&qtUrl); },
                                          [&] { drop(&fileManagerUrl); }, recent, reload};
    for (const auto& way : ways) {
        OpenThroughDialog(housePath);
        store.plots[1].LineCount = 0;
        way();
        ASSERT_TRUE(WaitUntilIdle(*form));
        EXPECT_EQ(store.PlotDir + store.PlotName, bytes);
        EXPECT_EQ(store.plots[1].LineCount, 9);
        EXPECT_TRUE(fake.messages.empty());
    }
    std::remove(bytes.c_str());  // QTemporaryDir cannot name it
}

TEST_F(OpenTest, TitleRecentFilesAndTheLastFolderOutlastTheRun) {
    const QString other = Write("plots/a&b.plt", HouseText);
    OpenThroughDialog(housePath);
    OpenThroughDialog(other);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kestrel - a&b.plt"));
    const auto recent = [this] {
        QStringList out;
        for (const QAction* a : form->findChildren<QAction*>("RecentFile")) out << a->text();
        return out;
    };
    EXPECT_EQ(recent(), QStringList({"&1 " + QString(other).replace("&", "&&"), "&2 " + housePath}));
    for (int i = 0; i < 9; ++i) OpenThroughDialog(Write(QStringLiteral("plots/%1.hpg").arg(i), HouseText));
    EXPECT_EQ(recent().size(), 8);

    // The next run starts with them, and its first dialog in the last file's folder.
    form.reset();
    form = std::make_unique<app::PictForm>(store, fake);
    EXPECT_EQ(recent().size(), 8);
    form->PlotMenu21_Click();
    EXPECT_EQ(fake.openCalls.back().initialName, dir.filePath("plots/*.hpg"));
}

}  // namespace
}  // namespace kestrel::test
