// "loading list" window.
#include "ui/widgets/TForm16.h"
#include "ui/widgets/Furniture.h"

#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

namespace korvane {

TForm16::TForm16(Forms& forms) : FormBase(forms, QStringLiteral("TForm16"), QStringLiteral("loading list"))
{
    forms.Form16 = this;
    setWindowFlags(BorderlessWindow);
    setClientSize(250, 18);
    Panel1 = makePanel(this, QStringLiteral("Panel1"), QRect(0, 0, 250, 18));
    ProgressBar1 = place<QProgressBar>(Panel1, QStringLiteral("ProgressBar1"), QRect(0, 0, 250, 18));
    ProgressBar1->setAccessibleName(QStringLiteral("loading list"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
}

void TForm16::FormShow()
{
    const QWidget* main = forms().Form1;
    move(main->geometry().center() - rect().center());
}

} // namespace korvane
