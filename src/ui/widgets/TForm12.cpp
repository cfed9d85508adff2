// IP view window.
#include "ui/widgets/TForm12.h"
#include "ui/widgets/Furniture.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm12::TForm12(Forms& forms) : FormBase(forms, QStringLiteral("TForm12"), QStringLiteral("IP view"))
{
    forms.Form12 = this;
    setWindowFlags(OnTopWindow);
    setClientSize(161, 19);
    Edit1 = makeFlatEdit(this, QStringLiteral("Edit1"), QRect(0, 0, 161, 19), QStringLiteral("IP"));
}

} // namespace korvane
