// Search window: finds servers in the server table by name or map.
#include "ui/lists/TForm6.h"

#include "ui/main/Forms.h"
#include "ui/widgets/Furniture.h"

namespace korvane {

TForm6::TForm6(Forms& forms) : FormBase(forms, QStringLiteral("TForm6"), QStringLiteral("search server/map"))
{
    forms.Form6 = this;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setClientSize(229, 43);

    Edit1 = place<QLineEdit>(this, QStringLiteral("Edit1"), QRect(0, 0, 225, 19));
    Edit1->setAccessibleName(QStringLiteral("text to find"));
    Edit1->setFrame(false);
    RadioButton1 = place<QRadioButton>(this, QStringLiteral("RadioButton1"), QRect(0, 24, 56, 17),
                                       QStringLiteral("server"));
    RadioButton2 = place<QRadioButton>(this, QStringLiteral("RadioButton2"), QRect(56, 24, 48, 17),
                                       QStringLiteral("map"));
    // Exactly one is checked, but each button's own handler keeps it so.
    RadioButton1->setAutoExclusive(false);
    RadioButton2->setAutoExclusive(false);
    Button1 = place<QPushButton>(this, QStringLiteral("Button1"), QRect(104, 24, 123, 17),
                                 QStringLiteral("search"));
    Button1->setAccessibleName(QStringLiteral("search"));
}

} // namespace korvane
