// The shell: exit, the three small dialogs and the manual.

#include "app/pict_form.h"

#include <QCloseEvent>

namespace Kestrel_App {

void PictForm::PlotMenu23_Click() { close(); }
void PictForm::PlotMenu31_Click() {}
void PictForm::PlotMenu91_Click() {}
void PictForm::PlotMenu93_Click() {}
void PictForm::PlotMenu94_Click() {}

void PictForm::closeEvent(QCloseEvent* event) { QMainWindow::closeEvent(event); }

}  // namespace Kestrel_App
