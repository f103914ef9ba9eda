// The window's glue to the view layout: the widgets follow the layout's numbers and the
// plot is redrawn after a zoom, a fit and (with AdjustViewOff 0) a resize.

#include <gtest/gtest.h>

#include <QPainter>
#include <QScrollBar>

#include "form_test_support.h"

namespace kestrel::test {
namespace {

class LayoutTest : public FormTest {
protected:
    void Load() {
        OpenThroughDialog(QStringLiteral(SAMPLES_DIR "/house.hpg"));
        ASSERT_GT(store.plots[1].LineCount, 0);
    }
    QRect Picture3Rect() const { return form->Picture3()->geometry(); }
    void ExpectRedrawn() { EXPECT_EQ(Raster(), Rendered(store, form->Picture3()->size(), Twips())); }
};

TEST_F(LayoutTest, ZoomAndFitMoveTheWidgetsAndRedraw) {
    Load();
    const QSize viewport = ViewportSize();
    form->ZoomIn();
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), viewport * 2));
    ExpectRedrawn();
    QScrollBar* h = form->HScroll1();
    QScrollBar* v = form->VScroll1();
    ASSERT_TRUE(h->isVisible() && v->isVisible());
    h->setValue(40 * static_cast<int>(Twips()));  // the bars slide the drawing area
    v->setValue(25 * static_cast<int>(Twips()));
    EXPECT_EQ(Picture3Rect().topLeft(), QPoint(-40, -25));
    form->ZoomOut();
    form->ZoomOut();
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), viewport / 2));
    ExpectRedrawn();
    form->FitToWindow();
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), ViewportSize()));
    EXPECT_FALSE(form->HScroll1()->isVisible() || form->VScroll1()->isVisible());
    ExpectRedrawn();
}

TEST_F(LayoutTest, ResizeWithAdjustOnRedrawsToTheNewSize) {
    Load();
    form->ZoomIn();
    form->HScroll1()->setValue(300);
    form->Display().AdjustViewOff = 0;
    ResizeWindow(form->width() + 120, form->height() + 60);
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), ViewportSize()));  // back at the origin,
    EXPECT_TRUE(form->HScroll1()->isVisible());                      // the bars not hidden
    EXPECT_EQ(form->HScroll1()->value(), 0);
    ExpectRedrawn();
}

TEST_F(LayoutTest, ResizeWithAdjustOffKeepsTheImageUnscaled) {
    Load();
    ASSERT_EQ(form->Display().AdjustViewOff, 1);
    const QImage before = Raster();
    ResizeWindow(form->width() + 120, form->height() + 60);
    QImage grown = Raster();
    ASSERT_EQ(grown.size(), ViewportSize());
    EXPECT_EQ(grown.copy(before.rect()), before);
    QPainter(&grown).fillRect(before.rect(), Qt::white);
    EXPECT_TRUE(AllWhite(grown));
    ResizeWindow(form->width() - 200, form->height() - 100);
    EXPECT_EQ(Raster(), before.copy(QRect(QPoint(0, 0), ViewportSize())));
    // Enlarged again, the window shows all it showed before the shrink: nothing is lost.
    ResizeWindow(form->width() + 80, form->height() + 40);
    ASSERT_EQ(ViewportSize(), before.size());
    EXPECT_EQ(Raster(), before);
}

}  // namespace
}  // namespace kestrel::test
