#pragma once
// Options window: the player's settings and every server list.

#include "ui/widgets/FormBase.h"
#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/ListView.h"
#include "ui/widgets/TLegacy.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <string>

namespace korvane {

class TForm3 : public FormBase
{
public:
    explicit TForm3(Forms& forms);

    QGroupBox* GroupBox1; // "Options"
    QCheckBox* CheckBox2; // "Check for clantags"
    QCheckBox* CheckBox3; // "Enable save scan"
    QCheckBox* CheckBox1; // "Enable auto scan"
    TLegacy* Legacy2;     // "Korvane support"
    QFrame* Panel1;
    LabeledEdit* LabeledEdit1; // nickname
    LabeledEdit* LabeledEdit2; // password
    LabeledEdit* LabeledEdit3; // MoH:AA path
    QPushButton* Button3;      // "select path"
    LabeledEdit* LabeledEdit4; // Spearhead path
    QPushButton* Button6;      // "select path"
    QLabel* Image1;            // banner
    TLegacy* Legacy1;          // over the banner
    QPushButton* Button4;      // "About Korvane 1.11"
    QCheckBox* CheckBox4;      // "Buddy alerts"
    QPushButton* Button8;      // "find OpenMoHAA", while a game path is empty

    QGroupBox* GroupBox2; // "Server lists"
    ListView* ListView1;  // the lists
    QPushButton* Button7; // "Import SSLF"
    QPushButton* Button5; // "Import ASE"
    QPushButton* Button2; // hidden "Edit"
    QPushButton* Button1; // hidden "Save as Default"

    QMenu* PopupMenu1;
    QAction* deleteserver1; // "delete list"
    QAction* editlist1;
    QAction* newlist1;
    QAction* selectlist1;
    QAction* exportsslf1;
    QAction* importmaster1; // "import from master"

    // The file name of the selected list, "" when none is.
    std::string selectedList() const;
    // The list of lists read anew from the folder.
    void showLists();

    void Button1Click();
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void LabeledEdit1Change();
    void LabeledEdit2Change();
    void LabeledEdit3Change();
    void LabeledEdit4Change();
    void Button3Click();
    void Button6Click();
    void CheckBox4Click();
    void Button8Click();
    void Button4Click();
    void ListView1DblClick();
    void selectlist1Click();
    void deleteserver1Click();
    void editlist1Click();
    void Button2Click();
    void newlist1Click();
    void Button7Click();
    void Button5Click();
    void exportsslf1Click();
    void importmaster1Click();

protected:
    void FormShow() override;
    void FormHide() override;

private:
    void buildControls();
    void connectHandlers();
    // The chosen game executable into the edit and the settings' path.
    void choosePath(LabeledEdit* edit, std::string& path);
    // A hide and a show: the settings written, the lists read anew.
    void reload();
    // The engine search offered while a game path is empty.
    void offerEngineSearch();
};

} // namespace korvane
