#pragma once

#include "app/GroupRow.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <unordered_map>
#include <vector>

namespace talivo {

// The columns of the group table: the row's caption, then its count and description, and its
// id and colour, which the list does not show.
enum TGroupField { gfCaption = 0, gfCount = 1, gfDescription = 2, gfId = 3, gfColor = 4 };

// The document's groups in table order, as values. Each row also keeps the number it was given
// when it was added (the number of rows then), which later deletions do not change. The texts
// the table shows are made from the values: the caption " n", the numbers in decimal, the colour
// as the signed decimal the files store, and a swatch of the colour beside the caption.
//
// A group is found by its id without a walk over the rows, so that counting a mark costs the
// same among many groups as among few; with several rows of one id, the first one counts.
// A row of the table as it stands, for putting it back where it was.
struct TPlacedGroup {
    int Row = 0;
    TGroupRow Group;
    int Number = 0;
};

class TGroupTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TGroupTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // The captions of the columns; a view's translation replaces them.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;

    int RowCount() const { return static_cast<int>(fGroups.size()); }
    // The rows in table order; std::out_of_range for a row the table lacks.
    const std::vector<TGroupRow> &Rows() const { return fGroups; }
    const TGroupRow &Group(int row) const { return fGroups.at(row); }
    int Number(int row) const { return fNumbers.at(row); }
    int Count(int row) const { return Group(row).Count; }
    const QString &Description(int row) const { return Group(row).Description; }
    int Id(int row) const { return Group(row).Id; }
    TColor Color(int row) const { return Group(row).Color; }
    // The text a cell shows.
    QString Text(int row, TGroupField field) const;
    // The first row of the group, or -1.
    int RowOfGroup(int id) const;

    // Appends the group and returns its row, numbered with the number of rows it makes.
    int Append(const TGroupRow &group);
    TPlacedGroup Placed(int row) const { return {row, Group(row), Number(row)}; }
    // Puts a group back in at its row with the number it had there.
    void Insert(const TPlacedGroup &placed);
    void Remove(int row);
    void Clear();
    void SetCount(int row, int count);
    // One count per row, in table order, told to the views as one change.
    void SetCounts(const std::vector<int> &counts);
    void SetDescription(int row, const QString &description);
    void SetColor(int row, TColor color);

private:
    void CellsChanged(int firstRow, int lastRow, TGroupField first, TGroupField last);
    void IndexIds();

    std::vector<TGroupRow> fGroups;
    std::vector<int> fNumbers;
    std::unordered_map<int, int> fRowOfId;
    QStringList fCaptions;
};

} // namespace talivo
