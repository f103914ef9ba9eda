#pragma once

#include <array>

#include <QStatusBar>

class QLabel;
class QProgressBar;
class QStackedWidget;

namespace kestrel::app {

// The status bar `StatusBar1`: four panels (window size, plot number, font type, lines
// and characters), the view's two (the pointer's position, the measuring line) and a corner
// of fixed width that shows the reading that drew the plot, a note in its place, or the
// progress while a file is read or a plot drawn.
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
    // The reading that drew the plot shown.
    void SetReading(const QString& text);
    QString Reading() const { return reading_; }
    // A note in the reading's place until the next (empty: none).
    void ShowNote(const QString& text);
    QString Note() const { return note_; }

private:
    std::array<QLabel*, 4> panels_{};
    QStackedWidget* corner_ = nullptr;
    QLabel* cornerText_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QString reading_;
    QString note_;
    QLabel* pointer_ = nullptr;
    QLabel* measure_ = nullptr;
};

}  // namespace kestrel::app
