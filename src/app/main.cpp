// kestrel [FILE]: the viewer window, optionally opening FILE at start.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QTimer>

#include "app/pict_form.h"
#include "app/qt_platform.h"
#include "reader/plot_store.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    // Settings (recent files, last folder) go to Kestrel/Kestrel.conf under the user's
    // configuration folder.
    QApplication::setOrganizationName(QStringLiteral("Kestrel"));
    kestrel::app::InstallQtTranslations(app);
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

    kestrel::reader::PlotStore store;
    kestrel::app::QtPlatform platform;
    kestrel::app::PictForm form(store, platform);
    form.show();

    if (args.size() == 2) {
        // The name's own bytes (Qt's decoding of argv would lose those that are not UTF-8),
        // made absolute as the open dialog's are; opened once the window has its first size.
        std::string path = argv[argc - 1];
        if (!path.starts_with('/')) {
            if (char* cwd = ::getcwd(nullptr, 0)) {
                path = std::string(cwd) + "/" + path;
                std::free(cwd);
            }
        }
        QTimer::singleShot(0, &form, [&form, path] { form.OpenPlotFile(path); });
    }
    return QApplication::exec();
}
