#include "platform/gui/ErrorReport.h"

#include "platform/Charset.h"
#include "platform/Errors.h"

#include <QApplication>

namespace korvane {

void reportError(Dialogs& dialogs, const std::exception& error)
{
    // Our own errors carry their whole text; a NUL from a file must not cut it short.
    const auto* own = dynamic_cast<const KorvaneError*>(&error);
    const std::string text = own ? own->text() : std::string(error.what());
    dialogs.error(QApplication::activeWindow(), toQString(text));
}

} // namespace korvane
