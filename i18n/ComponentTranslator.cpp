#include "i18n/ComponentTranslator.h"

#include "i18n/ComponentWalk.h"
#include "i18n/QtClassRules.h"
#include "i18n/TranslationError.h"
#include "i18n/TranslationMarker.h"
#include "i18n/Translator.h"
#include "platform/Platform.h"

#include <QMetaObject>
#include <QScopeGuard>
#include <algorithm>
#include <memory>

namespace talivo {

namespace {

QString ClassName(const QMetaObject &hClass)
{
    return QString::fromUtf8(hClass.className());
}

} // namespace

TComponentTranslator::TComponentTranslator(TTranslator &translator) : fTranslator(translator)
{
    TR_GlobalIgnoreClassProperty(QObject::staticMetaObject, "objectName");
    RegisterQtClassRules(*this);
}

void TComponentTranslator::TranslateComponent(QObject &component, const QString &textDomain)
{
    if (const TTranslationMarker *marker = FindMarker(component)) {
        // The marker keeps the language the texts are in, so that RetranslateComponent still
        // finds the work to do.
        if (marker->LastLanguage() != fTranslator.GetCurrentLanguage()) {
            Prompter().Warning(
                "This application tried to switch the language, but in an incorrect way. The "
                "programmer needs to replace a call to TranslateComponent with a call to "
                "RetranslateComponent(). The programmer should see the changelog of the "
                "translation unit for more information.",
                "Error");
        }
        return;
    }
    auto marker = std::make_unique<TTranslationMarker>(fTranslator);
    {
        // The rules for the next translation are spent however this one ends, so they never
        // reach the translation of another window.
        const auto spent = qScopeGuard([this] {
            fClassHandling.clear();
            fIgnoreList.clear();
        });
        TTR_Retranslator &record = marker->Retranslator();
        record.SetTextDomain(textDomain.isEmpty() ? fTranslator.getcurrenttextdomain()
                                                  : textDomain);
        TComponentWalk(*this, record).Run(component);
    }
    // Attached only now, so the marker itself is never translated.
    marker->SetLastLanguage(fTranslator.GetCurrentLanguage());
    marker.release()->setParent(&component);
}

void TComponentTranslator::RetranslateComponent(QObject &component)
{
    TTranslationMarker *marker = FindMarker(component);
    if (!marker) {
        throw ETrProgrammingError(
            "Retranslate was called on an object that has not been translated before. Please use "
            "TranslateComponent() before RetranslateComponent().");
    }
    if (marker->LastLanguage() != fTranslator.GetCurrentLanguage())
        marker->Retranslator().Execute();
    marker->SetLastLanguage(fTranslator.GetCurrentLanguage());
}

void TComponentTranslator::TR_GlobalIgnoreClassProperty(const QMetaObject &hClass,
                                                        const QString &propertyName)
{
    TClassMode *rule = RuleOf(fGlobalClassHandling, hClass);
    if (!rule) {
        InsertRule(fGlobalClassHandling, {&hClass, {}, {propertyName.toUpper()}});
        return;
    }
    if (rule->SpecialHandler) {
        throw ETrProgrammingError(
            "You cannot ignore a class property for a class that has a handler set.");
    }
    // A class left out as a whole has no property left to leave out; adding one would make the
    // rule a property rule and bring the class back into the translation.
    if (!rule->WholeClass())
        rule->PropertiesToIgnore.insert(propertyName.toUpper());
}

void TComponentTranslator::TR_GlobalIgnoreClass(const QMetaObject &hClass)
{
    if (RuleOf(fGlobalClassHandling, hClass)) {
        throw ETrProgrammingError(
            "You cannot add a class to the ignore list that is already on that list: " +
            ClassName(hClass) +
            ". You should keep all TR_Global functions in one place in your source code.");
    }
    InsertRule(fGlobalClassHandling, {&hClass, {}, {}});
}

void TComponentTranslator::TR_GlobalHandleClass(const QMetaObject &hClass, TClassHandler handler)
{
    if (RuleOf(fGlobalClassHandling, hClass)) {
        throw ETrProgrammingError(
            "You cannot set a handler for a class that has already been assigned otherwise.");
    }
    InsertRule(fGlobalClassHandling, {&hClass, std::move(handler), {}});
}

void TComponentTranslator::TR_IgnoreClass(const QMetaObject &hClass)
{
    if (RuleOf(fClassHandling, hClass)) {
        throw ETrProgrammingError(
            "You cannot add a class to the ignore list that is already on that list: " +
            ClassName(hClass) + ".");
    }
    InsertRule(fClassHandling, {&hClass, {}, {}});
}

void TComponentTranslator::TR_Ignore(const QString &name)
{
    fIgnoreList.insert(name.toUpper());
}

const TClassMode *TComponentTranslator::FindClassRule(const QMetaObject &hClass,
                                                      std::set<QString> &excluded) const
{
    for (const std::vector<TClassMode> *rules : {&fClassHandling, &fGlobalClassHandling}) {
        for (const TClassMode &rule : *rules) {
            if (!hClass.inherits(rule.HClass))
                continue;
            if (rule.WholeClass())
                return &rule;
            excluded.insert(rule.PropertiesToIgnore.begin(), rule.PropertiesToIgnore.end());
        }
    }
    return nullptr;
}

std::set<QString> TComponentTranslator::ExcludedProperties(const QMetaObject &hClass) const
{
    std::set<QString> excluded;
    for (const std::vector<TClassMode> *rules : {&fClassHandling, &fGlobalClassHandling}) {
        for (const TClassMode &rule : *rules) {
            if (hClass.inherits(rule.HClass))
                excluded.insert(rule.PropertiesToIgnore.begin(), rule.PropertiesToIgnore.end());
        }
    }
    return excluded;
}

void TComponentTranslator::InsertRule(std::vector<TClassMode> &rules, TClassMode rule)
{
    const auto ancestor = std::find_if(rules.begin(), rules.end(), [&](const TClassMode &existing) {
        return rule.HClass->inherits(existing.HClass);
    });
    rules.insert(ancestor, std::move(rule));
}

TClassMode *TComponentTranslator::RuleOf(std::vector<TClassMode> &rules, const QMetaObject &hClass)
{
    const auto found = std::find_if(rules.begin(), rules.end(),
                                    [&](const TClassMode &rule) { return rule.HClass == &hClass; });
    return found == rules.end() ? nullptr : &*found;
}

} // namespace talivo
