// Server properties window.
#include "admin/TForm11.h"

#include "ui/main/Forms.h"
#include "ui/widgets/Look.h"

namespace korvane {

TForm11::TForm11(Forms& forms) : FormBase(forms, QStringLiteral("TForm11"), QStringLiteral("properties"))
{
    forms.Form11 = this;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setClientSize(322, 297);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    resetallpasswords1 = PopupMenu1->addAction(QStringLiteral("reset all passwords"));
    resetallpasswords1->setObjectName(QStringLiteral("resetallpasswords1"));
    // The two password fields: bold caption above, silver, flat, sharing the reset menu.
    auto passwordEdit = [this](QFrame* panel, const QString& name, const QString& caption) {
        auto* edit = new LabeledEdit(panel, name, caption, QRect(4, 18, 126, 19));
        edit->EditLabel->setFont(tahoma(true));
        edit->EditLabel->adjustSize();
        setColour(edit, QPalette::Base, Silver);
        edit->setFrame(false);
        edit->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(edit, &QWidget::customContextMenuRequested, this,
                [this, edit](const QPoint& pos) { PopupMenu1->popup(edit->mapToGlobal(pos)); });
        return edit;
    };
    Panel2 = makePanel(this, QStringLiteral("Panel2"), QRect(0, 0, 134, 41), QFrame::StyledPanel);
    LabeledEdit1 = passwordEdit(Panel2, QStringLiteral("LabeledEdit1"), QStringLiteral("server password"));
    Panel4 = makePanel(this, QStringLiteral("Panel4"), QRect(134, 0, 188, 41), QFrame::StyledPanel);
    LabeledEdit3 = passwordEdit(Panel4, QStringLiteral("LabeledEdit3"), QStringLiteral("rcon password"));
    Button2 = new QPushButton(QStringLiteral("set"), Panel4);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAccessibleName(QStringLiteral("set passwords"));
    Button2->setGeometry(133, 18, 52, 19);

    Panel1 = makePanel(this, QStringLiteral("Panel1"), QRect(0, 41, 69, 24), QFrame::StyledPanel);
    Label1 = new QLabel(QStringLiteral("ping:"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(tahoma(true));
    Label1->setGeometry(3, 4, 30, 16);
    LabeledEdit2 = new LabeledEdit(Panel1, QStringLiteral("LabeledEdit2"), QString(), QRect(33, 3, 34, 18));
    LabeledEdit2->setAccessibleName(QStringLiteral("ping time"));
    LabeledEdit2->setReadOnly(true);
    LabeledEdit2->setFont(tahoma(false));
    setColour(LabeledEdit2, QPalette::Text, QColor(255, 0, 0));

    Panel3 = makePanel(this, QStringLiteral("Panel3"), QRect(69, 41, 253, 24), QFrame::StyledPanel);
    PaintBox1 = new PaintBox(Panel3, QStringLiteral("PaintBox1"), QRect(1, 1, 251, 22));
    PaintBox1->setToolTip(QStringLiteral("dblclick to reset"));

    AddressPanel =
        makePanel(this, QStringLiteral("AddressPanel"), QRect(0, 65, 161, 24), QFrame::StyledPanel);
    Label2 = new QLabel(QStringLiteral("IP:"), AddressPanel);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(tahoma(true));
    Label2->setGeometry(4, 4, 26, 16);
    Edit1 = new QLineEdit(AddressPanel);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("server address"));
    Edit1->setGeometry(30, 3, 127, 18);
    Edit1->setReadOnly(true);

    Panel6 = makePanel(this, QStringLiteral("Panel6"), QRect(160, 65, 161, 24), QFrame::StyledPanel);
    Legacy1 = new TLegacy(Panel6);
    Legacy1->setObjectName(QStringLiteral("Legacy1"));
    Legacy1->setGeometry(4, 3, 152, 18);
    Legacy1->setFont(tahoma(false));
    Legacy1->ActiveColor = QColor(0, 128, 128);
    setColour(Legacy1, QPalette::WindowText, Navy);

    Panel5 = makePanel(this, QStringLiteral("Panel5"), QRect(0, 89, 321, 208), QFrame::StyledPanel);
    LabeledEdit4 = new LabeledEdit(Panel5, QStringLiteral("LabeledEdit4"), QStringLiteral("Version"),
                                   QRect(4, 18, 313, 19));
    LabeledEdit4->setFrame(false);
    Memo1 = new QPlainTextEdit(Panel5);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("maps in rotation"));
    Memo1->setGeometry(4, 40, 313, 166);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(tahoma(true));
    setColour(Memo1, QPalette::Base, Silver);
    setColour(Memo1, QPalette::Text, Navy);
    Button1 = new QPushButton(QStringLiteral("set"), Panel5);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(QStringLiteral("set server password"));
    Button1->hide();
}

QStringList TForm11::memoLines() const
{
    const QString text = Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TForm11::addMemoLine(const QString& line)
{
    Memo1->appendPlainText(line);
}

} // namespace korvane
