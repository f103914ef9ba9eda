// Opening a plot in the window as the open command does once a file is chosen:
// read, layout and draw into the drawing area's raster.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "app/drawing_area.h"
#include "app/pict_form.h"
#include "app/platform.h"
#include "bench_plot.h"
#include "reader/plot_store.h"
#include "reader/reader.h"

namespace {

constexpr int WindowWidth = 1600;
constexpr int WindowHeight = 1200;

// Answers every blocking call at once and shows nothing.
class SilentPlatform final : public kestrel::app::Platform {
public:
    std::optional<kestrel::app::OpenChoice> ChooseOpenFile(QWidget*, const QString&, const QString&,
                                                           const QStringList&, int) override {
        return std::nullopt;
    }
    std::optional<kestrel::app::OpenChoice> ChooseSaveFile(QWidget*, const QString&, const QString&,
                                                           const QStringList&, int) override {
        if (savePath.isEmpty()) return std::nullopt;
        return kestrel::app::OpenChoice{savePath, 1};
    }
    bool ShowPrintDialog(QWidget*, QPrinter& printer) override {
        if (pdfPath.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
        return true;
    }
    QString savePath, pdfPath;  // empty: the dialog is cancelled
    kestrel::reader::ErrorNumber ClearClipboard() override { return {}; }
    kestrel::reader::ErrorNumber PutClipboardImage(const QImage&) override { return {}; }
    bool ShowPrintPreview(QWidget*, QPrinter&, const std::function<void(QPrinter&)>&) override {
        return false;
    }
    bool OpenInBrowser(const QString&, std::function<void()>) override { return false; }
    void ShowMessage(QWidget*, const QString&, const QString&, kestrel::app::MessageIcon) override {
    }
    void PopupMenu(QMenu*, const QPoint&) override {}
};

// A benchmark plot, written to a temporary file once and removed at exit.
class PlotFile {
public:
    explicit PlotFile(std::int64_t segments = 150000, const char* name = "kestrel_open_bench.hpg")
        : path_(std::filesystem::temp_directory_path() / name) {
        std::ofstream(path_, std::ios::binary) << kestrel::bench::MakeBenchPlot(segments);
    }
    ~PlotFile() { std::filesystem::remove(path_); }
    QString Path() const { return QFile::decodeName(path_.string().c_str()); }

private:
    std::filesystem::path path_;
};

const PlotFile& BenchFile() {
    static const PlotFile file;
    return file;
}

// Serves events until the window has read and drawn everything; returns the longest time
// a probe timer due every 5 ms waited for the event loop, in milliseconds.
double ServeUntilIdle(const kestrel::app::PictForm& form) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    probe.start(5);
    while (form.Busy()) {
        // Sleeps until the reading thread, the drawing's next step or the probe posts an event.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return static_cast<double>(std::max(longest, clock.nsecsElapsed() - last)) / 1e6;
}

void RunOpen(benchmark::State& state, bool paint) {
    const QString path = BenchFile().Path();
    kestrel::reader::PlotStore store;
    SilentPlatform platform;
    kestrel::app::PictForm form(store, platform);
    form.resize(WindowWidth, WindowHeight);
    form.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        form.OpenChosenFile(path);
        ServeUntilIdle(form);
        // With `paint`, the drawing area's repaint that follows is counted too.
        if (paint) QCoreApplication::processEvents();
    }
    state.counters["segments"] = store.plots[1].LineCount;
    state.counters["raster_w"] = form.Picture3()->width();
    state.counters["raster_h"] = form.Picture3()->height();
    if (store.plots[1].LineCount != 150000) state.SkipWithError("the plot was not read in full");
}

// Read, layout and draw; the dialog is not part of it.
void BM_OpenChosenFile(benchmark::State& state) { RunOpen(state, false); }
BENCHMARK(BM_OpenChosenFile)->Unit(benchmark::kMillisecond);

// The same up to the window showing the new raster.
void BM_OpenChosenFileAndPaint(benchmark::State& state) { RunOpen(state, true); }
BENCHMARK(BM_OpenChosenFileAndPaint)->Unit(benchmark::kMillisecond);

// The window with the plot open, and a scratch file removed afterwards.
struct OpenWindow {
    explicit OpenWindow(const char* scratchName)
        : scratch(QFile::decodeName(
              (std::filesystem::temp_directory_path() / scratchName).string().c_str())) {
        form.resize(WindowWidth, WindowHeight);
        form.show();
        QCoreApplication::processEvents();
        form.OpenChosenFile(BenchFile().Path());
        ServeUntilIdle(form);
    }
    ~OpenWindow() { QFile::remove(scratch); }

    kestrel::reader::PlotStore store;
    SilentPlatform platform;
    kestrel::app::PictForm form{store, platform};
    QString scratch;
};

// A right turn from the pop-up menu: rewrite the segments and redraw.
void BM_RotateInWindow(benchmark::State& state) {
    OpenWindow w("kestrel_bench_unused");
    for (auto _ : state) w.form.PlotMenu15_Click();
    state.counters["segments"] = w.store.plots[1].LineCount;
}
BENCHMARK(BM_RotateInWindow)->Unit(benchmark::kMillisecond);

// Saving the drawing area as BMP through the command (temporary file, sync, rename).
void BM_SaveBmp(benchmark::State& state) {
    OpenWindow w("kestrel_bench.bmp");
    w.platform.savePath = w.scratch;
    for (auto _ : state) w.form.PlotMenu24_Click();
    state.counters["raster_w"] = w.form.Picture3()->width();
    state.counters["raster_h"] = w.form.Picture3()->height();
    if (!QFile::exists(w.scratch)) state.SkipWithError("nothing was saved");
}
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond);

// Printing the drawing area, enlarged twice, to an A4 PDF: tiles painted 1:1.
void BM_PrintPdf(benchmark::State& state) {
    OpenWindow w("kestrel_bench.pdf");
    w.platform.pdfPath = w.scratch;
    w.form.ZoomIn();
    for (auto _ : state) w.form.PlotMenu13_Click();
    state.counters["raster_w"] = w.form.Picture3()->width();
    state.counters["raster_h"] = w.form.Picture3()->height();
    if (!QFile::exists(w.scratch)) state.SkipWithError("nothing was printed");
}
BENCHMARK(BM_PrintPdf)->Unit(benchmark::kMillisecond);

// Twenty million segments in the window: read in the background and drawn in steps,
// the event loop served all along. Counters: the longest wait of an event meanwhile.
void BM_OpenHugePlot(benchmark::State& state) {
    static const PlotFile file(20'000'000, "kestrel_open_bench_huge.hpg");
    kestrel::reader::PlotStore store;
    SilentPlatform platform;
    kestrel::app::PictForm form(store, platform);
    form.resize(WindowWidth, WindowHeight);
    form.show();
    QCoreApplication::processEvents();
    double longest = 0;
    for (auto _ : state) {
        form.OpenChosenFile(file.Path());
        longest = std::max(longest, ServeUntilIdle(form));
    }
    state.counters["segments"] = store.plots[1].LineCount;
    state.counters["longest_unserved_ms"] = longest;
}
BENCHMARK(BM_OpenHugePlot)->Unit(benchmark::kMillisecond)->Iterations(1);

// The drawing alone of the same plot, in the window's steps between events.
void BM_RedrawHugePlotInSteps(benchmark::State& state) {
    kestrel::reader::PlotStore store;
    SilentPlatform platform;
    kestrel::app::PictForm form(store, platform);
    form.resize(WindowWidth, WindowHeight);
    form.show();
    QCoreApplication::processEvents();
    kestrel::reader::ReadPlotText(store, kestrel::bench::MakeBenchPlot(20'000'000));
    store.PlotName = "huge.hpg";
    store.PlotNo = 1;
    double longest = 0;
    for (auto _ : state) {
        form.RedrawPlot();
        longest = std::max(longest, ServeUntilIdle(form));
    }
    state.counters["segments"] = store.plots[1].LineCount;
    state.counters["longest_unserved_ms"] = longest;
    state.counters["raster_w"] = form.Picture3()->width();
    state.counters["raster_h"] = form.Picture3()->height();
}
BENCHMARK(BM_RedrawHugePlotInSteps)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // The window is never on screen: the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The files opened are remembered in the settings: those of a folder of the run's own.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
