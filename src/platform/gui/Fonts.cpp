#include "platform/gui/Fonts.h"

#include <QFont>
#include <QStringList>

namespace korvane {

void setUpFonts()
{
    const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                           QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), sans);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    const QStringList mono{QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")};
    QFont::insertSubstitutions(QStringLiteral("Fixedsys"), mono);
}

} // namespace korvane
