// Main window: deleting a server from the current list.
#include "ui/main/TForm1.h"

namespace korvane {

void TForm1::deleteserver1Click() {}

} // namespace korvane
