// "Clantag's" window: the clan-tag list editor.
#include "scan/TForm4.h"

#include "scan/WatchLists.h"
#include "ui/main/Forms.h"

namespace korvane {

TForm4::TForm4(Forms& forms)
    : WatchListForm(forms, {QStringLiteral("TForm4"), QStringLiteral("Clantag's"), ClantagFileName,
                            QStringLiteral("New Clantag"), QString(), QStringLiteral("DeleteClantag1"),
                            QStringLiteral("delete clantag"), QStringLiteral("Deleteallclantags1"),
                            QStringLiteral("delete all clantags")})
{
    forms.Form4 = this;
    DeleteClantag1 = m_deleteOne;
    Deleteallclantags1 = m_deleteAll;
}

} // namespace korvane
