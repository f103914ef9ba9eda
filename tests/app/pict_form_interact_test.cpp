// The drawing area's keys, mouse and wheel on the real window, and the rotation commands.

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>

#include "form_test_support.h"
#include "interact/view_status.h"

namespace kestrel::test {
namespace {

using Points = std::vector<float>;

class InteractTest : public FormTest {
protected:
    void Load() {
        OpenThroughDialog(QStringLiteral(SAMPLES_DIR "/house.hpg"));
        ASSERT_GT(store.plots[1].LineCount, 2);
    }
    // Keys go to whatever has the focus: no click into the drawing area first.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_EQ(form->focusWidget(), form->Picture3());
        QTest::keyClick(form->focusWidget(), key, modifiers);
    }
    QStringList Panels() const { return {form->PanelText(2), form->PanelText(4)}; }
    void MarkPanels() {  // so that a rewrite shows
        for (const char* name : {"StatusBar1_Panel2", "StatusBar1_Panel4"})
            form->findChild<QLabel*>(name)->setText("-");
    }
    QImage Drawn() const { return Rendered(store, Raster().size(), Twips(), true); }  // DrawPlot's picture
    bool Redrawn() const { return Raster() == Rendered(store, Raster().size(), Twips()); }
    Points Line() const {
        const auto& l = store.Line(1, 2);
        return {l.X1, l.Y1, l.X2, l.Y2};
    }
    Points Shape() const {
        const interact::ShapeRect& s = form->Picture3()->Shape();
        return {s.Left, s.Top, s.Width, s.Height, s.Visible ? 1.0f : 0.0f};
    }
    // A right-button drag through the handlers, in twips.
    void Drag(float x1, float y1, float x2, float y2) {
        form->Picture3_MouseDown(2, 0, x1, y1);
        form->Picture3_MouseMove(2, 0, x2, y2);
        form->Picture3_MouseUp(2, 0, x2, y2);
    }
    void Wheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QPointF at = QPointF(10, 10)) {
        QWheelEvent e(at, form->Picture3()->mapToGlobal(at), QPoint(), angleDelta, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(form->Picture3(), &e);
    }
};

TEST_F(InteractTest, PageKeysBeforeAndAfterALoad) {
    Key(Qt::Key_PageUp);  // before a load nothing is drawn
    EXPECT_EQ(Panels()[0], "PLOT Files : 1 / 0");
    EXPECT_TRUE(AllWhite(Raster()));

    Load();  // the focus is back on the drawing area after the load
    const QString lines = form->PanelText(4);
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_PageUp, Qt::NoModifier},
                                         {Qt::Key_PageDown, Qt::NoModifier},
                                         {Qt::Key_PageDown, Qt::ShiftModifier}}) {
        MarkPanels();
        Key(key, modifiers);
        EXPECT_EQ(store.PlotNo, 1);
        EXPECT_EQ(Panels(), QStringList({"PLOT Files : 1 / 1", lines}));
        EXPECT_EQ(Raster(), Drawn());  // DrawPlot's, not RedrawPlot's
    }
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(InteractTest, PagesAreItsPlotsAndBasicReadingRereadsTheFile) {
    QTemporaryDir dir;
    QFile file(dir.filePath("pages.hpg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("IN;SP1;PU0,0;PD10,0;PG;PU0,0;PD0,10,10,10;PG;PU0,0;PD1,1,2,2,3,3;PG;");
    file.close();
    OpenThroughDialog(file.fileName());
    const auto list = [this] { return PlotEntries(); };
    EXPECT_EQ(list().size(), 3);
    for (const int plot : {2, 3, 3}) {  // the last plot stays the last
        Key(Qt::Key_PageDown);
        EXPECT_EQ(Panels(), QStringList({QStringLiteral("PLOT Files : %1 / 3").arg(plot),
                                         QStringLiteral("L/S : %1 / 0").arg(plot)}));
        EXPECT_EQ(Raster(), Drawn());
    }
    list()[1]->trigger();
    EXPECT_EQ(store.PlotNo, 2);
    // Basic reading ends at the first page feed; unchecking reads all pages again.
    form->BasicReading()->setChecked(true);
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(list().size(), 1);
    form->BasicReading()->setChecked(false);
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(store.PlotTotal, 3);

    // Beyond a hundred plots the list goes on in submenus of a hundred.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < 250; ++i) file.write("PD0,0;PG;");
    file.close();
    OpenThroughDialog(file.fileName());
    ASSERT_EQ(list().size(), 102);
    EXPECT_EQ(list()[101]->text(), "PLOT No.201 - 250");
    list()[101]->menu()->actions().back()->trigger();
    EXPECT_EQ(store.PlotNo, 250);
    Load();
    EXPECT_EQ(list().size(), 1);
}

TEST_F(InteractTest, ArrowKeysTurnThePlotWithoutStatusWrites) {
    Load();
    const Points start = Line();
    // The left arrow turns right, the right arrow left, the down arrow half round: each is
    // undone by the pop-up menu's opposite turn. The up arrow only draws again.
    const std::pair<Qt::Key, const char*> rows[] = {
        {Qt::Key_Left, "PlotMenu16"}, {Qt::Key_Right, "PlotMenu15"}, {Qt::Key_Down, "PlotMenu17"}};
    for (const auto& [key, undo] : rows) {
        SCOPED_TRACE(key);
        MarkPanels();
        Key(key);
        EXPECT_NE(Line(), start);
        EXPECT_EQ(Panels(), QStringList({"-", "-"}));
        EXPECT_TRUE(Redrawn());  // the turns end with RedrawPlot
        form->findChild<QAction*>(undo)->trigger();
        EXPECT_EQ(Line(), start);
    }
    Key(Qt::Key_Up);
    EXPECT_EQ(Line(), start);
    EXPECT_EQ(Raster(), Drawn());
}

TEST_F(InteractTest, DigitKeysNudgeTheCharactersAndRedraw) {
    Load();
    // Where a record at (1, 2) ends up: 4 nudges it left; 5 is no key of the drawing area.
    for (const auto& [key, x] : {std::pair{Qt::Key_4, 0.9f}, {Qt::Key_5, 1.f}}) {
        SCOPED_TRACE(key);
        store.plots[1].CharCount = 1;
        store.plots[1].PlotChars.resize(2);
        store.plots[1].PlotChars[1] = {1, 2};
        form->Picture3()->Surface().Clear();
        MarkPanels();
        Key(key, Qt::KeypadModifier);
        EXPECT_EQ(std::pair(store.plots[1].PlotChars[1].X, store.plots[1].PlotChars[1].Y), std::pair(x, 2.f));
        EXPECT_EQ(Panels(), QStringList({"-", "-"}));
        EXPECT_EQ(Raster() == Drawn(), key != Qt::Key_5);
    }
}

TEST(VirtualKeyCode, MapsQtKeysToWindowsCodes) {
    const Qt::KeyboardModifiers none, shift(Qt::ShiftModifier), keypad(Qt::KeypadModifier);
    // Qt key, modifiers, X scan code, whether it came through XKB; the Windows code.
    const std::tuple<int, Qt::KeyboardModifiers, quint32, bool, int> rows[] = {
        {Qt::Key_4, keypad, 0, false, 100},
        {Qt::Key_Q, none, 24, true, 81},
        {Qt::Key_Dollar, shift, 13, false, 0},
        // Shift on the digit row gives a symbol; the X keycode still names the digit.
        {Qt::Key_Dollar, shift, 13, true, 52},
        {Qt::Key_ParenRight, shift, 19, true, 48},
        // The keypad with Num Lock off sends arrows, as on Windows.
        {Qt::Key_Left, keypad, 83, true, 37}};
    for (const auto& [key, modifiers, scanCode, xkb, code] : rows)
        EXPECT_EQ(app::VirtualKeyCode(key, modifiers, scanCode, xkb), code) << key << " " << scanCode;
}

TEST_F(InteractTest, RightDragCopiesTheRegionUnderTheRectangle) {
    Load();
    QPoint line;  // a drawn pixel with room around it, inside the region dragged over below
    for (int y = 20; y < Raster().height() - 20 && line.isNull(); ++y)
        for (int x = 40; x < Raster().width() - 40 && line.isNull(); ++x)
            if (Raster().pixel(x, y) != qRgb(255, 255, 255)) line = QPoint(x, y);
    ASSERT_FALSE(line.isNull());
    const QPoint start = line + QPoint(10, 5), end = start - QPoint(30, 20);
    const float t = static_cast<float>(Twips());
    QTest::mousePress(form->Picture3(), Qt::RightButton, {}, start);
    EXPECT_EQ(Shape(), (Points{start.x() * t, start.y() * t, 1, 1, 1}));
    QTest::mouseMove(form->Picture3(), end);
    form->Picture3_MouseMove(3, 0, 5000, 5000);  // both buttons held: nothing
    QTest::mouseRelease(form->Picture3(), Qt::RightButton, {}, end);
    EXPECT_EQ(Shape(), (Points{end.x() * t, end.y() * t, 30 * t, 20 * t, 1}));
    EXPECT_TRUE(Redrawn());  // the outline is not in the raster
    EXPECT_EQ(form->Picture2(), Raster().copy(end.x(), end.y(), 30, 20));
    // A click without a move selects nothing, and drops the last selection's copy.
    QTest::mouseClick(form->Picture3(), Qt::RightButton, {}, start);
    EXPECT_FALSE(form->Picture3()->Shape().Visible);
    EXPECT_TRUE(form->Picture2().isNull());
    EXPECT_TRUE(fake.popups.empty());
}

TEST_F(InteractTest, MouseBeforeALoadAndTheLeftButton) {
    Drag(3000, 2000, 1000, 2500);                // before a load the rectangle does not grow
    form->Picture3_MouseMove(1, 0, 1000, 2500);  // nor does a left-button move pop up the menu
    EXPECT_EQ(Shape(), (Points{3000, 2000, 1, 1, 0}));

    QTest::mouseClick(form->Picture3(), Qt::LeftButton, {}, QPoint(30, 20));  // the first pop-up, even before a load
    EXPECT_EQ(fake.popups, std::vector<QMenu*>{form->PlotMenu10()});
    EXPECT_EQ(form->DragStartX(), static_cast<int>(30 * Twips()));
    Load();
    form->Picture3_MouseMove(1, 0, 100, 100);  // a move with only the left button held
    EXPECT_EQ(fake.popups.size(), 2u);
}

TEST_F(InteractTest, WheelScrollsTheEnlargedArea) {
    Load();
    const QRect fitted = form->Picture3()->geometry();
    Wheel(QPoint(0, -120));  // bars hidden: nothing
    Wheel(QPoint(0, -120), Qt::ShiftModifier);
    EXPECT_EQ(form->Picture3()->geometry(), fitted);

    form->ZoomIn();
    QScrollBar* v = form->VScroll1();
    const int notch = QApplication::wheelScrollLines() * v->singleStep();
    ASSERT_GT(v->maximum(), 2 * notch);
    // Each row: the wheel's turn (negative: towards the user, down), then where the bar stands.
    for (const auto& [delta, value] : {std::pair{-240, 2 * notch},
                                       {60, 2 * notch} /* half a notch waits */,
                                       {60, notch},
                                       {1200, 0} /* held at the ends */,
                                       {-120 * 1000, v->maximum()}}) {
        Wheel(QPoint(0, delta));
        EXPECT_EQ(v->value(), value) << delta;
        EXPECT_EQ(form->Layout().area.top, -value) << delta;
    }
    Wheel(QPoint(0, -120), Qt::ShiftModifier);  // sideways, by Shift or a horizontal wheel
    Wheel(QPoint(-120, 0));
    EXPECT_EQ(form->HScroll1()->value(), 2 * QApplication::wheelScrollLines() * form->HScroll1()->singleStep());
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(Raster(), Shown());
}

TEST_F(InteractTest, CtrlWheelZoomsAboutTheMouseAndTheMiddleButtonPans) {
    Load();
    const double fitted = form->Layout().area.width;
    const QPoint under(ViewportSize().width() / 3, ViewportSize().height() / 2);  // in the viewport
    const auto twips = [this](QPoint p) {  // the area's point under a viewport pixel
        const view::AreaPixels a = form->AreaInPixels();
        return QPointF((p.x() - a.left) * Twips(), (p.y() - a.top) * Twips());
    };
    const QPointF point = twips(under);
    Wheel(QPoint(0, 4 * 120), Qt::ControlModifier, under);  // four notches make an enlargement
    EXPECT_NEAR(form->Layout().area.width, 2 * fitted, 1e-6);
    EXPECT_LE((twips(under) - 2 * point).manhattanLength(), 2 * Twips());
    // The middle button drags the drawing with the pointer, pixel for pixel: the point
    // grabbed stays under it.
    const view::AreaPixels before = form->AreaInPixels();
    const QPointF grab = twips(under), to = twips(under - QPoint(30, 20));
    form->Picture3_MouseDown(4, 0, static_cast<float>(grab.x()), static_cast<float>(grab.y()));
    form->Picture3_MouseMove(4, 0, static_cast<float>(to.x()), static_cast<float>(to.y()));
    EXPECT_EQ(twips(under - QPoint(30, 20)), grab);
    form->Picture3_MouseUp(4, 0, static_cast<float>(grab.x()), static_cast<float>(grab.y()));
    EXPECT_EQ(form->AreaInPixels().left, before.left - 30);
    EXPECT_EQ(form->AreaInPixels().top, before.top - 20);
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(Raster(), Shown());
    EXPECT_TRUE(fake.popups.empty());
}

// Shift + left drag measures, Esc clears it; Ctrl + left drag zooms to the rectangle; the
// pointer's panel reads the file's coordinates, a turn changing nothing of them.
TEST_F(InteractTest, MeasureZoomToARectangleAndThePointersCoordinates) {
    Load();
    const float t = static_cast<float>(Twips());
    const auto pointer = [this] { return form->findChild<QLabel*>("PointerPanel")->text(); };
    const auto measure = [this] { return form->findChild<QLabel*>("MeasurePanel")->text(); };
    const view::FitTransform fit = view::AreaFit(store, 1, form->AreaInPixels(), Twips());
    // The first segment's start, where the window draws it; the pointer over it reads it back.
    const float x1 = store.Line(1, 1).X1, y1 = store.Line(1, 1).Y1;
    const auto [ax, ay] = view::AreaPointOf(fit, {x1, y1});
    const float x = static_cast<float>(ax), y = static_cast<float>(ay), x2 = x + 40 * t;
    form->Picture3_MouseMove(0, 0, x, y);
    EXPECT_EQ(pointer(), QString::fromStdString(interact::PointerText(x1, y1, Twips() / fit.s)));
    form->Picture3_MouseDown(1, 1, x, y);
    form->Picture3_MouseMove(1, 1, x2, y);
    form->Picture3_MouseUp(1, 1, x2, y);
    const double dx = view::PlotPointAt(fit, x2, y).x - view::PlotPointAt(fit, x, y).x;
    EXPECT_EQ(measure(), QString::fromStdString(interact::MeasureText(dx, 0, Twips() / fit.s)));
    EXPECT_TRUE(fake.popups.empty());  // no pop-up menu for a measuring drag
    const QString measured = measure();
    form->PlotMenu15_Click();  // turned right, the pointer over the same point reads the same
    const view::FitTransform turned = view::AreaFit(store, 1, form->AreaInPixels(), Twips());
    const auto [tx, ty] = view::AreaPointOf(turned, {store.Line(1, 1).X1, store.Line(1, 1).Y1});
    form->Picture3_MouseMove(0, 0, static_cast<float>(tx), static_cast<float>(ty));
    EXPECT_EQ(pointer(), QString::fromStdString(interact::PointerText(x1, y1, Twips() / turned.s)));
    EXPECT_EQ(measure(), measured);
    form->Picture3_MouseDown(2, 0, x, y);  // Esc gives up a selection being dragged first
    Key(Qt::Key_Escape);
    EXPECT_EQ(measure(), measured);
    form->Picture3_MouseUp(2, 0, x2, y);
    EXPECT_TRUE(form->Picture2().isNull());
    Key(Qt::Key_Escape);
    EXPECT_TRUE(measure().isEmpty());

    const double fitted = form->Layout().area.width;
    form->Picture3_MouseDown(1, 2, 100 * t, 100 * t);  // a wide rectangle: its width fills what the bars leave
    form->Picture3_MouseMove(1, 2, 200 * t, 120 * t);
    form->Picture3_MouseUp(1, 2, 200 * t, 120 * t);
    const double visible = form->Layout().viewport.width - form->VScroll1()->width() * Twips();
    EXPECT_NEAR(form->Layout().area.width, fitted * visible / (100 * Twips()), 1e-6);
    EXPECT_TRUE(fake.popups.empty());
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(Raster(), Shown());
}

}  // namespace
}  // namespace kestrel::test
