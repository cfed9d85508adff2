#pragma once
// An edit field with its caption label standing above it.

#include <QLabel>
#include <QLineEdit>

namespace korvane {

class LabeledEdit : public QLineEdit
{
public:
    // The label takes the caption as its text and the edit as its buddy.
    LabeledEdit(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);

    QLabel* EditLabel;
};

} // namespace korvane
