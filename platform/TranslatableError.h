#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

namespace talivo {

// Marks a text for the catalogs where it is not translated at once (the keyword N_ of
// xgettext). The libraries below the counting workspace cannot translate, so their errors carry
// such texts and are translated where they are shown.
constexpr const char *N_(const char *text)
{
    return text;
}

// An error that a user may read: an English text with the placeholders %1 to %9 and the values
// that fill them. what() is the English message, Translated() the message in the user's language.
class ETranslatableError : public std::runtime_error {
public:
    // The text must live as long as the program: a literal marked with N_.
    explicit ETranslatableError(const char *text, const QStringList &arguments = {});

    const char *Text() const { return fText; }
    const QStringList &Arguments() const { return fArguments; }
    // The text through the installed translation, with the values filled in.
    QString Translated() const;

    // Fills the placeholders in one pass, so a value that holds "%2" stays as it is.
    static QString Fill(const QString &text, const QStringList &arguments);

    using TTranslation = QString (*)(const QString &text);
    // The translation of the texts of every such error; nullptr (the default) keeps them English.
    static void SetTranslation(TTranslation translation);

private:
    const char *fText;
    QStringList fArguments;
};

} // namespace talivo
