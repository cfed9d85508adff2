#pragma once
// Server List Editor.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm5 : public FormBase
{
public:
    explicit TForm5(Forms& forms);
};

} // namespace korvane
