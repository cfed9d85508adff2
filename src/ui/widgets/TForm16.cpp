// "loading list" window.
#include "ui/widgets/TForm16.h"
#include "ui/widgets/Furniture.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm16::TForm16(Forms& forms) : FormBase(forms, QStringLiteral("TForm16"), QStringLiteral("loading list"))
{
    forms.Form16 = this;
    setWindowFlags(BorderlessWindow);
    setClientSize(250, 18);
}

} // namespace korvane
