// Server properties window.
#include "ui/admin/TForm11.h"

#include "admin/PasswordFile.h"
#include "admin/PingGraph.h"
#include "app/AppState.h"
#include "net/THostChecker.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"
#include "ui/widgets/Furniture.h"
#include "ui/widgets/Look.h"

#include <QCloseEvent>

namespace korvane {

TForm11::TForm11(Forms& forms) : FormBase(forms, QStringLiteral("TForm11"), QStringLiteral("properties"))
{
    forms.Form11 = this;
    setWindowFlags(OnTopWindow);
    setClientSize(322, 297);

    PopupMenu1 = makeMenu(this, QStringLiteral("PopupMenu1"));
    resetallpasswords1 =
        menuItem(PopupMenu1, QStringLiteral("resetallpasswords1"), QStringLiteral("reset all passwords"));
    // The two password fields: bold caption above, silver, flat, sharing the reset menu.
    auto passwordEdit = [this](QFrame* panel, const QString& name, const QString& caption) {
        auto* edit = makeLabeledEdit(panel, name, caption, QRect(4, 18, 126, 19));
        edit->EditLabel->setFont(tahoma(true));
        edit->EditLabel->adjustSize();
        edit->setFrame(false);
        attachPopup(edit, PopupMenu1);
        return edit;
    };
    Panel2 = makePanel(this, QStringLiteral("Panel2"), QRect(0, 0, 134, 41), QFrame::StyledPanel);
    LabeledEdit1 = passwordEdit(Panel2, QStringLiteral("LabeledEdit1"), QStringLiteral("server password"));
    Panel4 = makePanel(this, QStringLiteral("Panel4"), QRect(134, 0, 188, 41), QFrame::StyledPanel);
    LabeledEdit3 = passwordEdit(Panel4, QStringLiteral("LabeledEdit3"), QStringLiteral("rcon password"));
    Button2 =
        place<QPushButton>(Panel4, QStringLiteral("Button2"), QRect(133, 18, 52, 19), QStringLiteral("set"));
    Button2->setAccessibleName(QStringLiteral("set passwords"));

    Panel1 = makePanel(this, QStringLiteral("Panel1"), QRect(0, 41, 69, 24), QFrame::StyledPanel);
    // Where the focus rests, so that no field shows a caret.
    Panel1->setFocusPolicy(Qt::StrongFocus);
    Label1 = place<QLabel>(Panel1, QStringLiteral("Label1"), QRect(3, 4, 30, 16), QStringLiteral("ping:"));
    Label1->setFont(tahoma(true));
    LabeledEdit2 = new LabeledEdit(Panel1, QStringLiteral("LabeledEdit2"), QString(), QRect(33, 3, 34, 18));
    LabeledEdit2->setAccessibleName(QStringLiteral("ping time"));
    LabeledEdit2->setReadOnly(true);
    setFaceFlat(LabeledEdit2);
    LabeledEdit2->setFont(tahoma(false));
    setColour(LabeledEdit2, QPalette::Text, QColor(255, 0, 0));

    Panel3 = makePanel(this, QStringLiteral("Panel3"), QRect(69, 41, 253, 24), QFrame::StyledPanel);
    PaintBox1 = new PaintBox(Panel3, QStringLiteral("PaintBox1"), QRect(1, 1, GraphWidth, GraphHeight));
    PaintBox1->setToolTip(QStringLiteral("dblclick to reset"));
    PaintBox1->setAccessibleName(QStringLiteral("ping graph"));

    AddressPanel =
        makePanel(this, QStringLiteral("AddressPanel"), QRect(0, 65, 161, 24), QFrame::StyledPanel);
    Label2 =
        place<QLabel>(AddressPanel, QStringLiteral("Label2"), QRect(4, 4, 26, 16), QStringLiteral("IP:"));
    Label2->setFont(tahoma(true));
    Edit1 = place<QLineEdit>(AddressPanel, QStringLiteral("Edit1"), QRect(30, 3, 127, 18));
    Edit1->setAccessibleName(QStringLiteral("server address"));
    Edit1->setReadOnly(true);
    setFaceFlat(Edit1);

    Panel6 = makePanel(this, QStringLiteral("Panel6"), QRect(160, 65, 161, 24), QFrame::StyledPanel);
    Legacy1 = place<TLegacy>(Panel6, QStringLiteral("Legacy1"), QRect(4, 3, 152, 18), desktop());
    Legacy1->setFont(tahoma(false));
    Legacy1->ActiveColor = QColor(0, 128, 128);
    setColour(Legacy1, QPalette::WindowText, Navy);

    Panel5 = makePanel(this, QStringLiteral("Panel5"), QRect(0, 89, 321, 208), QFrame::StyledPanel);
    LabeledEdit4 = new LabeledEdit(Panel5, QStringLiteral("LabeledEdit4"), QStringLiteral("Version"),
                                   QRect(4, 18, 313, 19));
    setFaceFlat(LabeledEdit4);
    Memo1 = place<QPlainTextEdit>(Panel5, QStringLiteral("Memo1"), QRect(4, 40, 313, 166));
    Memo1->setAccessibleName(QStringLiteral("maps in rotation"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(tahoma(true));
    setColour(Memo1, QPalette::Base, Silver);
    setColour(Memo1, QPalette::Text, Navy);
    Button1 = new QPushButton(QStringLiteral("set"), Panel5);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(QStringLiteral("set server password"));
    Button1->hide();

    connectHandler(Button2, &QPushButton::clicked, this, &TForm11::Button2Click);
    connectHandler(Button1, &QPushButton::clicked, this, &TForm11::Button1Click);
    connectHandler(resetallpasswords1, &QAction::triggered, this, &TForm11::resetallpasswords1Click);
    connectHandler(PaintBox1, &PaintBox::doubleClicked, this, &TForm11::PaintBox1DblClick);
    onClick(Memo1->viewport(), &TForm11::Memo1Click);
    onClick(LabeledEdit2, &TForm11::LabeledEdit2Click);
}

void TForm11::FormShow()
{
    AppState& s = state();
    s.PingGraphX = GraphRight;
    s.PingGraphY = 20;
    // Shown again, the graph starts afresh at the right edge.
    PaintBox1->clear();
    PaintBox1->moveTo(GraphRight, 21);
    Panel1->setFocus();
    // The ping shown is always the host's in view: another host's last value
    // goes, and the checker drops what it still has under way for that one.
    THostChecker& checker = *forms().Form1->HostChecker1;
    if (isBlankHost(s.SelectedIP)) {
        // No address (no server selected, or its record gone): nothing to ping,
        // where the checker would go on with the previous host.
        checker.abandonChecks();
        Edit1->clear();
        showPingText("down");
    } else {
        if (s.SelectedIP != m_pingedHost) showPingText({});
        checker.setHostName(s.SelectedIP);
        checker.CheckNow();
        checker.setAutoCheckPeriod(static_cast<std::uint16_t>(graphStepMs(s.TimeoutMs.load())));
        checker.setAutoCheck(true);
    }
    m_pingedHost = s.SelectedIP;
    LabeledEdit1->clear();
    LabeledEdit3->clear();
    const StoredPasswords stored = findPasswords(PasswordKey(s.SelectedIP, s.SelectedPort));
    if (stored.server) LabeledEdit1->setText(toQString(*stored.server));
    if (stored.rcon) LabeledEdit3->setText(toQString(*stored.rcon));
    SavedServerPassword = toBytes(LabeledEdit1->text());
    SavedRconPassword = toBytes(LabeledEdit3->text());
    PropertiesIP = s.SelectedIP;
    PropertiesPort = s.SelectedPort;
}

void TForm11::FormHide()
{
    // Pings already under way still report.
    forms().Form1->HostChecker1->setAutoCheck(false);
    if (toBytes(LabeledEdit1->text()) != SavedServerPassword ||
        toBytes(LabeledEdit3->text()) != SavedRconPassword)
        if (dialogs().confirm(this, QStringLiteral("save changed passwords ?"))) Button2Click();
}

void TForm11::closeEvent(QCloseEvent* event)
{
    runReported(dialogs(), [this] { FormClose(); });
    FormBase::closeEvent(event);
}

void TForm11::FormClose()
{
    forms().Form1->HostChecker1->setAutoCheck(false);
}

void TForm11::Button2Click()
{
    AddRconPassword(PasswordKey(PropertiesIP, PropertiesPort), toBytes(LabeledEdit3->text()));
    if (isVisible()) Panel1->setFocus();
    Button1Click();
}

void TForm11::Button1Click()
{
    AddServerPassword(PasswordKey(PropertiesIP, PropertiesPort), toBytes(LabeledEdit1->text()));
    if (isVisible()) Panel1->setFocus();
    SavedServerPassword = toBytes(LabeledEdit1->text());
    SavedRconPassword = toBytes(LabeledEdit3->text());
}

void TForm11::resetallpasswords1Click()
{
    if (!dialogs().confirm(
            this, QStringLiteral("sure to reset all passwords ?\nthis will take effect on all servers!")))
        return;
    ResetPasswords();
    LabeledEdit1->clear();
    LabeledEdit3->clear();
    SavedServerPassword.clear();
    SavedRconPassword.clear();
}

void TForm11::PaintBox1DblClick()
{
    PaintBox1->clear();
    PaintBox1->moveTo(GraphRight, state().PingGraphY);
    state().PingGraphX = GraphRight;
}

void TForm11::Memo1Click()
{
    Panel1->setFocus();
}

void TForm11::LabeledEdit2Click()
{
    Panel1->setFocus();
}

namespace {

QColor colourOf(PingColour colour)
{
    switch (colour) {
    case PingColour::Green:
        return Green;
    case PingColour::Red:
        return Red;
    case PingColour::Navy:
        return Navy;
    case PingColour::Purple:
        return QColor(128, 0, 128);
    case PingColour::Black:
        break;
    }
    return Qt::black;
}

} // namespace

void TForm11::showPingText(const std::string& text)
{
    LabeledEdit2->setText(toQString(text));
    setColour(LabeledEdit2, QPalette::Text, colourOf(pingFieldColour(text)));
}

void TForm11::showPingLogLine(const std::string& message)
{
    AppState& s = state();
    const bool noLink = containsNoCase(message, "No link");
    if (noLink) s.PingText = "down";
    if (const std::optional<std::string> digits = pingTextOf(message)) {
        s.PingText += *digits;
        showPingText(s.PingText);
    } else if (noLink) {
        // A host that stops answering must not go on showing its last good time.
        showPingText(s.PingText);
    }
    s.PingText.clear();

    if (s.PingGraphX <= 0) {
        s.PingGraphX = GraphRight;
        PaintBox1->moveTo(GraphRight, s.PingGraphY);
        PaintBox1->clear();
    } else {
        --s.PingGraphX;
    }
    if (const std::optional<int> ms = tryStrToInt(toBytes(LabeledEdit2->text()))) {
        const GraphLevel level = graphLevel(*ms);
        s.PingGraphY = level.y;
        PaintBox1->lineTo(s.PingGraphX, level.y, colourOf(level.pen));
        PaintBox1->repaint();
    }
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

void TForm11::restartGraph(int graphX)
{
    PaintBox1->clear();
    PaintBox1->moveTo(GraphRestartPenX, 20);
    state().PingGraphX = graphX;
}

void TForm11::startMapList()
{
    Memo1->clear();
    addMemoLine(QStringLiteral("maps in rotation:"));
    addMemoLine(QStringLiteral("-------------------"));
}

void TForm11::showAddress(const std::string& ip, int port)
{
    Edit1->setText(toQString(ip) + QLatin1Char(':') + QString::number(port));
}

void TForm11::showReplyFacts(const ReplyFacts& facts)
{
    for (const std::string& map : facts.rotation)
        addMemoLine(toQString(map));
    LabeledEdit4->setText(toQString(facts.version));
    LabeledEdit4->setCursorPosition(0); // a long version shows its beginning
    Legacy1->setText(toQString(facts.link.caption));
    Legacy1->Adress = toQString(facts.link.address);
}

void TForm11::showNoLink()
{
    Legacy1->setText(toQString(NoLinkCaption));
    Legacy1->Adress = toQString(SupportAddress);
}

void TForm11::clearVersion()
{
    LabeledEdit4->clear();
}

} // namespace korvane
