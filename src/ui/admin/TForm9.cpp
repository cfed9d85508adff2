// Remote console.
#include "ui/admin/TForm9.h"

#include "admin/PasswordFile.h"
#include "app/AppState.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/TextFile.h"
#include "query/RconExchange.h"
#include "ui/main/Forms.h"
#include "ui/widgets/Furniture.h"
#include "ui/widgets/Look.h"

#include <QApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QSocketNotifier>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace korvane {

namespace {

// The user's input waits while the console waits for its reply, so that no
// second command can start, but the window system's requests do not: a close
// of the program goes through at once. (An event loop told to exclude user
// input would hold the close back too, until the wait ends.) A box opened
// meanwhile, such as the save question of a closing properties window, takes
// input as usual.
class UserInputHeld : public QObject
{
public:
    UserInputHeld() { QCoreApplication::instance()->installEventFilter(this); }
    ~UserInputHeld() override { QCoreApplication::instance()->removeEventFilter(this); }
    UserInputHeld(const UserInputHeld&) = delete;
    UserInputHeld& operator=(const UserInputHeld&) = delete;

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        return isUserInput(event->type()) && !inModalBox(target);
    }

private:
    static bool isUserInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::Drop:
            return true;
        default:
            return false;
        }
    }
    static bool inModalBox(QObject* target)
    {
        const QWidget* box = QApplication::activeModalWidget();
        if (!box) return false;
        if (target == box->windowHandle()) return true;
        const auto* widget = qobject_cast<const QWidget*>(target);
        return widget && widget->window() == box;
    }
};

void consoleLook(QWidget* control, const QColor& text)
{
    control->setFont(fixedsys());
    setColour(control, QPalette::Base, Qt::black);
    setColour(control, QPalette::Text, text);
}

} // namespace

TForm9::TForm9(Forms& forms) : FormBase(forms, QStringLiteral("TForm9"), QStringLiteral("_rcon"))
{
    forms.Form9 = this;
    setWindowFlags(OnTopWindow);
    setMinimumSize(400, 400);
    resize(683, 521);
    centreOnDesktop();

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("rcon console"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    consoleLook(Memo1, Qt::yellow);
    PopupMenu1 = makeMenu(this, QStringLiteral("PopupMenu1"));
    saverconlog1 = menuItem(PopupMenu1, QStringLiteral("saverconlog1"), QStringLiteral("save rcon log"));
    attachPopup(Memo1, PopupMenu1);

    LabeledEdit1 =
        new LabeledEdit(this, QStringLiteral("LabeledEdit1"), QStringLiteral("rcon password:"), QRect());
    LabeledEdit1->setFixedWidth(75);
    consoleLook(LabeledEdit1, Qt::white);
    PopupMenu2 = makeMenu(this, QStringLiteral("PopupMenu2"));
    saverconpassword1 =
        menuItem(PopupMenu2, QStringLiteral("saverconpassword1"), QStringLiteral("save rcon password"));
    attachPopup(LabeledEdit1, PopupMenu2);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("rcon command"));
    consoleLook(Edit1, Qt::yellow);
    // Up, Down and Enter are the console's; the other keys type.
    onKeyDown(Edit1, &TForm9::Edit1KeyDown, {Qt::Key_Up, Qt::Key_Down, Qt::Key_Return, Qt::Key_Enter});

    Button1 = new QPushButton(QStringLiteral("save rcon log"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(QStringLiteral("save rcon log"));
    Button2 = new QPushButton(QStringLiteral("save rcon password"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAccessibleName(QStringLiteral("save rcon password"));
    Button2->hide();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setMinimumWidth(50);
    StatusBar1->addWidget(StatusPanel0, 1);

    // The console takes every size change; the bottom row keeps its height.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Memo1, 1);
    auto* captions = new QHBoxLayout;
    captions->addWidget(LabeledEdit1->EditLabel, 0, Qt::AlignBottom);
    captions->addStretch(1);
    captions->addWidget(Button1);
    layout->addLayout(captions);
    auto* commandRow = new QHBoxLayout;
    commandRow->setSpacing(0);
    commandRow->addWidget(LabeledEdit1);
    commandRow->addWidget(Edit1, 1);
    layout->addLayout(commandRow);
    layout->addWidget(StatusBar1);

    connectHandler(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
    connectHandler(saverconlog1, &QAction::triggered, this, &TForm9::saverconlog1Click);
    connectHandler(Button2, &QPushButton::clicked, this, &TForm9::Button2Click);
    connectHandler(saverconpassword1, &QAction::triggered, this, &TForm9::saverconpassword1Click);
}

QStringList TForm9::consoleLines() const
{
    // Block by block: the plain-text export would turn no-break spaces into blanks.
    QStringList lines;
    for (QTextBlock block = Memo1->document()->begin(); block.isValid(); block = block.next())
        lines.append(block.text());
    if (lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void TForm9::addConsoleLine(const QString& line)
{
    addConsoleLines({line});
}

void TForm9::addConsoleLines(const QStringList& lines)
{
    if (lines.isEmpty()) return;
    QTextCursor end(Memo1->document());
    end.movePosition(QTextCursor::End);
    // Text typed after the last line gets its line end first.
    if (!Memo1->document()->lastBlock().text().isEmpty()) end.insertText(QStringLiteral("\n"));
    end.insertText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    Memo1->setTextCursor(end);
    Memo1->ensureCursorVisible();
}

void TForm9::FormShow()
{
    const AppState& app = state();
    LabeledEdit1->clear();
    if (const auto stored = FindRconPassword(PasswordKey(app.SelectedIP, app.SelectedPort)))
        LabeledEdit1->setText(toQString(*stored));
    Memo1->clear();
    IdUDPClient1.open();
    IdUDPClient1.setPeer(app.SelectedIP, strToInt(app.SelectedPort));
    addConsoleLine(QStringLiteral("conected to: ") + toQString(app.SelectedIP) + QLatin1Char(':') +
                   toQString(app.SelectedPort));
    addConsoleLine(QStringLiteral("enter \"clr\" to clear rcon"));
    addConsoleLine(QStringLiteral("use key UP to get last command"));
    if (LabeledEdit1->text().isEmpty()) {
        addConsoleLine(QStringLiteral("please enter rcon password !"));
        LabeledEdit1->setFocus();
    } else {
        Edit1->setFocus();
    }
    addConsoleLine(QStringLiteral(" "));
}

void TForm9::FormHide()
{
    if (m_waiting) {
        m_arrival->setEnabled(false);
        m_waiting->quit();
    }
    IdUDPClient1.close();
    // A show that stops early must not leave the last server as the peer.
    IdUDPClient1.setPeer({}, 0);
}

bool TForm9::waitForDatagram(int timeoutMs)
{
    if (!IdUDPClient1.isOpen()) return false;
    // One turn of the loop even with a datagram waiting: in a flood the reads
    // come in batches, and the windows take their turn between them.
    const UserInputHeld held;
    QEventLoop loop;
    QSocketNotifier arrival(static_cast<qintptr>(IdUDPClient1.nativeHandle()), QSocketNotifier::Read);
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    connect(&arrival, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(timeoutMs);
    m_waiting = &loop;
    m_arrival = &arrival;
    loop.exec();
    m_waiting = nullptr;
    m_arrival = nullptr;
    return IdUDPClient1.isOpen() && IdUDPClient1.readable(0);
}

void TForm9::Edit1KeyDown(int key)
{
    if (key == Qt::Key_Up) {
        Edit1->setText(LastCommand);
    } else if (key == Qt::Key_Down) {
        Edit1->clear();
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        StatusPanel0->setText(QStringLiteral("Waiting for incomming data..."));
        StatusBar1->repaint();
        LastCommand = Edit1->text();
        const std::string command = toBytes(LastCommand);
        if (rconClearsConsole(command)) Memo1->clear();
        const std::vector<std::string> lines =
            rconExchange(IdUDPClient1, toBytes(LabeledEdit1->text()), command,
                         [this](int timeoutMs) { return waitForDatagram(timeoutMs); });
        QStringList shown;
        for (const std::string& line : lines)
            shown.append(toQString(line));
        addConsoleLines(shown);
        Edit1->clear();
        Edit1->setFocus();
    }
    StatusPanel0->setText(QStringLiteral("Ready..."));
}

void TForm9::Button1Click()
{
    const QString name =
        dialogs().saveFile(this, QStringLiteral("rconlog_1"), QString(), QStringLiteral("text file (*.txt)"));
    if (!name.isEmpty()) {
        std::vector<std::string> lines;
        for (const QString& line : consoleLines())
            lines.push_back(toBytes(line));
        replaceFileLines(fileNameOf(name), lines);
    }
    Edit1->setFocus();
}

void TForm9::saverconlog1Click()
{
    Button1Click();
}

void TForm9::Button2Click()
{
    // Without a peer the show stopped early and there is no server to store it for.
    if (!IdUDPClient1.peerHost().empty())
        AddRconPassword(PasswordKey(IdUDPClient1.peerHost(), intToStr(IdUDPClient1.peerPort())),
                        toBytes(LabeledEdit1->text()));
    Edit1->setFocus();
}

void TForm9::saverconpassword1Click()
{
    Button2Click();
}

} // namespace korvane
