#pragma once

#include <array>

#include <QStatusBar>

class QLabel;
class QProgressBar;

namespace kestrel::app {

// The status bar `StatusBar1`: four panels (window size, plot number, font type, lines
// and characters) and a progress bar shown only while a file is read or a plot drawn.
class StatusPanels : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusPanels(QWidget* parent);

    QString PanelText(int panel) const;  // panel 1..4; empty for any other number
    void SetPanelText(int panel, const QString& text);
    // The view's panels: the pointer's position, and the measuring line's length and angle.
    void SetPointerText(const QString& text);
    void SetMeasureText(const QString& text);
    QString PointerText() const;
    QString MeasureText() const;
    // `format` as QProgressBar's, `percent` 0..100.
    void ShowProgress(const char* format, double percent);
    void HideProgress();

private:
    std::array<QLabel*, 4> panels_{};
    QProgressBar* progress_ = nullptr;
    QLabel* pointer_ = nullptr;
    QLabel* measure_ = nullptr;
};

}  // namespace kestrel::app
