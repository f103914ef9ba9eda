#pragma once

#include <functional>

#include <QWidget>

#include "view/view_layout.h"

class QScrollBar;

namespace kestrel::app {

class DrawingArea;

// The viewport `Picture1`: the drawing area `Picture3` slides under it, moved by the
// scroll bars `HScroll1` and `VScroll1`, as the view layout places them.
class Viewport : public QWidget {
    Q_OBJECT

public:
    // `barMoved` gets a bar's new value when the user moves it (true: the horizontal one).
    Viewport(double twipsPerPixel, std::function<void(bool, int)> barMoved, QWidget* parent);

    DrawingArea* Area() const { return area_; }
    QScrollBar* HorizontalBar() const { return horizontalBar_; }
    QScrollBar* VerticalBar() const { return verticalBar_; }
    // Places the area and the bars; the bars' own signals stay quiet meanwhile.
    void Apply(const view::ViewLayout& layout);
    int ToPixels(double twips) const;

private:
    void ApplyScrollBar(QScrollBar* bar, const view::ScrollBarState& state,
                        const view::Rect& viewport);

    double twipsPerPixel_;
    DrawingArea* area_ = nullptr;
    QScrollBar* horizontalBar_ = nullptr;
    QScrollBar* verticalBar_ = nullptr;
};

}  // namespace kestrel::app
