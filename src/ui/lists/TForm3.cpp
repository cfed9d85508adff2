// Options window.
#include "ui/lists/TForm3.h"
#include "ui/widgets/Furniture.h"

#include "ui/main/Forms.h"

namespace korvane {

TForm3::TForm3(Forms& forms) : FormBase(forms, QStringLiteral("TForm3"), QStringLiteral("Options"))
{
    forms.Form3 = this;
    setWindowFlags(OnTopWindow);
    setClientSize(425, 241);
}

} // namespace korvane
