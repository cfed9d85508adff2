#pragma once
// Credits window.

#include "ui/widgets/FormBase.h"

#include <QLabel>

namespace korvane {

class TForm8 : public FormBase
{
public:
    explicit TForm8(Forms& forms);

    QLabel* Image1;
    QLabel* Image2;

    // Handlers
    void Image1Click();
    void Image2Click();

protected:
    void FormShow() override;
};

} // namespace korvane
