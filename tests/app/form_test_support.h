#pragma once

// A fake platform that answers at once and records what it was asked; a shown main window over its own store.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QSettings>
#include <QTest>

#include "app/drawing_area.h"
#include "app/pict_form.h"
#include "app/platform.h"
#include "interact/messages.h"
#include "reader/plot_store.h"
#include "view/plot_drawing.h"
#include "view/raster_surface.h"

namespace kestrel::test {

struct FakePlatform final : app::Platform {
    struct OpenCall {
        QString title, initialName;
        QStringList filters;
        int filterIndex = 0;
    };
    struct MessageCall {
        QString text, caption;
        app::MessageIcon icon = app::MessageIcon::None;
    };

    std::deque<app::OpenChoice> openAnswers, saveAnswers;  // none left: cancel
    std::vector<OpenCall> openCalls, saveCalls;
    std::vector<MessageCall> messages;
    std::vector<QMenu*> popups;
    std::function<bool(QPrinter&)> printAnswer;  // what the print dialog does; unset: cancel
    int printCalls = 0;
    reader::ErrorNumber clearError{}, putError{};  // the clipboard's errors to report
    std::vector<QImage> clipboardImages;
    std::vector<QString> browserPaths;
    bool browserStarts = true;
    std::function<void()> browserFailure;          // what the browser started tells later, if it fails
    std::function<bool(QPrinter&)> previewAnswer;  // set up the printer; unset: closed unprinted
    int previewCalls = 0;

    static std::optional<app::OpenChoice> Answer(std::deque<app::OpenChoice>& answers) {
        if (answers.empty()) return std::nullopt;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<app::OpenChoice> ChooseOpenFile(QWidget*, const QString& title, const QString& initialName,
                                                  const QStringList& filters, int filterIndex) override {
        openCalls.push_back({title, initialName, filters, filterIndex});
        return Answer(openAnswers);
    }
    std::optional<app::OpenChoice> ChooseSaveFile(QWidget*, const QString& title, const QString& initialName,
                                                  const QStringList& filters, int filterIndex) override {
        saveCalls.push_back({title, initialName, filters, filterIndex});
        return Answer(saveAnswers);
    }
    bool ShowPrintDialog(QWidget*, QPrinter& printer) override {
        ++printCalls;
        return printAnswer && printAnswer(printer);
    }
    reader::ErrorNumber ClearClipboard() override {
        if (clearError == reader::ErrorNumber::None) clipboardImages.clear();
        return clearError;
    }
    reader::ErrorNumber PutClipboardImage(const QImage& image) override {
        if (putError == reader::ErrorNumber::None) clipboardImages.push_back(image);
        return putError;
    }
    bool ShowPrintPreview(QWidget*, QPrinter& printer, const std::function<void(QPrinter&)>& paint) override {
        ++previewCalls;
        const bool printed = previewAnswer && previewAnswer(printer);
        if (printed) paint(printer);
        return printed;
    }
    bool OpenInBrowser(const QString& path, std::function<void()> failed) override {
        browserPaths.push_back(path);
        browserFailure = std::move(failed);
        return browserStarts;
    }
    void ShowMessage(QWidget*, const QString& text, const QString& caption, app::MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }
    void PopupMenu(QMenu* menu, const QPoint&) override { popups.push_back(menu); }
};

// What RedrawPlot (`framed`: DrawPlot, with frame and larger top margin) draws on a fresh raster.
inline QImage Rendered(const reader::PlotStore& store, QSize size, double twipsPerPixel, bool framed = false) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::gray);  // the routine must clear it itself
    view::RasterSurface surface(reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
                                static_cast<int>(image.bytesPerLine() / 4), twipsPerPixel);
    if (framed)
        view::DrawPlot(store, {}, surface, {});
    else
        view::RedrawPlot(store, {}, surface);
    return image;
}

// What the view shows of a drawing area of `area` pixels with the viewport's corner at its pixel `origin`: that part
// of RedrawPlot's drawing of the whole area, drawn from every record.
inline QImage RenderedPart(const reader::PlotStore& store, QSizeF area, QPointF origin, QSize size,
                           double twipsPerPixel) {
    QImage image(size, QImage::Format_RGB32);
    view::RasterSurface surface(reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
                                static_cast<int>(image.bytesPerLine() / 4), twipsPerPixel);
    surface.SetOrigin(origin.x(), origin.y());
    view::PlotDrawing drawing = view::BeginViewDrawing(store, {}, surface, area.width() * twipsPerPixel,
                                                       area.height() * twipsPerPixel, false, nullptr);
    view::DrawMoreLines(store, surface, drawing, INFINITY);
    return image;
}

inline int CountColour(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) | 0xff000000u) == (colour | 0xff000000u);
    return n;
}

inline bool AllWhite(const QImage& image) {
    return CountColour(image, qRgb(255, 255, 255)) == image.width() * image.height();
}

inline const QRgb Blue = qRgb(0, 0, 128);

// The message the window shows for a failure, naming the file when there is one: the
// tests check which failure is reported, the texts are the message table's.
inline QString Message(reader::ErrorNumber number, const QString& file = {}) {
    const std::string text = file.isEmpty() ? interact::ErrorMessageText(number)
                                            : interact::FileErrorMessageText(number, file.toStdString());
    return QString::fromStdString(text).replace("\r\n", "\n");
}

// Serves events until the window has read and drawn all it was asked to.
inline bool WaitUntilIdle(const app::PictForm& form, int milliseconds = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (form.Busy() && clock.elapsed() < milliseconds) QTest::qWait(1);
    return !form.Busy();
}

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings().clear();  // no recent files from an earlier test
        form = std::make_unique<app::PictForm>(store, fake);
        form->resize(640, 480);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // Opens a file through the menu command, the dialog answering with `path`.
    void OpenThroughDialog(const QString& path, int filterIndex = 1) {
        fake.openAnswers.push_back(app::OpenChoice{path, filterIndex});
        form->PlotMenu21_Click();
        ASSERT_TRUE(WaitUntilIdle(*form));
    }
    QImage Raster() const { return form->Picture3()->Raster(); }
    // The window menu's plot list, below the panels' toggles.
    QList<QAction*> PlotEntries() const {
        const QList<QAction*> all = form->findChild<QMenu*>("PlotMenu80")->actions();
        for (qsizetype i = 0; i < all.size(); ++i)
            if (all[i]->objectName() == "PanelsSeparator") return all.mid(i + 1);
        return all;
    }
    QSize ViewportSize() const { return form->Picture1()->size(); }
    // What the window should show: the part of the area under the drawing area widget.
    QImage Shown() const {
        const view::AreaPixels a = form->AreaInPixels();
        const app::ShownPart part = form->Picture3()->Shown();
        return RenderedPart(store, QSizeF(a.width, a.height), QPointF(part.left, part.top), form->Picture3()->size(),
                            Twips());
    }
    double Twips() const { return form->TwipsPerPixel(); }
    void ResizeWindow(int width, int height) {  // and let the resize reach its handler
        form->resize(width, height);
        QCoreApplication::processEvents();
    }

    reader::PlotStore store;
    FakePlatform fake;
    std::unique_ptr<app::PictForm> form;
};

}  // namespace kestrel::test
