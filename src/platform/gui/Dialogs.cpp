#include "platform/gui/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace korvane {

void QtDialogs::message(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, parent);
    box.exec();
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
    QFileDialog dialog(parent, QString(), dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(name);
    // A name typed without an extension gets the filter's, before the dialog
    // asks about overwriting, so it asks about the file that is written.
    static const QRegularExpression firstExtension(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch extension = firstExtension.match(filter);
    if (extension.hasMatch()) dialog.setDefaultSuffix(extension.captured(1));
    // The list choosers (no filter) have callers that ask their own question:
    // an export adds ".sslf" only after the dialog has closed.
    if (filter.isEmpty()) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace korvane
