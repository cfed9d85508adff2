// Credits window.
#include "ui/widgets/TForm8.h"

#include "platform/gui/JpegImage.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

#include <QPixmap>

namespace korvane {

TForm8::TForm8(Forms& forms) : FormBase(forms, QStringLiteral("TForm8"), QStringLiteral("CREDITS"))
{
    forms.Form8 = this;
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setClientSize(249, 249);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 249, 249);
    Image1->setPixmap(QPixmap::fromImage(loadJpeg(QStringLiteral(":/art/credits1.jpg"))));
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(0, 0, 249, 249);
    Image2->setPixmap(QPixmap::fromImage(loadJpeg(QStringLiteral(":/art/credits2.jpg"))));
    Image2->hide();
}

void TForm8::FormShow()
{
    if (state().BannerImage == "3") {
        Image2->show();
        Image1->hide();
    }
}

} // namespace korvane
