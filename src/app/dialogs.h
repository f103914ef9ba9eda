#pragma once
// The three small windows of the Options and Help menus, and where the manual lives.

#include <functional>

#include <QString>
#include <QWidget>

#include "view/display_settings.h"

class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace kestrel::app {

// The manual below a program folder: "<dir>/help/index.htm" as the build tree lays it
// out; in an installed tree (bin/ beside share/) the copy under share/kestrel/help when
// the first is missing.
QString ManualPath(const QString& programDir);

// Positions come in twips and are placed in pixels of the main window's scale.
class TwipsForm : public QWidget {
protected:
    TwipsForm(double twipsPerPixel, double clientWidth, double clientHeight);
    int Px(double twips) const;
    void Place(QWidget* control, double left, double top, double width, double height) const;
    // Esc closes the window, as its title bar's close button does.
    void keyPressEvent(QKeyEvent* event) override;

    // A control named after its design name, with its caption (if any), placed in twips.
    template <typename T>
    T* Add(QWidget* parent, const char* name, const char* caption, double left, double top,
           double width, double height) const {
        auto* control = new T(parent);
        control->setObjectName(QString::fromLatin1(name));
        if constexpr (requires { control->setTitle(QString()); }) {
            control->setTitle(QString::fromUtf8(caption));
        } else if constexpr (requires { control->setText(QString()); }) {
            if (caption != nullptr) control->setText(QString::fromUtf8(caption));
        }
        Place(control, left, top, width, height);
        return control;
    }

private:
    double twipsPerPixel_;
};

// Display settings: the window's display flags.
class OptionForm : public TwipsForm {
    Q_OBJECT

public:
    OptionForm(view::DisplaySettings& settings, double twipsPerPixel);
    void Form_Load();
    void Command1_Click();

    // Called by OK when the pen widths setting changed, so that the plot shown follows.
    std::function<void()> penWidthsChanged;

private:
    view::DisplaySettings& settings_;
    QRadioButton* adjustViewOn_ = nullptr;
    QRadioButton* adjustViewOff_ = nullptr;
    QRadioButton* rangeFrameOn_ = nullptr;
    QRadioButton* rangeFrameOff_ = nullptr;
    QRadioButton* penWidthsOn_ = nullptr;
    QRadioButton* penWidthsOff_ = nullptr;
};

// The fixed list of supported commands.
class ComdForm : public TwipsForm {
    Q_OBJECT

public:
    explicit ComdForm(double twipsPerPixel);
    void Form_Load();
    void Command1_Click();

private:
    // The first size shows every line.
    void FitAllLines();

    QListWidget* commandList_ = nullptr;
};

// Title, version and author line.
class VersForm : public TwipsForm {
    Q_OBJECT

public:
    explicit VersForm(double twipsPerPixel);
    void Form_Load();
    void cmdOK_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* title_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* author_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

}  // namespace kestrel::app
