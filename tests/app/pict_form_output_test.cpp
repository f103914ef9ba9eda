// The BMP save, the clipboard copy and tiled printing, through the platform seam.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include "form_test_support.h"

namespace Kestrel_Test {
namespace {

const char FileError[] = "ファイルの読み込み中または書き込み中にエラーが発生しました。(Err=31036 or 31037)\n"
                         "対策：他のプログラムでファイルを使用していないか確かめて下さい";
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
    // A right-button drag from SelectionAt over `image`'s size, which must be the raster's
    // pixels there; a null image drags along one axis only, which selects nothing.
    void Select(const QImage& image) {
        store.PlotName = "/selection.hpg";  // the rectangle grows only while a file is loaded
        const QPoint at = SelectionAt;
        const float t = static_cast<float>(Twips());
        form->Picture3_MouseDown(2, 0, at.x() * t, at.y() * t);
        form->Picture3_MouseMove(2, 0, (at.x() + image.width()) * t, (at.y() + std::max(image.height(), 60)) * t);
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
    // The file is a 24-bit BMP of `expected`'s size and pixels.
    static void ExpectBmp(const QString& path, const QImage& expected) {
        const QByteArray b = Contents(path);
        ASSERT_TRUE(b.startsWith("BM") && b.size() > 54) << path.toStdString();
        const auto u32 = [&b](int at) { return static_cast<int>(qFromLittleEndian<quint32>(b.constData() + at)); };
        EXPECT_EQ((std::vector<int>{u32(2), u32(18), u32(22), u32(28) & 0xffff}),
                  (std::vector<int>{static_cast<int>(b.size()), expected.width(), expected.height(), 24}));
        EXPECT_EQ(QImage::fromData(b, "BMP").convertToFormat(QImage::Format_RGB32), expected);
    }

    QTemporaryDir dir;
    static constexpr QPoint SelectionAt{20, 30};
    QImage selection;
    const QByteArray old = "an older picture";
};

TEST_F(OutputTest, SaveWritesTheAreaUnderAnyNameAndPresetsTheNextDialog) {
    const QImage raster = Raster();
    QFile existing(Path("x.png"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly) && existing.write(old) > 0);
    existing.close();
    Save(Path("a.bmp"), 2);
    const auto& first = fake.saveCalls.at(0);
    EXPECT_EQ(QStringList({first.title, first.initialName, QString::number(first.filterIndex)}),
              QStringList({QString::fromUtf8("画像の保存"), "*.bmp", "1"}));
    EXPECT_EQ(first.filters, (QStringList{QString::fromUtf8("BMPファイル(*.bmp)"), QString::fromUtf8("すべて(*.*)")}));
    EXPECT_EQ(store.SaveDir + "|" + store.SaveName, (dir.path() + "/|a.bmp").toStdString());
    // Without extension, under another one, over an existing file: BMP data, as named.
    Save(Path("plot"));
    Save(Path("x.png"));
    for (const char* name : {"a.bmp", "plot", "x.png"}) ExpectBmp(Path(name), raster);
    EXPECT_EQ(fake.saveCalls.at(1).initialName, dir.path() + "/*.bmp");
    EXPECT_EQ(fake.saveCalls.at(1).filterIndex, 2);  // the filter chosen last time
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);  // no temporary files left
    form->PlotMenu18_Click();  // cancelled: nothing changes
    EXPECT_EQ(fake.saveCalls.size(), 4u);
    EXPECT_EQ(store.SaveName, "x.png");
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(OutputTest, SaveTakesTheSelectionOnceThenTheWholeArea) {
    Select(selection);
    Save(Path("sel.bmp"));
    ExpectBmp(Path("sel.bmp"), selection);
    EXPECT_FALSE(Selected());
    Save(Path("all.bmp"));
    ExpectBmp(Path("all.bmp"), Raster());
    // A selection without pixels cannot be written: reported, and the selection stays.
    Select(QImage());
    Save(Path("empty.bmp"));
    EXPECT_EQ(Messages(), QStringList{QString::fromUtf8(FileError)});
    EXPECT_TRUE(Selected());
    EXPECT_FALSE(QFile::exists(Path("empty.bmp")));
}

TEST_F(OutputTest, SaveFailuresAreReportedAndKeepTheSelection) {
    const std::pair<QString, const char*> cases[] = {
        {Path("missing/a.bmp"), "エラーメッセージ番号 76"},
        {"/sys/kestrel-test.bmp", NoWrite},  // nobody may create files there
        {"/dev/full", "ディスクの空き容量が不足しています(Err=61)"},
    };
    for (const auto& [path, text] : cases) {
        SCOPED_TRACE(path.toStdString());
        fake.messages.clear();
        Select(selection);
        Save(path);
        EXPECT_EQ(Messages(), QStringList{QString::fromUtf8(text)});
        EXPECT_EQ(fake.messages.at(0).icon, Kestrel_App::MessageIcon::Warning);
        EXPECT_TRUE(Selected());
        EXPECT_EQ(store.SaveName, QFileInfo(path).fileName().toStdString());  // taken before writing
    }
}

TEST_F(OutputTest, FailedSaveLeavesTheExistingFileIntact) {
    QFile f(Path("full.bmp"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(old) > 0);
    f.close();
    // The write stops after 4 KiB, as on a disk filling up half way.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Save(Path("full.bmp"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(Messages(), QStringList{QString::fromUtf8(FileError)});  // EFBIG has no number of its own
    EXPECT_EQ(Contents(Path("full.bmp")), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"full.bmp"});
}

TEST_F(OutputTest, SaveIntoALockedFolderLeavesTheExistingFile) {  // root is not stopped by it
    QFile f(Path("a.bmp"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(old) > 0);
    f.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked") && QFile::rename(Path("a.bmp"), Path("locked/a.bmp")));
    ASSERT_TRUE(QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::ExeOwner));
    const bool bites = access(QFile::encodeName(Path("locked")).constData(), W_OK) != 0;
    if (bites) {
        Save(Path("locked/a.bmp"));
        EXPECT_EQ(Messages(), QStringList{QString::fromUtf8(NoWrite)});
        EXPECT_EQ(Contents(Path("locked/a.bmp")), old);
    }
    QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!bites) GTEST_SKIP() << "folder permissions do not apply to this user";
}

TEST_F(OutputTest, CopyPlacesTheSelectionOnceThenTheArea) {
    fake.clipboardImages.push_back(QImage(5, 5, QImage::Format_RGB32));  // whatever was there before
    Select(selection);
    form->PlotMenu14_Click();
    EXPECT_EQ(fake.clipboardImages, std::vector<QImage>{selection});
    EXPECT_FALSE(Selected());
    form->PlotMenu14_Click();
    EXPECT_EQ(fake.clipboardImages, std::vector<QImage>{Raster()});
    EXPECT_TRUE(fake.messages.empty());
    // Failures are reported and leave the selection.
    for (const auto& [clearError, putError, text] : {std::tuple{520, 0, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを空にできません(Err=520)"},
                                                     std::tuple{0, 521, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞを開けません(Err=521)"}}) {
        fake.messages.clear();
        fake.clipboardImages.clear();
        fake.clearError = clearError;
        fake.putError = putError;
        Select(selection);
        form->PlotMenu14_Click();
        EXPECT_EQ(Messages(), QStringList{QString::fromUtf8(text)});
        EXPECT_TRUE(fake.clipboardImages.empty() && Selected()) << text;
    }
}

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
    // The pages' count and distinct media boxes in points.
    static QString Pages(const QString& pdf) {
        const QString text = QString::fromLatin1(Contents(pdf));
        QStringList boxes;
        for (auto it = QRegularExpression("/MediaBox\\s*\\[([^\\]]*)\\]").globalMatch(text); it.hasNext();) {
            QStringList numbers;  // written as 595.000000 and the like
            for (const QString& n : it.next().captured(1).split(' ', Qt::SkipEmptyParts)) numbers << QString::number(n.toDouble());
            boxes << numbers.join(' ');
        }
        boxes.removeDuplicates();
        return QString::number(text.count(QRegularExpression("/Type\\s*/Page(?!s)"))) + " x " + boxes.join(", ");
    }
};

TEST_F(PrintTest, CancelPrintsNothing) {
    Select(selection);
    form->PlotMenu13_Click();
    EXPECT_EQ(fake.printCalls, 1);
    EXPECT_EQ(store.PrintCancelled, 1);
    EXPECT_TRUE(fake.messages.empty() && Selected());
}

TEST_F(PrintTest, TilesRunColumnByColumnAtFullScale) {
    // A4 landscape tiles are 28.5 x 19.8 cm: an area 2.5 tiles wide and 1.2 high gives 3 x 2 pages.
    const double w = 567 * 28.5 / Twips(), h = 567 * 19.8 / Twips();
    SizeArea(static_cast<int>(2.5 * w), static_cast<int>(1.2 * h));
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 255), qRgb(230, 200, 0), qRgb(200, 0, 200), qRgb(0, 200, 200)};
    auto surface = form->Picture3()->Surface();
    for (int page = 0; page < 6; ++page) {  // an 80-pixel square at the top-left of each tile
        const float x = static_cast<float>((std::ceil(page / 2 * w) + 2) * Twips()), t = static_cast<float>(Twips());
        const float y = static_cast<float>((std::ceil(page % 2 * h) + 2) * Twips());
        const Kestrel_View::Rgb c{static_cast<std::uint8_t>(qRed(colours[page])), static_cast<std::uint8_t>(qGreen(colours[page])),
                                  static_cast<std::uint8_t>(qBlue(colours[page]))};
        for (int i = 0; i < 80; ++i) surface.Line(x, y + i * t, x + 80 * t, y + i * t, c);
    }
    Select(Raster().copy(QRect(SelectionAt, selection.size())));
    Choose(QPageSize::A4, QPageLayout::Landscape, Path("tiles.pdf"));
    form->PlotMenu13_Click();
    EXPECT_EQ(store.PrintCancelled, 0);
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
                    const QRgb p = image.pixel(x, y), e = colours[c];
                    if (std::abs(qRed(p) - qRed(e)) + std::abs(qGreen(p) - qGreen(e)) + std::abs(qBlue(p) - qBlue(e)) < 60)
                        marks[c] |= QRect(x, y, 1, 1);
                }
        for (int c = 0; c < 6; ++c) EXPECT_EQ(marks[c].isEmpty(), c != page) << page << " " << c;
        EXPECT_NEAR(marks[page].width(), 80 * 20 / 96.0, 2) << page;
        EXPECT_TRUE(marks[page].right() < image.width() / 8 && marks[page].bottom() < image.height() / 6) << page;
    }
}

TEST_F(PrintTest, AnyPaperPrintsAndTheChoiceStays) {
    SizeArea(760, 100);  // wider than an A4 tile (748.4 pixels), narrower than a Letter tile (770.7)
    for (const auto& [size, pages] : {std::pair{QPageSize::Letter, "1 x 0 0 612 792"}, std::pair{QPageSize::A4, "2 x 0 0 595 842"},
                                      std::pair{QPageSize::A3, "1 x 0 0 842 1191"}}) {
        Choose(size, QPageLayout::Portrait, Path(QString::number(size) + ".pdf"));
        form->PlotMenu13_Click();
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

TEST_F(PrintTest, PrinterFailureIsReportedAndKeepsTheSelection) {
    Select(selection);
    Choose(QPageSize::A4, QPageLayout::Portrait, Path("missing/out.pdf"));
    form->PlotMenu13_Click();
    EXPECT_EQ(Messages(), QStringList{QString::fromUtf8("プリンターエラーです(Err=482)")});
    EXPECT_TRUE(Selected());
}

}  // namespace
}  // namespace Kestrel_Test
