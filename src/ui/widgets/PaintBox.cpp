#include "ui/widgets/PaintBox.h"

#include <QPainter>

namespace korvane {

PaintBox::PaintBox(QWidget* parent, const QString& name, const QRect& geometry)
    : QWidget(parent), m_canvas(geometry.size())
{
    setObjectName(name);
    setGeometry(geometry);
    clear();
}

void PaintBox::clear()
{
    m_canvas.fill(palette().color(QPalette::Window));
    update();
}

void PaintBox::lineTo(int x, int y, const QColor& colour)
{
    QPainter painter(&m_canvas);
    painter.setPen(colour);
    painter.drawLine(m_pen, QPoint(x, y));
    m_pen = QPoint(x, y);
    update();
}

void PaintBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void PaintBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_canvas);
}

} // namespace korvane
