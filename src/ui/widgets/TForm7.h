#pragma once
// Splash window.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm7 : public FormBase
{
public:
    explicit TForm7(Forms& forms);
};

} // namespace korvane
