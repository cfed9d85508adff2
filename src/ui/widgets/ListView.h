#pragma once
// A report-style list: rows with a caption (column 0) and sub-items, a small
// icon by index into the view's image list, and optional sorting by caption
// with the program's caption collation.

#include <QIcon>
#include <QList>
#include <QTreeWidget>

#include <string>
#include <vector>

namespace korvane {

class ListView : public QTreeWidget
{
    Q_OBJECT

public:
    enum class SortType { None, Text };

    explicit ListView(QWidget* parent = nullptr);

    void setImages(const QList<QIcon>& images) { m_images = images; }
    const QList<QIcon>& images() const { return m_images; }

    // Text sorts the rows at once and keeps them sorted as rows come and
    // captions change: a new row goes after the rows of an equal caption, a
    // changed one moves to the first place its caption may take (staying put
    // beside an equal caption before it).
    void setSortType(SortType type);
    SortType sortType() const { return m_sortType; }
    // Stable: rows of equal captions keep their order. The current and selected
    // rows stay current and selected, the scroll bar where it was.
    void sortNow();

    // Sorting, the row finds its place in as many comparisons as a binary search takes.
    QTreeWidgetItem* addItem(const QString& caption, const QStringList& subItems = {}, int image = -1);
    // Many rows in one insertion, as if added one by one: made with makeItem.
    QTreeWidgetItem* makeItem(const QString& caption, const QStringList& subItems = {}, int image = -1);
    void addItems(const QList<QTreeWidgetItem*>& items);
    // A row for a file: its name as shown, the exact bytes kept with it.
    QTreeWidgetItem* addFileName(const std::string& name, int image);
    static std::string fileName(const QTreeWidgetItem* item);
    int rowCount() const { return topLevelItemCount(); }
    QTreeWidgetItem* row(int index) const { return topLevelItem(index); }
    QTreeWidgetItem* selectedRow() const;
    int rowIndex(QTreeWidgetItem* item) const { return indexOfTopLevelItem(item); }

    static QString caption(const QTreeWidgetItem* item) { return item->text(0); }
    // Sub-item i is column i + 1.
    static QString subItem(const QTreeWidgetItem* item, int i) { return item->text(i + 1); }
    void setImage(QTreeWidgetItem* item, int index);
    // Row row's texts from column 0 on, and its image, in one change: on a
    // list that does not sort, no per-column change signals and no search
    // for the row's place, which Qt makes from the list's end.
    void setRow(int row, const QStringList& texts, int image);
    static int image(const QTreeWidgetItem* item);

    // Column 0 takes whatever width the other columns leave.
    void sizeFirstColumnToList();
    // The row under the mouse is underlined.
    void setHotTrack(bool on);
    const QTreeWidgetItem* hotItem() const { return m_hot; }

    void setColumnCaption(int column, const QString& text);
    QString columnCaption(int column) const;

signals:
    // A double-click anywhere in the list, on a row or on the empty part below.
    void doubleClickedAnywhere();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QList<QIcon> m_images;
    SortType m_sortType = SortType::None;
    QTreeWidgetItem* m_hot = nullptr;
    bool m_reordering = false;
    void setHot(QTreeWidgetItem* item);
    void captionChanged(int row);
    // The rows put in this order through the view's own sort, which carries
    // the current row, the selection and the scroll position along.
    void reorder(const std::vector<QTreeWidgetItem*>& order);
};

} // namespace korvane
