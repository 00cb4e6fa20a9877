#include "platform/TranslatableError.h"

#include <atomic>

namespace talivo {

namespace {

std::atomic<ETranslatableError::TTranslation> gTranslation = nullptr;

} // namespace

ETranslatableError::ETranslatableError(const char *text, const QStringList &arguments)
    : std::runtime_error(Fill(QString::fromUtf8(text), arguments).toStdString()), fText(text),
      fArguments(arguments)
{}

QString ETranslatableError::Translated() const
{
    const QString text = QString::fromUtf8(fText);
    const TTranslation translation = gTranslation;
    if (!translation)
        return what();
    try {
        return Fill(translation(text), fArguments);
    } catch (...) {
        // A catalog that cannot be read must not hide the error it was to translate.
        return what();
    }
}

QString ETranslatableError::Fill(const QString &text, const QStringList &arguments)
{
    QString filled;
    filled.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype index =
            i + 1 < text.size() && text[i] == u'%' ? text[i + 1].digitValue() - 1 : -1;
        if (index >= 0 && index < arguments.size()) {
            filled += arguments[index];
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

void ETranslatableError::SetTranslation(TTranslation translation)
{
    gTranslation = translation;
}

} // namespace talivo
