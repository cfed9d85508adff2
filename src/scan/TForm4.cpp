// "Clantag's" window: the clan-tag list editor.
#include "scan/TForm4.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm4::TForm4(Forms& forms) : FormBase(forms, QStringLiteral("TForm4"), QStringLiteral("Clantag's"))
{
    forms.Form4 = this;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setClientSize(200, 308);
}

} // namespace korvane
