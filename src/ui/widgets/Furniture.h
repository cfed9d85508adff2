#pragma once
// Building blocks every window is made of: its border, named controls at
// their places, tool buttons, edits, menus and right-click popups.

#include "ui/widgets/LabeledEdit.h"
#include "ui/widgets/Look.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QFrame>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

namespace korvane {

// The program's tool windows: a title with the system menu and close box,
// above the main window.
inline constexpr Qt::WindowFlags OnTopWindow = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                               Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint;
// Pictures and notices without a border, above the main window.
inline constexpr Qt::WindowFlags BorderlessWindow =
    Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;

// A control of type W named as the design names it, at its rectangle.
template <typename W, typename... Args>
W* place(QWidget* parent, const QString& name, const QRect& geometry, Args&&... args)
{
    auto* control = new W(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

// A named panel at a fixed place, as the windows' designs give them.
inline QFrame* makePanel(QWidget* parent, const QString& name, const QRect& geometry,
                         QFrame::Shape shape = QFrame::NoFrame)
{
    auto* frame = place<QFrame>(parent, name, geometry);
    frame->setFrameShape(shape);
    return frame;
}

// A flat text button of a tool bar, added to the bar's row at a fixed size.
inline QToolButton* addToolButton(QWidget* bar, const QString& name, const QString& caption,
                                  const QString& hint, const QString& spoken, const QSize& size)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(hint);
    button->setAccessibleName(spoken);
    button->setAutoRaise(true);
    button->setFixedSize(size);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->layout()->addWidget(button);
    return button;
}

// An edit with its caption above it, on the windows' silver.
inline LabeledEdit* makeLabeledEdit(QWidget* parent, const QString& name, const QString& caption,
                                    const QRect& geometry)
{
    auto* edit = new LabeledEdit(parent, name, caption, geometry);
    setColour(edit, QPalette::Base, Silver);
    return edit;
}

// A single edit without a frame, on the windows' silver.
inline QLineEdit* makeFlatEdit(QWidget* parent, const QString& name, const QRect& geometry,
                               const QString& spoken)
{
    auto* edit = place<QLineEdit>(parent, name, geometry);
    edit->setAccessibleName(spoken);
    edit->setFrame(false);
    setColour(edit, QPalette::Base, Silver);
    return edit;
}

// A field that reads as text on its panel: flat, in the window's face colour.
inline void setFaceFlat(QLineEdit* edit)
{
    edit->setFrame(false);
    setColour(edit, QPalette::Base, edit->palette().color(QPalette::Window));
}

inline QMenu* makeMenu(QWidget* owner, const QString& name)
{
    auto* menu = new QMenu(owner);
    menu->setObjectName(name);
    return menu;
}

inline QAction* menuItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

// The menu opens at the mouse on a right click anywhere in the control.
inline void attachPopup(QWidget* control, QMenu* menu)
{
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(control, &QWidget::customContextMenuRequested, menu, [control, menu](const QPoint& pos) {
        auto* area = qobject_cast<QAbstractScrollArea*>(control);
        menu->popup((area ? area->viewport() : control)->mapToGlobal(pos));
    });
}

} // namespace korvane
