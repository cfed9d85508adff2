#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <utility>

namespace korvane::test {

void ScriptedDialogs::message(QWidget*, const QString& text)
{
    m_shown.append({"message", ApplicationTitle, text});
}

bool ScriptedDialogs::confirm(QWidget*, const QString& text)
{
    m_shown.append({"confirm", QStringLiteral("Confirm"), text});
    runWhileOpen();
    if (m_confirms.isEmpty()) {
        ADD_FAILURE() << "unscripted question: " << text.toStdString();
        return false;
    }
    return m_confirms.takeFirst();
}

void ScriptedDialogs::error(QWidget*, const QString& text)
{
    m_shown.append({"error", ApplicationTitle, text});
}

QString ScriptedDialogs::openFile(QWidget*, const QString& filter, const QString&)
{
    m_shown.append({"open", QString(), filter});
    runWhileOpen();
    if (m_fileNames.isEmpty()) {
        ADD_FAILURE() << "unscripted file-open dialog";
        return {};
    }
    return m_fileNames.takeFirst();
}

QString ScriptedDialogs::saveFile(QWidget*, const QString& name, const QString&, const QString&)
{
    m_shown.append({"save", QString(), name});
    runWhileOpen();
    if (m_fileNames.isEmpty()) {
        ADD_FAILURE() << "unscripted file-save dialog";
        return {};
    }
    return m_fileNames.takeFirst();
}

void ScriptedDialogs::runWhileOpen()
{
    if (const std::function<void()> action = std::exchange(m_whileOpen, nullptr)) action();
}

QStringList ScriptedDialogs::shownTexts() const
{
    QStringList texts;
    for (const ShownBox& box : m_shown)
        texts.append(box.text);
    return texts;
}

} // namespace korvane::test
