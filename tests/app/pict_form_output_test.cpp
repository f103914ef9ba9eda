// The BMP save, the clipboard copy and tiled printing, through the platform seam.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <vector>

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtEndian>
#include <QTemporaryDir>

#include "form_test_support.h"

namespace Kestrel_Test {
namespace {

const char SaveTitle[] = "画像の保存";
const QString GeneralFileError = QString::fromUtf8(
    "ファイルの読み込み中または書き込み中にエラーが発生しました。(Err=31036 or 31037)\n"
    "対策：他のプログラムでファイルを使用していないか確かめて下さい");

class OutputTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        // Something other than white to find again: a few lines in two pens' colours.
        auto surface = form->Picture3()->Surface();
        for (int i = 0; i < 40; ++i) {
            surface.Line(0, i * 90.f, 6000, 1500 + i * 45.f, {0, 0, 128});
            surface.Line(i * 150.f, 0, 3000, 4000, {128, 0, 0});
        }
    }
    // Stands in for a finished right-button drag: the rectangle shows, the buffer holds `image`.
    void Select(const QImage& image) {
        const_cast<QImage&>(form->Picture2()) = image;
        form->Picture3()->SetShape({300, 450, 1500, 900, true});
    }
    bool Selected() const { return form->Picture3()->Shape().Visible; }
    QImage SelectionImage() const {
        QImage image(100, 60, QImage::Format_RGB32);
        image.fill(qRgb(12, 200, 34));
        image.setPixel(3, 5, qRgb(255, 0, 0));
        return image;
    }
    QStringList Messages() const {
        QStringList out;
        for (const auto& m : fake.messages) out << m.text;
        return out;
    }
    QString Path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

// --- Saving ------------------------------------------------------------------------

class SaveTest : public OutputTest {
protected:
    const QByteArray old = "an older picture";

    void Save(const QString& path, int filterIndex = 1) {
        fake.saveAnswers.push_back({path, filterIndex});
        form->PlotMenu24_Click();
    }
    void WriteOld(const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    }
    static QByteArray Contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }
    // The file read back: a 24-bit BMP of `expected`'s size and pixels.
    void ExpectBmp(const QString& path, const QImage& expected) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray b = f.readAll();
        ASSERT_GE(b.size(), 54);
        const auto u32 = [&b](int at) { return qFromLittleEndian<quint32>(b.constData() + at); };
        EXPECT_EQ(b.left(2), "BM");
        EXPECT_EQ(u32(2), static_cast<quint32>(b.size()));
        EXPECT_EQ(u32(18), static_cast<quint32>(expected.width()));
        EXPECT_EQ(u32(22), static_cast<quint32>(expected.height()));
        EXPECT_EQ(qFromLittleEndian<quint16>(b.constData() + 28), 24);
        EXPECT_EQ(QImage::fromData(b, "BMP").convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    }
};

TEST_F(SaveTest, WritesTheDrawingAreaAndPresetsTheNextDialog) {
    const QImage raster = Raster();
    Save(Path("a.bmp"), 2);
    ASSERT_EQ(fake.saveCalls.size(), 1u);
    EXPECT_EQ(fake.saveCalls[0].title, QString::fromUtf8(SaveTitle));
    EXPECT_EQ(fake.saveCalls[0].initialName, QStringLiteral("*.bmp"));
    EXPECT_EQ(fake.saveCalls[0].filters, (QStringList{QString::fromUtf8("BMPファイル(*.bmp)"), QString::fromUtf8("すべて(*.*)")}));
    EXPECT_EQ(fake.saveCalls[0].filterIndex, 1);
    ExpectBmp(Path("a.bmp"), raster);
    EXPECT_EQ(store.SaveDir, (dir.path() + "/").toStdString());
    EXPECT_EQ(store.SaveName, "a.bmp");

    // Without extension, under another one, and over an existing file: always BMP data, as named.
    QFile existing(Path("x.png"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write("older") == 5);
    existing.close();
    for (const char* name : {"plot", "x.png"}) {
        Save(Path(name));
        ExpectBmp(Path(name), raster);
    }
    EXPECT_EQ(fake.saveCalls[1].initialName, dir.path() + "/*.bmp");
    EXPECT_EQ(fake.saveCalls[1].filterIndex, 2);  // the filter chosen last time
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);  // no temporary files left

    // A cancel saves nothing and keeps the folder.
    form->PlotMenu18_Click();
    EXPECT_EQ(fake.saveCalls.size(), 4u);
    EXPECT_EQ(store.SaveName, "x.png");
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(SaveTest, SelectionIsSavedOnceThenTheWholeArea) {
    Select(SelectionImage());
    Save(Path("sel.bmp"));
    ExpectBmp(Path("sel.bmp"), SelectionImage());
    EXPECT_FALSE(Selected());
    Save(Path("all.bmp"));
    ExpectBmp(Path("all.bmp"), Raster());

    // A selection without pixels cannot be written: reported, and the selection stays.
    Select(QImage());
    Save(Path("empty.bmp"));
    EXPECT_EQ(Messages(), QStringList{GeneralFileError});
    EXPECT_TRUE(Selected());
    EXPECT_FALSE(QFile::exists(Path("empty.bmp")));
}

TEST_F(SaveTest, FailuresAreReportedAndLeaveTheSelection) {
    const std::pair<QString, const char*> cases[] = {
        {Path("missing/a.bmp"), "エラーメッセージ番号 76"},
        {QStringLiteral("/sys/kestrel-test.bmp"), "書き込みができません(Err=70)"},  // a place nobody may create files
        {QStringLiteral("/dev/full"), "ディスクの空き容量が不足しています(Err=61)"},
    };
    for (const auto& [path, text] : cases) {
        SCOPED_TRACE(path.toStdString());
        fake.messages.clear();
        Select(SelectionImage());
        Save(path);
        EXPECT_EQ(Messages(), QStringList{QString::fromUtf8(text)});
        EXPECT_EQ(fake.messages[0].icon, Kestrel_App::MessageIcon::Warning);
        EXPECT_TRUE(Selected());
        EXPECT_EQ(store.SaveName, QFileInfo(path).fileName().toStdString());  // taken before writing
    }
}

TEST_F(SaveTest, FailedSaveLeavesTheExistingFileIntact) {
    // The disk fills up half way: the file size limit stops the write after 4 KiB.
    WriteOld(Path("full.bmp"));
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Save(Path("full.bmp"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(Messages(), QStringList{GeneralFileError});  // EFBIG has no number of its own
    EXPECT_EQ(Contents(Path("full.bmp")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"full.bmp"});
}

TEST_F(SaveTest, UnwritableFolderIsReportedAndLeavesTheExistingFile) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    WriteOld(Path("locked/a.bmp"));
    ASSERT_TRUE(QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::ExeOwner));
    const bool bites = access(QFile::encodeName(Path("locked")).constData(), W_OK) != 0;
    if (bites) {
        fake.messages.clear();
        Save(Path("locked/a.bmp"));
        EXPECT_EQ(Messages(), QStringList{QString::fromUtf8("書き込みができません(Err=70)")});
        EXPECT_EQ(Contents(Path("locked/a.bmp")), old);
    }
    QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!bites) GTEST_SKIP() << "running with rights that ignore folder permissions";
}

// --- Clipboard ---------------------------------------------------------------------

TEST_F(OutputTest, CopyPlacesTheAreaOrTheSelection) {
    fake.clipboardImages.push_back(QImage(5, 5, QImage::Format_RGB32));  // whatever was there before
    Select(SelectionImage());
    form->PlotMenu14_Click();
    EXPECT_TRUE(fake.clipboardCleared);
    ASSERT_EQ(fake.clipboardImages.size(), 1u);
    EXPECT_EQ(fake.clipboardImages[0], SelectionImage());
    EXPECT_FALSE(Selected());
    form->PlotMenu14_Click();
    ASSERT_EQ(fake.clipboardImages.size(), 1u);
    EXPECT_EQ(fake.clipboardImages[0], Raster());
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(OutputTest, CopyFailuresAreReportedAndKeepTheSelection) {
    struct Row {
        int clearError, putError;
        const char* text;
    } rows[] = {{520, 0, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを空にできません(Err=520)"}, {0, 521, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを開けません(Err=521)"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        fake.messages.clear();
        fake.clipboardImages.clear();
        fake.clearError = r.clearError;
        fake.putError = r.putError;
        Select(SelectionImage());
        form->PlotMenu14_Click();
        EXPECT_EQ(Messages(), QStringList{QString::fromUtf8(r.text)});
        EXPECT_TRUE(fake.clipboardImages.empty());
        EXPECT_TRUE(Selected());
    }
}

// --- Printing ----------------------------------------------------------------------

class PrintTest : public OutputTest {
protected:
    // The dialog answers OK after choosing a PDF file, a paper size and orientation.
    void Choose(QPageSize::PageSizeId size, QPageLayout::Orientation orientation, const QString& file) {
        fake.printAnswer = [=](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            printer.setPageSize(QPageSize(size));
            printer.setPageOrientation(orientation);
            return true;
        };
    }
    // The drawing area's size in pixels, as if zoomed; the raster follows it.
    void SizeArea(int width, int height) { form->Picture3()->resize(width, height); }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static int PageCount(const QByteArray& pdf) {
        return static_cast<int>(QString::fromLatin1(pdf).count(QRegularExpression("/Type\\s*/Page(?!s)")));
    }
    static QStringList MediaBoxes(const QByteArray& pdf) {
        QStringList out;
        auto it = QRegularExpression("/MediaBox\\s*\\[([^\\]]*)\\]").globalMatch(QString::fromLatin1(pdf));
        while (it.hasNext()) {
            QStringList numbers;  // written as 595.000000 and the like
            for (const QString& n : it.next().captured(1).split(' ', Qt::SkipEmptyParts)) numbers << QString::number(n.toDouble());
            out << numbers.join(' ');
        }
        out.removeDuplicates();
        return out;
    }
    // A filled square of `colour` whose top-left pixel is (x, y).
    void Mark(int x, int y, Kestrel_View::Rgb colour) {
        auto surface = form->Picture3()->Surface();
        const float t = static_cast<float>(Twips());
        for (int i = 0; i < 80; ++i) surface.Line(x * t, (y + i) * t, (x + 80) * t, (y + i) * t, colour);
    }
};

TEST_F(PrintTest, CancelPrintsNothing) {
    Select(SelectionImage());
    form->PlotMenu13_Click();
    EXPECT_EQ(fake.printCalls, 1);
    EXPECT_EQ(store.PrintCancelled, 1);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_TRUE(Selected());
}

TEST_F(PrintTest, TilesRunColumnByColumnAtFullScale) {
    // A4 landscape: tiles 28.5 x 19.8 cm; an area 2.5 tiles wide and 1.2 high gives 3 x 2 pages.
    const double w = 567 * 28.5 / Twips(), h = 567 * 19.8 / Twips();
    SizeArea(static_cast<int>(2.5 * w), static_cast<int>(1.2 * h));
    const Kestrel_View::Rgb colours[] = {{255, 0, 0}, {0, 160, 0}, {0, 0, 255}, {230, 200, 0}, {200, 0, 200}, {0, 200, 200}};
    for (int page = 0; page < 6; ++page) {
        Mark(static_cast<int>(std::ceil(page / 2 * w)) + 2, static_cast<int>(std::ceil(page % 2 * h)) + 2, colours[page]);
    }
    Select(SelectionImage());
    const QString pdf = Path("tiles.pdf");
    Choose(QPageSize::A4, QPageLayout::Landscape, pdf);
    form->PlotMenu13_Click();
    EXPECT_EQ(store.PrintCancelled, 0);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_FALSE(Selected());  // the whole area printed, the selection consumed
    const QByteArray bytes = Read(pdf);
    EXPECT_EQ(PageCount(bytes), 6);
    EXPECT_EQ(MediaBoxes(bytes), QStringList{"0 0 842 595"});

    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is missing: page order not checked";
    ASSERT_EQ(QProcess::execute(pdftoppm, {"-r", "20", "-png", pdf, Path("page")}), 0);
    const QStringList pngs = QDir(dir.path()).entryList({"page-*.png"}, QDir::Files, QDir::Name);
    ASSERT_EQ(pngs.size(), 6);
    for (int page = 0; page < 6; ++page) {
        SCOPED_TRACE(page);
        const QImage image = QImage(dir.filePath(pngs[page])).convertToFormat(QImage::Format_RGB32);
        // Each page holds its own mark only, near the top-left corner; 80 px at 96 dpi is about 17 dots at 20.
        std::vector<int> counts(6);
        QRect where;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                for (int c = 0; c < 6; ++c) {
                    const QRgb p = image.pixel(x, y);
                    if (std::abs(qRed(p) - colours[c].r) < 40 && std::abs(qGreen(p) - colours[c].g) < 40 &&
                        std::abs(qBlue(p) - colours[c].b) < 40) {
                        ++counts[c];
                        if (c == page) where |= QRect(x, y, 1, 1);
                    }
                }
        for (int c = 0; c < 6; ++c) EXPECT_EQ(counts[c] > 0, c == page) << c;
        EXPECT_NEAR(where.width(), 80 * 20 / 96.0, 2);
        EXPECT_LT(where.left(), image.width() / 10);
        EXPECT_LT(where.top(), image.height() / 10);
    }
}

TEST_F(PrintTest, AnyPaperPrintsAndTheChoiceStays) {
    // 760 pixels: wider than an A4 tile (748.4) and narrower than a Letter tile (770.7).
    SizeArea(760, 100);
    struct Row {
        QPageSize::PageSizeId size;
        int pages;
        const char* mediaBox;
    } rows[] = {{QPageSize::Letter, 1, "0 0 612 792"}, {QPageSize::A4, 2, "0 0 595 842"}, {QPageSize::A3, 1, "0 0 842 1191"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mediaBox);
        const QString pdf = Path(QString("%1.pdf").arg(r.mediaBox).replace(' ', '_'));
        Choose(r.size, QPageLayout::Portrait, pdf);
        form->PlotMenu13_Click();
        EXPECT_EQ(PageCount(Read(pdf)), r.pages);
        EXPECT_EQ(MediaBoxes(Read(pdf)), QStringList{r.mediaBox});
    }
    // The next dialog changes nothing but the file: the A3 chosen before stays in force.
    const QString again = Path("again.pdf");
    fake.printAnswer = [&](QPrinter& printer) {
        EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A3);
        printer.setOutputFileName(again);
        return true;
    };
    form->PlotMenu13_Click();
    EXPECT_EQ(MediaBoxes(Read(again)), QStringList{"0 0 842 1191"});
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(PrintTest, PrinterFailureIsReportedAndKeepsTheSelection) {
    Select(SelectionImage());
    Choose(QPageSize::A4, QPageLayout::Portrait, Path("missing/out.pdf"));
    form->PlotMenu13_Click();
    EXPECT_EQ(Messages(), QStringList{QString::fromUtf8("プリンターエラーです(Err=482)")});
    EXPECT_TRUE(Selected());
}

}  // namespace
}  // namespace Kestrel_Test
