#pragma once
// Remote console: administrator commands to the selected server and its replies.

#include "platform/UdpClient.h"
#include "ui/widgets/FormBase.h"
#include "ui/widgets/LabeledEdit.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

class QEventLoop;
class QSocketNotifier;

namespace korvane {

class TForm9 : public FormBase
{
public:
    explicit TForm9(Forms& forms);

    QPlainTextEdit* Memo1; // console output
    QMenu* PopupMenu1;
    QAction* saverconlog1;
    LabeledEdit* LabeledEdit1; // rcon password
    QMenu* PopupMenu2;
    QAction* saverconpassword1;
    QLineEdit* Edit1;     // command line
    QPushButton* Button1; // "save rcon log"
    QPushButton* Button2; // hidden "save rcon password"
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;
    // Open while the window is shown, its peer the server selected at showing.
    UdpClient IdUDPClient1;

    QString LastCommand;

    // The console's lines; the last line's end does not start another.
    QStringList consoleLines() const;
    void addConsoleLine(const QString& line);
    // In one insertion: a long reply shows at once rather than line by line.
    void addConsoleLines(const QStringList& lines);

    void Edit1KeyDown(int key);
    void Button1Click();
    void saverconlog1Click();
    void Button2Click();
    void saverconpassword1Click();

protected:
    void FormShow() override;
    void FormHide() override;

private:
    // Waits for the endpoint's next datagram. Everything but the user's input
    // goes on meanwhile: windows repaint, a scan fills its rows, a close of the
    // program ends the wait, and no second command can start.
    bool waitForDatagram(int timeoutMs);

    QEventLoop* m_waiting = nullptr;
    QSocketNotifier* m_arrival = nullptr;
};

} // namespace korvane
