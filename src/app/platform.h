#pragma once

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

    // A modal save dialog: a new name may be typed, an existing file is taken without
    // asking, no extension is added. Same arguments and answer as ChooseOpenFile.
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

    // Opens a local HTML file in a separate, normal browser window; false when no
    // browser could be started.
    virtual bool OpenInBrowser(const QString& path) = 0;

    // A modal message box with only an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                             MessageIcon icon) = 0;

    // Shows `menu` at a global position and returns once it is closed.
    virtual void PopupMenu(QMenu* menu, const QPoint& globalPos) = 0;
};

}  // namespace kestrel::app
