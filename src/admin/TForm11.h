#pragma once
// Server properties window.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm11 : public FormBase
{
public:
    explicit TForm11(Forms& forms);
};

} // namespace korvane
