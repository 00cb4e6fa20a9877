#pragma once

#include "app/Measurement.h"
#include "graph/Types.h"

#include <QPixmap>
#include <QTableWidget>
#include <vector>

namespace talivo {

// The positions of a group row's sub-items, all held as text.
enum TGroupSubItem { gsCount = 0, gsDescription = 1, gsId = 2, gsColor = 3 };

// The group table's storage and view: report-style rows of a caption (" n", with a colour
// swatch) and four sub-items (count, description, and the hidden id and colour). Swatches live
// in an image list that only grows; a row refers to its swatch by index.
class TGroupListView : public QTableWidget {
    Q_OBJECT
public:
    explicit TGroupListView(QWidget *parent = nullptr);

    int RowCount() const { return rowCount(); }
    QString Caption(int row) const;
    QString SubItem(int row, TGroupSubItem index) const;
    void SetSubItem(int row, TGroupSubItem index, const QString &text);
    int ImageIndex(int row) const;

    // Appends a row and returns its index.
    int AppendRow(const QString &caption, const QStringList &subItems, int imageIndex);
    void DeleteRow(int row);

    // The selected row, or -1.
    int Selected() const;
    void Select(int row);

    // The id and colour sub-items as numbers; EConvertError for text that is not an integer.
    int GroupId(int row) const;
    // The first row of the group id, or -1.
    int RowOfGroup(int groupId) const;
    TColor GroupColor(int row) const;

    // ImageListGroups: 16 by 16 swatches filled with one colour each.
    int AddSwatch(TColor color);
    void ReplaceSwatch(int index, TColor color);
    int SwatchCount() const { return static_cast<int>(fSwatches.size()); }
    const QPixmap &Swatch(int index) const { return fSwatches.at(index); }

private:
    static QPixmap MakeSwatch(TColor color);

    std::vector<QPixmap> fSwatches;
};

// The table's rows in table order. EConvertError for a number sub-item that is not an integer.
std::vector<TGroupRow> GroupRows(const TGroupListView &list);

} // namespace talivo
