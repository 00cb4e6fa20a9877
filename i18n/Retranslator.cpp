#include "i18n/Retranslator.h"

#include "i18n/TranslationMarker.h"
#include "i18n/Translator.h"

#include <QScopeGuard>

namespace talivo {

bool TTR_RetranslatorItem::Write(const QVariant &value) const
{
    if (Writer) {
        Writer(*obj, value.toString());
        return true;
    }
    return obj->setProperty(Propname.toUtf8().constData(), value);
}

QString TTR_Retranslator::Lookup(const QString &text) const
{
    QString translation = fInstance.dgettext(fTextDomain, text);
    if (!text.contains('\r'))
        translation.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return translation;
}

QStringList TTR_Retranslator::LookupLines(QStringList lines) const
{
    for (QString &line : lines) {
        if (!line.isEmpty())
            line = Lookup(line);
    }
    return lines;
}

void TTR_Retranslator::Execute()
{
    if (fRunning)
        return;
    fRunning = true;
    const auto done = qScopeGuard([this] { fRunning = false; });
    for (const TTR_RetranslatorItem &item : fItems) {
        if (!item.obj)
            continue;
        TTranslationMarker *marker = qobject_cast<TTranslationMarker *>(MarkerChild(*item.obj));
        if (marker && &marker->Retranslator() != this) {
            marker->Retranslator().Execute();
            continue;
        }
        if (item.OldValue.typeId() == QMetaType::QStringList)
            item.Write(LookupLines(item.OldValue.toStringList()));
        else
            item.Write(Lookup(item.OldValue.toString()));
    }
}

} // namespace talivo
