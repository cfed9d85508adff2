// Quick add window.
#include "ui/lists/TForm13.h"

#include "app/AppState.h"
#include "app/ServerListFile.h"
#include "lists/QuickAdd.h"
#include "platform/Charset.h"
#include "query/StatusQuery.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"
#include "ui/widgets/Furniture.h"
#include "ui/widgets/Look.h"

namespace korvane {

TForm13::TForm13(Forms& forms) : FormBase(forms, QStringLiteral("TForm13"), QStringLiteral("quick add"))
{
    forms.Form13 = this;
    setWindowFlags(OnTopWindow);
    setClientSize(169, 57);
    setFont(msSansSerif());

    auto addressEdit = [this](const QString& name, const QString& caption, const QRect& geometry,
                              const QString& spoken) {
        auto* edit = makeLabeledEdit(this, name, caption, geometry);
        edit->setAccessibleName(spoken);
        edit->setFrame(false);
        return edit;
    };
    LabeledEdit2 = addressEdit(QStringLiteral("LabeledEdit2"), QStringLiteral("IP"), QRect(0, 16, 105, 19),
                               QStringLiteral("server IP"));
    onKeyDown(LabeledEdit2, &TForm13::LabeledEdit2KeyDown);
    onExit(LabeledEdit2, &TForm13::LabeledEdit2Exit);
    LabeledEdit3 = addressEdit(QStringLiteral("LabeledEdit3"), QStringLiteral("Port"), QRect(104, 16, 65, 19),
                               QStringLiteral("server port"));
    Button1 = place<QPushButton>(this, QStringLiteral("Button1"), QRect(0, 40, 169, 17),
                                 QStringLiteral("add to list"));
    Button1->setAccessibleName(Button1->text());

    LabeledEdit1 = new LabeledEdit(this, QStringLiteral("LabeledEdit1"), QStringLiteral("Name"), QRect());
    LabeledEdit1->setAccessibleName(QStringLiteral("server name"));
    LabeledEdit1->hide();
    LabeledEdit1->EditLabel->hide();
    Button2 =
        place<QPushButton>(this, QStringLiteral("Button2"), QRect(), QStringLiteral("receive server name"));
    Button2->setAccessibleName(Button2->text());
    Button2->hide();

    connectHandler(Button1, &QPushButton::clicked, this, &TForm13::Button1Click);
    connectHandler(Button2, &QPushButton::clicked, this, &TForm13::Button2Click);
}

void TForm13::FormShow()
{
    // Set only here: an open window keeps naming the list it was opened for.
    Button1->setText(addButtonCaption(state().CurrentList));
    Button1->setAccessibleName(Button1->text());
}

void TForm13::LabeledEdit2Exit()
{
    if (const auto typed = splitTypedAddress(toBytes(LabeledEdit2->text()))) {
        LabeledEdit2->setText(toQString(typed->ip));
        LabeledEdit3->setText(toQString(typed->port));
    }
}

void TForm13::LabeledEdit2KeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) LabeledEdit2Exit();
}

void TForm13::Button2Click()
{
    if (LabeledEdit2->text().isEmpty() || LabeledEdit3->text().isEmpty()) return;
    const std::string reply = QueryStatus(IdUDPClient1, toBytes(LabeledEdit2->text()),
                                          toBytes(LabeledEdit3->text()), true, state().TimeoutMs);
    // Emptied on no answer, so an earlier server's name never goes with this address.
    LabeledEdit1->setText(toQString(serverNameOf(reply)));
    repaint();
}

void TForm13::Button1Click()
{
    Button2Click();
    const bool haveName = !LabeledEdit1->text().isEmpty();
    const bool haveAddress = !LabeledEdit2->text().isEmpty() && !LabeledEdit3->text().isEmpty();
    if (!state().Scanning && haveName && haveAddress) {
        const ServerEntry server{toBytes(LabeledEdit1->text()), toBytes(LabeledEdit2->text()),
                                 toBytes(LabeledEdit3->text())};
        appendServer(currentListPath(state().CurrentList), server);
        TForm1& main = *forms().Form1;
        QTreeWidgetItem* row = main.addServerRow(server.name);
        main.currentListChanged(); // the list file changed
        LabeledEdit1->clear();
        LabeledEdit2->clear();
        LabeledEdit3->clear();
        // The row just added, wherever the table sorted it: the selection
        // makes it the server that connect, console and properties act on.
        main.showServerRow(row);
    } else if (!haveName && haveAddress) {
        dialogs().message(this, QStringLiteral("no response from server !"));
    } else if (!haveAddress) {
        dialogs().message(this, QStringLiteral("please enter ip and port !"));
    }
    LabeledEdit2->setFocus();
}

} // namespace korvane
