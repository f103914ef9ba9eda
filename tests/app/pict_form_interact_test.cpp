// The drawing area's keys, mouse and wheel on the real window, and the rotation commands.

#include <gtest/gtest.h>

#include <functional>

#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QWheelEvent>

#include "form_test_support.h"

namespace Kestrel_Test {
namespace {

using Kestrel_Val::PlotLine;

class InteractTest : public FormTest {
protected:
    void Load() {
        OpenThroughDialog(QStringLiteral(SAMPLES_DIR "/house.hpg"));
        ASSERT_GT(store.LineCount[1], 2);
    }
    // Keys go to whatever has the focus: no click into the drawing area first.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = form->focusWidget();
        ASSERT_EQ(target, form->Picture3());
        QTest::keyClick(target, key, modifiers);
    }
    // Marks the status panels so that a rewrite shows.
    void MarkPanels() {
        for (const char* name : {"StatusBar1_Panel2", "StatusBar1_Panel4"})
            form->findChild<QLabel*>(name)->setText(QStringLiteral("-"));
    }
    bool PanelsUntouched() const { return form->PanelText(2) == "-" && form->PanelText(4) == "-"; }
    // What DrawPlot (frame, larger top margin) makes of the store on this raster.
    QImage Drawn() const {
        QImage image(Raster().size(), QImage::Format_RGB32);
        Kestrel_View::RasterSurface surface(reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
                                            static_cast<int>(image.bytesPerLine() / 4), Twips());
        Kestrel_View::DrawPlot(store, surface, {});
        return image;
    }
    void Wheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at(10, 10);
        QWheelEvent e(at, form->Picture3()->mapToGlobal(at), QPoint(), angleDelta, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(form->Picture3(), &e);
    }
    Kestrel_View::ShapeRect Shape() const { return form->Picture3()->Shape(); }
};

std::vector<float> Coordinates(const PlotLine& l) { return {l.X1, l.Y1, l.X2, l.Y2}; }

TEST_F(InteractTest, PageKeysBeforeAndAfterALoad) {
    Key(Qt::Key_PageDown);  // before a load: PlotNo stays 0, nothing is drawn
    EXPECT_EQ(store.PlotNo, 0);
    EXPECT_EQ(form->PanelText(2), QStringLiteral("PLOT Files : 0 / 0"));
    EXPECT_EQ(form->PanelText(4), QStringLiteral("L/S : 0 / 0"));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(store.PlotNo, 1);
    EXPECT_EQ(form->PanelText(2), QStringLiteral("PLOT Files : 1 / 0"));
    EXPECT_EQ(form->PanelText(4), QStringLiteral("L/S : 0 / 0"));
    EXPECT_TRUE(AllWhite(Raster()));

    Load();  // the focus is back on the drawing area after the load
    const QString lines = form->PanelText(4);
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_PageUp, Qt::NoModifier}, {Qt::Key_PageDown, Qt::NoModifier},
                                         {Qt::Key_PageDown, Qt::ShiftModifier}, {Qt::Key_PageUp, Qt::ControlModifier}}) {
        MarkPanels();
        Key(key, modifiers);
        EXPECT_EQ(store.PlotNo, 1);
        EXPECT_EQ(form->PanelText(2), QStringLiteral("PLOT Files : 1 / 1"));
        EXPECT_EQ(form->PanelText(4), lines);
        EXPECT_EQ(Raster(), Drawn());
        EXPECT_NE(Raster(), Rendered(store, Raster().size(), Twips()));  // DrawPlot's, not RedrawPlot's
    }
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(InteractTest, ArrowKeysTurnThePlotWithoutStatusWrites) {
    Load();
    struct Row {
        Qt::Key key;
        std::function<std::vector<float>(float, float, float, float)> turned;  // of x1, y1, x2, y2
    };
    const Row rows[] = {
        {Qt::Key_Left, [](float x1, float y1, float x2, float y2) { return std::vector<float>{y1, -x1, y2, -x2}; }},
        {Qt::Key_Right, [](float x1, float y1, float x2, float y2) { return std::vector<float>{-y1, x1, -y2, x2}; }},
        {Qt::Key_Down, [](float x1, float y1, float x2, float y2) { return std::vector<float>{-x1, -y1, -x2, -y2}; }},
        {Qt::Key_Up, [](float x1, float y1, float x2, float y2) { return std::vector<float>{x1, y1, x2, y2}; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        MarkPanels();
        const PlotLine before = store.Line(1, 2);
        Key(row.key);
        EXPECT_EQ(Coordinates(store.Line(1, 2)), row.turned(before.X1, before.Y1, before.X2, before.Y2));
        EXPECT_TRUE(PanelsUntouched());
        // The turns end with RedrawPlot; the up arrow only runs DrawPlot.
        EXPECT_EQ(Raster(), row.key == Qt::Key_Up ? Drawn() : Rendered(store, Raster().size(), Twips()));
    }
    // The pop-up's entries run the same commands.
    const PlotLine before = store.Line(1, 2);
    form->findChild<QAction*>("PlotMenu15")->trigger();
    EXPECT_EQ(Coordinates(store.Line(1, 2)), (std::vector<float>{before.Y1, -before.X1, before.Y2, -before.X2}));
}

TEST_F(InteractTest, PlotNumberWithoutASlotDoesNotFail) {
    Load();
    const std::vector<float> first = Coordinates(store.Line(1, 1));
    store.PlotNo = 7;
    Key(Qt::Key_Left);
    Key(Qt::Key_4);
    EXPECT_EQ(Coordinates(store.Line(1, 1)), first);
    Key(Qt::Key_PageDown);  // back within the plots
    EXPECT_EQ(store.PlotNo, 1);
    EXPECT_TRUE(fake.messages.empty());
}

TEST_F(InteractTest, DigitKeysNudgeTheCharactersAndRedraw) {
    Load();
    struct Row {
        Qt::Key key;
        float x, y;  // where a record at (1, 2) ends up
    };
    for (const Row& row : {Row{Qt::Key_4, 0.9f, 2}, Row{Qt::Key_6, 1.1f, 2}, Row{Qt::Key_2, 1, 2.1f}, Row{Qt::Key_8, 1, 1.9f},
                           Row{Qt::Key_5, 1, 2}}) {
        for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::KeypadModifier)}) {
            SCOPED_TRACE(row.key);
            store.CharCount[1] = 1;
            store.PlotChars[1][1] = {1, 2, {}};
            form->Picture3()->Surface().Clear();
            MarkPanels();
            Key(row.key, modifiers);
            EXPECT_EQ(store.PlotChars[1][1].X, row.x);
            EXPECT_EQ(store.PlotChars[1][1].Y, row.y);
            EXPECT_TRUE(PanelsUntouched());
            if (row.key != Qt::Key_5) EXPECT_EQ(Raster(), Drawn());
            else EXPECT_TRUE(AllWhite(Raster()));  // not a key of the drawing area
        }
    }
}

TEST(VirtualKeyCode, MapsQtKeysToWindowsCodes) {
    struct Row {
        int key;
        Qt::KeyboardModifiers modifiers;
        quint32 scanCode;
        bool xkb;
        int code;
    };
    const Row rows[] = {
        {Qt::Key_PageUp, Qt::NoModifier, 0, false, 33},       {Qt::Key_Down, Qt::ShiftModifier, 0, false, 40},
        {Qt::Key_4, Qt::NoModifier, 0, false, 52},            {Qt::Key_4, Qt::KeypadModifier, 0, false, 100},
        {Qt::Key_0, Qt::KeypadModifier, 0, false, 96},        {Qt::Key_8, Qt::NoModifier, 17, true, 56},
        // Shift on the digit row: the symbol's key, the digit's code by the X keycode.
        {Qt::Key_Dollar, Qt::ShiftModifier, 13, true, 52},   {Qt::Key_ParenLeft, Qt::ShiftModifier, 17, true, 56},
        {Qt::Key_ParenRight, Qt::ShiftModifier, 19, true, 48}, {Qt::Key_Dollar, Qt::ShiftModifier, 13, false, 0},
        // The keypad with Num Lock off sends arrows, as on Windows.
        {Qt::Key_Left, Qt::KeypadModifier, 83, true, 37},     {Qt::Key_4, Qt::KeypadModifier, 83, true, 100},
        {Qt::Key_Q, Qt::NoModifier, 24, true, 81},            {Qt::Key_F1, Qt::NoModifier, 67, true, 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Kestrel_View::VirtualKeyCode(r.key, r.modifiers, r.scanCode, r.xkb), r.code) << r.key << " " << r.scanCode;
}

TEST_F(InteractTest, RightDragSelectsAndCopiesTheRegion) {
    Load();
    QPoint line;  // a drawn pixel with room around it, to select a region holding part of the plot
    for (int y = 20; y < Raster().height() - 20 && line.isNull(); ++y)
        for (int x = 40; x < Raster().width() - 40 && line.isNull(); ++x)
            if (Raster().pixel(x, y) != qRgb(255, 255, 255)) line = QPoint(x, y);
    ASSERT_FALSE(line.isNull());
    QWidget* area = form->Picture3();
    const QPoint start = line + QPoint(10, 5);
    QTest::mousePress(area, Qt::RightButton, {}, start);
    EXPECT_TRUE(Shape().Visible);
    EXPECT_EQ(Shape().Width, 1);
    QTest::mouseMove(area, start - QPoint(30, 20));  // up and left of the start
    QTest::mouseMove(area, start + QPoint(10, 15));  // then across it
    const float t = static_cast<float>(Twips());
    EXPECT_EQ((std::vector<float>{Shape().Left, Shape().Top, Shape().Width, Shape().Height}),
              (std::vector<float>{start.x() * t, start.y() * t, 10 * t, 15 * t}));
    QTest::mouseMove(area, start - QPoint(30, 20));
    QTest::mouseRelease(area, Qt::RightButton, {}, start - QPoint(30, 20));
    EXPECT_EQ((std::vector<float>{Shape().Left, Shape().Top, Shape().Width, Shape().Height}),
              (std::vector<float>{(start.x() - 30) * t, (start.y() - 20) * t, 30 * t, 20 * t}));
    EXPECT_TRUE(Shape().Visible);
    const QImage raster = Raster();
    EXPECT_EQ(raster, Rendered(store, raster.size(), Twips()));  // the outline is not in the raster
    EXPECT_EQ(form->Picture2(), raster.copy(start.x() - 30, start.y() - 20, 30, 20));
    EXPECT_FALSE(AllWhite(form->Picture2()));
    EXPECT_TRUE(fake.popups.empty());
}

TEST_F(InteractTest, SelectionInTwips) {
    Load();
    const auto shape = [this] { return std::vector<float>{Shape().Left, Shape().Top, Shape().Width, Shape().Height}; };
    form->Picture3_MouseDown(2, 0, 3000, 2000);
    form->Picture3_MouseMove(2, 0, 1000, 2500);
    EXPECT_EQ(shape(), (std::vector<float>{1000, 2000, 2000, 500}));
    form->Picture3_MouseMove(3, 0, 5000, 5000);  // both buttons: nothing
    form->Picture3_MouseMove(4, 0, 5000, 5000);
    EXPECT_EQ(shape(), (std::vector<float>{1000, 2000, 2000, 500}));

    // Start points round halves to even; a click without a move copies its one pixel.
    for (const auto& [x, startX] : {std::pair{450.5f, 450}, {451.5f, 452}, {-0.5f, 0}, {451.49f, 451}}) {
        form->Picture3_MouseDown(2, 0, x, 300);
        EXPECT_EQ(form->DragStartX(), startX);
        EXPECT_EQ(shape(), (std::vector<float>{x, 300, 1, 1}));
        form->Picture3_MouseUp(2, 0, x, 300);
        EXPECT_EQ(form->Picture2().size(), QSize(1, 1));
    }
    form->Picture3_MouseDown(4, 0, 7.5f, 8.5f);  // the middle button only sets the start
    EXPECT_EQ(std::pair(form->DragStartX(), form->DragStartY()), std::pair(8, 8));

    // A zero side copies an empty image; a rectangle past the raster is clipped to it.
    form->Picture3_MouseDown(2, 0, 300, 300);
    form->Picture3_MouseMove(2, 0, 300, 900);
    form->Picture3_MouseUp(2, 0, 300, 900);
    EXPECT_TRUE(form->Picture2().isNull());
    const QSize size = Raster().size();
    const float t = static_cast<float>(Twips());
    form->Picture3_MouseDown(2, 0, (size.width() - 10) * t, (size.height() - 5) * t);
    form->Picture3_MouseMove(2, 0, (size.width() + 40) * t, (size.height() + 40) * t);
    form->Picture3_MouseUp(2, 0, 0, 0);
    EXPECT_EQ(form->Picture2(), Raster().copy(size.width() - 10, size.height() - 5, 10, 5));
    EXPECT_TRUE(fake.popups.empty());
}

TEST_F(InteractTest, BeforeALoadTheRectangleStaysAtThePressPoint) {
    form->Picture3_MouseDown(2, 0, 3000, 2000);
    form->Picture3_MouseMove(2, 0, 1000, 2500);
    form->Picture3_MouseMove(1, 0, 1000, 2500);  // no pop-up from a move either
    form->Picture3_MouseUp(2, 0, 1000, 2500);
    EXPECT_EQ((std::vector<float>{Shape().Left, Shape().Top, Shape().Width, Shape().Height}),
              (std::vector<float>{3000, 2000, 1, 1}));
    EXPECT_TRUE(Shape().Visible);
    EXPECT_EQ(form->Picture2().size(), QSize(1, 1));
    EXPECT_TRUE(fake.popups.empty());
}

TEST_F(InteractTest, LeftButtonOpensThePopUpMenu) {
    QTest::mouseClick(form->Picture3(), Qt::LeftButton, {}, QPoint(30, 20));  // even before a load
    ASSERT_EQ(fake.popups.size(), 1u);
    EXPECT_EQ(fake.popups[0], form->PlotMenu10());
    EXPECT_EQ(std::pair(form->DragStartX(), form->DragStartY()),
              std::pair(static_cast<int>(30 * Twips()), static_cast<int>(20 * Twips())));
    EXPECT_FALSE(Shape().Visible);
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
    EXPECT_EQ(form->VScroll1()->value() + form->HScroll1()->value(), 0);

    form->ZoomIn();
    QScrollBar* v = form->VScroll1();
    QScrollBar* h = form->HScroll1();
    const int notch = QApplication::wheelScrollLines() * v->singleStep();
    ASSERT_GT(v->maximum(), 2 * notch);
    Wheel(QPoint(0, -240));  // two notches towards the user: down
    EXPECT_EQ(v->value(), 2 * notch);
    EXPECT_LT(form->Picture3()->y(), 0);
    Wheel(QPoint(0, 60));  // half a notch waits for the other half
    EXPECT_EQ(v->value(), 2 * notch);
    Wheel(QPoint(0, 60));
    EXPECT_EQ(v->value(), notch);
    Wheel(QPoint(0, 1200));  // held at the ends
    EXPECT_EQ(v->value(), 0);
    EXPECT_EQ(form->Picture3()->y(), 0);
    Wheel(QPoint(0, -120 * 1000));
    EXPECT_EQ(v->value(), v->maximum());

    Wheel(QPoint(0, -120), Qt::ShiftModifier);  // sideways
    Wheel(QPoint(-120, 0));
    EXPECT_EQ(h->value(), 2 * QApplication::wheelScrollLines() * h->singleStep());
    EXPECT_LT(form->Picture3()->x(), 0);
    EXPECT_EQ(v->value(), v->maximum());
}

}  // namespace
}  // namespace Kestrel_Test
