#pragma once
// IP view window.

#include "ui/widgets/FormBase.h"

#include <QLineEdit>

namespace korvane {

class TForm12 : public FormBase
{
public:
    explicit TForm12(Forms& forms);

    QLineEdit* Edit1;
};

} // namespace korvane
