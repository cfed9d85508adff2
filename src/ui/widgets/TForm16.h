#pragma once
// "loading list" window.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm16 : public FormBase
{
public:
    explicit TForm16(Forms& forms);
};

} // namespace korvane
