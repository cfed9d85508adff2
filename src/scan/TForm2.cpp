// "Buddy's" window: the buddy list editor.
#include "scan/TForm2.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm2::TForm2(Forms& forms) : FormBase(forms, QStringLiteral("TForm2"), QStringLiteral("Buddy's"))
{
    forms.Form2 = this;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setClientSize(200, 308);
}

} // namespace korvane
