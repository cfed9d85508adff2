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
}

} // namespace korvane
