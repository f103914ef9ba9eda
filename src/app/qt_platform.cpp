#include "app/qt_platform.h"

#include "app/captions.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
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
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
    }
    dialog.setNameFilters(filters);
    // The HPGL filter keeps its caption but lists the other usual plot file names too:
    // the dialog's model takes the wider patterns each time the filter is chosen.
    const auto widen = [&dialog](const QString& filter) {
        auto* model = dialog.findChild<QFileSystemModel*>();
        if (model == nullptr || filter != QString::fromUtf8(HpglFilter)) return;
        QStringList patterns;
        for (const char* pattern : HpglFilePatterns) patterns << QString::fromLatin1(pattern);
        model->setNameFilters(patterns);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, widen);
    if (filterIndex >= 1 && filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters.at(filterIndex - 1));
    }
    widen(dialog.selectedNameFilter());
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

bool QtPlatform::OpenInBrowser(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtPlatform::ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                             MessageIcon icon) {
    QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                    caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtPlatform::PopupMenu(QMenu* menu, const QPoint& globalPos) { menu->exec(globalPos); }

}  // namespace kestrel::app
