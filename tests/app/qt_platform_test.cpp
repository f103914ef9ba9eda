// The real dialogs behind the platform seam, answered by a timer while they are open.

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/qt_platform.h"

namespace Kestrel_Test {
namespace {

// Runs `answer` on the modal dialog once it is open.
template <typename Dialog>
void WhenOpen(std::function<void(Dialog*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

class QtPlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        plot = dir.filePath("a.hpg");
        QFile f(plot);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("IN;");
    }

    const QStringList filters{QString::fromUtf8("ＨＰＧＬデータファイル(*.hpg)"),
                              QString::fromUtf8("すべて(*.*)")};
    QTemporaryDir dir;
    QString plot;
    Kestrel_App::QtPlatform platform;
};

TEST_F(QtPlatformTest, OpenDialogStartsInTheFolderWithTheFilterAndReportsTheChoice) {
    WhenOpen<QFileDialog>([this](QFileDialog* d) {
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("ＨＰＧＬファイルを開く"));
        EXPECT_EQ(d->nameFilters(), filters);
        EXPECT_EQ(d->selectedNameFilter(), filters[1]);
        EXPECT_EQ(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        d->selectFile(plot);
        static_cast<QDialog*>(d)->accept();  // the file dialog checks the choice
    });
    const auto choice = platform.ChooseOpenFile(
        nullptr, QString::fromUtf8("ＨＰＧＬファイルを開く"), dir.path() + "/*.*", filters, 2);
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(QFileInfo(choice->path).canonicalFilePath(), QFileInfo(plot).canonicalFilePath());
    EXPECT_EQ(choice->filterIndex, 2);
}

TEST_F(QtPlatformTest, CancelledOpenDialogGivesNothing) {
    WhenOpen<QFileDialog>([](QFileDialog* d) { d->reject(); });
    EXPECT_FALSE(platform.ChooseOpenFile(nullptr, "t", "*.hpg", filters, 1).has_value());
}

struct BoxCase {
    Kestrel_App::MessageIcon icon;
    QMessageBox::Icon shown;
};

class QtMessageTest : public QtPlatformTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(QtMessageTest, ShowsTextCaptionIconAndOnlyOk) {
    bool seen = false;
    WhenOpen<QMessageBox>([&seen](QMessageBox* box) {
        seen = true;
        EXPECT_EQ(box->text(), QString::fromUtf8("ファイル中に区切子がありません"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Kestrel"));
        EXPECT_EQ(box->icon(), GetParam().shown);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    });
    platform.ShowMessage(nullptr, QString::fromUtf8("ファイル中に区切子がありません"),
                         QStringLiteral("Kestrel"), GetParam().icon);
    EXPECT_TRUE(seen);
}

INSTANTIATE_TEST_SUITE_P(
    Icons, QtMessageTest,
    ::testing::Values(BoxCase{Kestrel_App::MessageIcon::None, QMessageBox::NoIcon},
                      BoxCase{Kestrel_App::MessageIcon::Warning, QMessageBox::Warning}),
    [](const auto& info) { return info.index == 0 ? "NoIcon" : "Warning"; });

}  // namespace
}  // namespace Kestrel_Test
