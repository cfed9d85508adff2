// Main window: the host checker's log lines drive the properties window's ping display.
#include "ui/main/TForm1.h"

namespace korvane {

void TForm1::HostChecker1Log(const std::string&) {}

} // namespace korvane
