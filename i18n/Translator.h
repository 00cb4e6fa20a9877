#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <shared_mutex>

namespace talivo {

class TComponentTranslator;
class TDomain;
class TFileLocator;
class TFrameworkTranslator;

// Knows the current language and text domain, finds each domain's catalog and turns English
// source texts into their translations. The program has one, DefaultInstance(); tests may make
// their own. Lookups belong to the GUI thread.
class TTranslator {
public:
    // Takes the program file from Folders() and the "locale" folder from its data folders (beside
    // the program, else an installed tree's share folder), reads the catalogs appended to the
    // program file and selects the language from the environment. The current domain is
    // "default".
    TTranslator();
    ~TTranslator();
    TTranslator(const TTranslator &) = delete;
    TTranslator &operator=(const TTranslator &) = delete;

    QString gettext(const QString &text);
    // Throws ETrIOError when the domain's catalog exists but cannot be read.
    QString dgettext(const QString &domain, const QString &text);

    void textdomain(const QString &domain);
    QString getcurrenttextdomain() const { return fCurMsgDomain; }
    void bindtextdomain(const QString &domain, const QString &directory);

    // An empty code takes LANG, then the user's locale, and is cut at its first "."; a code given
    // is kept as written. Every domain looks for its catalog again on its next lookup.
    void UseLanguage(const QString &code);
    QString GetCurrentLanguage() const { return fCurLang; }

    // The "locale" folder found at creation, where domains look unless bound elsewhere.
    const QString &DefaultDomainDirectory() const { return fDefaultDomainDirectory; }
    TFileLocator &Locator() { return *fLocator; }
    // Window translation: its class rules and TranslateComponent.
    TComponentTranslator &ComponentTranslator() { return *fComponentTranslator; }

    // A text of the GUI framework: the first translation in the resource-string domains that
    // differs from the text, else the text.
    QString LoadResString(const QString &text);
    void AddDomainForResourceString(const QString &domain);
    void RemoveDomainForResourceString(const QString &domain);

    // Passes the GUI framework's own texts through LoadResString from now on, for the life of
    // this translator or of the application object, whichever ends first. Does nothing without
    // an application object or when the texts are routed already.
    void RouteFrameworkTexts();

private:
    TDomain &FindDomain(const QString &domain);

    QString fCurLang;
    QString fCurMsgDomain = QStringLiteral("default");
    QString fDefaultDomainDirectory;
    std::unique_ptr<TFileLocator> fLocator;
    // Keyed by the case-folded domain name; declared after the locator, so each domain releases
    // its catalog before the locator goes.
    std::map<QString, std::unique_ptr<TDomain>> fDomainList;
    QStringList fResourceStringDomains{QStringLiteral("default")};
    std::shared_mutex fResourceStringDomainsCS;
    QPointer<TFrameworkTranslator> fFrameworkTranslator;
    std::unique_ptr<TComponentTranslator> fComponentTranslator;
};

} // namespace talivo
