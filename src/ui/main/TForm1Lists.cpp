// Main window: servers added to and deleted from the current list.
#include "ui/main/TForm1.h"

#include "app/ServerListFile.h"
#include "lists/QuickAdd.h"
#include "platform/Charset.h"
#include "ui/lists/TForm5.h"
#include "ui/main/Forms.h"

namespace korvane {

namespace {

// Changing the server box's items never changes its text (an item added to
// an empty box would otherwise become its text).
template <typename F> void keepingText(QComboBox* box, F&& change)
{
    const QString text = box->currentText();
    change();
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

} // namespace

QTreeWidgetItem* TForm1::addServerRow(const std::string& name)
{
    const QString text = toQString(name);
    keepingText(ComboBoxEx1, [&] { ComboBoxEx1->addItem(text); });
    return addNotScannedRow(text);
}

void TForm1::currentListChanged()
{
    // An editor open on the current list would otherwise undo the change at its next save.
    forms().Form5->listFileChanged(currentListPath(state.CurrentList));
}

void TForm1::deleteserver1Click()
{
    const QTreeWidgetItem* selected = ListView3->selectedRow();
    if (!selected || state.Scanning) return;
    const QString name = selected->text(HostColumn);
    if (!confirmIdle(toQString(deleteQuestion(toBytes(name))))) return;

    const std::string path = currentListPath(state.CurrentList);
    removeServer(path, toBytes(name));

    const std::vector<std::string> names = readServerNames(path);
    keepingText(ComboBoxEx1, [&] {
        ComboBoxEx1->clear();
        for (const std::string& left : names)
            ComboBoxEx1->addItem(toQString(left));
    });

    // Every row of the name goes, as every record did: a row left behind would
    // have no address, and a table longer than the box makes the scan skip its
    // last row. With no current row, no neighbour inherits the selection (and a query).
    ListView3->setCurrentItem(nullptr);
    for (int i = ListView3->rowCount() - 1; i >= 0; --i)
        if (ListView3->row(i)->text(HostColumn) == name) delete ListView3->row(i);
    currentListChanged(); // the list file changed
}

} // namespace korvane
