// Main window: details of the selected server.
#include "ui/main/TForm1.h"

namespace korvane {

void TForm1::ListView3SelectItem() {}

} // namespace korvane
