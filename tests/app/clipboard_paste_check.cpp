// Copies the drawing area to the real clipboard and pastes it from another process (xclip), on an X display.
// Exit status: 0 passed, 1 failed, 77 skipped (xclip missing).

#include <cstdio>

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include "app/drawing_area.h"
#include "app/pict_form.h"
#include "app/qt_platform.h"
#include "reader/plot_store.h"

namespace {

// Runs xclip while this process keeps answering the clipboard requests it causes.
QByteArray Paste(const QString& xclip, const QString& target) {
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    process.start(xclip, {"-selection", "clipboard", "-t", target, "-o"});
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return process.readAllStandardOutput();
}

int Fail(const char* why) {
    std::fprintf(stderr, "clipboard_paste_check: %s\n", why);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const QString xclip = QStandardPaths::findExecutable("xclip");
    if (xclip.isEmpty()) {
        std::puts("clipboard_paste_check: SKIP: xclip is not installed");
        return 77;
    }
    QApplication app(argc, argv);
    kestrel::reader::PlotStore store;
    kestrel::app::QtPlatform platform;
    kestrel::app::PictForm form(store, platform);
    form.resize(640, 480);
    form.show();
    auto surface = form.Picture3()->Surface();
    for (int i = 0; i < 30; ++i) surface.Line(0, i * 100.f, 5000, 3000 - i * 50.f, {128, 0, 0});

    QGuiApplication::clipboard()->setText(QStringLiteral("text from before"));
    form.PlotMenu14_Click();
    const QImage expected = form.Picture3()->Raster().convertToFormat(QImage::Format_RGB32);

    const QImage pasted = QImage::fromData(Paste(xclip, "image/png"), "PNG").convertToFormat(QImage::Format_RGB32);
    if (pasted != expected) return Fail(pasted.isNull() ? "no PNG image could be pasted" : "the pasted image differs");
    const QByteArray targets = Paste(xclip, "TARGETS");  // only the picture: the text that was there is gone
    if (targets.contains("UTF8_STRING") || targets.contains("text/plain")) return Fail("text is still offered");
    std::printf("clipboard_paste_check: pasted %dx%d image matches\n", pasted.width(), pasted.height());
    return 0;
}
