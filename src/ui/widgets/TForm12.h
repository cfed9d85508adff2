#pragma once
// IP view window.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm12 : public FormBase
{
public:
    explicit TForm12(Forms& forms);
};

} // namespace korvane
