#pragma once

#include "app/platform.h"

class QCoreApplication;

namespace kestrel::app {

// Installs Qt's own Japanese translations (dialog buttons, file and print dialogs) into
// `app`, whatever the locale, since every other text of the program is Japanese. False
// when they are not installed.
bool InstallQtTranslations(QCoreApplication& app);

// The real dialogs, message boxes, clipboard and browser.
class QtPlatform final : public Platform {
public:
    std::optional<OpenChoice> ChooseOpenFile(QWidget* parent, const QString& title,
                                             const QString& initialName, const QStringList& filters,
                                             int filterIndex) override;
    std::optional<OpenChoice> ChooseSaveFile(QWidget* parent, const QString& title,
                                             const QString& initialName, const QStringList& filters,
                                             int filterIndex) override;
    bool ShowPrintDialog(QWidget* parent, QPrinter& printer) override;
    reader::ErrorNumber ClearClipboard() override;
    reader::ErrorNumber PutClipboardImage(const QImage& image) override;
    bool ShowPrintPreview(QWidget* parent, QPrinter& printer,
                          const std::function<void(QPrinter&)>& paint) override;
    bool OpenInBrowser(const QString& path, std::function<void()> failed) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                     MessageIcon icon) override;
    void PopupMenu(QMenu* menu, const QPoint& globalPos) override;
};

}  // namespace kestrel::app
