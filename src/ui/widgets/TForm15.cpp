// Ping window.
#include "ui/widgets/TForm15.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm15::TForm15(Forms& forms) : FormBase(forms, QStringLiteral("TForm15"), QStringLiteral("ping"))
{
    forms.Form15 = this;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setClientSize(320, 196);
}

} // namespace korvane
