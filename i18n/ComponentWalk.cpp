#include "i18n/ComponentWalk.h"

#include "i18n/ComponentTranslator.h"
#include "i18n/TranslationError.h"
#include "i18n/TranslationMarker.h"

#include <QMetaProperty>
#include <stdexcept>

namespace talivo {

namespace {

std::set<QString> UpperCased(const QStringList &names)
{
    std::set<QString> upper;
    for (const QString &name : names)
        upper.insert(name.toUpper());
    return upper;
}

} // namespace

TComponentWalk::TComponentWalk(const TComponentTranslator &rules, TTR_Retranslator &record)
    : fRules(rules), fRecord(record)
{}

void TComponentWalk::Run(QObject &root)
{
    fWork.push_back({QString(), &root});
    while (!fWork.empty()) {
        const TPending pending = fWork.front();
        fWork.pop_front();
        Visit(pending);
    }
}

void TComponentWalk::Visit(const TPending &pending)
{
    QObject *object = pending.Object;
    if (!object || fDone.contains(object))
        return;
    fDone.insert(object);
    fName = pending.Name;
    std::set<QString> excluded;
    const TClassMode *wholeClass = fRules.FindClassRule(*object->metaObject(), excluded);
    if (!wholeClass) {
        TranslateBody(*object, excluded);
        return;
    }
    if (wholeClass->SpecialHandler) {
        fHandledExclusions = fRules.ExcludedProperties(*object->metaObject());
        wholeClass->SpecialHandler(*object, *this);
    }
}

void TComponentWalk::TranslateAsUsual(QObject &object, const QStringList &followers)
{
    std::set<QString> excluded = UpperCased(followers);
    excluded.insert(fHandledExclusions.begin(), fHandledExclusions.end());
    TranslateBody(object, excluded);
}

void TComponentWalk::TranslateText(QObject &object, const QString &name, const QString &text,
                                   TTextWriter write)
{
    if (!text.isEmpty() && !Skips(fHandledExclusions, name))
        Translate(object, name, text, std::move(write));
}

void TComponentWalk::TranslateBody(QObject &object, const std::set<QString> &excluded)
{
    const QMetaObject &meta = *object.metaObject();
    for (int i = 0; i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (!Skips(excluded, QString::fromUtf8(property.name())))
            TranslateProperty(object, property);
    }
    for (QObject *child : object.children()) {
        const QString name = child->objectName().toUpper();
        if (!fRules.Ignored(name) && !MarkerChild(*child))
            Queue(name, child);
    }
}

void TComponentWalk::TranslateProperty(QObject &object, const QMetaProperty &property)
{
    const QMetaType type = property.metaType();
    if (type.flags().testFlag(QMetaType::PointerToQObject)) {
        QObject *target = property.read(&object).value<QObject *>();
        if (target && !MarkerChild(*target))
            Queue(QString(), target);
        return;
    }
    const bool text = type.id() == QMetaType::QString;
    if ((!text && type.id() != QMetaType::QStringList) || !property.isWritable())
        return;
    const QString name = QString::fromUtf8(property.name());
    const QVariant value = property.read(&object);
    if (text && !value.toString().isEmpty())
        Translate(object, name, value.toString(), {});
    else if (!text)
        TranslateLines(object, name, value.toStringList());
}

void TComponentWalk::Translate(QObject &object, const QString &name, const QString &text,
                               TTextWriter write)
{
    fRecord.Add({&object, name, text, std::move(write)});
    const TTR_RetranslatorItem &item = fRecord.Items().back();
    Guarded(object, name, [&] {
        const QString translation = fRecord.Lookup(text);
        if (translation != text && !item.Write(translation))
            throw std::runtime_error("The property did not take the translated text.");
    });
}

void TComponentWalk::TranslateLines(QObject &object, const QString &name, const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    fRecord.Add({&object, name, lines, {}});
    const TTR_RetranslatorItem &item = fRecord.Items().back();
    Guarded(object, name, [&] {
        const QStringList translation = fRecord.LookupLines(lines);
        if (translation != lines && !item.Write(translation))
            throw std::runtime_error("The property did not take the translated lines.");
    });
}

template <typename TWork>
void TComponentWalk::Guarded(const QObject &object, const QString &name, TWork work)
{
    try {
        work();
    } catch (const std::exception &error) {
        const QString className = QString::fromUtf8(object.metaObject()->className());
        throw ETrComponentError(
            "Property cannot be translated.\r\nAdd TR_GlobalIgnoreClassProperty(" + className +
            ",'" + name + "') to your source code or use\r\nTR_Ignore (self,'." + name +
            "') to prevent this message.\r\nReason: " + QString::fromUtf8(error.what()));
    }
}

void TComponentWalk::Queue(const QString &name, QObject *object)
{
    fWork.push_back({name, object});
}

bool TComponentWalk::Skips(const std::set<QString> &excluded, const QString &name) const
{
    const QString upper = name.toUpper();
    return excluded.contains(upper) || fRules.Ignored(fName + '.' + upper);
}

} // namespace talivo
