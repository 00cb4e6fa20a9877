#include "app/GroupListView.h"

#include "app/StrToInt.h"
#include "graph/CanvasColors.h"

#include <QHeaderView>

namespace talivo {

namespace {

constexpr int kCaptionColumn = 0;
constexpr int kImageIndexRole = Qt::UserRole;

int Column(TGroupSubItem index)
{
    return static_cast<int>(index) + 1;
}

} // namespace

TGroupListView::TGroupListView(QWidget *parent) : QTableWidget(0, 5, parent)
{
    setHorizontalHeaderLabels({"Group", "Count", "Description", QString(), QString()});
    setColumnWidth(0, 52);
    setColumnWidth(1, 52);
    setColumnWidth(2, 250);
    setColumnHidden(Column(gsId), true);
    setColumnHidden(Column(gsColor), true);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setIconSize(QSize(16, 16));
    setWordWrap(false);

    // The current group must stay visible while the user works on the canvas.
    QPalette keepSelection = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        keepSelection.setColor(QPalette::Inactive, role,
                               keepSelection.color(QPalette::Active, role));
    setPalette(keepSelection);
}

QString TGroupListView::Caption(int row) const
{
    return item(row, kCaptionColumn)->text();
}

QString TGroupListView::SubItem(int row, TGroupSubItem index) const
{
    return item(row, Column(index))->text();
}

void TGroupListView::SetSubItem(int row, TGroupSubItem index, const QString &text)
{
    item(row, Column(index))->setText(text);
}

int TGroupListView::ImageIndex(int row) const
{
    return item(row, kCaptionColumn)->data(kImageIndexRole).toInt();
}

int TGroupListView::AppendRow(const QString &caption, const QStringList &subItems, int imageIndex)
{
    const int row = rowCount();
    insertRow(row);
    auto *captionItem = new QTableWidgetItem(caption);
    captionItem->setData(kImageIndexRole, imageIndex);
    captionItem->setIcon(QIcon(fSwatches.at(imageIndex)));
    setItem(row, kCaptionColumn, captionItem);
    for (int i = 0; i < 4; ++i)
        setItem(row, i + 1, new QTableWidgetItem(i < subItems.size() ? subItems[i] : QString()));
    return row;
}

void TGroupListView::DeleteRow(int row)
{
    removeRow(row);
}

int TGroupListView::Selected() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TGroupListView::Select(int row)
{
    setCurrentCell(row, kCaptionColumn);
    selectRow(row);
}

int TGroupListView::GroupId(int row) const
{
    return StrToInt(SubItem(row, gsId));
}

int TGroupListView::RowOfGroup(int groupId) const
{
    for (int row = 0; row < RowCount(); ++row)
        if (GroupId(row) == groupId)
            return row;
    return -1;
}

TColor TGroupListView::GroupColor(int row) const
{
    return static_cast<TColor>(StrToInt(SubItem(row, gsColor)));
}

int TGroupListView::AddSwatch(TColor color)
{
    fSwatches.push_back(MakeSwatch(color));
    return SwatchCount() - 1;
}

void TGroupListView::ReplaceSwatch(int index, TColor color)
{
    fSwatches.at(index) = MakeSwatch(color);
    for (int row = 0; row < rowCount(); ++row) {
        if (ImageIndex(row) == index)
            item(row, kCaptionColumn)->setIcon(QIcon(fSwatches[index]));
    }
}

QPixmap TGroupListView::MakeSwatch(TColor color)
{
    QPixmap swatch(16, 16);
    swatch.fill(ColorToQColor(color));
    return swatch;
}

std::vector<TGroupRow> GroupRows(const TGroupListView &list)
{
    std::vector<TGroupRow> rows;
    rows.reserve(list.RowCount());
    for (int row = 0; row < list.RowCount(); ++row)
        rows.push_back({.Id = list.GroupId(row),
                        .Description = list.SubItem(row, gsDescription),
                        .Color = list.GroupColor(row),
                        .Count = StrToInt(list.SubItem(row, gsCount))});
    return rows;
}

} // namespace talivo
