// Server properties window.
#include "admin/TForm11.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm11::TForm11(Forms& forms) : FormBase(forms, QStringLiteral("TForm11"), QStringLiteral("properties"))
{
    forms.Form11 = this;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setClientSize(322, 297);
}

} // namespace korvane
