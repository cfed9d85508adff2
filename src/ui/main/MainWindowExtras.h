#pragma once
// Non-visual components of the main window that belong to later features:
// each feature adds its own members here.

#include "platform/UdpClient.h"
#include "ui/main/TSystray.h"

#include <memory>

namespace korvane {

class TForm1;

struct MainWindowExtras
{
    explicit MainWindowExtras(TForm1& window) : form(window) {}
    TForm1& form;
    std::unique_ptr<TSystray> Systray1;
    // Status queries of the UI thread (selection, player look-up); the scan
    // worker opens sockets of its own.
    UdpClient IdUDPClient1;
};

} // namespace korvane
