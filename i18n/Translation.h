#pragma once

#include <QString>

namespace talivo {

class TTranslator;

// The process-wide translator, created on first use. The entry point calls textdomain("Talivo")
// before it creates any window.
TTranslator &DefaultInstance();

// The free functions of the translation unit; all act on DefaultInstance().
void textdomain(const QString &domain);
// An empty code takes LANG, then the user's locale (see TTranslator::UseLanguage).
void UseLanguage(const QString &code);
// The translation of an English source text in the current domain; the source text itself when
// no catalog or no entry is found. Line ends of the result are carriage return plus line feed.
QString _(const QString &text);
QString gettext(const QString &text);
QString dgettext(const QString &domain, const QString &text);
void bindtextdomain(const QString &domain, const QString &directory);
QString getcurrenttextdomain();
QString GetCurrentLanguage();

// The GUI framework's own texts: tried in every resource-string domain ("default" only, unless
// added), the first translation that differs from the text wins.
QString LoadResString(const QString &text);
void AddDomainForResourceString(const QString &domain);
void RemoveDomainForResourceString(const QString &domain);

} // namespace talivo
