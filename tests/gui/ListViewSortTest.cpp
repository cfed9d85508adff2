// Sorting by caption: the order of the caption collation, stable for equal
// captions, whether the rows are sorted at once, added one by one or changed.
#include "platform/Charset.h"
#include "platform/Collation.h"
#include "ui/widgets/ListView.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace korvane;

namespace {

// After a scan: few distinct texts and many ties; letters differing in case
// and accent only, digits, a blank, a character beyond Latin-1.
const QStringList Captions = {"no response", "7/20",       "FULL",  "not scanned", "Bob",  "alice",
                              "\u00c9mile",  "\u00e9mile", "10/20", "no response", "2/20", "sends shit",
                              "0/16",        "FULL",       "bob",   "Zo\u00eb",    "",     "7/20",
                              "\u0152uf",    "?",          "ALICE", "no response", "7/20", "1/8"};

// The rows as the comparison of captions as bytes orders them, equal ones in their first order.
QStringList expectedOrder()
{
    std::vector<int> rows(Captions.size());
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [](int a, int b) {
        return compareCaptions(toBytes(Captions[a]), toBytes(Captions[b])) < 0;
    });
    QStringList tags;
    for (int row : rows)
        tags.append(QString::number(row));
    return tags;
}

QStringList tags(const ListView& list)
{
    QStringList result;
    for (int i = 0; i < list.rowCount(); ++i)
        result.append(ListView::subItem(list.row(i), 0));
    return result;
}

} // namespace

TEST(ListViewSort, EveryWayToSortGivesTheCollationOrderAndKeepsTheSelection)
{
    ListView sortedAtOnce, addedSorted;
    for (ListView* list : {&sortedAtOnce, &addedSorted})
        list->setColumnCount(2);
    addedSorted.setSortType(ListView::SortType::Text);
    for (int i = 0; i < Captions.size(); ++i) {
        sortedAtOnce.addItem(Captions[i], {QString::number(i)});
        addedSorted.addItem(Captions[i], {QString::number(i)});
    }
    QTreeWidgetItem* chosen = sortedAtOnce.row(3);
    chosen->setSelected(true);
    sortedAtOnce.setCurrentItem(chosen, 0, QItemSelectionModel::NoUpdate);
    QSignalSpy selections(&sortedAtOnce, &QTreeWidget::itemSelectionChanged);

    sortedAtOnce.setSortType(ListView::SortType::Text);
    EXPECT_EQ(tags(sortedAtOnce), expectedOrder());
    EXPECT_EQ(tags(addedSorted), expectedOrder());
    EXPECT_EQ(sortedAtOnce.selectedRow(), chosen);
    EXPECT_EQ(sortedAtOnce.currentItem(), chosen);

    // A changed caption moves to the first place its text may take; the
    // selection goes with it, without a selection change.
    const int firstOf720 = static_cast<int>(tags(sortedAtOnce).indexOf("1"));
    chosen->setText(0, QStringLiteral("7/20"));
    EXPECT_EQ(sortedAtOnce.rowIndex(chosen), firstOf720);
    EXPECT_EQ(sortedAtOnce.selectedRow(), chosen);
    EXPECT_EQ(selections.count(), 0);
    // Beside an equal caption before it, a row stays where it is.
    const int afterLast720 = static_cast<int>(tags(sortedAtOnce).indexOf("22")) + 1;
    QTreeWidgetItem* next = sortedAtOnce.row(afterLast720);
    next->setText(0, QStringLiteral("7/20"));
    EXPECT_EQ(sortedAtOnce.rowIndex(next), afterLast720);
}
