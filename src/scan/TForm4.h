#pragma once
// "Clantag's" window: the clan-tag list editor.

#include "ui/widgets/FormBase.h"

namespace korvane {

class TForm4 : public FormBase
{
public:
    explicit TForm4(Forms& forms);
};

} // namespace korvane
