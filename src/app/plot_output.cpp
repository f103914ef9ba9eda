#include "app/plot_output.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include "app/captions.h"
#include "app/drawing_area.h"
#include "app/file_names.h"
#include "app/pict_form.h"
#include "app/platform.h"
#include "interact/messages.h"
#include "output/output_formats.h"
#include "output/print_plan.h"
#include "reader/reader.h"
#include "reader/units.h"

namespace kestrel::app {

namespace {

// The tile for the printer's paper. Standard sizes are taken from their definitions, so
// that A4 and A3 give their whole millimetres whatever unit the printer reported.
output::TileSize PrinterTile(const QPrinter& printer) {
    const QPageLayout layout = printer.pageLayout();
    const QPageSize::PageSizeId id = layout.pageSize().id();
    const QSizeF sheet = id == QPageSize::Custom ? layout.pageSize().size(QPageSize::Millimeter)
                                                 : QPageSize::size(id, QPageSize::Millimeter);
    return output::TileForSheet(sheet.width(), sheet.height(),
                                layout.orientation() == QPageLayout::Landscape);
}

// Paints each page's region of the drawing area at the top-left of the printable area, one
// twip of paper per twip of image, each region drawn as it is printed. False when the
// printer fails; the job is then abandoned rather than sent half done.
bool PrintTiles(QPrinter& printer, PictForm& form, double twipsPerPixel,
                const std::vector<output::PrintPage>& pages) {
    QPainter painter;
    if (!painter.begin(&printer) || printer.printerState() == QPrinter::Error) {
        if (painter.isActive()) printer.abort();
        return false;
    }
    // Otherwise the page image may go out JPEG-compressed, which greys the pen colours
    // and blurs one-pixel lines.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    // Image pixels are twipsPerPixel twips each; the resolution turns twips into dots.
    const double scale = twipsPerPixel * printer.resolution() / reader::TwipsPerInch;
    const view::AreaPixels area = form.AreaInPixels();
    const QRect whole(0, 0, static_cast<int>(area.width), static_cast<int>(area.height));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) {
            printer.abort();
            return false;
        }
        const auto& page = pages[i];
        const QRectF tile(page.x / twipsPerPixel, page.y / twipsPerPixel,
                          page.width / twipsPerPixel, page.height / twipsPerPixel);
        // Past the image's right and bottom edges the page stays blank.
        const QRect source = tile.toAlignedRect() & whole;
        painter.save();
        painter.scale(scale, scale);
        painter.setClipRect(QRectF(QPointF(0, 0), tile.size()));
        if (!source.isEmpty()) {
            painter.drawImage(
                QPointF(source.x() - tile.x(), source.y() - tile.y()),
                form.AreaPart(source.x(), source.y(), source.width(), source.height()));
        }
        painter.restore();
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

// The formats the save dialog offers, in the order of its filters; the first is the default.
std::vector<const output::OutputFormat*> SaveFormats() {
    std::vector<const output::OutputFormat*> formats;
    for (const output::OutputFormat& format : output::OutputFormats())
        if (format.saveFilter != nullptr) formats.push_back(&format);
    return formats;
}

// The file dialog keeps the number of the filter chosen last, whichever dialog showed it;
// the open dialog lists its type and then "all files". So that "all files" keeps its
// number 2 in both, the save dialog's filters (its formats, then all files) are kept as
// 1, 3, 4 ... and 2.
int KeptOfShownFilter(int shown, int allFiles) {
    return shown == allFiles ? 2 : shown == 1 ? 1 : shown + 1;
}
int ShownOfKeptFilter(int kept, int allFiles) {
    return kept == 2 ? allFiles : kept == 1 ? 1 : kept - 1;
}

// A known extension typed decides the format; otherwise the filter chosen, "all files" being
// the default.
const output::OutputFormat& SaveFormatOf(const QString& path, int shownFilter) {
    const std::vector<const output::OutputFormat*> formats = SaveFormats();
    const std::string suffix = QFileInfo(path).suffix().toLower().toStdString();
    for (const output::OutputFormat* format : formats)
        if (format->extension == suffix) return *format;
    const auto shown = static_cast<std::size_t>(shownFilter);
    return shown >= 1 && shown <= formats.size() ? *formats[shown - 1] : *formats.front();
}

// The save dialog starts in the folder saved to last for this plot, or else the plot's
// own, with the plot's name and the filter's extension; with nothing loaded, no name.
QString InitialSaveName(const reader::PlotStore& store, const DialogState& dialogs,
                        const QString& filter) {
    const std::string& folder = dialogs.SaveDir.empty() ? store.PlotDir : dialogs.SaveDir;
    QString name;
    if (!store.PlotName.empty()) {
        name = QFileInfo(DisplayName(store.PlotName)).completeBaseName();
        const QString suffix = FilterSuffix(filter);
        if (!suffix.isEmpty()) name += QStringLiteral(".") + suffix;
    }
    return DisplayName(folder) + name;
}

// A PDF holds every plot of the file, an SVG the plot shown; nothing loaded gives a blank page.
std::vector<int> SlotsToSave(const reader::PlotStore& store, const output::OutputFormat& format) {
    std::vector<int> plots;
    if (store.PlotName.empty()) return plots;
    if (!format.everyPlot) {
        if (store.ValidSlot(store.PlotNo) && store.PlotNo >= 1) plots.push_back(store.PlotNo);
        return plots;
    }
    for (int slot = 1; slot <= store.PlotTotal && store.ValidSlot(slot); ++slot)
        plots.push_back(slot);
    return plots;
}

}  // namespace

PlotOutput::PlotOutput(PictForm& form, Platform& platform, const QImage& selection,
                       int& dialogFilter)
    : form_(form), platform_(platform), selection_(selection), dialogFilter_(dialogFilter) {}

PlotOutput::~PlotOutput() = default;

void PlotOutput::HideSelection() {
    DrawingArea& area = *form_.Picture3();
    interact::ShapeRect shape = area.Shape();
    shape.Visible = false;
    area.SetShape(shape);
}

void PlotOutput::Print() {
    DrawingArea& area = *form_.Picture3();
    // As large as an image may be: the tiles are drawn one by one, but their count is bounded.
    const view::AreaPixels size = form_.AreaInPixels();
    if (size.width > interact::LargestImageSide || size.height > interact::LargestImageSide) {
        form_.AreaImage();  // tells why nothing is printed
        return;
    }
    form_.FinishDrawing();
    ShowPrinterDialog();
    if (form_.Dialogs().PrintCancelled == 1) {
        return;
    }
    QPrinter& printer = Printer();
    const double twips = area.TwipsPerPixel();
    // Any paper prints: the tile follows the sheet in use, not only A4 and A3.
    const auto pages =
        output::PlanPages(size.width * twips, size.height * twips, PrinterTile(printer));
    const bool selection = area.Shape().Visible;
    if (pages.empty() || !PrintTiles(printer, form_, twips, pages)) {
        form_.ShowErrorMessage(reader::ErrorNumber::PrinterError);  // the selection stays
        return;
    }
    if (selection) {
        HideSelection();
    }
}

void PlotOutput::PrintVectors(VectorScale scale) {
    const reader::PlotStore& store = form_.Store();
    const int slot = store.PlotNo;
    if (store.PlotName.empty() || slot < 1 || !store.ValidSlot(slot)) return;  // nothing to print
    QPrinter& printer = Printer();
    const QString tooMany = QString::fromUtf8(TooManySheetsMessage);
    if (SheetsFor(printer, store, slot, scale) == 0) {
        form_.ShowWarning(tooMany);
        return;
    }
    // The preview paints as often as it needs; the last painting is the one printed.
    PrintOutcome outcome = PrintOutcome::Printed;
    const QString name = DisplayName(store.PlotName);
    const bool printed = platform_.ShowPrintPreview(&form_, printer, [&](QPrinter& target) {
        outcome = PrintPlotVectors(target, store, slot, scale, name);
    });
    if (!printed) return;
    if (outcome == PrintOutcome::TooManySheets) {
        form_.ShowWarning(tooMany);  // on the paper chosen in the preview
    } else if (outcome == PrintOutcome::PrinterFailed) {
        form_.ShowErrorMessage(reader::ErrorNumber::PrinterError);
    }
}

void PlotOutput::Copy() {
    DrawingArea& area = *form_.Picture3();
    form_.FinishDrawing();
    const bool selection = area.Shape().Visible;
    // The picture is drawn before the clipboard is touched: one too large leaves it as it was.
    const std::optional<QImage> whole = selection ? std::nullopt : form_.AreaImage();
    if (!selection && !whole) return;
    reader::ErrorNumber error = platform_.ClearClipboard();
    if (error == reader::ErrorNumber::None) {
        error = platform_.PutClipboardImage(selection ? selection_ : *whole);
        if (error == reader::ErrorNumber::None && selection) {
            HideSelection();
        }
    }
    if (error != reader::ErrorNumber::None) {
        form_.ShowErrorMessage(error);
    }
}

void PlotOutput::Save() {
    reader::PlotStore& store = form_.Store();
    DialogState& dialogs = form_.Dialogs();
    QStringList filters;
    for (const output::OutputFormat* format : SaveFormats())
        filters << QString::fromUtf8(format->saveFilter);
    filters << QString::fromUtf8(AllFilesFilter);
    const auto allFiles = static_cast<int>(filters.size());
    const int kept = dialogFilter_ >= 1 && dialogFilter_ <= allFiles ? dialogFilter_ : 1;
    const int shownFirst = ShownOfKeptFilter(kept, allFiles);
    const auto choice = platform_.ChooseSaveFile(
        &form_, QString::fromUtf8(SaveDialogTitle),
        InitialSaveName(store, dialogs, filters.at(shownFirst - 1)), filters, shownFirst);
    if (!choice) {
        return;  // cancelled: nothing changes
    }
    const int shown =
        choice->filterIndex >= 1 && choice->filterIndex <= allFiles ? choice->filterIndex : 1;
    dialogFilter_ = KeptOfShownFilter(shown, allFiles);
    const std::string chosen = LocalPathBytes(choice->path);  // a folder's name need not be UTF-8
    const int slash = reader::LastPos(chosen, "/");
    dialogs.SaveDir = chosen.substr(0, static_cast<std::size_t>(slash));
    dialogs.SaveName = chosen.substr(static_cast<std::size_t>(slash));

    // Paths are the plot itself, not the picture on screen: a selection plays no part.
    const output::OutputFormat& format = SaveFormatOf(choice->path, shown);
    if (format.paths != nullptr) {
        // Written one to one.
        const reader::ErrorNumber error = output::SaveErrorNumber(format.paths(
            dialogs.SaveDir + dialogs.SaveName, store, SlotsToSave(store, format), {}));
        if (error != reader::ErrorNumber::None) {
            form_.ShowFileErrorMessage(error, dialogs.SaveDir + dialogs.SaveName);
        }
        return;
    }

    SaveImage(format, dialogs.SaveDir + dialogs.SaveName);
}

// The picture on screen, or the selection, as an image file.
void PlotOutput::SaveImage(const output::OutputFormat& format, const std::string& path) {
    DrawingArea& area = *form_.Picture3();
    form_.FinishDrawing();
    const bool selection = area.Shape().Visible;
    std::optional<QImage> image = selection ? selection_ : form_.AreaImage();
    if (!image) return;  // too large: said so
    if (image->format() != QImage::Format_RGB32) {
        image = image->convertToFormat(QImage::Format_RGB32);  // a null image stays null
    }
    // Every failure but a cancel is reported: a file that silently is not there is worse
    // than a message. An empty selection has no pixels to write and counts as a failure.
    const reader::ErrorNumber error = output::SaveErrorNumber(
        format.image(path, reinterpret_cast<const std::uint32_t*>(image->constBits()),
                     image->width(), image->height(), static_cast<int>(image->bytesPerLine() / 4)));
    if (error != reader::ErrorNumber::None) {
        form_.ShowFileErrorMessage(error,
                                   path);  // the selection stays
        return;
    }
    if (selection) {
        HideSelection();
    }
}

void PlotOutput::ShowPrinterDialog() {
    const reader::PlotStore& store = form_.Store();
    DialogState& dialogs = form_.Dialogs();
    dialogs.PrintCancelled = 0;
    QPrinter& printer = Printer();
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) {
        // Without a printer the dialog offers only a PDF file: start it with a file name
        // after the plot rather than a bare folder. A name chosen once stays for the run.
        const QString plot = QFile::decodeName(QByteArray::fromStdString(store.PlotName));
        const QString base =
            plot.isEmpty() ? QStringLiteral("kestrel") : QFileInfo(plot).completeBaseName();
        printer.setOutputFileName(QDir::home().filePath(base + QStringLiteral(".pdf")));
    }
    if (!platform_.ShowPrintDialog(&form_, printer)) {
        dialogs.PrintCancelled = 1;
        return;
    }
    // Only the printer, orientation, paper size and source are taken from the dialog.
    printer.setCopyCount(1);
}

QPrinter& PlotOutput::Printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

}  // namespace kestrel::app
