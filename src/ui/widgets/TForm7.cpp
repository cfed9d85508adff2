// Splash window.
#include "ui/widgets/TForm7.h"
#include "ui/widgets/Furniture.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm7::TForm7(Forms& forms) : FormBase(forms, QStringLiteral("TForm7"), QStringLiteral(""))
{
    forms.Form7 = this;
    setWindowFlags(BorderlessWindow);
    setClientSize(457, 107);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
}

} // namespace korvane
