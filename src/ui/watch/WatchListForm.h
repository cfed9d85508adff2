#pragma once
// The shared design of the "Buddy's" and "Clantag's" windows: an entry edit,
// a "+" button and the sorted list of the file's entries.

#include "ui/widgets/FormBase.h"
#include "ui/widgets/ListView.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

#include <string>
#include <vector>

namespace korvane {

struct WatchListDesign
{
    QString className;
    QString caption;
    std::string fileName;
    QString editLabel;
    QString listHint;
    QString deleteOneName;
    QString deleteOneCaption;
    QString deleteAllName;
    QString deleteAllCaption;
};

class WatchListForm : public FormBase
{
public:
    WatchListForm(Forms& forms, const WatchListDesign& design);

    QLabel* LabeledEdit1Label;
    QLineEdit* LabeledEdit1;
    QPushButton* Button1;
    ListView* ListView1;
    QMenu* PopupMenu1;
    QStatusBar* StatusBar1;

    // The list's entries in display order.
    std::vector<std::string> entries() const;

    void FormCreate();
    void Button1Click();
    void LabeledEdit1KeyDown(int key);
    void deleteOneClick();
    void deleteAllClick();

protected:
    QAction* m_deleteOne;
    QAction* m_deleteAll;

private:
    void addEntry(const QString& text);
    void rewriteFile();

    std::string m_fileName;
};

} // namespace korvane
