#pragma once
// Remote console.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm9 : public FormBase
{
public:
    explicit TForm9(Forms& forms);
};

} // namespace korvane
