#pragma once
// Quick add window: adds a server to the current list by its address, under
// the name the server gives itself.

#include "platform/UdpClient.h"
#include "ui/widgets/FormBase.h"
#include "ui/widgets/LabeledEdit.h"

#include <QPushButton>

namespace korvane {

class TForm13 : public FormBase
{
public:
    explicit TForm13(Forms& forms);

    LabeledEdit* LabeledEdit2; // IP, or IP:port typed together
    LabeledEdit* LabeledEdit3; // port
    QPushButton* Button1;      // "add to list"
    LabeledEdit* LabeledEdit1; // hidden: the name the server answered with
    QPushButton* Button2;      // hidden: "receive server name"
    // The name query's own socket; the scan worker never shares it.
    UdpClient IdUDPClient1;

    void LabeledEdit2Exit();
    void LabeledEdit2KeyDown(int key);
    void Button2Click();
    void Button1Click();

protected:
    void FormShow() override;
};

} // namespace korvane
