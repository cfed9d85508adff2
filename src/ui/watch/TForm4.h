#pragma once
// "Clantag's" window: the clan-tag list editor.

#include "ui/watch/WatchListForm.h"

namespace korvane {

class TForm4 : public WatchListForm
{
public:
    explicit TForm4(Forms& forms);

    QAction* DeleteClantag1;     // "delete clantag"
    QAction* Deleteallclantags1; // "delete all clantags"

    void DeleteClantag1Click() { deleteOneClick(); }
    void Deleteallclantags1Click() { deleteAllClick(); }

protected:
    void FormShow() override { FormCreate(); }
};

} // namespace korvane
