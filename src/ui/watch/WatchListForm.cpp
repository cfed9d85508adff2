#include "ui/watch/WatchListForm.h"
#include "ui/widgets/Furniture.h"

#include "app/AppState.h"
#include "platform/Charset.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "scan/WatchLists.h"
#include "ui/main/Forms.h"
#include "ui/widgets/Look.h"

#include <QVBoxLayout>

namespace korvane {

WatchListForm::WatchListForm(Forms& forms, const WatchListDesign& design)
    : FormBase(forms, design.className, design.caption), m_fileName(design.fileName)
{
    setWindowFlags(OnTopWindow);
    setMinimumSize(200, 300);
    setMaximumSize(400, 800);
    resize(200, 308);
    centreOnDesktop();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    LabeledEdit1Label = new QLabel(design.editLabel, this);
    LabeledEdit1Label->setObjectName(QStringLiteral("LabeledEdit1Label"));
    LabeledEdit1 = new QLineEdit(this);
    LabeledEdit1->setObjectName(QStringLiteral("LabeledEdit1"));
    LabeledEdit1->setAccessibleName(design.editLabel);
    LabeledEdit1->setFrame(false);
    setColour(LabeledEdit1, QPalette::Base, Silver);
    LabeledEdit1Label->setBuddy(LabeledEdit1);
    onKeyDown(LabeledEdit1, &WatchListForm::LabeledEdit1KeyDown);

    Button1 = new QPushButton(QStringLiteral("+"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setFixedHeight(18);
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);

    ListView1 = new ListView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setAccessibleName(design.caption);
    ListView1->setToolTip(design.listHint);
    ListView1->setColumnCount(1);
    ListView1->setHeaderHidden(true);
    ListView1->setFrameShape(QFrame::NoFrame);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setImages({QIcon(QStringLiteral(":/art/icon-sunglasses.png"))});
    ListView1->setSortType(ListView::SortType::Text);
    setColour(ListView1, QPalette::Base, Silver);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);

    layout->addWidget(LabeledEdit1Label);
    layout->addWidget(LabeledEdit1);
    layout->addWidget(Button1);
    layout->addWidget(ListView1, 1);
    layout->addWidget(StatusBar1);

    PopupMenu1 = makeMenu(this, QStringLiteral("PopupMenu1"));
    m_deleteOne = menuItem(PopupMenu1, design.deleteOneName, design.deleteOneCaption);
    m_deleteAll = menuItem(PopupMenu1, design.deleteAllName, design.deleteAllCaption);
    attachPopup(ListView1, PopupMenu1);

    connectHandler(Button1, &QPushButton::clicked, this, &WatchListForm::Button1Click);
    connectHandler(m_deleteOne, &QAction::triggered, this, &WatchListForm::deleteOneClick);
    connectHandler(m_deleteAll, &QAction::triggered, this, &WatchListForm::deleteAllClick);
}

std::vector<std::string> WatchListForm::entries() const
{
    std::vector<std::string> result;
    for (int i = 0; i < ListView1->rowCount(); ++i)
        result.push_back(toBytes(ListView::caption(ListView1->row(i))));
    return result;
}

void WatchListForm::addEntry(const QString& text)
{
    ListView1->addItem(text, {}, 0);
}

void WatchListForm::rewriteFile()
{
    rewriteWatchFile(m_fileName, entries());
}

void WatchListForm::FormCreate()
{
    ListView1->clear();
    for (const std::string& line : readAllLines(dataPath(m_fileName)))
        addEntry(toQString(line));
}

void WatchListForm::Button1Click()
{
    if (!LabeledEdit1->text().isEmpty()) addEntry(LabeledEdit1->text());
    ListView1->setFocus();
    rewriteFile();
    LabeledEdit1->clear();
}

void WatchListForm::LabeledEdit1KeyDown(int key)
{
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !LabeledEdit1->text().isEmpty()) Button1Click();
    LabeledEdit1->setFocus();
}

void WatchListForm::deleteOneClick()
{
    if (QTreeWidgetItem* item = ListView1->selectedRow()) delete item;
    ListView1->sortNow();
    rewriteFile();
}

void WatchListForm::deleteAllClick()
{
    if (!state().Scanning && confirmIdle(QStringLiteral("sure to delete complete list ?"))) {
        ListView1->clear();
        ListView1->sortNow();
        rewriteFile();
    }
    LabeledEdit1->setFocus();
}

} // namespace korvane
