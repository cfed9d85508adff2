#pragma once
// "Buddy's" window: the buddy list editor.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm2 : public FormBase
{
public:
    explicit TForm2(Forms& forms);
};

} // namespace korvane
