#include "app/GroupTableModel.h"

#include "graph/canvas/CanvasColors.h"

#include <stdexcept>

namespace talivo {

namespace {

constexpr int kColumns = gfColor + 1;

} // namespace

TGroupTableModel::TGroupTableModel(QObject *parent)
    : QAbstractTableModel(parent), fCaptions(kColumns)
{}

int TGroupTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int TGroupTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant TGroupTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= RowCount())
        return {};
    const auto field = static_cast<TGroupField>(index.column());
    if (role == Qt::DisplayRole)
        return Text(index.row(), field);
    if (role == Qt::DecorationRole && field == gfCaption)
        return ColorToQColor(Color(index.row()));
    return {};
}

QVariant TGroupTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < kColumns)
        return fCaptions[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool TGroupTableModel::setHeaderData(int section, Qt::Orientation orientation,
                                     const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole) ||
        section < 0 || section >= kColumns)
        return false;
    fCaptions[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

QString TGroupTableModel::Text(int row, TGroupField field) const
{
    const TGroupRow &group = Group(row);
    switch (field) {
    case gfCaption:
        return " " + QString::number(Number(row));
    case gfCount:
        return QString::number(group.Count);
    case gfDescription:
        return group.Description;
    case gfId:
        return QString::number(group.Id);
    case gfColor:
        return GroupColorText(group.Color);
    }
    throw std::out_of_range("The group table has no such column.");
}

int TGroupTableModel::RowOfGroup(int id) const
{
    const auto found = fRowOfId.find(id);
    return found == fRowOfId.end() ? -1 : found->second;
}

int TGroupTableModel::Append(const TGroupRow &group)
{
    const int row = RowCount();
    beginInsertRows(QModelIndex(), row, row);
    fGroups.push_back(group);
    fNumbers.push_back(row + 1);
    fRowOfId.emplace(group.Id, row);
    endInsertRows();
    return row;
}

void TGroupTableModel::Insert(const TPlacedGroup &placed)
{
    const int row = placed.Row;
    if (row < 0 || row > RowCount())
        throw std::out_of_range("The group table has no such row.");
    beginInsertRows(QModelIndex(), row, row);
    fGroups.insert(fGroups.begin() + row, placed.Group);
    fNumbers.insert(fNumbers.begin() + row, placed.Number);
    IndexIds();
    endInsertRows();
}

void TGroupTableModel::Remove(int row)
{
    if (row < 0 || row >= RowCount())
        throw std::out_of_range("The group table has no such row.");
    beginRemoveRows(QModelIndex(), row, row);
    fGroups.erase(fGroups.begin() + row);
    fNumbers.erase(fNumbers.begin() + row);
    // The rows behind it move up, and a later row of the same id may become the first.
    IndexIds();
    endRemoveRows();
}

void TGroupTableModel::Clear()
{
    if (fGroups.empty())
        return;
    beginRemoveRows(QModelIndex(), 0, RowCount() - 1);
    fGroups.clear();
    fNumbers.clear();
    fRowOfId.clear();
    endRemoveRows();
}

void TGroupTableModel::SetCount(int row, int count)
{
    fGroups.at(row).Count = count;
    CellsChanged(row, row, gfCount, gfCount);
}

void TGroupTableModel::SetCounts(const std::vector<int> &counts)
{
    if (counts.size() != fGroups.size())
        throw std::invalid_argument("A count is needed for every row of the group table.");
    if (fGroups.empty())
        return;
    for (size_t row = 0; row < counts.size(); ++row)
        fGroups[row].Count = counts[row];
    CellsChanged(0, RowCount() - 1, gfCount, gfCount);
}

void TGroupTableModel::SetDescription(int row, const QString &description)
{
    fGroups.at(row).Description = description;
    CellsChanged(row, row, gfDescription, gfDescription);
}

void TGroupTableModel::SetColor(int row, TColor color)
{
    fGroups.at(row).Color = color;
    // The swatch beside the caption shows the colour too.
    CellsChanged(row, row, gfCaption, gfCaption);
    CellsChanged(row, row, gfColor, gfColor);
}

void TGroupTableModel::CellsChanged(int firstRow, int lastRow, TGroupField first, TGroupField last)
{
    emit dataChanged(index(firstRow, first), index(lastRow, last));
}

void TGroupTableModel::IndexIds()
{
    fRowOfId.clear();
    for (int row = 0; row < RowCount(); ++row)
        fRowOfId.emplace(fGroups[row].Id, row);
}

} // namespace talivo
