// The drawing area's keyboard, mouse and wheel, and the rotation commands.

#include "app/pict_form.h"

#include "view/drawing_area.h"

namespace Kestrel_App {

void PictForm::ConnectPicture3() {}

void PictForm::PlotMenu15_Click() {}
void PictForm::PlotMenu16_Click() {}
void PictForm::PlotMenu17_Click() {}

void PictForm::Picture3_KeyDown(int, int) {}
void PictForm::Picture3_MouseDown(int, int, float, float) {}
void PictForm::Picture3_MouseMove(int, int, float, float) {}
void PictForm::Picture3_MouseUp(int, int, float, float) {}
void PictForm::Picture3_MouseWheel(int, bool) {}

}  // namespace Kestrel_App
