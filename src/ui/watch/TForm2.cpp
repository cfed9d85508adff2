// "Buddy's" window: the buddy list editor.
#include "ui/watch/TForm2.h"

#include "scan/WatchLists.h"
#include "ui/main/Forms.h"

namespace korvane {

TForm2::TForm2(Forms& forms)
    : WatchListForm(forms, {.className = QStringLiteral("TForm2"),
                            .caption = QStringLiteral("Buddy's"),
                            .fileName = BuddyFileName,
                            .editLabel = QStringLiteral("New Buddy:"),
                            .listHint = QStringLiteral("Rightclick to delete selected buddy"),
                            .deleteOneName = QStringLiteral("DeleteBuddy1"),
                            .deleteOneCaption = QStringLiteral("delete this buddy"),
                            .deleteAllName = QStringLiteral("Deleteallbuddys1"),
                            .deleteAllCaption = QStringLiteral("delete all buddys")})
{
    forms.Form2 = this;
    DeleteBuddy1 = m_deleteOne;
    Deleteallbuddys1 = m_deleteAll;
    // The buddy file loads at program start as well as at every showing.
    runReported(dialogs(), [this] { FormCreate(); });
}

} // namespace korvane
