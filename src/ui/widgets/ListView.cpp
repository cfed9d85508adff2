#include "ui/widgets/ListView.h"

#include "platform/Collation.h"

#include <QHeaderView>

namespace korvane {

namespace {

constexpr int ImageRole = Qt::UserRole + 1;

class CaptionItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        return captionLess(text(0), other.text(0));
    }
};

} // namespace

ListView::ListView(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    header()->setSectionsClickable(false);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    setSortingEnabled(false);
}

void ListView::setSortType(SortType type)
{
    m_sortType = type;
    if (type == SortType::Text) {
        setSortingEnabled(true);
        sortByColumn(0, Qt::AscendingOrder);
        header()->setSortIndicatorShown(false);
    } else {
        setSortingEnabled(false);
    }
}

void ListView::sortNow()
{
    sortItems(0, Qt::AscendingOrder);
}

QTreeWidgetItem* ListView::addItem(const QString& caption, const QStringList& subItems, int image)
{
    QStringList texts{caption};
    texts += subItems;
    auto* item = new CaptionItem(texts);
    if (image >= 0) setImage(item, image);
    addTopLevelItem(item);
    return item;
}

QTreeWidgetItem* ListView::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void ListView::setImage(QTreeWidgetItem* item, int index)
{
    item->setData(0, ImageRole, index);
    item->setIcon(0, index >= 0 && index < m_images.size() ? m_images[index] : QIcon());
}

int ListView::image(const QTreeWidgetItem* item)
{
    const QVariant value = item->data(0, ImageRole);
    return value.isValid() ? value.toInt() : -1;
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
    if (OnDblClick) OnDblClick();
}

void ListView::setColumnCaption(int column, const QString& text)
{
    headerItem()->setText(column, text);
}

QString ListView::columnCaption(int column) const
{
    return headerItem()->text(column);
}

void ListView::sizeFirstColumnToList()
{
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
}

void ListView::setHotTrack(bool on)
{
    setMouseTracking(on);
    if (on) connect(this, &QTreeWidget::itemEntered, this, [this](QTreeWidgetItem* item) { setHot(item); });
}

void ListView::setHot(QTreeWidgetItem* item)
{
    // A row the list has dropped since is never touched again.
    if (m_hot && indexOfTopLevelItem(m_hot) >= 0) {
        for (int c = 0; c < columnCount(); ++c) {
            QFont font = m_hot->font(c);
            font.setUnderline(false);
            m_hot->setFont(c, font);
        }
    }
    m_hot = item;
    if (!m_hot) return;
    for (int c = 0; c < columnCount(); ++c) {
        QFont font = m_hot->font(c);
        font.setUnderline(true);
        m_hot->setFont(c, font);
    }
}

void ListView::leaveEvent(QEvent* event)
{
    QTreeWidget::leaveEvent(event);
    setHot(nullptr);
}

} // namespace korvane
