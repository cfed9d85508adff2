// Remote console.
#include "admin/TForm9.h"
#include "ui/widgets/Furniture.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm9::TForm9(Forms& forms) : FormBase(forms, QStringLiteral("TForm9"), QStringLiteral("_rcon"))
{
    forms.Form9 = this;
    setWindowFlags(OnTopWindow);
    setClientSize(683, 521);
}

} // namespace korvane
