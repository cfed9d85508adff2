#pragma once
// Link label: a text label that opens a web or mail address when clicked and
// takes a hover look (underlined, ActiveColor) while the mouse is over it.

#include <QColor>
#include <QLabel>

#include <functional>

namespace korvane {

class Desktop;

enum class TAdressType { atMail, atWWW };

class TLegacy : public QLabel
{
public:
    TLegacy(Desktop& desktop, QWidget* parent);

    // The caption; with AutoSize on (the default) the label takes the caption's
    // size, in the font it has at any time.
    void setText(const QString& caption);
    bool AutoSize = true;

    QString Adress;
    TAdressType AdressType() const { return m_adressType; }
    void setAdressType(TAdressType type);
    QColor ActiveColor{255, 0, 0};

    std::function<void()> OnClick;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseExit;

    // The address a click opens: a web address only when it is http or https
    // ("" otherwise), a mail address as "mailto:" + address.
    QString target() const;

protected:
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Desktop& m_desktop;
    TAdressType m_adressType = TAdressType::atWWW;
    QColor m_savedColour;
};

} // namespace korvane
