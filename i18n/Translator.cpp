#include "i18n/Translator.h"

#include "i18n/ComponentTranslator.h"
#include "i18n/Domain.h"
#include "i18n/FileLocator.h"
#include "i18n/FrameworkTranslator.h"
#include "i18n/SystemLanguage.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <mutex>

namespace talivo {

namespace {

// Catalogs hold line ends as single line feeds, the program's texts as carriage return and line
// feed.
QString WithCarriageReturns(const QByteArray &utf8)
{
    QByteArray text;
    text.reserve(utf8.size());
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r'))
            text.append('\r');
        text.append(utf8[i]);
    }
    return QString::fromUtf8(text);
}

} // namespace

TTranslator::TTranslator()
    : fLocator(std::make_unique<TFileLocator>(Folders().ProgramFile())),
      fComponentTranslator(std::make_unique<TComponentTranslator>(*this))
{
    // Catalogs appended to the program file are found by their path beside it.
    fDefaultDomainDirectory = fLocator->AppendedCount() > 0 ? Folders().ProgramFolder() + "/locale"
                                                            : Folders().FindDataFolder("locale");
    UseLanguage({});
    bindtextdomain("default", fDefaultDomainDirectory);
    textdomain("default");
}

TTranslator::~TTranslator()
{
    delete fFrameworkTranslator;
}

QString TTranslator::gettext(const QString &text)
{
    return dgettext(fCurMsgDomain, text);
}

QString TTranslator::dgettext(const QString &domain, const QString &text)
{
    QByteArray source = text.toUtf8();
    source.replace("\r", "");
    return WithCarriageReturns(FindDomain(domain).gettext(source));
}

void TTranslator::textdomain(const QString &domain)
{
    fCurMsgDomain = domain;
}

void TTranslator::bindtextdomain(const QString &domain, const QString &directory)
{
    FindDomain(domain).SetDirectory(directory);
}

void TTranslator::UseLanguage(const QString &code)
{
    QString language = code;
    if (language.isEmpty()) {
        language = qEnvironmentVariable("LANG");
        if (language.isEmpty())
            language = SystemLanguage();
        language = language.section('.', 0, 0);
    }
    fCurLang = language;
    for (auto &[name, domain] : fDomainList)
        domain->SetLanguageCode(fCurLang);
}

TDomain &TTranslator::FindDomain(const QString &domain)
{
    std::unique_ptr<TDomain> &found = fDomainList[domain.toCaseFolded()];
    if (!found)
        found = std::make_unique<TDomain>(*fLocator, domain, fDefaultDomainDirectory, fCurLang);
    return *found;
}

QString TTranslator::LoadResString(const QString &text)
{
    if (text.isEmpty())
        return text;
    // An untranslated text comes back with carriage returns added; that is no translation.
    const QString untranslated = WithCarriageReturns(QByteArray(text.toUtf8()).replace("\r", ""));
    std::shared_lock lock(fResourceStringDomainsCS);
    for (const QString &domain : std::as_const(fResourceStringDomains)) {
        const QString translation = dgettext(domain, text);
        if (translation != untranslated)
            return translation;
    }
    return text;
}

void TTranslator::AddDomainForResourceString(const QString &domain)
{
    std::unique_lock lock(fResourceStringDomainsCS);
    if (!fResourceStringDomains.contains(domain, Qt::CaseInsensitive))
        fResourceStringDomains.append(domain);
}

void TTranslator::RemoveDomainForResourceString(const QString &domain)
{
    std::unique_lock lock(fResourceStringDomainsCS);
    fResourceStringDomains.removeIf(
        [&](const QString &name) { return name.compare(domain, Qt::CaseInsensitive) == 0; });
}

void TTranslator::RouteFrameworkTexts()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || fFrameworkTranslator)
        return;
    fFrameworkTranslator = new TFrameworkTranslator(*this, application);
    QCoreApplication::installTranslator(fFrameworkTranslator);
}

} // namespace talivo
