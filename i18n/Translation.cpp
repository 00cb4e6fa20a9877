#include "i18n/Translation.h"

#include "i18n/Translator.h"
#include "platform/TranslatableError.h"

namespace talivo {

TTranslator &DefaultInstance()
{
    static TTranslator instance;
    // Errors raised below the counting workspace carry English texts; shown, they speak the
    // program's language.
    [[maybe_unused]] static const bool errorsTranslated =
        (ETranslatableError::SetTranslation(&_), true);
    // Routing needs the application object, which may come after the first call.
    instance.RouteFrameworkTexts();
    return instance;
}

void textdomain(const QString &domain)
{
    DefaultInstance().textdomain(domain);
}

void UseLanguage(const QString &code)
{
    DefaultInstance().UseLanguage(code);
}

QString _(const QString &text)
{
    return DefaultInstance().gettext(text);
}

QString gettext(const QString &text)
{
    return DefaultInstance().gettext(text);
}

QString dgettext(const QString &domain, const QString &text)
{
    return DefaultInstance().dgettext(domain, text);
}

void bindtextdomain(const QString &domain, const QString &directory)
{
    DefaultInstance().bindtextdomain(domain, directory);
}

QString getcurrenttextdomain()
{
    return DefaultInstance().getcurrenttextdomain();
}

QString GetCurrentLanguage()
{
    return DefaultInstance().GetCurrentLanguage();
}

QString LoadResString(const QString &text)
{
    return DefaultInstance().LoadResString(text);
}

void AddDomainForResourceString(const QString &domain)
{
    DefaultInstance().AddDomainForResourceString(domain);
}

void RemoveDomainForResourceString(const QString &domain)
{
    DefaultInstance().RemoveDomainForResourceString(domain);
}

} // namespace talivo
