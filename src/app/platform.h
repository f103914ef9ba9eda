#pragma once

#include <optional>

#include <QPoint>
#include <QString>
#include <QStringList>

class QMenu;
class QWidget;

namespace Kestrel_App {

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

    // A modal message box with only an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                             MessageIcon icon) = 0;

    // Shows `menu` at a global position and returns once it is closed.
    virtual void PopupMenu(QMenu* menu, const QPoint& globalPos) = 0;
};

}  // namespace Kestrel_App
