#pragma once
// Search window: finds servers in the server table by name or map.

#include "ui/widgets/FormBase.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace korvane {

enum ServerColumn : int;

class TForm6 : public FormBase
{
public:
    explicit TForm6(Forms& forms);

    QLineEdit* Edit1;
    QRadioButton* RadioButton1; // "server"
    QRadioButton* RadioButton2; // "map"
    QPushButton* Button1;       // "search"

    void Button1Click();
    void Edit1KeyDown(int key);
    void RadioButton1Click();
    void RadioButton2Click();

private:
    // One pass over a column of the main window's server table.
    void searchColumn(ServerColumn column);
};

} // namespace korvane
