// Search window: finds servers in the server table by name or map.
#include "ui/lists/TForm6.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm6::TForm6(Forms& forms) : FormBase(forms, QStringLiteral("TForm6"), QStringLiteral("search server/map"))
{
    forms.Form6 = this;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setClientSize(229, 43);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("text to find"));
    Edit1->setGeometry(0, 0, 225, 19);
    Edit1->setFrame(false);
    RadioButton1 = new QRadioButton(QStringLiteral("server"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(0, 24, 56, 17);
    RadioButton2 = new QRadioButton(QStringLiteral("map"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(56, 24, 48, 17);
    // Exactly one is checked, but each button's own handler keeps it so.
    RadioButton1->setAutoExclusive(false);
    RadioButton2->setAutoExclusive(false);
    Button1 = new QPushButton(QStringLiteral("search"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(QStringLiteral("search"));
    Button1->setGeometry(104, 24, 123, 17);
}

} // namespace korvane
