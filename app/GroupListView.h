#pragma once

#include <QStringList>
#include <QTableView>

namespace talivo {

class TGroupTableModel;

// The group table as the window shows it: report-style rows of the caption (" n", with a colour
// swatch), the count and the description; the id and colour columns stay hidden. Whole rows are
// selected, one at a time, and the selected row is the current group.
class TGroupListView : public QTableView {
    Q_OBJECT
    // The column captions are texts of the window's design, which its translation replaces.
    Q_PROPERTY(QStringList columnCaptions READ ColumnCaptions WRITE SetColumnCaptions)
public:
    explicit TGroupListView(TGroupTableModel &groups, QWidget *parent = nullptr);

    // The selected row, or -1.
    int Selected() const;
    void Select(int row);

    QStringList ColumnCaptions() const;
    void SetColumnCaptions(const QStringList &captions);

private:
    TGroupTableModel &fGroups;
};

} // namespace talivo
