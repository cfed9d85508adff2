// Quick add window.
#include "ui/lists/TForm13.h"
#include "ui/widgets/Furniture.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm13::TForm13(Forms& forms) : FormBase(forms, QStringLiteral("TForm13"), QStringLiteral("quick add"))
{
    forms.Form13 = this;
    setWindowFlags(OnTopWindow);
    setClientSize(169, 57);
}

} // namespace korvane
