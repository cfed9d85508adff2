// Search window: finds servers in the server table by name or map.
#include "ui/lists/TForm6.h"

#include "lists/ServerSearch.h"
#include "platform/Charset.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"
#include "ui/widgets/Furniture.h"

namespace korvane {

TForm6::TForm6(Forms& forms) : FormBase(forms, QStringLiteral("TForm6"), QStringLiteral("search server/map"))
{
    forms.Form6 = this;
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setClientSize(229, 43);

    Edit1 = makeFlatEdit(this, QStringLiteral("Edit1"), QRect(0, 0, 225, 19), QStringLiteral("text to find"));
    onKeyDown(Edit1, &TForm6::Edit1KeyDown);
    RadioButton1 = place<QRadioButton>(this, QStringLiteral("RadioButton1"), QRect(0, 24, 56, 17),
                                       QStringLiteral("server"));
    RadioButton1->setAccessibleName(QStringLiteral("server"));
    RadioButton2 = place<QRadioButton>(this, QStringLiteral("RadioButton2"), QRect(56, 24, 48, 17),
                                       QStringLiteral("map"));
    RadioButton2->setAccessibleName(QStringLiteral("map"));
    Button1 = place<QPushButton>(this, QStringLiteral("Button1"), QRect(104, 24, 123, 17),
                                 QStringLiteral("search"));
    Button1->setAccessibleName(QStringLiteral("search"));

    connectHandler(Button1, &QPushButton::clicked, this, &TForm6::Button1Click);
    connectHandler(RadioButton1, &QRadioButton::clicked, this, &TForm6::RadioButton1Click);
    connectHandler(RadioButton2, &QRadioButton::clicked, this, &TForm6::RadioButton2Click);
}

void TForm6::Button1Click()
{
    hide();
    if (RadioButton1->isChecked()) {
        searchColumn(HostColumn);
        Edit1->clear();
    }
    if (RadioButton2->isChecked()) {
        searchColumn(MapColumn);
        Edit1->clear();
    }
}

void TForm6::searchColumn(ServerColumn column)
{
    TForm1& main = *forms().Form1;
    SearchTable view;
    view.rowCount = [&main] { return main.serverRowCount(); };
    view.text = [&main, column](int i) -> std::optional<std::string> {
        // Every row has all the table's columns; an unset one reads as empty text.
        const std::optional<QString> text = main.serverText(i, column);
        if (!text) return std::nullopt;
        return toBytes(*text);
    };
    view.showMatch = [this, &main](int i) {
        main.showServerRow(i);
        main.focusServerTable();
        return dialogs().confirm(&main, QStringLiteral("search next ?"));
    };
    if (searchPass(toBytes(Edit1->text()), view) != SearchEnd::NoMatch) return;
    dialogs().message(&main, QStringLiteral("no matches !"));
    show();
    Edit1->setFocus();
}

void TForm6::Edit1KeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) Button1Click();
}

void TForm6::RadioButton1Click()
{
    RadioButton2->setChecked(!RadioButton1->isChecked());
    Edit1->setFocus();
}

void TForm6::RadioButton2Click()
{
    RadioButton1->setChecked(!RadioButton2->isChecked());
    Edit1->setFocus();
}

} // namespace korvane
