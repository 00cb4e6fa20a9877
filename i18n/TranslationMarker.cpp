#include "i18n/TranslationMarker.h"

#include "i18n/TranslationError.h"

namespace talivo {

TTranslationMarker::TTranslationMarker(TTranslator &translator) : fRetranslator(translator)
{
    setObjectName(Name);
}

QObject *MarkerChild(const QObject &component)
{
    return component.findChild<QObject *>(TTranslationMarker::Name, Qt::FindDirectChildrenOnly);
}

TTranslationMarker *FindMarker(const QObject &component)
{
    QObject *child = MarkerChild(component);
    if (!child)
        return nullptr;
    auto *marker = qobject_cast<TTranslationMarker *>(child);
    if (!marker) {
        throw ETrProgrammingError(QString("The child %1 of %2 is not a translation marker, but the "
                                          "name is reserved for one.")
                                      .arg(TTranslationMarker::Name, component.objectName()));
    }
    return marker;
}

} // namespace talivo
