// The real file dialog behind the platform seam, answered by a timer while it is open.

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/captions.h"
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
    const QStringList filters{QString::fromUtf8(app::HpglFilter), QString::fromUtf8(app::AllFilesFilter)};
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
    // The HPGL filter shows the other names plot files go by, as its caption says.
    WhenOpen([](QFileDialog* d) {
        EXPECT_EQ(d->findChild<QFileSystemModel*>()->nameFilters(), QStringList({"*.hpg", "*.hpgl", "*.plt", "*.hp"}));
        d->reject();
    });
    EXPECT_FALSE(platform.ChooseOpenFile(nullptr, "t", "*.hpg", filters, 1).has_value());
}

TEST(QtPlatform, SaveDialogGivesTheFiltersExtensionAndAsksBeforeReplacing) {
    QTemporaryDir dir;
    QFile old(dir.filePath("old.bmp"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    const QStringList filters{QString::fromUtf8("BMPファイル(*.bmp)"), QString::fromUtf8("SVGファイル(*.svg)"),
                              QString::fromUtf8(app::AllFilesFilter)};
    app::QtPlatform platform;
    // Filter, name typed; the name chosen, and whether replacing was asked first.
    const std::tuple<int, QString, QString, bool> rows[] = {{1, "plot", "plot.bmp", false},
                                                            {2, "plot", "plot.svg", false},
                                                            {3, "plot", "plot", false},
                                                            {2, "plot.png", "plot.png", false},
                                                            {1, "old", "old.bmp", true}};
    for (const auto& [filter, typed, chosen, asked] : rows) {
        SCOPED_TRACE(typed.toStdString());
        bool confirmed = false;
        WhenOpen([&, typed = typed](QFileDialog* d) {
            QTimer::singleShot(50, [&confirmed] {  // the question, if any, is answered yes
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    confirmed = true;
                    box->button(QMessageBox::Yes)->click();
                }
            });
            d->selectFile(typed);
            static_cast<QDialog*>(d)->accept();
        });
        const auto choice = platform.ChooseSaveFile(nullptr, "Save", dir.path() + "/", filters, filter);
        ASSERT_TRUE(choice.has_value());
        EXPECT_EQ(QFileInfo(choice->path).fileName(), chosen);
        EXPECT_EQ(confirmed, asked);
    }
}

TEST(QtPlatform, QtsOwnTextsAreJapanese) {
    ASSERT_TRUE(app::InstallQtTranslations(*QCoreApplication::instance()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), QString::fromUtf8("印刷"));
}

}  // namespace
}  // namespace kestrel::test
