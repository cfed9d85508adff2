#pragma once
// Server List Editor: one list's servers, saved after every change, and the
// servers of any other list to copy from.

#include "ui/widgets/FormBase.h"
#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/ListView.h"

#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include <optional>
#include <string>
#include <vector>

namespace korvane {

struct ServerEntry;

// The list an import of the chosen file may write: nothing when its name
// cannot be a list (the user is told why) or when the user keeps the existing
// list of another file that shows the same name.
std::optional<std::string> confirmImportTarget(FormBase& window, const QString& chosenPath,
                                               const std::string& extension);

class TForm5 : public FormBase
{
public:
    explicit TForm5(Forms& forms);

    QWidget* ToolBar1;
    QToolButton* ToolButton5; // "add"
    QToolButton* ToolButton4; // "change"
    QToolButton* ToolButton6; // "delete"
    QToolButton* ToolButton1; // hidden: save
    QToolButton* ToolButton3; // hidden: "Import ASE"
    QFrame* Panel1;
    LabeledEdit* LabeledEdit1; // name
    LabeledEdit* LabeledEdit2; // IP
    LabeledEdit* LabeledEdit3; // port
    ListView* ListView1;       // the edited list
    ListView* ListView2;       // another list
    ListView* ListView3;       // every list's name
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;
    QLineEdit* Edit1;     // hidden: the edited list's name
    QPushButton* Button1; // hidden "add server"
    QPushButton* Button2; // hidden "change"
    QMenu* PopupMenu1;
    QAction* DeleteServer1;
    QMenu* PopupMenu2;
    QAction* addtolist1;

    // Shows the editor on the list of that file name, anew if it is open already.
    void openList(const std::string& name);
    // The rows read anew when the list file at path changed under an open editor.
    void listFileChanged(const std::string& path);
    std::vector<ServerEntry> rows() const;

    void ToolButton1Click();
    void Button1Click();
    void Button2Click();
    void ToolButton6Click();
    void DeleteServer1Click();
    void ListView1Click();
    void LabeledEdit2Change();
    void ListView3DblClick();
    void ListView2DblClick();
    void ToolButton3Click();

protected:
    void FormShow() override;
    void FormHide() override;

private:
    void buildControls();
    void connectHandlers();
    void fillRows(ListView* view, const std::vector<ServerEntry>& servers, int image);

    std::string m_listName; // its file name
    // The list file was there but could not be read: saving would replace it
    // with whatever this showing holds.
    bool m_saveRefused = false;
};

} // namespace korvane
