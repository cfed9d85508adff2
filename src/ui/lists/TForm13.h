#pragma once
// Quick add window.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm13 : public FormBase
{
public:
    explicit TForm13(Forms& forms);
};

} // namespace korvane
