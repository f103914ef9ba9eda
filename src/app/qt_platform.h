#pragma once

#include "app/platform.h"

namespace Kestrel_App {

// The real dialogs and message boxes.
class QtPlatform final : public Platform {
public:
    std::optional<OpenChoice> ChooseOpenFile(QWidget* parent, const QString& title,
                                             const QString& initialName, const QStringList& filters,
                                             int filterIndex) override;
    void ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                     MessageIcon icon) override;
    void PopupMenu(QMenu* menu, const QPoint& globalPos) override;
};

}  // namespace Kestrel_App
