#include "ui/widgets/ListView.h"

#include <QSignalBlocker>

#include "platform/Charset.h"
#include "platform/Collation.h"

#include <QHash>
#include <QHeaderView>

#include <algorithm>
#include <numeric>

namespace korvane {

namespace {

constexpr int ImageRole = Qt::UserRole + 1;

// The view being reordered: its rows compare by the place they are to take.
const QTreeWidget* g_reordering = nullptr;

class CaptionItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const auto* ranked = dynamic_cast<const CaptionItem*>(&other);
        if (ranked && g_reordering && treeWidget() == g_reordering) return place < ranked->place;
        return captionLess(text(0), other.text(0));
    }
    // The icon is the view's picture of the row's image index, kept here as a
    // number: stored per row as data it would cost a hundred bytes a row.
    QVariant data(int column, int role) const override
    {
        if (column == 0 && role == ImageRole) return m_image >= 0 ? QVariant(m_image) : QVariant();
        if (column == 0 && role == Qt::DecorationRole && m_image >= 0) {
            const auto* view = dynamic_cast<const ListView*>(treeWidget());
            if (!view || m_image >= view->images().size()) return QVariant();
            return view->images()[m_image];
        }
        return QTreeWidgetItem::data(column, role);
    }
    void setData(int column, int role, const QVariant& value) override
    {
        if (column != 0 || role != ImageRole) return QTreeWidgetItem::setData(column, role, value);
        const int image = value.isValid() ? value.toInt() : -1;
        if (image == m_image) return;
        m_image = image;
        emitDataChanged();
    }
    int place = 0;

private:
    int m_image = -1;
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
    // The view's own sorting stays off: it sorts the whole list again after
    // every insertion. This class keeps the order itself.
    setSortingEnabled(false);
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (m_sortType != SortType::Text || m_reordering || topLeft.parent().isValid() ||
                    topLeft.column() > 0)
                    return;
                for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
                    captionChanged(row);
            });
}

void ListView::setSortType(SortType type)
{
    m_sortType = type;
    if (type == SortType::Text) sortNow();
}

void ListView::sortNow()
{
    // Captions are few distinct texts (after a scan: "no response", "7/20",
    // "FULL", ...): rank those once, then place the rows by rank.
    const int count = topLevelItemCount();
    QHash<QString, int> ids;
    QList<QString> distinct;
    std::vector<int> idOfRow(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QString caption = topLevelItem(i)->text(0);
        auto it = ids.constFind(caption);
        if (it == ids.constEnd()) {
            it = ids.insert(caption, static_cast<int>(distinct.size()));
            distinct.append(caption);
        }
        idOfRow[static_cast<size_t>(i)] = it.value();
    }
    std::vector<int> byCaption(static_cast<size_t>(distinct.size()));
    std::iota(byCaption.begin(), byCaption.end(), 0);
    std::sort(byCaption.begin(), byCaption.end(),
              [&](int a, int b) { return captionLess(distinct[a], distinct[b]); });
    // Texts the collation holds equal share a rank.
    std::vector<int> rank(byCaption.size());
    int ranks = 0;
    for (size_t k = 0; k < byCaption.size(); ++k) {
        if (k > 0 && compareCaptions(distinct[byCaption[k - 1]], distinct[byCaption[k]]) != 0) ++ranks;
        rank[static_cast<size_t>(byCaption[k])] = ranks;
    }

    bool inOrder = true;
    for (int i = 1; i < count && inOrder; ++i)
        inOrder = rank[static_cast<size_t>(idOfRow[static_cast<size_t>(i - 1)])] <=
                  rank[static_cast<size_t>(idOfRow[static_cast<size_t>(i)])];
    if (inOrder) return;

    // A counting sort by rank: stable.
    std::vector<int> start(static_cast<size_t>(ranks) + 2, 0);
    for (int i = 0; i < count; ++i)
        ++start[static_cast<size_t>(rank[static_cast<size_t>(idOfRow[static_cast<size_t>(i)])]) + 1];
    for (size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    std::vector<QTreeWidgetItem*> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        int& at = start[static_cast<size_t>(rank[static_cast<size_t>(idOfRow[static_cast<size_t>(i)])])];
        order[static_cast<size_t>(at++)] = topLevelItem(i);
    }
    reorder(order);
}

void ListView::reorder(const std::vector<QTreeWidgetItem*>& order)
{
    for (size_t i = 0; i < order.size(); ++i)
        if (auto* item = dynamic_cast<CaptionItem*>(order[i])) item->place = static_cast<int>(i);
    m_reordering = true;
    g_reordering = this;
    sortItems(0, Qt::AscendingOrder);
    g_reordering = nullptr;
    m_reordering = false;
}

void ListView::captionChanged(int row)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item) return;
    const QString caption = item->text(0);
    const int count = topLevelItemCount();
    const bool afterPrevious = row == 0 || !captionLess(caption, topLevelItem(row - 1)->text(0));
    const bool beforeNext = row == count - 1 || !captionLess(topLevelItem(row + 1)->text(0), caption);
    if (afterPrevious && beforeNext) return;
    // The first place among the other rows whose caption is not less.
    auto other = [&](int k) { return topLevelItem(k < row ? k : k + 1); };
    int low = 0, high = count - 1;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (captionLess(other(mid)->text(0), caption))
            low = mid + 1;
        else
            high = mid;
    }
    std::vector<QTreeWidgetItem*> order;
    order.reserve(static_cast<size_t>(count));
    for (int k = 0; k < count - 1; ++k) {
        if (k == low) order.push_back(item);
        order.push_back(other(k));
    }
    if (low == count - 1) order.push_back(item);
    reorder(order);
}

QTreeWidgetItem* ListView::makeItem(const QString& caption, const QStringList& subItems, int image)
{
    QStringList texts{caption};
    texts += subItems;
    // Empty texts at the end stay unset, as they read the same: the row's
    // storage grows by powers of two, and a new server row of four columns
    // would take twice that of three.
    while (texts.size() > 1 && texts.last().isEmpty())
        texts.removeLast();
    auto* item = new CaptionItem(texts);
    if (image >= 0) setImage(item, image);
    return item;
}

QTreeWidgetItem* ListView::addFileName(const std::string& name, int image)
{
    QTreeWidgetItem* item = addItem(fileNameText(name), {}, image);
    item->setData(0, Qt::UserRole, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    return item;
}

std::string ListView::fileName(const QTreeWidgetItem* item)
{
    return item->data(0, Qt::UserRole).toByteArray().toStdString();
}

QTreeWidgetItem* ListView::addItem(const QString& caption, const QStringList& subItems, int image)
{
    QTreeWidgetItem* item = makeItem(caption, subItems, image);
    int at = topLevelItemCount();
    if (m_sortType == SortType::Text) {
        // After every row whose caption is not greater.
        int low = 0;
        while (low < at) {
            const int mid = low + (at - low) / 2;
            if (captionLess(caption, topLevelItem(mid)->text(0)))
                at = mid;
            else
                low = mid + 1;
        }
    }
    insertTopLevelItem(at, item);
    return item;
}

void ListView::addItems(const QList<QTreeWidgetItem*>& items)
{
    insertTopLevelItems(topLevelItemCount(), items);
    if (m_sortType == SortType::Text) sortNow();
}

QTreeWidgetItem* ListView::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void ListView::setRow(int row, const QStringList& texts, int image)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item) return;
    if (m_sortType != SortType::None) {
        // A changed caption moves the row; each change goes its usual way.
        for (int column = 0; column < texts.size(); ++column) {
            item->setText(column, texts[column]);
            if (column == 0) setImage(item, image);
        }
        return;
    }
    {
        const QSignalBlocker quiet(model());
        for (int column = 0; column < texts.size(); ++column)
            item->setText(column, texts[column]);
        setImage(item, image);
    }
    emit model()->dataChanged(model()->index(row, 0), model()->index(row, columnCount() - 1));
}

void ListView::setImage(QTreeWidgetItem* item, int index)
{
    if (dynamic_cast<CaptionItem*>(item)) {
        item->setData(0, ImageRole, index);
        return;
    }
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
    emit doubleClickedAnywhere();
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
