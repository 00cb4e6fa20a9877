#include "app/GroupTableModel.h"
#include "graph/canvas/CanvasColors.h"
#include "tests/app/MarkingWorkspace.h"

#include <QColor>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>

namespace talivo::test {
namespace {

constexpr int kMaxInt = std::numeric_limits<int>::max();

// What the model tells its views: the cells of each change (first row, first column, last row,
// last column) and the rows of each insertion and removal (first, last).
class TChanges {
public:
    explicit TChanges(QAbstractItemModel &model)
    {
        QObject::connect(
            &model, &QAbstractItemModel::dataChanged, &fReceiver,
            [this](const QModelIndex &first, const QModelIndex &last) {
                Cells.push_back({first.row(), first.column(), last.row(), last.column()});
            });
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, &fReceiver,
                         [this](const QModelIndex &, int first, int last) {
                             Inserted.push_back({first, last});
                         });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &fReceiver,
                         [this](const QModelIndex &, int first, int last) {
                             Removed.push_back({first, last});
                         });
    }

    std::vector<std::vector<int>> Cells;
    std::vector<std::vector<int>> Inserted;
    std::vector<std::vector<int>> Removed;

private:
    // Gone first, it takes the connections along before the lists go.
    QObject fReceiver;
};

TGroupRow Group(int id, const QString &description = QString(), TColor color = clLime,
                int count = 0)
{
    return {.Id = id, .Description = description, .Color = color, .Count = count};
}

std::vector<int> CountsOf(const TGroupTableModel &groups)
{
    std::vector<int> counts;
    for (const TGroupRow &group : groups.Rows())
        counts.push_back(group.Count);
    return counts;
}

TEST(GroupTableModel, RemovingARowKeepsTheOtherRowsAndFindsTheirGroupsWhereTheyMoved)
{
    TGroupTableModel groups;
    groups.Append(Group(1000, "Cells", clRed, 3));
    groups.Append(Group(1001, "Debris", clLime, 0));
    groups.Append(Group(1002, "Nuclei", clBlue, 7));
    groups.Remove(0);

    ASSERT_EQ(groups.RowCount(), 2);
    EXPECT_EQ(groups.Id(0), 1001);
    EXPECT_EQ(groups.Description(1), "Nuclei");
    EXPECT_EQ(groups.Color(1), clBlue);
    EXPECT_EQ(CountsOf(groups), std::vector<int>({0, 7}));
    EXPECT_EQ(groups.Text(0, gfCaption), " 2");
    EXPECT_EQ(groups.Text(1, gfCaption), " 3");
    EXPECT_EQ(groups.RowOfGroup(1000), -1);
    EXPECT_EQ(groups.RowOfGroup(1001), 0);
    EXPECT_EQ(groups.RowOfGroup(1002), 1);

    // A new row is numbered by the rows it makes, whatever numbers the others carry.
    EXPECT_EQ(groups.Append(Group(1003)), 2);
    EXPECT_EQ(groups.Text(2, gfCaption), " 3");
    EXPECT_EQ(groups.RowOfGroup(1003), 2);

    groups.Clear();
    EXPECT_EQ(groups.rowCount(), 0);
    EXPECT_EQ(groups.RowOfGroup(1001), -1);
}

// A measurement file may bring one id twice; its marks count in the first of its rows.
TEST(GroupTableModel, AnIdOfSeveralRowsBelongsToTheFirstOfThem)
{
    TGroupTableModel groups;
    groups.Append(Group(1005, "first"));
    groups.Append(Group(1006, "other"));
    groups.Append(Group(1005, "second"));
    EXPECT_EQ(groups.RowOfGroup(1005), 0);
    groups.Remove(0);
    EXPECT_EQ(groups.RowOfGroup(1006), 0);
    EXPECT_EQ(groups.RowOfGroup(1005), 1);
    EXPECT_EQ(groups.Description(1), "second");
}

TEST(GroupTableModel, TellsItsViewsOfTheCellsAndRowsThatChanged)
{
    TGroupTableModel groups;
    const TChanges changes(groups);
    for (int id : {1000, 1001, 1002})
        groups.Append(Group(id));
    EXPECT_EQ(changes.Inserted, std::vector<std::vector<int>>({{0, 0}, {1, 1}, {2, 2}}));

    groups.SetCount(1, 5);
    groups.SetCounts({1, 2, 3});
    groups.SetDescription(0, "Cells");
    groups.SetColor(2, clWhite);
    EXPECT_EQ(changes.Cells, std::vector<std::vector<int>>({{1, gfCount, 1, gfCount},
                                                            {0, gfCount, 2, gfCount},
                                                            {0, gfDescription, 0, gfDescription},
                                                            {2, gfCaption, 2, gfCaption},
                                                            {2, gfColor, 2, gfColor}}));
    EXPECT_EQ(CountsOf(groups), std::vector<int>({1, 2, 3}));
    EXPECT_EQ(groups.data(groups.index(2, gfCaption), Qt::DecorationRole).value<QColor>(),
              QColor(Qt::white));
    EXPECT_EQ(groups.data(groups.index(0, gfDescription)).toString(), "Cells");

    groups.Remove(1);
    groups.Clear();
    groups.Clear();
    EXPECT_EQ(changes.Removed, std::vector<std::vector<int>>({{1, 1}, {0, 1}}));
}

TEST(GroupTableModel, ShowsTheLargestNumbersAsTheFilesStoreThem)
{
    TGroupTableModel groups;
    groups.Append(Group(kMaxInt, "max", 0xFFFFFFFF, kMaxInt));
    groups.Append(Group(1000, "min", 0x80000000, std::numeric_limits<int>::min()));
    EXPECT_EQ(groups.RowOfGroup(kMaxInt), 0);
    EXPECT_EQ(groups.Text(0, gfId), "2147483647");
    EXPECT_EQ(groups.Text(0, gfCount), "2147483647");
    EXPECT_EQ(groups.Text(0, gfColor), "-1");
    EXPECT_EQ(groups.Text(1, gfColor), "-2147483648");
    EXPECT_EQ(groups.Text(1, gfCount), "-2147483648");
    EXPECT_EQ(groups.Color(0), 0xFFFFFFFFu);
}

TEST(GroupTableModel, RefusesRowsAndCountsItLacksWithoutChangingAnything)
{
    TGroupTableModel groups;
    groups.Append(Group(1000, QString(), clLime, 4));
    const TChanges changes(groups);
    EXPECT_THROW(groups.Group(1), std::out_of_range);
    EXPECT_THROW(groups.SetCount(1, 2), std::out_of_range);
    EXPECT_THROW(groups.SetCount(-1, 2), std::out_of_range);
    EXPECT_THROW(groups.Remove(1), std::out_of_range);
    EXPECT_THROW(groups.SetCounts({1, 2}), std::invalid_argument);
    EXPECT_EQ(CountsOf(groups), std::vector<int>({4}));
    EXPECT_TRUE(changes.Cells.empty());
    EXPECT_FALSE(groups.data(groups.index(1, gfCount)).isValid());
    EXPECT_FALSE(groups.setHeaderData(5, Qt::Horizontal, "none"));
    EXPECT_TRUE(groups.setHeaderData(gfCount, Qt::Horizontal, "Anzahl"));
    EXPECT_EQ(groups.headerData(gfCount, Qt::Horizontal).toString(), "Anzahl");
}

using GroupCounts = MarkingWorkspace;

// A click changes the count of its group and nothing else of the table; a recount follows marks
// wherever their group ids now point.
TEST_F(GroupCounts, FollowTheMarksAddedDeletedAndMovedBetweenGroups)
{
    Open(400, 300);
    const int a = AddGroup(clLime);
    AddGroup(clRed);
    Press("ToolButtonAdd");
    const TChanges changes(Groups());
    Click({50, 50});
    EXPECT_EQ(changes.Cells, std::vector<std::vector<int>>({{1, gfCount, 1, gfCount}}));
    List().Select(0);
    Click({100, 50});
    Click({150, 50});
    EXPECT_EQ(CountsOf(Groups()), std::vector<int>({2, 1}));

    Mark(0).SetTag(a);
    Form().RecountMarks();
    EXPECT_EQ(CountsOf(Groups()), std::vector<int>({3, 0}));
    EXPECT_EQ(Texts(a), QStringList({"#1", "#2", "#3"}));

    // Dragging a mark elsewhere on the picture leaves it in its group.
    Press("ToolButtonMove");
    Mouse(QEvent::MouseButtonPress, {100, 50}, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {300, 200}, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {300, 200}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Mark(1).Center(), TPoint({300, 200}));
    EXPECT_EQ(CountsOf(Groups()), std::vector<int>({3, 0}));

    Press("ToolButtonDel");
    Click({300, 200});
    EXPECT_EQ(CountsOf(Groups()), std::vector<int>({2, 0}));
    EXPECT_EQ(Texts(a), QStringList({"#1", "#2"}));
}

} // namespace
} // namespace talivo::test
