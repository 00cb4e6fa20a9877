#include "i18n/TranslateComponent.h"

#include "i18n/ComponentTranslator.h"
#include "i18n/Translation.h"
#include "i18n/Translator.h"

namespace talivo {

namespace {

TComponentTranslator &Components()
{
    return DefaultInstance().ComponentTranslator();
}

} // namespace

void TranslateComponent(QObject &component, const QString &textDomain)
{
    Components().TranslateComponent(component, textDomain);
}

void RetranslateComponent(QObject &component)
{
    Components().RetranslateComponent(component);
}

void TR_GlobalIgnoreClassProperty(const QMetaObject &hClass, const QString &propertyName)
{
    Components().TR_GlobalIgnoreClassProperty(hClass, propertyName);
}

void TR_GlobalIgnoreClass(const QMetaObject &hClass)
{
    Components().TR_GlobalIgnoreClass(hClass);
}

void TR_GlobalHandleClass(const QMetaObject &hClass, TClassHandler handler)
{
    Components().TR_GlobalHandleClass(hClass, std::move(handler));
}

void TR_IgnoreClass(const QMetaObject &hClass)
{
    Components().TR_IgnoreClass(hClass);
}

void TR_Ignore(const QObject &, const QString &name)
{
    Components().TR_Ignore(name);
}

} // namespace talivo
