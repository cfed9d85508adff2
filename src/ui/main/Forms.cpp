#include "ui/main/Forms.h"

#include "ui/admin/TForm11.h"
#include "ui/admin/TForm9.h"
#include "ui/lists/TForm13.h"
#include "ui/lists/TForm17.h"
#include "ui/lists/TForm3.h"
#include "ui/lists/TForm5.h"
#include "ui/lists/TForm6.h"
#include "ui/main/TForm1.h"
#include "ui/watch/TForm2.h"
#include "ui/watch/TForm4.h"
#include "ui/widgets/TForm12.h"
#include "ui/widgets/TForm15.h"
#include "ui/widgets/TForm16.h"
#include "ui/widgets/TForm7.h"
#include "ui/widgets/TForm8.h"

#include <QtCore/qresource.h>

// The artwork lives in a static library, so its resources must be registered by hand.
static void initArtwork()
{
    Q_INIT_RESOURCE(artwork);
}

namespace korvane {

std::unique_ptr<Forms> createForms(Dialogs& dialogs, Desktop& desktop)
{
    initArtwork();
    auto forms = std::make_unique<Forms>(dialogs, desktop);
    // Each constructor registers itself in the set before its creation handler runs.
    new TForm1(*forms);
    new TForm2(*forms);
    new TForm3(*forms);
    new TForm4(*forms);
    new TForm5(*forms);
    new TForm6(*forms);
    new TForm7(*forms);
    new TForm8(*forms);
    new TForm9(*forms);
    new TForm11(*forms);
    new TForm12(*forms);
    new TForm13(*forms);
    new TForm15(*forms);
    new TForm16(*forms);
    new TForm17(*forms);
    return forms;
}

QList<QWidget*> Forms::windows() const
{
    return {Form1, Form2,  Form3,  Form4,  Form5,  Form6,  Form7, Form8,
            Form9, Form11, Form12, Form13, Form15, Form16, Form17};
}

Forms::~Forms()
{
    // The main window goes last: the others read its state while they close.
    delete Form17;
    delete Form16;
    delete Form15;
    delete Form13;
    delete Form12;
    delete Form11;
    delete Form9;
    delete Form8;
    delete Form7;
    delete Form6;
    delete Form5;
    delete Form4;
    delete Form3;
    delete Form2;
    delete Form1;
}

} // namespace korvane
