#include "app/qt_platform.h"

#include "app/captions.h"
#include "app/file_names.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTranslator>
#include <QUrl>

namespace kestrel::app {

namespace {

std::optional<OpenChoice> RunFileDialog(QWidget* parent, const QString& title,
                                        const QString& initialName, const QStringList& filters,
                                        int filterIndex, bool save) {
    QFileDialog dialog(parent, title);
    // The non-native dialog behaves the same on every desktop and keeps the
    // full-width filter texts as they are.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (save) {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // A name typed without an extension gets the chosen filter's; the dialog then asks
        // before replacing a file of that name.
        const auto suffix = [&dialog](const QString& filter) {
            dialog.setDefaultSuffix(FilterSuffix(filter));
        };
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, suffix);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
    }
    // Each filter's caption names the patterns it shows.
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters.at(filterIndex - 1));
    }
    if (save) dialog.setDefaultSuffix(FilterSuffix(dialog.selectedNameFilter()));
    // The initial name is a folder followed by a name or pattern; an empty folder
    // means the current one.
    const int slash = initialName.lastIndexOf(u'/');
    if (slash >= 0) {
        dialog.setDirectory(initialName.left(slash + 1));
        dialog.selectFile(initialName.mid(slash + 1));
    } else {
        dialog.setDirectory(QDir::currentPath());
        dialog.selectFile(initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    OpenChoice choice;
    choice.path = dialog.selectedFiles().constFirst();
    choice.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    if (choice.filterIndex < 1) {
        choice.filterIndex = 1;
    }
    return choice;
}

}  // namespace

bool InstallQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // "qt" gathers the catalogues of the Qt modules (qtbase: dialogs and message boxes).
    if (!translator->load(QLocale(QLocale::Japanese), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

std::optional<OpenChoice> QtPlatform::ChooseOpenFile(QWidget* parent, const QString& title,
                                                     const QString& initialName,
                                                     const QStringList& filters, int filterIndex) {
    return RunFileDialog(parent, title, initialName, filters, filterIndex, false);
}

std::optional<OpenChoice> QtPlatform::ChooseSaveFile(QWidget* parent, const QString& title,
                                                     const QString& initialName,
                                                     const QStringList& filters, int filterIndex) {
    return RunFileDialog(parent, title, initialName, filters, filterIndex, true);
}

bool QtPlatform::ShowPrintDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    // Every page is printed: page ranges, a selection and collation would be ignored.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

reader::ErrorNumber QtPlatform::ClearClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return reader::ErrorNumber::CannotEmptyClipboard;
    }
    clipboard->clear();
    return reader::ErrorNumber::None;
}

reader::ErrorNumber QtPlatform::PutClipboardImage(const QImage& image) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return reader::ErrorNumber::CannotOpenClipboard;
    }
    clipboard->setImage(image);
    return reader::ErrorNumber::None;
}

bool QtPlatform::ShowPrintPreview(QWidget* parent, QPrinter& printer,
                                  const std::function<void(QPrinter&)>& paint) {
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paint(*target); });
    return dialog.exec() == QDialog::Accepted;
}

bool QtPlatform::OpenInBrowser(const QString& path, std::function<void()> failed) {
    // xdg-open tells by its exit status when nothing could show the file, which Qt's own
    // opening does not pass on; without it, Qt looks for a browser itself.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    auto* process = new QProcess(QCoreApplication::instance());
    const auto done = [process, failed](bool ok) {
        process->disconnect();
        if (!ok && failed) failed();
        process->deleteLater();
    };
    QObject::connect(process, &QProcess::finished, process,
                     [done](int code, QProcess::ExitStatus status) {
                         done(status == QProcess::NormalExit && code == 0);
                     });
    QObject::connect(process, &QProcess::errorOccurred, process, [done](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) done(false);
    });
    // A browser still open at the program's end stays open: nothing more is told then, and
    // the process is not deleted, which would kill it.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, process,
                     [process] {
                         process->disconnect();
                         process->setParent(nullptr);
                     });
    // Whatever the browser prints would pile up unread for as long as it runs.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(opener, {path});
    return true;
}

void QtPlatform::ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                             MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtPlatform::PopupMenu(QMenu* menu, const QPoint& globalPos) { menu->exec(globalPos); }

}  // namespace kestrel::app
