// The viewport, the drawing area and the scroll bars as the window's commands leave them.

#include <gtest/gtest.h>

#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "form_test_support.h"

namespace Kestrel_Test {
namespace {

class LayoutTest : public FormTest {
protected:
    void Load() {
        OpenThroughDialog(SamplePath("house.hpg"));
        ASSERT_GT(store.LineCount[1], 0);
    }

    QRect Picture3Rect() const { return form->Picture3()->geometry(); }

    // The overflow of the drawing area over the part of the viewport the bars leave free,
    // in twips, as the bars' maxima must show it.
    int Overflow(int picture3, int viewport, bool otherBarShown) const {
        const int bar =
            form->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, form->HScroll1());
        return static_cast<int>((picture3 - viewport + (otherBarShown ? bar : 0)) * Twips());
    }
};

TEST_F(LayoutTest, ViewportLiesBetweenToolBarAndStatusBar) {
    const QRect viewport = form->Picture1()->geometry();
    EXPECT_EQ(viewport.top(), form->Toolbar1()->geometry().bottom() + 1);
    EXPECT_EQ(viewport.bottom() + 1, form->StatusBar1()->geometry().top());
    EXPECT_EQ(viewport.width(), form->width());
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), viewport.size()));
    EXPECT_FALSE(form->HScroll1()->isVisible());
    EXPECT_FALSE(form->VScroll1()->isVisible());
    EXPECT_TRUE(AllWhite(Raster()));

    // The layout's own numbers agree with the widgets.
    const auto& l = form->Layout();
    EXPECT_DOUBLE_EQ(l.picture1.width, viewport.width() * Twips());
    EXPECT_DOUBLE_EQ(l.picture1.height, viewport.height() * Twips());
}

TEST_F(LayoutTest, WindowResizeFollowsWithTheViewport) {
    ResizeWindow(700, 520);
    EXPECT_EQ(form->Picture1()->width(), 700);
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), ViewportSize()));
}

TEST_F(LayoutTest, ZoomInDoublesAndShowsBothBars) {
    Load();
    const QSize viewport = ViewportSize();
    form->ZoomIn();
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), viewport * 2));
    // Redrawn at the new size.
    const QImage raster = Raster();
    EXPECT_EQ(raster.size(), viewport * 2);
    EXPECT_EQ(raster, Rendered(store, raster.size(), Twips()));

    QScrollBar* h = form->HScroll1();
    QScrollBar* v = form->VScroll1();
    ASSERT_TRUE(h->isVisible());
    ASSERT_TRUE(v->isVisible());
    EXPECT_EQ(h->maximum(), Overflow(2 * viewport.width(), viewport.width(), true));
    EXPECT_EQ(v->maximum(), Overflow(2 * viewport.height(), viewport.height(), true));
    EXPECT_EQ(h->pageStep(), qRound(h->maximum() / 10.0));
    EXPECT_GE(h->singleStep(), 1);
    EXPECT_EQ(h->value(), 0);
    // Along the viewport's right and bottom edges, over the drawing area.
    EXPECT_EQ(v->geometry().right(), viewport.width() - 1);
    EXPECT_EQ(v->geometry().top(), 0);
    EXPECT_EQ(h->geometry().bottom(), viewport.height() - 1);
    EXPECT_EQ(h->geometry().left(), 0);
    EXPECT_EQ(h->parentWidget(), form->Picture1());
}

TEST_F(LayoutTest, ZoomSequencesScaleByTwo) {
    Load();
    const QSize viewport = ViewportSize();
    struct Step {
        void (Kestrel_App::PictForm::*command)();
        double factor;
    };
    const Step steps[] = {
        {&Kestrel_App::PictForm::ZoomIn, 2},    {&Kestrel_App::PictForm::ZoomIn, 4},
        {&Kestrel_App::PictForm::ZoomOut, 2},   {&Kestrel_App::PictForm::ZoomOut, 1},
        {&Kestrel_App::PictForm::ZoomOut, 0.5}, {&Kestrel_App::PictForm::ZoomIn, 1}};
    for (const Step& s : steps) {
        (form.get()->*s.command)();
        SCOPED_TRACE(s.factor);
        EXPECT_NEAR(form->Picture3()->width(), viewport.width() * s.factor, 1);
        EXPECT_NEAR(form->Picture3()->height(), viewport.height() * s.factor, 1);
        EXPECT_EQ(Raster(), Rendered(store, form->Picture3()->size(), Twips()));
    }
}

TEST_F(LayoutTest, ZoomOutFromFittedHidesTheBars) {
    Load();
    const QSize viewport = ViewportSize();
    form->ZoomIn();
    form->HScroll1()->setValue(300);
    form->ZoomOut();
    form->ZoomOut();
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), viewport / 2));
    EXPECT_FALSE(form->HScroll1()->isVisible());
    EXPECT_FALSE(form->VScroll1()->isVisible());
    EXPECT_EQ(form->HScroll1()->value(), 0);
    EXPECT_EQ(form->VScroll1()->value(), 0);
}

TEST_F(LayoutTest, FitToWindowUndoesAnyZoom) {
    Load();
    const QImage fitted = Raster();
    form->ZoomIn();
    form->ZoomIn();
    form->VScroll1()->setValue(form->VScroll1()->maximum());
    form->FitToWindow();
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), ViewportSize()));
    EXPECT_FALSE(form->HScroll1()->isVisible());
    EXPECT_FALSE(form->VScroll1()->isVisible());
    EXPECT_EQ(form->VScroll1()->value(), 0);
    EXPECT_EQ(Raster(), fitted);
}

TEST_F(LayoutTest, ScrollBarsSlideTheDrawingArea) {
    Load();
    form->ZoomIn();
    const int t = static_cast<int>(Twips());
    form->HScroll1()->setValue(40 * t);
    EXPECT_EQ(Picture3Rect().topLeft(), QPoint(-40, 0));
    form->VScroll1()->setValue(25 * t);
    EXPECT_EQ(Picture3Rect().topLeft(), QPoint(-40, -25));
    EXPECT_EQ(form->Layout().hscroll.value, 40 * t);

    // A window resize puts the drawing area back at the origin, without hiding the bars.
    ResizeWindow(form->width() + 30, form->height() + 20);
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), ViewportSize()));
    EXPECT_EQ(form->HScroll1()->value(), 0);
    EXPECT_EQ(form->VScroll1()->value(), 0);
    EXPECT_TRUE(form->HScroll1()->isVisible());
}

TEST_F(LayoutTest, ZoomInStopsAtTheScrollRange) {
    for (int i = 0; i < 12; ++i) {
        form->ZoomIn();
    }
    const QSize reached = form->Picture3()->size();
    EXPECT_LE((reached.width() - ViewportSize().width()) * Twips(), 32767);
    EXPECT_GT(reached.width() * 2 * Twips() - ViewportSize().width() * Twips(), 32767);
    form->ZoomIn();
    EXPECT_EQ(form->Picture3()->size(), reached);
}

TEST_F(LayoutTest, ResizeWithAdjustOnRedrawsToTheNewSize) {
    Load();
    store.AdjustViewOff = 0;
    ResizeWindow(form->width() + 120, form->height() + 60);
    const QImage raster = Raster();
    EXPECT_EQ(raster.size(), ViewportSize());
    EXPECT_EQ(raster, Rendered(store, raster.size(), Twips()));
}

TEST_F(LayoutTest, ResizeWithAdjustOffKeepsTheImageUnscaled) {
    Load();
    ASSERT_EQ(store.AdjustViewOff, 1);
    const QImage before = Raster();

    ResizeWindow(form->width() + 120, form->height() + 60);
    const QImage grown = Raster();
    ASSERT_EQ(grown.size(), ViewportSize());
    ASSERT_EQ(form->Picture3()->size(), ViewportSize());
    EXPECT_EQ(grown.copy(QRect(QPoint(0, 0), before.size())), before);
    EXPECT_TRUE(AllWhite(grown.copy(before.width(), 0, 120, grown.height())));
    EXPECT_TRUE(
        AllWhite(grown.copy(0, before.height(), grown.width(), grown.height() - before.height())));

    ResizeWindow(form->width() - 200, form->height() - 100);
    const QImage shrunk = Raster();
    ASSERT_EQ(shrunk.size(), ViewportSize());
    EXPECT_EQ(shrunk, before.copy(QRect(QPoint(0, 0), shrunk.size())));
}

TEST_F(LayoutTest, NothingIsDrawnBeforeALoad) {
    form->ZoomIn();
    form->FitToWindow();
    ResizeWindow(form->width() + 10, form->height() + 10);
    EXPECT_TRUE(AllWhite(Raster()));
}

}  // namespace
}  // namespace Kestrel_Test
