#include "i18n/SystemLanguage.h"

#include <QLocale>
#include <map>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace talivo {

namespace {

// The locale identifier that names no language of its own.
constexpr uint32_t cLocaleInvariant = 0x007F;

bool IsTwoLetters(const QString &name)
{
    return name.size() == 2 && name[0].isLetter() && name[1].isLetter();
}

uint32_t ThreadLocaleId()
{
#ifdef Q_OS_WIN
    return GetThreadLocale();
#else
    return cLocaleInvariant;
#endif
}

} // namespace

QString LanguageOfLocaleId(uint32_t localeId)
{
    static const std::map<uint32_t, const char *> codes = {
        {1030, "da_DK"}, {1031, "de_DE"}, {1032, "el_GR"}, {1033, "en_US"}, {1034, "es_ES"},
        {1035, "fi_FI"}, {1036, "fr_FR"}, {1039, "is_IS"}, {1040, "it_IT"}, {1042, "ko_KR"},
        {1043, "nl_NL"}, {1044, "nb_NO"}, {1045, "pl_PL"}, {1046, "pt_BR"}, {1049, "ru_RU"},
        {1053, "sv_SE"}, {2057, "en_GB"}, {2060, "fr_BE"}, {2067, "nl_BE"}, {2068, "nn_NO"},
        {2070, "pt_PT"}, {2077, "sv_FI"}, {3082, "es_ES"}, {3084, "fr_CA"}, {4103, "de_LU"},
    };
    const auto found = codes.find(localeId);
    return found == codes.end() ? QStringLiteral("C") : QString::fromLatin1(found->second);
}

QString LanguageOfLocale(const QString &language, const QString &country, uint32_t localeId)
{
    if (!IsTwoLetters(language) || !IsTwoLetters(country))
        return LanguageOfLocaleId(localeId);
    const QString code = language.compare("no", Qt::CaseInsensitive) == 0 ? "nb" : language;
    return code + '_' + country;
}

QString SystemLanguage()
{
    const QLocale locale = QLocale::system();
    return LanguageOfLocale(QLocale::languageToCode(locale.language()),
                            QLocale::territoryToCode(locale.territory()), ThreadLocaleId());
}

} // namespace talivo
