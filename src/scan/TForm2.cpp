// "Buddy's" window: the buddy list editor.
#include "scan/TForm2.h"

#include "scan/WatchLists.h"
#include "ui/main/Forms.h"

namespace korvane {

TForm2::TForm2(Forms& forms)
    : WatchListForm(forms,
                    {QStringLiteral("TForm2"), QStringLiteral("Buddy's"), BuddyFileName,
                     QStringLiteral("New Buddy:"), QStringLiteral("Rightclick to delete selected buddy"),
                     QStringLiteral("DeleteBuddy1"), QStringLiteral("delete this buddy"),
                     QStringLiteral("Deleteallbuddys1"), QStringLiteral("delete all buddys")})
{
    forms.Form2 = this;
    DeleteBuddy1 = m_deleteOne;
    Deleteallbuddys1 = m_deleteAll;
    // The buddy file loads at program start as well as at every showing.
    runReported(dialogs(), [this] { FormCreate(); });
}

} // namespace korvane
