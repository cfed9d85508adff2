// Main window: starting the game joined to the selected server.
#include "ui/main/TForm1.h"

namespace korvane {

void TForm1::ToolButton1Click() {}

} // namespace korvane
