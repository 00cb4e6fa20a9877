#include "app/Result.h"

namespace talivo {

void TResult::SetTextValue(const QString &name, const QString &text)
{
    Set({.Kind = rkText, .Name = name, .Text = text});
}

void TResult::SetIntegerValue(const QString &name, int32_t value)
{
    Set({.Kind = rkInteger, .Name = name, .Text = QString::number(value), .IntegerValue = value});
}

void TResult::Set(TResultItem item)
{
    for (TResultItem &existing : fItems) {
        if (existing.Name == item.Name) {
            existing = std::move(item);
            return;
        }
    }
    fItems.push_back(std::move(item));
}

QString TResult::GetHeaderLine() const
{
    QStringList names;
    for (const TResultItem &item : fItems)
        names << item.Name;
    return names.join(u'\t');
}

QString TResult::GetValueLine() const
{
    QStringList texts;
    for (const TResultItem &item : fItems)
        texts << item.Text;
    return texts.join(u'\t');
}

bool TResult::AppendToLines(QStringList *lines) const
{
    if (!lines)
        return false;
    if (lines->isEmpty())
        lines->append(GetHeaderLine());
    lines->append(GetValueLine());
    return true;
}

} // namespace talivo
