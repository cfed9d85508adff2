// Main window: scan control, buddies list and player look-ups.
#include "ui/main/TForm1.h"

namespace korvane {

void TForm1::ToolButton3Click() {}

void TForm1::ToolButton9Click() {}

void TForm1::Timer1Timer() {}

void TForm1::ListView2DblClick() {}

void TForm1::AddtoBuddys1Click() {}

void TForm1::FormClose() {}

} // namespace korvane
