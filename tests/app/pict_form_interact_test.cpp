// The drawing area's keys, mouse and wheel on the real window, and the rotation commands.

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>

#include "form_test_support.h"

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
    Key(Qt::Key_PageDown);  // before a load: PlotNo stays 0, nothing is drawn
    EXPECT_EQ(Panels(), QStringList({"PLOT Files : 0 / 0", "L/S : 0 / 0"}));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Panels(), QStringList({"PLOT Files : 1 / 0", "L/S : 0 / 0"}));
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
    const QString path = dir.filePath("pages.hpg");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("IN;SP1;PU0,0;PD10,0;PG;PU0,0;PD0,10,10,10;PG;PU0,0;PD1,1,2,2,3,3;PG;");
    file.close();
    OpenThroughDialog(path);
    QStringList list;
    for (const QAction* a : form->findChild<QMenu*>("PlotMenu80")->actions()) list << a->text();
    EXPECT_EQ(list, QStringList({"PLOT No.1", "PLOT No.2", "PLOT No.3"}));
    const QStringList shown[] = {{"PLOT Files : 1 / 3", "L/S : 1 / 0"},
                                 {"PLOT Files : 2 / 3", "L/S : 2 / 0"},
                                 {"PLOT Files : 3 / 3", "L/S : 3 / 0"}};
    EXPECT_EQ(Panels(), shown[0]);
    for (const int page : {1, 2, 2}) {  // the last plot stays the last
        Key(Qt::Key_PageDown);
        EXPECT_EQ(Panels(), shown[page]);
        EXPECT_EQ(Raster(), Drawn());
    }
    form->findChild<QMenu*>("PlotMenu80")->actions()[1]->trigger();
    EXPECT_EQ(Panels(), shown[1]);

    // Basic reading ends at the first page feed; unchecking reads all pages again.
    form->BasicReading()->setChecked(true);
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(Panels(), QStringList({"PLOT Files : 1 / 1", "L/S : 1 / 0"}));
    EXPECT_EQ(form->findChild<QMenu*>("PlotMenu80")->actions().size(), 1);
    form->BasicReading()->setChecked(false);
    ASSERT_TRUE(WaitUntilIdle(*form));
    EXPECT_EQ(store.PlotTotal, 3);

    // Beyond a hundred plots the list goes on in submenus of a hundred.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < 250; ++i) file.write("PD0,0;PG;");
    file.close();
    OpenThroughDialog(path);
    const QList<QAction*> top = form->findChild<QMenu*>("PlotMenu80")->actions();
    ASSERT_EQ(top.size(), 102);
    EXPECT_EQ(top[99]->text(), "PLOT No.100");
    EXPECT_EQ(top[100]->text(), "PLOT No.101 - 200");
    EXPECT_EQ(top[101]->text(), "PLOT No.201 - 250");
    top[101]->menu()->actions().back()->trigger();
    EXPECT_EQ(Panels()[0], "PLOT Files : 250 / 250");
    Load();
    EXPECT_EQ(form->findChild<QMenu*>("PlotMenu80")->actions().size(), 1);
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
        {Qt::Key_PageUp, none, 0, false, 33},
        {Qt::Key_Down, shift, 0, false, 40},
        {Qt::Key_4, none, 0, false, 52},
        {Qt::Key_4, keypad, 0, false, 100},
        {Qt::Key_0, keypad, 0, false, 96},
        {Qt::Key_Q, none, 24, true, 81},
        {Qt::Key_F1, none, 67, true, 0},
        {Qt::Key_Dollar, shift, 13, false, 0},
        // Shift on the digit row gives a symbol; the X keycode still names the digit.
        {Qt::Key_Dollar, shift, 13, true, 52},
        {Qt::Key_ParenRight, shift, 19, true, 48},
        // The keypad with Num Lock off sends arrows, as on Windows.
        {Qt::Key_Left, keypad, 83, true, 37},
        {Qt::Key_4, keypad, 83, true, 100}};
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
    QTest::mouseRelease(form->Picture3(), Qt::RightButton, {}, end);
    EXPECT_EQ(Shape(), (Points{end.x() * t, end.y() * t, 30 * t, 20 * t, 1}));
    EXPECT_TRUE(Redrawn());  // the outline is not in the raster
    EXPECT_EQ(form->Picture2(), Raster().copy(end.x(), end.y(), 30, 20));
    EXPECT_TRUE(fake.popups.empty());
}

TEST_F(InteractTest, SelectionInTwips) {
    Load();
    form->Picture3_MouseDown(2, 0, 3000, 2000);
    form->Picture3_MouseMove(2, 0, 1000, 2500);
    form->Picture3_MouseMove(2, 0, 3500, 1800);  // back across the start: still anchored there
    form->Picture3_MouseMove(3, 0, 5000, 5000);  // both buttons: nothing
    EXPECT_EQ(Shape(), (Points{3000, 1800, 500, 200, 1}));

    // A click without a move selects nothing.
    form->Picture3_MouseDown(2, 0, 451.5f, 300);
    EXPECT_EQ(form->DragStartX(), 452);
    EXPECT_EQ(Shape(), (Points{451.5f, 300, 1, 1, 1}));
    form->Picture3_MouseUp(2, 0, 451.5f, 300);
    EXPECT_EQ(Shape(), (Points{451.5f, 300, 1, 1, 0}));
    const int w = Raster().width(), h = Raster().height();  // past the raster: clipped to it
    const float t = static_cast<float>(Twips());
    Drag((w - 10) * t, (h - 5) * t, (w + 40) * t, (h + 40) * t);
    EXPECT_EQ(form->Picture2(), Raster().copy(w - 10, h - 5, 10, 5));
    Drag(60 * t, 60 * t, 62 * t, 90 * t);  // less than 3 x 3 pixels is no selection
    EXPECT_FALSE(form->Picture3()->Shape().Visible);
    EXPECT_TRUE(form->Picture2().isNull());
}

TEST_F(InteractTest, ARightClickLeavesTheNextCopyTheWholeDrawing) {
    Load();
    QTest::mouseClick(form->Picture3(), Qt::RightButton, {}, QPoint(40, 30));
    form->PlotMenu14_Click();
    EXPECT_EQ(fake.clipboardImages, std::vector<QImage>{Raster()});
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
        EXPECT_EQ(form->Picture3()->y() < 0, value > 0) << delta;
    }
    Wheel(QPoint(0, -120), Qt::ShiftModifier);  // sideways, by Shift or a horizontal wheel
    Wheel(QPoint(-120, 0));
    EXPECT_EQ(form->HScroll1()->value(), 2 * QApplication::wheelScrollLines() * form->HScroll1()->singleStep());
    EXPECT_LT(form->Picture3()->x(), 0);
}

TEST_F(InteractTest, CtrlWheelZoomsAboutTheMouse) {
    Load();
    const QSize fitted = form->Picture3()->size();
    QPoint under(fitted.width() / 3, fitted.height() / 2);  // the point under the mouse, in the area's pixels
    for (int notch = 1; notch <= 2; ++notch) {              // away from the user: twice the size, the point stays put
        const QPoint was = form->Picture3()->pos() + under;
        Wheel(QPoint(0, 120), Qt::ControlModifier, under);
        under *= 2;
        EXPECT_EQ(form->Picture3()->size(), fitted * (1 << notch));
        EXPECT_LE((form->Picture3()->pos() + under - was).manhattanLength(), 2) << notch;
    }
    Wheel(QPoint(0, -240), Qt::ControlModifier, under);  // two notches back
    EXPECT_EQ(form->Picture3()->geometry(), QRect(QPoint(0, 0), fitted));
}

}  // namespace
}  // namespace kestrel::test
