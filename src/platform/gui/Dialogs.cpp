#include "platform/gui/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace korvane {

void QtDialogs::message(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, ApplicationTitle, text, QMessageBox::Ok);
}

bool QtDialogs::confirm(QWidget* parent, const QString& text)
{
    return QMessageBox::question(parent, QStringLiteral("Confirm"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtDialogs::error(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, ApplicationTitle, text, QMessageBox::Ok);
}

QString QtDialogs::openFile(QWidget* parent, const QString& filter, const QString& dir)
{
    return QFileDialog::getOpenFileName(parent, QString(), dir, filter);
}

QString QtDialogs::saveFile(QWidget* parent, const QString& name, const QString& dir, const QString& filter)
{
    const QString start = dir.isEmpty() ? name : dir + QLatin1Char('/') + name;
    // The callers ask their own questions: an export adds ".sslf" after the dialog has closed.
    return QFileDialog::getSaveFileName(parent, QString(), start, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

} // namespace korvane
