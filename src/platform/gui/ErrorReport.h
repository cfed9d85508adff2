#pragma once
// The general error report: an event handler never catches file or number
// errors itself; the wrapper around it shows the error's text in a box titled
// "Korvane" and the program goes on. Exceptions never cross Qt's frames.

#include "platform/Errors.h"
#include "platform/gui/Dialogs.h"

#include <QObject>
#include <exception>
#include <utility>

namespace korvane {

void reportError(Dialogs& dialogs, const std::exception& error);

template <typename F> void runReported(Dialogs& dialogs, F&& handler)
{
    try {
        std::forward<F>(handler)();
    } catch (const std::exception& error) {
        reportError(dialogs, error);
    }
}

// connect(sender, signal) to a form's parameterless handler, wrapped in the report.
template <typename Sender, typename Signal, typename Form>
QMetaObject::Connection connectHandler(Sender* sender, Signal signal, Form* form, void (Form::*handler)())
{
    return QObject::connect(sender, signal, form,
                            [form, handler] { runReported(form->dialogs(), [&] { (form->*handler)(); }); });
}

} // namespace korvane
