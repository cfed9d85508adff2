#include "ui/widgets/LabeledEdit.h"

namespace korvane {

LabeledEdit::LabeledEdit(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
    : QLineEdit(parent)
{
    setObjectName(name);
    setGeometry(geometry);
    setAccessibleName(caption);
    EditLabel = new QLabel(caption, parent);
    EditLabel->setObjectName(name + QStringLiteral("Label"));
    EditLabel->setBuddy(this);
    EditLabel->adjustSize();
    EditLabel->move(geometry.x(), geometry.y() - EditLabel->height() - 1);
}

} // namespace korvane
