#pragma once

#include <QString>
#include <cstdint>

namespace talivo {

// The language code of a Windows locale identifier, "C" for one without a catalog language.
QString LanguageOfLocaleId(uint32_t localeId);

// The language code of a locale: language + "_" + country when both are two-letter names (ISO 639
// and ISO 3166), with Norwegian "no" taken as Bokmål "nb"; otherwise that of the locale identifier.
QString LanguageOfLocale(const QString &language, const QString &country, uint32_t localeId);

// The language code of the user's locale.
QString SystemLanguage();

} // namespace talivo
