// The BMP save, the clipboard copy and tiled printing, through the platform seam.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <zlib.h>

#include "app/captions.h"
#include "form_test_support.h"

namespace kestrel::test {
namespace {

class OutputTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        auto surface = form->Picture3()->Surface();  // something other than white to find again
        for (int i = 0; i < 40; ++i) surface.Line(i * 150.f, 0, 3000, 4000, {128, 0, 0});
        selection = Raster().copy(QRect(SelectionAt, QSize(100, 60)));
    }
    // A right-button drag from SelectionAt over `image`'s size, which must be the raster's pixels there.
    void Select(const QImage& image) {
        store.PlotName = "/selection.hpg";  // the rectangle grows only while a file is loaded
        const float t = static_cast<float>(Twips());
        form->Picture3_MouseDown(2, 0, SelectionAt.x() * t, SelectionAt.y() * t);
        form->Picture3_MouseMove(2, 0, (SelectionAt.x() + image.width()) * t,
                                 (SelectionAt.y() + std::max(image.height(), 60)) * t);
        form->Picture3_MouseUp(2, 0, 0, 0);
        ASSERT_EQ(form->Picture2(), image);
    }
    bool Selected() const { return form->Picture3()->Shape().Visible; }
    QString Path(const QString& name) const { return dir.filePath(name); }
    static QByteArray Contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }
    void Save(const QString& path, int filterIndex = 1) {
        fake.saveAnswers.push_back({path, filterIndex});
        form->PlotMenu24_Click();
    }
    // The file's pixels, read as a BMP whatever its name (the header is checked in bmp_writer_test).
    static QImage Bmp(const QString& path) {
        return QImage::fromData(Contents(path), "BMP").convertToFormat(QImage::Format_RGB32);
    }
    // Prints, the dialog answering OK after choosing a PDF file, a paper size and orientation.
    void Print(QPageSize::PageSizeId size, QPageLayout::Orientation orientation, const QString& file) {
        fake.printAnswer = [=](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            printer.setPageSize(QPageSize(size));
            printer.setPageOrientation(orientation);
            return true;
        };
        form->PlotMenu13_Click();
    }
    void Copy(reader::ErrorNumber clearError = {}, reader::ErrorNumber putError = {}) {  // the clipboard's errors
        fake.clearError = clearError;
        fake.putError = putError;
        form->PlotMenu14_Click();
    }
    // The pages' count and distinct media boxes in points.
    static QString Pages(const QString& pdf) {
        const QString text = QString::fromLatin1(Contents(pdf));
        QStringList boxes;
        for (auto it = QRegularExpression("/MediaBox\\s*\\[([^\\]]*)\\]").globalMatch(text); it.hasNext();) {
            QStringList numbers;  // written as 595.000000 and the like
            for (const QString& n : it.next().captured(1).split(' ', Qt::SkipEmptyParts))
                numbers << QString::number(n.toDouble());
            boxes << numbers.join(' ');
        }
        boxes.removeDuplicates();
        return QString::number(text.count(QRegularExpression("/Type\\s*/Page(?!s)"))) + " x " + boxes.join(", ");
    }

    QTemporaryDir dir;
    static constexpr QPoint SelectionAt{20, 30};
    QImage selection;
};

TEST_F(OutputTest, SaveWritesByTheExtensionOrElseTheFilterAndPresetsTheNextDialog) {
    // Two plots, 25 x 0 and 0 x 50 mm; opened with "all files", which the save dialog shows as its fourth filter.
    if (QFile plot(Path("two.hpg"));
        !plot.open(QIODevice::WriteOnly) || plot.write("IN;SP1;PU0,0;PD1000,0;PG;SP2;PU0,0;PD0,2000;PG;") < 0)
        FAIL();
    OpenThroughDialog(Path("two.hpg"), 2);
    const std::tuple<QString, int, QByteArray> cases[] = {{"a.svg", 1, "<?xml"}, {"b", 2, "<?xml"},  {"c", 3, "%PDF-"},
                                                          {"d.PDF", 4, "%PDF-"}, {"e.bmp", 3, "BM"}, {"f", 4, "BM"},
                                                          {"g.png", 1, "BM"}};
    int shown = 4;
    for (const auto& [name, filter, magic] : cases) {
        Save(Path(name), filter);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(fake.saveCalls.back().filterIndex, shown);
        EXPECT_TRUE(Contents(Path(name)).startsWith(magic));
        shown = filter;
    }
    EXPECT_TRUE(Contents(Path("b")).contains(R"(width="35mm" height="10mm")"));  // the plot shown
    EXPECT_EQ(Pages(Path("c")).left(4), "2 x ");                                 // every plot
    EXPECT_EQ(Bmp(Path("g.png")), Raster());                                     // the area, whatever the name says
    EXPECT_EQ(form->Dialogs().SaveDir + "|" + form->Dialogs().SaveName, (dir.path() + "/|g.png").toStdString());
    form->PlotMenu18_Click();  // the pop-up's entry, cancelled: nothing changes
    EXPECT_EQ(fake.saveCalls.back().title, QString::fromUtf8(app::SaveDialogTitle));
    // The dialog starts in the plot's folder with the plot's name, then where the last save went, with the
    // extension of the filter it shows (none for all files).
    EXPECT_EQ(fake.saveCalls.front().initialName, dir.path() + "/two");
    EXPECT_EQ(fake.saveCalls.back().initialName, dir.path() + "/two.bmp");
    EXPECT_EQ(form->Dialogs().SaveName, "g.png");
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(OutputTest, SaveAndCopyTakeTheSelectionOnceThenTheWholeArea) {
    fake.clipboardImages.push_back(QImage(5, 5, QImage::Format_RGB32));  // whatever was there before
    // Each command's output: the file it wrote, or all the clipboard holds.
    const std::function<std::vector<QImage>()> commands[] = {[this] {
                                                                 Save(Path("out.bmp"));
                                                                 return std::vector<QImage>{Bmp(Path("out.bmp"))};
                                                             },
                                                             [this] {
                                                                 Copy();
                                                                 return fake.clipboardImages;
                                                             }};
    for (const auto& command : commands) {
        Select(selection);
        EXPECT_EQ(command(), std::vector<QImage>{selection});
        EXPECT_FALSE(Selected());
        EXPECT_EQ(command(), std::vector<QImage>{Raster()});
    }
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(OutputTest, FailuresAreReportedAndKeepTheSelection) {
    // The failing command, its failure and the file a failed save names.
    using E = reader::ErrorNumber;
    const std::tuple<std::function<void()>, E, QString> rows[] = {
        {[this] { Save(Path("missing/a.bmp")); }, E::PathNotFound, Path("missing/a.bmp")},
        {[this] { Save(Path("missing/a.pdf")); }, E::PathNotFound, Path("missing/a.pdf")},  // paths leave the selection
        {[this] { Copy(E::CannotEmptyClipboard); }, E::CannotEmptyClipboard, ""},
        {[this] { Copy({}, E::CannotOpenClipboard); }, E::CannotOpenClipboard, ""},
        {[this] { Print(QPageSize::A4, QPageLayout::Portrait, Path("missing/out.pdf")); }, E::PrinterError, ""},
        {[this] { Save("/dev/full"); }, E::DiskFull, "/dev/full"}};
    for (const auto& [command, number, file] : rows) {
        SCOPED_TRACE(static_cast<int>(number));
        fake.messages.clear();
        Select(selection);
        command();
        ASSERT_EQ(fake.messages.size(), 1u);
        EXPECT_EQ(fake.messages[0].text, Message(number, file));
        EXPECT_TRUE(Selected());
    }
    EXPECT_EQ(form->Dialogs().SaveName, "full");  // taken before writing
    EXPECT_TRUE(fake.clipboardImages.empty());
}

class PrintTest : public OutputTest {
protected:
    // house.hpg in a viewport of `size` pixels, enlarged `doublings` times (reduced when negative).
    void ShowZoomed(QSize size, int doublings) {
        form->resize(form->size() + size - ViewportSize());
        QCoreApplication::processEvents();
        ASSERT_EQ(ViewportSize(), size);
        OpenThroughDialog(QStringLiteral(SAMPLES_DIR "/house.hpg"));
        for (int i = 0; i < std::abs(doublings); ++i) doublings > 0 ? form->ZoomIn() : form->ZoomOut();
        ASSERT_TRUE(WaitUntilIdle(*form));
    }
    static QRect Drawn(const QImage& image) {  // what is not white
        QRect drawn;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) drawn |= QRect(x, y, 1, 1);
        return drawn;
    }
};

TEST_F(PrintTest, CancelPrintsNothingAndKeepsTheSelection) {
    Select(selection);
    form->PlotMenu13_Click();  // no answer: cancelled, silently
    EXPECT_EQ(fake.printCalls, 1);
    EXPECT_EQ(form->Dialogs().PrintCancelled, 1);
    EXPECT_TRUE(fake.messages.empty() && Selected());
}

TEST_F(PrintTest, APdfOnlyDialogOffersAFileNamedAfterThePlot) {
    QStringList offered;
    fake.printAnswer = [&offered](QPrinter& printer) {
        offered << printer.outputFileName();
        printer.setOutputFileName("/elsewhere/chosen.pdf");
        return false;
    };
    form->Printer().setOutputFormat(QPrinter::PdfFormat);
    form->Printer().setOutputFileName(QString());
    store.PlotName = "plan.v2.hpg";
    form->PlotMenu13_Click();
    form->PlotMenu13_Click();  // the name once chosen stays
    EXPECT_EQ(offered, (QStringList{QDir::home().filePath("plan.v2.pdf"), "/elsewhere/chosen.pdf"}));
}

TEST_F(PrintTest, TilesRunColumnByColumnAtFullScaleAndLossless) {
    // A4 landscape tiles are 28.5 x 19.8 cm: an area 2.5 tiles wide and 1.2 high gives 3 x 2 pages.
    const double w = 567 * 28.5 / Twips(), h = 567 * 19.8 / Twips();
    ShowZoomed(QSize(static_cast<int>(1.25 * w), static_cast<int>(0.6 * h)), 1);  // the plot over every tile
    const view::AreaPixels area = form->AreaInPixels();
    ASSERT_EQ(QSize(static_cast<int>(area.width), static_cast<int>(area.height)), ViewportSize() * 2);
    Select(Raster().copy(QRect(SelectionAt, selection.size())));
    Print(QPageSize::A4, QPageLayout::Landscape, Path("tiles.pdf"));
    EXPECT_EQ(form->Dialogs().PrintCancelled, 0);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_FALSE(Selected());  // the whole area printed, the selection consumed
    EXPECT_EQ(Pages(Path("tiles.pdf")), "6 x 0 0 842 595");
    // Each page holds its tile's pixels byte for byte (a JPEG stream would grey the pens and
    // blur the lines), drawn one twip of paper per twip of image.
    const QByteArray pdf = Contents(Path("tiles.pdf"));
    EXPECT_FALSE(pdf.contains("/DCTDecode"));
    qsizetype at = 0;
    for (int page = 0; page < 6; ++page) {
        SCOPED_TRACE(page);
        const QRect tile =
            QRectF(page / 2 * w, page % 2 * h, w, h).toAlignedRect() & QRect(QPoint(), ViewportSize() * 2);
        at = pdf.indexOf("/Subtype /Image", at + 1);
        ASSERT_GE(at, 0);
        const qsizetype start = pdf.indexOf("stream\n", at) + 7;
        const QByteArray deflated = pdf.mid(start, pdf.indexOf("endstream", start) - start);
        QByteArray rgb(tile.width() * tile.height() * 3, '\0');
        uLongf size = static_cast<uLongf>(rgb.size());
        ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(rgb.data()), &size,
                             reinterpret_cast<const Bytef*>(deflated.data()), static_cast<uLong>(deflated.size())),
                  Z_OK);
        EXPECT_EQ(QImage(reinterpret_cast<const uchar*>(rgb.constData()), tile.width(), tile.height(), tile.width() * 3,
                         QImage::Format_RGB888)
                      .convertToFormat(QImage::Format_RGB32),
                  form->AreaPart(tile.x(), tile.y(), tile.width(), tile.height()));
    }
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is missing: the scale is not checked";
    ASSERT_EQ(QProcess::execute(pdftoppm, {"-r", "72", "-l", "1", "-png", "-singlefile", Path("tiles.pdf"), Path("p")}),
              0);
    // At 72 dpi a pixel of the tile is its twips / 20 dots wide.
    const QImage first = QImage(Path("p.png")).convertToFormat(QImage::Format_RGB32);
    const QRect tile = QRectF(0, 0, w, h).toAlignedRect();
    EXPECT_NEAR(Drawn(first).width(), Drawn(form->AreaPart(0, 0, tile.width(), tile.height())).width() * Twips() / 20,
                2);
}

TEST_F(PrintTest, AnyPaperPrintsAndTheChoiceStays) {
    // Wider than an A4 tile (748.4 pixels), narrower than a Letter tile (770.7).
    ShowZoomed(QSize(1520, 200), -1);
    for (const auto& [size, pages] : {std::pair{QPageSize::Letter, "1 x 0 0 612 792"},
                                      {QPageSize::A4, "2 x 0 0 595 842"},
                                      {QPageSize::A3, "1 x 0 0 842 1191"}}) {
        Print(size, QPageLayout::Portrait, Path(QString::number(size) + ".pdf"));
        EXPECT_EQ(Pages(Path(QString::number(size) + ".pdf")), pages);
    }
    // A dialog that changes nothing but the file: the A3 chosen before stays in force.
    fake.printAnswer = [this](QPrinter& printer) {
        printer.setOutputFileName(Path("again.pdf"));
        return true;
    };
    form->PlotMenu13_Click();
    EXPECT_EQ(Pages(Path("again.pdf")), "1 x 0 0 842 1191");
    EXPECT_TRUE(fake.messages.empty());
}

}  // namespace
}  // namespace kestrel::test
