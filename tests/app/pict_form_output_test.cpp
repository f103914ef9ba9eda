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

#include "form_test_support.h"

namespace kestrel::test {
namespace {

const char NoWrite[] = "書き込みができません(Err=70)";

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
    QStringList Messages() const {
        QStringList out;
        for (const auto& m : fake.messages) out << m.text;
        return out;
    }
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

TEST_F(OutputTest, SaveWritesTheAreaUnderAnyNameAndPresetsTheNextDialog) {
    Save(Path("a.bmp"), 2);
    const auto& first = fake.saveCalls.at(0);
    EXPECT_EQ(QStringList({first.title, first.initialName, QString::number(first.filterIndex)}),
              QStringList({QString::fromUtf8("画像の保存"), "*.bmp", "1"}));
    EXPECT_EQ(first.filters,
              QStringList({QString::fromUtf8("BMPファイル(*.bmp)"), QString::fromUtf8("SVGファイル(*.svg)"),
                           QString::fromUtf8("PDFファイル(*.pdf)"), QString::fromUtf8("すべて(*.*)")}));
    EXPECT_EQ(form->Dialogs().SaveDir + "|" + form->Dialogs().SaveName, (dir.path() + "/|a.bmp").toStdString());
    // Without extension or under another one: BMP data, as named (replacing is checked in bmp_writer_test).
    Save(Path("plot"));
    Save(Path("x.png"));
    for (const char* name : {"a.bmp", "plot", "x.png"}) EXPECT_EQ(Bmp(Path(name)), Raster()) << name;
    EXPECT_EQ(fake.saveCalls.at(1).initialName, dir.path() + "/*.bmp");
    EXPECT_EQ(fake.saveCalls.at(1).filterIndex, 2);  // the filter chosen last time
    form->PlotMenu18_Click();                        // cancelled: nothing changes
    EXPECT_EQ(fake.saveCalls.size(), 4u);
    EXPECT_EQ(form->Dialogs().SaveName, "x.png");
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(OutputTest, SaveWritesPathsByTheExtensionOrElseTheFilter) {
    // Two plots, 25 x 0 and 0 x 50 mm; opened with "all files", which the save dialog shows as its fourth filter.
    if (QFile plot(Path("two.hpg"));
        !plot.open(QIODevice::WriteOnly) || plot.write("IN;SP1;PU0,0;PD1000,0;PG;SP2;PU0,0;PD0,2000;PG;") < 0)
        FAIL();
    OpenThroughDialog(Path("two.hpg"), 2);
    const std::tuple<QString, int, QByteArray> cases[] = {{"a.svg", 1, "<?xml"}, {"b", 2, "<?xml"},  {"c", 3, "%PDF-"},
                                                          {"d.PDF", 4, "%PDF-"}, {"e.bmp", 3, "BM"}, {"f", 4, "BM"}};
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
    // The selection to take, the failing command, and its message.
    // A failed save names its file on a line of its own.
    const std::function<void()> commands[] = {
        [this] { Save(Path("missing/a.bmp")); },
        [this] { Save(Path("missing/a.pdf")); },    // paths leave the selection
        [this] { Save("/sys/kestrel-test.bmp"); },  // nobody may create files there
        [this] { Copy(reader::ErrorNumber::CannotEmptyClipboard); },
        [this] { Copy({}, reader::ErrorNumber::CannotOpenClipboard); },
        [this] { Print(QPageSize::A4, QPageLayout::Portrait, Path("missing/out.pdf")); },
        [this] { Save("/dev/full"); }};
    const QString texts[] = {QString::fromUtf8("パスが見つかりません。(Err=76)\n") + Path("missing/a.bmp"),
                             QString::fromUtf8("パスが見つかりません。(Err=76)\n") + Path("missing/a.pdf"),
                             QString::fromUtf8(NoWrite) + "\n/sys/kestrel-test.bmp",
                             QString::fromUtf8("ｸﾘｯﾌﾟﾎﾞｰﾄﾞを空にできません(Err=520)"),
                             QString::fromUtf8("ｸﾘｯﾌﾟﾎﾞｰﾄﾞを開けません(Err=521)"),
                             QString::fromUtf8("プリンターエラーです(Err=482)"),
                             QString::fromUtf8("ディスクの空き容量が不足しています(Err=61)\n/dev/full")};
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        SCOPED_TRACE(texts[i].toStdString());
        fake.messages.clear();
        Select(selection);
        commands[i]();
        EXPECT_EQ(Messages(), QStringList{texts[i]});
        EXPECT_TRUE(Selected());
    }
    EXPECT_EQ(form->Dialogs().SaveName, "full");  // taken before writing
    EXPECT_TRUE(fake.clipboardImages.empty());
}

class PrintTest : public OutputTest {};

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

TEST_F(PrintTest, TilesRunColumnByColumnAtFullScale) {
    // A4 landscape tiles are 28.5 x 19.8 cm: an area 2.5 tiles wide and 1.2 high gives 3 x 2 pages.
    const double w = 567 * 28.5 / Twips(), h = 567 * 19.8 / Twips();
    const float t = static_cast<float>(Twips());
    form->Picture3()->resize(static_cast<int>(2.5 * w), static_cast<int>(1.2 * h));  // as if zoomed
    const view::Rgb colours[] = {{255, 0, 0}, {0, 160, 0}, {0, 0, 255}, {230, 200, 0}, {200, 0, 200}, {0, 200, 200}};
    auto surface = form->Picture3()->Surface();
    for (int page = 0; page < 6; ++page) {  // an 80-pixel square at the top-left of each tile
        const float x = static_cast<float>(std::ceil(page / 2 * w) + 2) * t;
        const float y = static_cast<float>(std::ceil(page % 2 * h) + 2) * t;
        for (int i = 0; i < 80; ++i) surface.Line(x, y + i * t, x + 80 * t, y + i * t, colours[page]);
    }
    Select(Raster().copy(QRect(SelectionAt, selection.size())));
    Print(QPageSize::A4, QPageLayout::Landscape, Path("tiles.pdf"));
    EXPECT_EQ(form->Dialogs().PrintCancelled, 0);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_FALSE(Selected());  // the whole area printed, the selection consumed
    EXPECT_EQ(Pages(Path("tiles.pdf")), "6 x 0 0 842 595");

    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is missing: page order not checked";
    ASSERT_EQ(QProcess::execute(pdftoppm, {"-r", "20", "-png", Path("tiles.pdf"), Path("page")}), 0);
    const QStringList pngs = QDir(dir.path()).entryList({"page-*.png"}, QDir::Files, QDir::Name);
    ASSERT_EQ(pngs.size(), 6);
    for (int page = 0; page < 6; ++page) {
        // Only this page's mark, near the top-left, 80 pixels at 96 dpi (about 17 dots at 20).
        const QImage image = QImage(dir.filePath(pngs[page])).convertToFormat(QImage::Format_RGB32);
        QRect marks[6];
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                for (int c = 0; c < 6; ++c) {
                    const QRgb p = image.pixel(x, y);
                    const view::Rgb e = colours[c];
                    if (std::abs(qRed(p) - e.r) + std::abs(qGreen(p) - e.g) + std::abs(qBlue(p) - e.b) < 60)
                        marks[c] |= QRect(x, y, 1, 1);
                }
        for (int c = 0; c < 6; ++c) EXPECT_EQ(marks[c].isEmpty(), c != page) << page << " " << c;
        EXPECT_NEAR(marks[page].width(), 80 * 20 / 96.0, 2) << page;
        EXPECT_TRUE(marks[page].right() < image.width() / 8 && marks[page].bottom() < image.height() / 6) << page;
    }
}

TEST_F(PrintTest, ThePageImageIsLossless) {
    // The image goes into the PDF deflated, byte for byte the raster's colours: a JPEG
    // stream would grey the pens and blur the lines.
    Print(QPageSize::A4, QPageLayout::Portrait, Path("pens.pdf"));
    const QByteArray pdf = Contents(Path("pens.pdf"));
    EXPECT_FALSE(pdf.contains("/DCTDecode"));
    const qsizetype image = pdf.indexOf("/Subtype /Image");
    ASSERT_GE(image, 0);
    const qsizetype start = pdf.indexOf("stream\n", image) + 7;
    const QByteArray deflated = pdf.mid(start, pdf.indexOf("endstream", start) - start);
    const int w = Raster().width(), h = Raster().height();
    QByteArray rgb(w * h * 3, '\0');
    uLongf size = static_cast<uLongf>(rgb.size());
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(rgb.data()), &size, reinterpret_cast<const Bytef*>(deflated.data()),
                         static_cast<uLong>(deflated.size())),
              Z_OK);
    EXPECT_EQ(QImage(reinterpret_cast<const uchar*>(rgb.constData()), w, h, w * 3, QImage::Format_RGB888)
                  .convertToFormat(QImage::Format_RGB32),
              Raster());
}

TEST_F(PrintTest, AnyPaperPrintsAndTheChoiceStays) {
    // Wider than an A4 tile (748.4 pixels), narrower than a Letter tile (770.7).
    form->Picture3()->resize(760, 100);
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
