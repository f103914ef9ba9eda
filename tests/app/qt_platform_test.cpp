// The real file dialog behind the platform seam, answered by a timer while it is open.

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <QTimer>

#include "app/qt_platform.h"

namespace kestrel::test {
namespace {

// Runs `answer` on the file dialog once it is open.
void WhenOpen(std::function<void(QFileDialog*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

TEST(QtPlatform, OpenDialogStartsInTheFolderWithTheFilterAndReportsTheChoice) {
    QTemporaryDir dir;
    const QString plot = dir.filePath("a.hpg");
    QFile f(plot);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QStringList filters{QString::fromUtf8("ＨＰＧＬデータファイル(*.hpg)"), QString::fromUtf8("すべて(*.*)")};
    app::QtPlatform platform;
    WhenOpen([&](QFileDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Open"));
        EXPECT_EQ(d->nameFilters(), filters);
        EXPECT_EQ(d->selectedNameFilter(), filters[1]);
        EXPECT_EQ(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        d->selectFile(plot);
        static_cast<QDialog*>(d)->accept();  // the file dialog checks the choice
    });
    const auto choice = platform.ChooseOpenFile(nullptr, QStringLiteral("Open"), dir.path() + "/*.*", filters, 2);
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(QFileInfo(choice->path).canonicalFilePath(), QFileInfo(plot).canonicalFilePath());
    EXPECT_EQ(choice->filterIndex, 2);
    // The HPGL filter lists the other names plot files go by.
    WhenOpen([](QFileDialog* d) {
        EXPECT_EQ(d->findChild<QFileSystemModel*>()->nameFilters(), QStringList({"*.hpg", "*.hpgl", "*.plt", "*.hp"}));
        d->reject();
    });
    EXPECT_FALSE(platform.ChooseOpenFile(nullptr, "t", "*.hpg", filters, 1).has_value());
}

TEST(QtPlatform, QtsOwnTextsAreJapanese) {
    ASSERT_TRUE(app::InstallQtTranslations(*QCoreApplication::instance()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), QString::fromUtf8("印刷"));
}

}  // namespace
}  // namespace kestrel::test
