#pragma once
// The main window as the scan worker sees it.

#include "scan/ScanRun.h"

#include <memory>

namespace korvane {

class TForm1;

// Every call is carried to the window's thread; nothing reaches the window
// once the run is halted.
std::unique_ptr<ScanView> makeWindowScanView(TForm1& window, std::shared_ptr<ScanControl> control);

} // namespace korvane
