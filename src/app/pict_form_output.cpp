// Getting the picture out: BMP files, the clipboard and tiled printing.

#include "app/pict_form.h"

#include <QPrinter>

namespace Kestrel_App {

void PictForm::PlotMenu13_Click() {}
void PictForm::PlotMenu14_Click() {}
void PictForm::PlotMenu18_Click() { PlotMenu24_Click(); }
void PictForm::PlotMenu24_Click() {}
void PictForm::ShowPrinterDialog() {}

QPrinter& PictForm::Printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

}  // namespace Kestrel_App
