#pragma once
// A drawing surface with a pen position, painted from a retained canvas so a
// graph drawn step by step survives repaints.

#include <QPixmap>
#include <QWidget>

namespace korvane {

class PaintBox : public QWidget
{
    Q_OBJECT

public:
    PaintBox(QWidget* parent, const QString& name, const QRect& geometry);

    // Clears the canvas to the background colour.
    void clear();
    void moveTo(int x, int y) { m_pen = QPoint(x, y); }
    void lineTo(int x, int y, const QColor& colour);
    QPoint penPos() const { return m_pen; }
    const QPixmap& canvas() const { return m_canvas; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPixmap m_canvas;
    QPoint m_pen;
};

} // namespace korvane
