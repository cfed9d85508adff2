// Server List Editor.
#include "ui/lists/TForm5.h"
#include "ui/widgets/Furniture.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm5::TForm5(Forms& forms) : FormBase(forms, QStringLiteral("TForm5"), QStringLiteral("Server List Editor"))
{
    forms.Form5 = this;
    setWindowFlags(OnTopWindow);
    setClientSize(874, 476);
}

} // namespace korvane
