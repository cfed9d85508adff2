#pragma once
// Ping window.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm15 : public FormBase
{
public:
    explicit TForm15(Forms& forms);
};

} // namespace korvane
