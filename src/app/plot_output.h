#pragma once

#include <memory>
#include <string>

#include "app/true_scale_print.h"

class QImage;
class QPrinter;

namespace kestrel::output {
struct OutputFormat;
}

namespace kestrel::app {

class PictForm;
class Platform;

// Getting the picture out of the window: tiled printing at 1:1, the clipboard, and BMP,
// SVG and PDF files. A selection, where there is one, is what goes out, and goes away
// once it has.
class PlotOutput {
public:
    // `selection` is the window's selection buffer; `dialogFilter` the filter number the
    // file dialogs share.
    PlotOutput(PictForm& form, Platform& platform, const QImage& selection, int& dialogFilter);
    ~PlotOutput();

    void Print();
    // The plot's vectors through the print preview, as the plotter draws them.
    void PrintVectors(VectorScale scale);
    void Copy();
    void Save();
    // Sets the window's PrintCancelled when the user cancels.
    void ShowPrinterDialog();
    QPrinter& Printer();  // the current printer and its settings, for this run

private:
    void HideSelection();
    void SaveImage(const output::OutputFormat& format, const std::string& path);

    PictForm& form_;
    Platform& platform_;
    const QImage& selection_;
    int& dialogFilter_;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace kestrel::app
