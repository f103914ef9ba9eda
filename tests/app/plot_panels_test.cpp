// The panels, the options kept between runs, following the file, true-scale printing and
// the rough edges: their wiring; the figures they show are the core's.

#include <gtest/gtest.h>

#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "app/captions.h"
#include "app/file_follower.h"
#include "app/pages_panel.h"
#include "app/pens_panel.h"
#include "app/plot_loader.h"
#include "app/status_panels.h"
#include "app/true_scale_print.h"
#include "form_test_support.h"

namespace kestrel::test {
namespace {

// Pen 1 across, pen 2 up; a page each.
const char TwoPens[] = "IN;SP1;PU0,0;PD4000,0;SP2;PU0,0;PD0,4000;";
const char ThreePages[] = "IN;SP1;PU0,0;PD10,0;PG;PU0,0;PD0,10,10,10;PG;PU0,0;PD1,1,2,2,3,3;PG;";
const QRgb Green = qRgb(0, 128, 0);

class PanelsTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    void Key(Qt::Key key) { QTest::keyClick(form->Picture3(), key); }
    QStringList PenRows() const {
        QStringList rows;
        const QTreeWidget* list = form->Pens()->PenList();
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            rows << item->text(0) + (item->checkState(0) == Qt::Checked ? "+" : "-") + item->text(3);
        }
        return rows;
    }
    QStringList Recent() const {
        QStringList out;
        for (const QAction* a : form->findChildren<QAction*>("RecentFile")) out << a->text();
        return out;
    }
    static int PdfPages(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return -1;
        return static_cast<int>(QString::fromLatin1(f.readAll()).count(QRegularExpression("/Type\\s*/Page(?!s)")));
    }
    QTemporaryDir dir;
};

TEST_F(PanelsTest, PensPanelShowsThePensAndHidesThemInTheViewOnly) {
    form->findChild<QAction*>("PensPanelToggle")->trigger();
    ASSERT_TRUE(form->Pens()->isVisible());
    OpenThroughDialog(Write("pens.hpg", TwoPens));
    EXPECT_EQ(PenRows(), QStringList({"1+1", "2+1"}));
    EXPECT_EQ(form->Pens()->Fact(4), "2");  // segments
    EXPECT_EQ(form->Pens()->Fact(10), QString::fromUtf8(app::PlotterReadingText));
    EXPECT_EQ(form->ReadingText(), QString::fromUtf8(app::PlotterReadingText));
    ASSERT_GT(CountColour(Raster(), Green), 50);

    // Unticking pen 2 leaves it out of the view, not out of the plot.
    form->Pens()->PenList()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(form->Display().HiddenPens, std::vector<std::int16_t>{2});
    EXPECT_EQ(CountColour(Raster(), Green), 0);
    EXPECT_GT(CountColour(Raster(), Blue), 50);
    EXPECT_GT(CountColour(*form->AreaImage(), Green), 50);  // what is copied, saved or printed
    EXPECT_EQ(PenRows(), QStringList({"1+1", "2-1"}));

    // Basic reading says so; another file shows every pen again.
    form->BasicReading()->setChecked(true);
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(form->ReadingText(), QString::fromUtf8(app::BasicReadingText));
    EXPECT_TRUE(form->Display().HiddenPens.empty());
    EXPECT_GT(CountColour(Raster(), Green), 50);
}

TEST_F(PanelsTest, PagesStripPlotListMarksHomeEndAndTheEdges) {
    OpenThroughDialog(Write("pages.hpg", ThreePages));
    ASSERT_TRUE(form->Pages()->isVisible());  // a file of several plots shows them
    QListView* strip = form->Pages()->List();
    EXPECT_EQ(strip->model()->rowCount(), 3);
    const auto marked = [this] {  // the plot list's ticked entry and the strip's current row, from 1
        QString ticked;
        for (const QAction* a : PlotEntries())
            if (a->isChecked()) ticked += a->text();
        return ticked + " " + QString::number(form->Pages()->List()->currentIndex().row() + 1);
    };
    // Key, the plot shown, the marks and the note.
    const std::tuple<Qt::Key, int, const char*, const char*> steps[] = {
        {Qt::Key_End, 3, "PLOT No.3 3", ""},
        {Qt::Key_PageDown, 3, "PLOT No.3 3", app::LastPlotNote},
        {Qt::Key_PageUp, 2, "PLOT No.2 2", ""},
        {Qt::Key_Home, 1, "PLOT No.1 1", ""},
        {Qt::Key_PageUp, 1, "PLOT No.1 1", app::FirstPlotNote}};
    for (const auto& [key, plot, marks, note] : steps) {
        SCOPED_TRACE(plot);
        Key(key);
        EXPECT_EQ(store.PlotNo, plot);
        EXPECT_EQ(marked(), marks);
        EXPECT_EQ(form->StatusNote(), QString::fromUtf8(note));
    }
    // A click on a thumbnail shows its plot.
    const QRect second = strip->visualRect(strip->model()->index(1, 0));
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(store.PlotNo, 2);
    EXPECT_EQ(marked(), "PLOT No.2 2");

    OpenThroughDialog(QStringLiteral(SAMPLES_DIR "/house.hpg"));
    EXPECT_FALSE(form->Pages()->isVisible());
}

TEST_F(PanelsTest, OptionsAndThePlaceOfTheWindowOutlastTheRunTheDisplaySettingsDoNot) {
    EXPECT_FALSE(form->ShowTravel()->isChecked());
    EXPECT_TRUE(form->FollowFile()->isChecked());
    OpenThroughDialog(QStringLiteral(SAMPLES_DIR "/house.hpg"));
    const QImage plain = Raster();
    form->ShowTravel()->setChecked(true);
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_GT(CountColour(Raster(), qRgb(150, 150, 150)), 10);  // the pen-up moves, dotted
    form->FollowFile()->setChecked(false);
    form->Display().RangeFrameOff = 1;
    form->findChild<QAction*>("PensPanelToggle")->trigger();
    form->resize(700, 520);
    form->close();

    form.reset();
    form = std::make_unique<app::PictForm>(store, fake);
    EXPECT_TRUE(form->ShowTravel()->isChecked());
    EXPECT_FALSE(form->FollowFile()->isChecked());
    EXPECT_EQ(form->Display().RangeFrameOff, 0);
    EXPECT_EQ(form->size(), QSize(700, 520));
    EXPECT_FALSE(form->Pens()->isHidden());
}

TEST_F(PanelsTest, FollowedFileIsReadAgainKeepingThePlotShown) {
    // Large enough that a zoom step stays clear of the deepest zoom.
    const QString path = Write("follow.hpg", "IN;SP1;PU0,0;PD1000,0;PG;PU0,0;PD0,1000,1000,1000;PG;PD1,1;PG;");
    OpenThroughDialog(path);
    Key(Qt::Key_PageDown);
    ASSERT_EQ(store.PlotNo, 2);
    form->PlotMenu15_Click();  // turned right and zoomed
    form->ZoomInStep();
    const view::PlotView seen = view::PlotViewOf(store, 2, form->Layout(), form->ReadMetrics());
    // Written over, the plot larger: read again once settled, plot 2 still shown as it was.
    Write("follow.hpg", "IN;SP1;PU0,0;PD1000,0;PG;PU0,0;PD0,1000,1000,1000,2000,2000;PG;");
    QTest::qWait(app::FileFollower::SettleMs);
    ASSERT_TRUE(QTest::qWaitFor([this] { return store.plots[2].LineCount == 3; }, 5000));
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(store.PlotNo, 2);
    EXPECT_EQ(store.plots[2].MinY, -2000);
    const view::PlotView kept = view::PlotViewOf(store, 2, form->Layout(), form->ReadMetrics());
    EXPECT_NEAR(kept.scale, seen.scale, seen.scale * 3e-3);  // the area is whole pixels
    EXPECT_NEAR(kept.centre.x, seen.centre.x, Twips() / seen.scale);
    EXPECT_NEAR(kept.centre.y, seen.centre.y, Twips() / seen.scale);
    EXPECT_EQ(form->PanelText(2), "PLOT Files : 2 / 2");
    EXPECT_EQ(form->StatusNote(), QString::fromUtf8(app::FollowedNote));
    EXPECT_EQ(Recent().size(), 1);

    // Not followed: a change is left alone.
    form->FollowFile()->setChecked(false);
    Write("follow.hpg", ThreePages);
    QTest::qWait(3 * app::FileFollower::SettleMs);
    EXPECT_EQ(store.PlotTotal, 2);
}

TEST_F(PanelsTest, TrueScalePrintsGoThroughThePreviewTiledOrFitted) {
    // 300 x 100 mm and 5 mm all round: two A4 portrait sheets across at true scale.
    OpenThroughDialog(Write("wide.hpg", "IN;SP1;PU0,0;PD12000,0,12000,4000;"));
    const QString pdf = dir.filePath("print.pdf");
    fake.previewAnswer = [pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        return true;
    };
    form->findChild<QAction*>("PrintTrueScale")->trigger();
    EXPECT_EQ(fake.previewCalls, 1);
    EXPECT_EQ(PdfPages(pdf), app::SheetsFor(form->Printer(), store, 1, app::VectorScale::TrueScale));
    EXPECT_EQ(PdfPages(pdf), 2);
    form->findChild<QAction*>("PrintFitted")->trigger();
    EXPECT_EQ(PdfPages(pdf), 1);
    EXPECT_TRUE(fake.messages.empty());

    // A plot of more sheets than may be printed is refused before the preview.
    OpenThroughDialog(Write("long.hpg", "IN;SP1;PU0,0;PD4000000,0,4000000,400000;"));
    form->findChild<QAction*>("PrintTrueScale")->trigger();
    EXPECT_EQ(fake.previewCalls, 2);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, QString::fromUtf8(app::TooManySheetsMessage));
}

TEST_F(PanelsTest, ReadingsThatEndEarlyOrFindNothingSaySo) {
    // A reading that stopped at a limit, or in a file that changed meanwhile, is told at once.
    const QString house = QStringLiteral(SAMPLES_DIR "/house.hpg");
    OpenThroughDialog(house);
    const auto show = [this](const QString& path, reader::StopReason stop, bool changed) {
        app::LoadedPlot plot;
        plot.dir = (QFileInfo(path).absolutePath() + "/").toStdString();
        plot.name = QFileInfo(path).fileName().toStdString();
        plot.stamp = app::FileStamp::Of(path.toStdString());
        reader::ReadPlotFile(plot.store, path.toStdString());
        plot.result.stop = stop;
        plot.changedWhileRead = changed;
        fake.messages.clear();
        form->ShowReadPlot(plot);
        return fake.messages.empty() ? QString() : fake.messages[0].text;
    };
    EXPECT_EQ(show(house, reader::StopReason::SegmentLimit, false), QString::fromUtf8(app::EndedAtSegmentLimit));
    EXPECT_EQ(show(house, reader::StopReason::EndOfFile, true), QString());  // followed: read again instead
    form->FollowFile()->setChecked(false);
    EXPECT_EQ(show(house, reader::StopReason::EndOfFile, true), QString::fromUtf8(app::EndedFileChanged));

    // An empty file and one that draws nothing leave a note and stay out of the recent files.
    for (const auto& [name, bytes, note] : {std::tuple{"empty.hpg", "", app::EmptyFileNote},
                                            std::tuple{"text.hpg", "Hello, world\n", app::NothingDrawnNote}}) {
        OpenThroughDialog(Write(name, bytes));
        EXPECT_EQ(form->StatusNote(), QString::fromUtf8(note));
        EXPECT_EQ(Recent().size(), 1) << name;
    }
}

TEST_F(PanelsTest, RoughEdges) {
    // A recent file that is gone: a message with its name, the plot stays, the list forgets it.
    const QString gone = Write("gone.hpg", TwoPens);
    OpenThroughDialog(gone);
    OpenThroughDialog(QStringLiteral(SAMPLES_DIR "/house.hpg"));
    QFile::remove(gone);
    form->findChildren<QAction*>("RecentFile")[1]->trigger();
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, Message(reader::ErrorNumber::FileNotFound, gone));
    EXPECT_EQ(store.PlotName, "house.hpg");
    EXPECT_EQ(Recent().size(), 1);

    // Esc during a right-button drag ends it without a selection.
    const float t = static_cast<float>(Twips());
    form->Picture3_MouseDown(2, 0, 10 * t, 10 * t);
    form->Picture3_MouseMove(2, 0, 80 * t, 60 * t);
    form->Picture3_KeyDown(27, 0);
    EXPECT_FALSE(form->Picture3()->Shape().Visible);
    form->Picture3_MouseMove(2, 0, 90 * t, 70 * t);
    form->Picture3_MouseUp(2, 0, 90 * t, 70 * t);
    EXPECT_FALSE(form->Picture3()->Shape().Visible);
    EXPECT_TRUE(form->Picture2().isNull());

    // The progress shows in the corner, and the view's panels their texts, without moving a panel.
    auto* status = static_cast<app::StatusPanels*>(form->StatusBar1());
    const auto places = [this] {
        return std::pair(form->findChild<QLabel*>("StatusBar1_Panel4")->geometry(),
                         form->findChild<QWidget*>("StatusCorner")->geometry());
    };
    QCoreApplication::processEvents();  // the layout the last texts asked for
    const auto before = places();
    status->ShowProgress(app::ReadingProgress, 40);
    status->SetPointerText(QString(80, u'8'));
    status->SetMeasureText(QString(80, u'8'));
    QCoreApplication::processEvents();
    EXPECT_EQ(places(), before);
    status->HideProgress();
    // At the window's first size the view's panels leave panels 2 and 4 their whole texts.
    ResizeWindow(503, 380);
    for (const char* name : {"StatusBar1_Panel2", "StatusBar1_Panel4"}) {
        const auto* panel = form->findChild<QLabel*>(name);
        EXPECT_GE(panel->width(), panel->sizeHint().width()) << name;
    }

    // The manual: a browser that fails after starting is told as one that does not start.
    form->PlotMenu94_Click();
    ASSERT_TRUE(fake.browserFailure);
    fake.browserFailure();
    ASSERT_EQ(fake.messages.size(), 2u);
    EXPECT_TRUE(fake.messages[1].text.startsWith(QString::fromUtf8(app::NoBrowserMessage)));

    // The command list shows every line at its first size, and can be resized.
    form->PlotMenu91_Click();
    QWidget* commands = form->ComdForm();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(commands));
    const auto* list = commands->findChild<QListWidget*>("List1");
    const QRect inside = list->viewport()->rect();
    for (int i = 0; i < list->count(); ++i) EXPECT_TRUE(inside.contains(list->visualItemRect(list->item(i)))) << i;
    EXPECT_LT(commands->minimumWidth(), commands->maximumWidth());
    commands->close();
}

}  // namespace
}  // namespace kestrel::test
