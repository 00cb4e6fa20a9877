#include "app/GroupListView.h"

#include "app/GroupTableModel.h"

#include <QHeaderView>

namespace talivo {

TGroupListView::TGroupListView(TGroupTableModel &groups, QWidget *parent)
    : QTableView(parent), fGroups(groups)
{
    setModel(&groups);
    SetColumnCaptions({"Group", "Count", "Description", QString(), QString()});
    setColumnWidth(gfCaption, 52);
    setColumnWidth(gfCount, 52);
    setColumnWidth(gfDescription, 250);
    setColumnHidden(gfId, true);
    setColumnHidden(gfColor, true);
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

int TGroupListView::Selected() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TGroupListView::Select(int row)
{
    setCurrentIndex(fGroups.index(row, gfCaption));
    selectRow(row);
}

QStringList TGroupListView::ColumnCaptions() const
{
    QStringList captions;
    for (int column = 0; column < fGroups.columnCount(); ++column)
        captions << fGroups.headerData(column, Qt::Horizontal).toString();
    return captions;
}

void TGroupListView::SetColumnCaptions(const QStringList &captions)
{
    for (int column = 0; column < fGroups.columnCount() && column < captions.size(); ++column)
        fGroups.setHeaderData(column, Qt::Horizontal, captions[column]);
}

} // namespace talivo
