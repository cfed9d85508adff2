#include "ui/widgets/TLegacy.h"

#include "platform/Charset.h"
#include "platform/gui/Desktop.h"
#include "query/StatusReply.h"

#include <QApplication>
#include <QMouseEvent>

namespace korvane {

TLegacy::TLegacy(Desktop& desktop, QWidget* parent) : QLabel(parent), m_desktop(desktop)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TLegacy::setText(const QString& caption)
{
    QLabel::setText(caption);
    if (AutoSize) adjustSize();
}

void TLegacy::setAdressType(TAdressType type)
{
    if (type != m_adressType) m_adressType = type;
}

QString TLegacy::target() const
{
    if (m_adressType == TAdressType::atWWW) return toQString(openableWebAddress(toBytes(Adress)));
    return QStringLiteral("mailto:") + Adress;
}

void TLegacy::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange && AutoSize) adjustSize();
}

void TLegacy::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    setCursor(Qt::BusyCursor);
    QApplication::processEvents();
    // A web link with no openable address has nowhere to go.
    const QString address = target();
    if (!address.isEmpty()) m_desktop.openAddress(address);
    setCursor(Qt::PointingHandCursor);
    if (OnClick) OnClick();
}

void TLegacy::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    m_savedColour = palette().color(QPalette::WindowText);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, ActiveColor);
    setPalette(colours);
    if (OnMouseEnter) OnMouseEnter();
}

void TLegacy::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    setCursor(Qt::ArrowCursor);
    QFont plain = font();
    plain.setUnderline(false);
    setFont(plain);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, m_savedColour);
    setPalette(colours);
    if (OnMouseExit) OnMouseExit();
}

} // namespace korvane
