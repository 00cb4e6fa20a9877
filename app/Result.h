#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace talivo {

enum TResultKind : int32_t { rkText = 2, rkInteger = 3 };

// One named field of an output row. The value slot and the two attributes travel with the item
// when it is copied; the export leaves them at 0.
struct TResultItem {
    TResultKind Kind = rkText;
    QString Name;
    QString Text;
    double Value = 0;
    int32_t IntegerValue = 0;
    int32_t Attributes[2] = {0, 0};
};

// A row of named fields, kept in the order in which each name was first set; setting a name
// again overwrites that field in place. One row serves a whole table: every line sets the same
// names, so the columns keep the order of the first line.
class TResult {
public:
    void SetTextValue(const QString &name, const QString &text);
    void SetIntegerValue(const QString &name, int32_t value);

    // The names, and the texts, of all fields joined by TAB.
    QString GetHeaderLine() const;
    QString GetValueLine() const;
    // Appends the value line, with the header line before it when the list is empty. False, and
    // nothing appended, without a list.
    bool AppendToLines(QStringList *lines) const;

    const std::vector<TResultItem> &Items() const { return fItems; }

private:
    void Set(TResultItem item);

    std::vector<TResultItem> fItems;
};

} // namespace talivo
