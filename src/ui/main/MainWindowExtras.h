#pragma once
// Non-visual components of the main window that belong to later features:
// each feature adds its own members here.

namespace korvane {

class TForm1;

struct MainWindowExtras
{
    explicit MainWindowExtras(TForm1& window) : form(window) {}
    TForm1& form;
};

} // namespace korvane
