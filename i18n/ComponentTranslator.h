#pragma once

#include "i18n/ClassMode.h"

#include <QSet>
#include <QString>
#include <set>
#include <vector>

class QObject;
struct QMetaObject;

namespace talivo {

class TTranslator;

// The window translation of one translator: its class rules, the keys to leave out of the next
// translation, and the operations behind TranslateComponent and RetranslateComponent. Not
// re-entrant; GUI thread only.
class TComponentTranslator {
public:
    // Registers the permanent rules every translation needs: component names are never
    // translated, and the Qt classes that keep texts outside their properties get handlers.
    explicit TComponentTranslator(TTranslator &translator);
    TComponentTranslator(const TComponentTranslator &) = delete;
    TComponentTranslator &operator=(const TComponentTranslator &) = delete;

    // Translates the component and everything it owns into the current language, once: a second
    // call in the same language does nothing, and one in another language only shows an error
    // box (RetranslateComponent is the way to switch). An empty domain means the current one.
    // A text that cannot be looked up or written ends the translation with ETrComponentError;
    // the component then stays unmarked.
    void TranslateComponent(QObject &component, const QString &textDomain);
    // Translates a translated component anew into the current language, in the domain of its
    // first translation. ETrProgrammingError when it was never translated.
    void RetranslateComponent(QObject &component);

    // Permanent rules. Errors are ETrProgrammingError.
    void TR_GlobalIgnoreClassProperty(const QMetaObject &hClass, const QString &propertyName);
    void TR_GlobalIgnoreClass(const QMetaObject &hClass);
    void TR_GlobalHandleClass(const QMetaObject &hClass, TClassHandler handler);
    // For the next translation only: a class, or a key that is either a component name or a
    // component name, ".", and a property name (an empty component name is the translated
    // component itself and whatever its properties refer to).
    void TR_IgnoreClass(const QMetaObject &hClass);
    void TR_Ignore(const QString &name);

    // The whole-class rule that applies to objects of the class, if any; otherwise null, and the
    // property names that the matching rules leave out are added to excluded.
    const TClassMode *FindClassRule(const QMetaObject &hClass, std::set<QString> &excluded) const;
    // The property names that all property rules for the class leave out, whole-class rules
    // aside.
    std::set<QString> ExcludedProperties(const QMetaObject &hClass) const;
    bool Ignored(const QString &key) const { return fIgnoreList.contains(key); }

private:
    static void InsertRule(std::vector<TClassMode> &rules, TClassMode rule);
    static TClassMode *RuleOf(std::vector<TClassMode> &rules, const QMetaObject &hClass);

    TTranslator &fTranslator;
    // Each list keeps a class before every class it derives from.
    std::vector<TClassMode> fGlobalClassHandling;
    std::vector<TClassMode> fClassHandling;
    // Upper case.
    QSet<QString> fIgnoreList;
};

} // namespace talivo
