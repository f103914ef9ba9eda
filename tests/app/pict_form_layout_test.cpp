// The window's glue to the view layout: the widgets follow the layout's numbers, the drawing
// area widget shows the part of the area in the viewport, drawn afresh or scrolled, and a
// resize keeps a fitted view fitted and a zoomed one at its scale.

#include <gtest/gtest.h>

#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

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
    QSizeF Area() const { return QSizeF(form->Layout().area.width, form->Layout().area.height) / Twips(); }
    void ExpectShown() {
        ASSERT_TRUE(WaitUntilIdle(*form));
        EXPECT_EQ(Raster(), Shown());
    }
};

TEST_F(LayoutTest, ZoomScrollAndFitShowThePartOfTheAreaInTheViewport) {
    Load();
    const QSize viewport = ViewportSize();
    EXPECT_EQ(Raster(), Rendered(store, viewport, Twips()));  // fitted: the whole area, as ever
    form->ZoomIn();
    EXPECT_EQ(Area(), QSizeF(viewport * 2));
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), viewport));  // only what shows is a widget
    ExpectShown();
    QScrollBar* h = form->HScroll1();
    QScrollBar* v = form->VScroll1();
    ASSERT_TRUE(h->isVisible() && v->isVisible());
    h->setValue(40 * static_cast<int>(Twips()));  // the bars slide the area: the kept pixels move,
    v->setValue(25 * static_cast<int>(Twips()));  // the uncovered strips are drawn
    EXPECT_EQ(form->Picture3()->Shown().left, 40);
    ExpectShown();
    // What a raster of the whole area showed there before views were drawn in parts.
    EXPECT_EQ(Raster(), Rendered(store, viewport * 2, Twips()).copy(QRect(QPoint(40, 25), viewport)));
    form->ZoomOut();
    form->ZoomOut();
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), viewport / 2));
    EXPECT_EQ(Raster(), Rendered(store, viewport / 2, Twips()));
    form->FitToWindow();
    EXPECT_EQ(Picture3Rect(), QRect(QPoint(0, 0), ViewportSize()));
    EXPECT_FALSE(form->HScroll1()->isVisible() || form->VScroll1()->isVisible());
    EXPECT_EQ(Raster(), Rendered(store, ViewportSize(), Twips()));
}

TEST_F(LayoutTest, ResizeKeepsAFittedViewFittedAndAZoomedOnesScale) {
    Load();  // right after a load the view is fitted
    ResizeWindow(form->width() + 120, form->height() + 60);
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(Raster(), Rendered(store, ViewportSize(), Twips()));
    form->ZoomIn();
    form->HScroll1()->setValue(3000);
    const QSizeF zoomed = Area();
    ResizeWindow(form->width() - 200, form->height() - 100);
    EXPECT_EQ(Area(), zoomed);
    EXPECT_TRUE(form->HScroll1()->isVisible());
    ExpectShown();
}

// Far past the old 16-bit limit: the bars still reach the far corner, and copying the whole
// area says it is too large instead of making the picture.
TEST_F(LayoutTest, ZoomGoesPastSixteenBitsAndOutputSaysWhenAPictureWouldBeTooLarge) {
    Load();
    for (int i = 0; i < 5; ++i) form->ZoomIn();
    EXPECT_EQ(Area(), QSizeF(ViewportSize() * 32));
    EXPECT_EQ(form->HScroll1()->maximum(), 32767);
    form->HScroll1()->setValue(32767);
    form->VScroll1()->setValue(form->VScroll1()->maximum());
    const view::AreaPixels area = form->AreaInPixels();
    EXPECT_NEAR(area.left + area.width, ViewportSize().width() - form->VScroll1()->width(), 1);
    ExpectShown();
    form->PlotMenu14_Click();
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text,
              QString::fromStdString(interact::ImageTooLargeText(area.width, area.height)).replace("\r\n", "\n"));
    EXPECT_TRUE(fake.clipboardImages.empty());
}

// A zoom of a plot too large to draw in one step shows the last picture, enlarged, until the
// new one is finished, and then the new one.
TEST_F(LayoutTest, AZoomedViewShowsTheLastPictureUntilItsDrawingIsDone) {
    QTemporaryDir dir;
    QFile file(dir.filePath("large.hpg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("SP1;PU0,0;PD");
    for (int i = 0; i < 300000; ++i)
        file.write(QByteArray::number(i % 997 * 7) + "," + QByteArray::number(i % 991 * 5) + ",");
    file.write("0,0;");
    file.close();
    OpenThroughDialog(file.fileName());
    const auto shown = [this] { return form->Picture3()->grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const QImage before = Raster();
    form->ZoomIn();
    ASSERT_TRUE(form->Busy());
    const QImage preview = shown();
    EXPECT_NE(preview, Raster());  // not the drawing under way,
    EXPECT_NE(preview.copy(0, 0, preview.width() / 2, preview.height() / 2),
              before.copy(0, 0, preview.width() / 2, preview.height() / 2));  // nor the old one unscaled
    EXPECT_FALSE(AllWhite(preview));
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(shown(), Raster());
    EXPECT_EQ(Raster(), Shown());
}

}  // namespace
}  // namespace kestrel::test
