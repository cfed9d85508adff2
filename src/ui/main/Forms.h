#pragma once
// The program's fifteen windows, created once in a fixed order with the main
// window first; every window reaches the others through this set, and the
// dialogs, the desktop and the program's state through its shared part.

#include "ui/widgets/FormBase.h"

#include <QList>

#include <memory>

class QWidget;

namespace korvane {

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm11;
class TForm12;
class TForm13;
class TForm15;
class TForm16;
class TForm17;

struct Forms : WindowShared
{
    Forms(Dialogs& d, Desktop& s) : WindowShared(d, s) {}
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;
    ~Forms();

    // Every window in creation order.
    QList<QWidget*> windows() const;

    TForm1* Form1 = nullptr;
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    TForm4* Form4 = nullptr;
    TForm5* Form5 = nullptr;
    TForm6* Form6 = nullptr;
    TForm7* Form7 = nullptr;
    TForm8* Form8 = nullptr;
    TForm9* Form9 = nullptr;
    TForm11* Form11 = nullptr;
    TForm12* Form12 = nullptr;
    TForm13* Form13 = nullptr;
    TForm15* Form15 = nullptr;
    TForm16* Form16 = nullptr;
    TForm17* Form17 = nullptr;
};

// Every window is made with a set of windows as its shared part.
inline Forms& FormBase::forms() const
{
    return static_cast<Forms&>(m_shared);
}

// Creates every window, hidden, in start-up order.
std::unique_ptr<Forms> createForms(Dialogs& dialogs, Desktop& desktop);

} // namespace korvane
