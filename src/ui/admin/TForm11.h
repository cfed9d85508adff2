#pragma once
// Server properties window: stored passwords, address, ping, version, map
// rotation and web link of the selected server. While it is shown the main
// window's host checker pings the server; its log lines come here.

#include "query/StatusReply.h"
#include "ui/widgets/FormBase.h"
#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/PaintBox.h"
#include "ui/widgets/TLegacy.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

namespace korvane {

class TForm11 : public FormBase
{
public:
    explicit TForm11(Forms& forms);

    QFrame* Panel2;
    LabeledEdit* LabeledEdit1; // server password
    QFrame* Panel4;
    LabeledEdit* LabeledEdit3; // rcon password
    QPushButton* Button2;      // "set"
    QFrame* Panel1;
    QLabel* Label1;
    LabeledEdit* LabeledEdit2; // ping time
    QFrame* Panel3;
    PaintBox* PaintBox1;
    QFrame* AddressPanel;
    QLabel* Label2;
    QLineEdit* Edit1; // IP:port
    QFrame* Panel6;
    TLegacy* Legacy1;
    QFrame* Panel5;
    LabeledEdit* LabeledEdit4; // version
    QPlainTextEdit* Memo1;     // map rotation
    QPushButton* Button1;      // hidden "set"
    QMenu* PopupMenu1;
    QAction* resetallpasswords1;

    // The map rotation box's lines.
    QStringList memoLines() const;
    void addMemoLine(const QString& line);

    // What other windows change here when the server in view changes.
    // A clear graph, the pen at GraphRestartPenX and PingGraphX at graphX.
    void restartGraph(int graphX);
    // The map list down to its two heading lines.
    void startMapList();
    void showAddress(const std::string& ip, int port);
    // The rotation under the headings, the version and the link.
    void showReplyFacts(const ReplyFacts& facts);
    void showNoLink();
    void clearVersion();

    // One log line of the host checker: the ping field and one graph step.
    void showPingLogLine(const std::string& message);

    // The two passwords as loaded or last saved, and the server they belong to.
    std::string SavedServerPassword;
    std::string SavedRconPassword;
    std::string PropertiesIP;
    std::string PropertiesPort;

    // Handlers
    void FormClose();
    void Button2Click();
    void Button1Click();
    void resetallpasswords1Click();
    void PaintBox1DblClick();
    void Memo1Click();
    void LabeledEdit2Click();

protected:
    void FormShow() override;
    void FormHide() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showPingText(const std::string& text);

    std::string m_pingedHost; // the host the ping field speaks of
};

} // namespace korvane
