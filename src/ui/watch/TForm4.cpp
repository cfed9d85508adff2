// "Clantag's" window: the clan-tag list editor.
#include "ui/watch/TForm4.h"

#include "scan/WatchLists.h"
#include "ui/main/Forms.h"

namespace korvane {

TForm4::TForm4(Forms& forms)
    : WatchListForm(forms, {.className = QStringLiteral("TForm4"),
                            .caption = QStringLiteral("Clantag's"),
                            .fileName = ClantagFileName,
                            .editLabel = QStringLiteral("New Clantag"),
                            .listHint = QString(),
                            .deleteOneName = QStringLiteral("DeleteClantag1"),
                            .deleteOneCaption = QStringLiteral("delete clantag"),
                            .deleteAllName = QStringLiteral("Deleteallclantags1"),
                            .deleteAllCaption = QStringLiteral("delete all clantags")})
{
    forms.Form4 = this;
    DeleteClantag1 = m_deleteOne;
    Deleteallclantags1 = m_deleteAll;
}

} // namespace korvane
