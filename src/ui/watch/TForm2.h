#pragma once
// "Buddy's" window: the buddy list editor.

#include "ui/watch/WatchListForm.h"

namespace korvane {

class TForm2 : public WatchListForm
{
public:
    explicit TForm2(Forms& forms);

    QAction* DeleteBuddy1;     // "delete this buddy"
    QAction* Deleteallbuddys1; // "delete all buddys"

    void DeleteBuddy1Click() { deleteOneClick(); }
    void Deleteallbuddys1Click() { deleteAllClick(); }

protected:
    void FormShow() override { FormCreate(); }
};

} // namespace korvane
