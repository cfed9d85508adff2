#pragma once
// Options window.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm3 : public FormBase
{
public:
    explicit TForm3(Forms& forms);
};

} // namespace korvane
