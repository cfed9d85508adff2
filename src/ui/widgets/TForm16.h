#pragma once
// "loading list" window.

#include "ui/widgets/FormBase.h"

#include <QFrame>
#include <QProgressBar>

namespace korvane {

class TForm16 : public FormBase
{
public:
    explicit TForm16(Forms& forms);

    QFrame* Panel1;
    QProgressBar* ProgressBar1;

protected:
    void FormShow() override;
};

} // namespace korvane
