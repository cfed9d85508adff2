#pragma once
// The colours and fonts the windows share.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

namespace korvane {

inline const QColor Red(255, 0, 0);   // full servers, maps not installed, no response
inline const QColor Green(0, 128, 0); // room on the server, installed maps
inline const QColor Navy(0, 0, 128);
inline const QColor Silver(192, 192, 192);

// The windows' own font.
inline QFont msSansSerif()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    return font;
}

inline QFont tahoma(bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    font.setBold(bold);
    return font;
}

// The console's fixed-width face.
inline QFont fixedsys()
{
    QFont font(QStringLiteral("Fixedsys"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(9);
    return font;
}

inline void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

inline void setTextColour(QWidget* widget, const QColor& colour)
{
    setColour(widget, QPalette::WindowText, colour);
}

} // namespace korvane
