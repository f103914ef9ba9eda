// kestrel [FILE]: the viewer window, optionally opening FILE at start.

#include <cstdio>

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QTimer>

#include "app/pict_form.h"
#include "app/qt_platform.h"
#include "reader/plot_store.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kestrel.png")));
    // Matches the installed desktop entry, so the window gets its icon on Wayland too.
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrel"));

    // The captions are Japanese; prefer a font that has every glyph when the
    // default one lacks them.
    QFont font = QApplication::font();
    font.setFamilies({font.family(), QStringLiteral("IPAGothic")});
    QApplication::setFont(font);

    const QStringList args = QApplication::arguments();
    if (args.size() > 2) {
        std::fputs("usage: kestrel [FILE]\n", stderr);
        return 2;
    }

    Kestrel_Val::PlotStore store;
    Kestrel_App::QtPlatform platform;
    Kestrel_App::PictForm form(store, platform);
    form.show();

    if (args.size() == 2) {
        // The open dialog hands over absolute paths; a file named here is opened the same
        // way, once the window has its first size.
        const QString path = QFileInfo(args.at(1)).absoluteFilePath();
        QTimer::singleShot(0, &form, [&form, path] { form.OpenChosenFile(path); });
    }
    return QApplication::exec();
}
