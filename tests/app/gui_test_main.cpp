// Widget tests need a QApplication; listing the tests must work without a display.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    // The recent files and the last folder go to a folder of the run's own, never into
    // the user's settings.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    // Tests close windows; that must not end anything.
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
