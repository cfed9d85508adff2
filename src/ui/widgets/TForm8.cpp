// Credits window.
#include "ui/widgets/TForm8.h"
#include "ui/widgets/Furniture.h"

#include "platform/gui/JpegImage.h"
#include "ui/lists/TForm3.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

#include <QPixmap>

namespace korvane {

TForm8::TForm8(Forms& forms) : FormBase(forms, QStringLiteral("TForm8"), QStringLiteral("CREDITS"))
{
    forms.Form8 = this;
    setWindowFlags(BorderlessWindow);
    setClientSize(249, 249);
    Image1 = place<QLabel>(this, QStringLiteral("Image1"), QRect(0, 0, 249, 249));
    Image1->setPixmap(QPixmap::fromImage(loadJpeg(QStringLiteral(":/art/credits1.jpg"))));
    Image2 = place<QLabel>(this, QStringLiteral("Image2"), QRect(0, 0, 249, 249));
    Image2->setPixmap(QPixmap::fromImage(loadJpeg(QStringLiteral(":/art/credits2.jpg"))));
    Image2->hide();
    for (QLabel* image : {Image1, Image2}) {
        image->setToolTip(QStringLiteral("click to go back"));
        image->setAccessibleName(QStringLiteral("credits, click to go back"));
        image->setCursor(Qt::PointingHandCursor);
    }
    onClick(Image1, &TForm8::Image1Click);
    onClick(Image2, &TForm8::Image2Click);
}

void TForm8::FormShow()
{
    if (state().BannerImage == "3") {
        Image2->show();
        Image1->hide();
    }
}

void TForm8::Image1Click()
{
    hide();
    forms().Form3->show();
}

void TForm8::Image2Click()
{
    hide();
    forms().Form3->show();
}

} // namespace korvane
