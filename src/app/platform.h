#pragma once

#include <functional>
#include <optional>

#include <QPoint>
#include <QString>
#include <QStringList>

#include "reader/error_number.h"

class QImage;
class QMenu;
class QPrinter;
class QWidget;

namespace kestrel::app {

// What the user picked in an open dialog: the full path and the 1-based filter index.
struct OpenChoice {
    QString path;
    int filterIndex = 1;
};

enum class MessageIcon { None, Warning };

// Every call that blocks on the user goes through here, so handlers can be driven
// by tests with a fake that answers at once.
class Platform {
public:
    virtual ~Platform() = default;

    // A modal open-file dialog; nothing when the user cancels. `initialName` may hold a
    // folder and a wildcard pattern ("/plots/*.hpg"); `filterIndex` is 1-based.
    virtual std::optional<OpenChoice> ChooseOpenFile(QWidget* parent, const QString& title,
                                                     const QString& initialName,
                                                     const QStringList& filters,
                                                     int filterIndex) = 0;

    // A modal save dialog: a new name may be typed; a name without an extension gets the
    // chosen filter's, and replacing an existing file is confirmed first. Same arguments
    // and answer as ChooseOpenFile.
    virtual std::optional<OpenChoice> ChooseSaveFile(QWidget* parent, const QString& title,
                                                     const QString& initialName,
                                                     const QStringList& filters,
                                                     int filterIndex) = 0;

    // The modal print dialog over `printer` (printer, orientation, paper size, source).
    // The choice is applied to `printer`; true when the user confirmed.
    virtual bool ShowPrintDialog(QWidget* parent, QPrinter& printer) = 0;

    // The clipboard. Each returns ErrorNumber::None, or CannotEmptyClipboard or
    // CannotOpenClipboard.
    virtual reader::ErrorNumber ClearClipboard() = 0;
    virtual reader::ErrorNumber PutClipboardImage(const QImage& image) = 0;

    // A modal print preview of what `paint` puts on `printer`, from which the user may print
    // (choosing printer, paper and orientation on the way); true when printed.
    virtual bool ShowPrintPreview(QWidget* parent, QPrinter& printer,
                                  const std::function<void(QPrinter&)>& paint) = 0;

    // Opens a local HTML file in a separate, normal browser window; false when no
    // browser could be started. `failed` runs later when the browser started reports that
    // it could not show the file.
    virtual bool OpenInBrowser(const QString& path, std::function<void()> failed) = 0;

    // A modal message box with only an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                             MessageIcon icon) = 0;

    // Shows `menu` at a global position and returns once it is closed.
    virtual void PopupMenu(QMenu* menu, const QPoint& globalPos) = 0;
};

}  // namespace kestrel::app
