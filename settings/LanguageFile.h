#pragma once

#include <QString>

namespace talivo {

// "Lang.ini" in the program file's folder, absolute.
QString LanguageFileName();

// The language the language file chooses: "Lang" in the section "Settings", "EN" when the key is
// missing. Empty when there is no language file or the key has no value; the language then stays
// as the translator chose it.
QString ReadLanguageFile();

// Selects the language file's choice (UseLanguage), when it makes one.
void ApplyLanguageFile();

} // namespace talivo
