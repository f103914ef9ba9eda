// The shell: exit, output, the three small dialogs and the manual.

#include "app/pict_form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

#include "app/captions.h"
#include "app/dialogs.h"
#include "app/platform.h"
#include "app/plot_loader.h"
#include "app/plot_output.h"
#include "app/stepwise_drawing.h"
#include "app/true_scale_print.h"

namespace kestrel::app {

namespace {

// One instance per dialog, shown without an owner: a second choice brings the open
// window forward instead of building another.
template <typename Make>
void ShowSingle(QPointer<QWidget>& slot, QObject* mainWindow, Make make) {
    if (slot.isNull() || !slot->isVisible()) {
        slot = make();
        // No owner, so nothing else would delete a window left open at the main window's end.
        QObject::connect(mainWindow, &QObject::destroyed, slot.data(), &QObject::deleteLater);
        slot->show();
        return;
    }
    slot->raise();
    slot->activateWindow();
}

}  // namespace

void PictForm::PlotMenu23_Click() { close(); }

void PictForm::PlotMenu24_Click() { output_->Save(); }

void PictForm::PlotMenu13_Click() { output_->Print(); }

void PictForm::PrintTrueScale_Click() { output_->PrintVectors(VectorScale::TrueScale); }

void PictForm::PrintFitted_Click() { output_->PrintVectors(VectorScale::Fitted); }

void PictForm::PlotMenu14_Click() { output_->Copy(); }

void PictForm::ShowPrinterDialog() { output_->ShowPrinterDialog(); }

QPrinter& PictForm::Printer() { return output_->Printer(); }

void PictForm::PlotMenu31_Click() {
    ShowSingle(displaySettingsForm_, this, [this] {
        auto* form = new app::OptionForm(display_, twipsPerPixel_);
        form->penWidthsChanged = [this] { RunReported([this] { RedrawPlot(); }); };
        return form;
    });
}

void PictForm::PlotMenu91_Click() {
    ShowSingle(commandListForm_, this, [this] { return new app::ComdForm(twipsPerPixel_); });
}

void PictForm::PlotMenu93_Click() {
    ShowSingle(versionForm_, this, [this] { return new app::VersForm(twipsPerPixel_); });
}

void PictForm::PlotMenu94_Click() {
    // Every use opens another browser window; the browser lives on without Kestrel.
    const QString path = ManualPath(QCoreApplication::applicationDirPath());
    const QPointer<PictForm> form(this);
    const auto failed = [form, path] {
        if (form) form->ShowWarning(QString::fromUtf8(NoBrowserMessage) + path);
    };
    if (!platform_.OpenInBrowser(path, failed)) failed();
}

void PictForm::closeEvent(QCloseEvent* event) {
    KeepWindowPlace();
    // The small windows have no owner; they go with the main window so the program ends.
    for (QWidget* form :
         {displaySettingsForm_.data(), commandListForm_.data(), versionForm_.data()}) {
        if (form != nullptr) form->close();
    }
    // Neither a reading nor a drawing holds the window open.
    loader_->Cancel();
    drawing_->Stop();
    unsetCursor();
    ShowProgress();
    QMainWindow::closeEvent(event);
}

}  // namespace kestrel::app
