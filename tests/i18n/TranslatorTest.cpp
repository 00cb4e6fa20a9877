#include "i18n/Translator.h"
#include "i18n/FileLocator.h"
#include "i18n/MoFile.h"
#include "i18n/TranslationError.h"
#include "platform/Platform.h"
#include "tests/i18n/CatalogSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace talivo {
namespace {

using test::BuildCatalog;
using test::TProgramFixture;

QString Po(const QString &entries, const char *header = test::cUtf8Header)
{
    return QString(header) + entries;
}

const QString cGerman = Po(R"(
msgid "Add mark"
msgstr "Markierung hinzufügen"

msgid "Line one\nLine two"
msgstr "Zeile eins\nZeile zwei"
)");

TEST(Translator, TakesTheLanguageFromLangAndFallsBackToTwoLetters)
{
    TProgramFixture program;
    BuildCatalog(cGerman, program.CatalogPath("de"), "big");
    test::TScopedEnvironment lang("LANG", "de_DE.UTF-8");
    TTranslator translator;
    translator.textdomain("Talivo");
    EXPECT_EQ(translator.GetCurrentLanguage(), "de_DE");
    EXPECT_EQ(translator.getcurrenttextdomain(), "Talivo");
    EXPECT_EQ(translator.gettext("Add mark"), "Markierung hinzufügen");
    EXPECT_EQ(translator.gettext("Delete mark"), "Delete mark");

    // A catalog of the full code wins over the two-letter one.
    BuildCatalog(Po("msgid \"Add mark\"\nmsgstr \"Marke setzen\"\n"), program.CatalogPath("de_DE"));
    translator.UseLanguage("de_DE");
    EXPECT_EQ(translator.gettext("Add mark"), "Marke setzen");
    EXPECT_TRUE(program.fPrompter.Asked().empty());
}

TEST(Translator, KeepsACodeGivenAsWritten)
{
    TProgramFixture program;
    BuildCatalog(cGerman, program.CatalogPath("de"));
    TTranslator translator;
    translator.textdomain("Talivo");
    translator.UseLanguage("EN");
    EXPECT_EQ(translator.GetCurrentLanguage(), "EN");
    EXPECT_EQ(translator.gettext("Add mark"), "Add mark");
    translator.UseLanguage("de_DE.UTF-8");
    EXPECT_EQ(translator.GetCurrentLanguage(), "de_DE.UTF-8");
    EXPECT_EQ(translator.gettext("Add mark"), "Markierung hinzufügen");
    // A language file may write the code in capitals: the folder de serves it, and the code
    // stays as written.
    translator.UseLanguage("DE");
    EXPECT_EQ(translator.GetCurrentLanguage(), "DE");
    EXPECT_EQ(translator.gettext("Add mark"), "Markierung hinzufügen");
    translator.UseLanguage("De_at");
    EXPECT_EQ(translator.gettext("Add mark"), "Markierung hinzufügen");
    EXPECT_TRUE(program.fPrompter.Asked().empty());
}

TEST(Translator, WritesLineEndsAsCarriageReturnAndLineFeed)
{
    TProgramFixture program;
    BuildCatalog(cGerman, program.CatalogPath("de"));
    TTranslator translator;
    translator.UseLanguage("de");
    EXPECT_EQ(translator.dgettext("Talivo", "Line one\r\nLine two"), "Zeile eins\r\nZeile zwei");
    EXPECT_EQ(translator.dgettext("talivo", "Line one\nLine two"), "Zeile eins\r\nZeile zwei");
    EXPECT_EQ(translator.dgettext("Talivo", "a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
    EXPECT_TRUE(translator.dgettext("Talivo", "").contains("charset=UTF-8\r\n"));
    EXPECT_EQ(translator.dgettext("Other", ""), "");
}

TEST(Translator, TurnsADomainWithAnotherCharsetOffOnce)
{
    TProgramFixture program;
    BuildCatalog(Po("msgid \"Add mark\"\nmsgstr \"Marke\"\n",
                    "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n"),
                 program.CatalogPath("de"));
    BuildCatalog(cGerman, program.CatalogPath("fr"));
    TTranslator translator;
    translator.textdomain("Talivo");
    translator.UseLanguage("de");
    EXPECT_EQ(translator.gettext("Add mark"), "Add mark");
    EXPECT_EQ(translator.gettext("Add mark"), "Add mark");
    ASSERT_EQ(program.fPrompter.Asked().size(), 1u);
    const TPromptRecord &box = program.fPrompter.Asked()[0];
    EXPECT_EQ(box.Kind, TPromptKind::pkWarning);
    EXPECT_EQ(box.Caption, "Localization problem");
    EXPECT_EQ(box.Text, "The translation for the language code de (in " +
                            program.CatalogPath("de") +
                            ") does not have charset=utf-8 in its Content-Type. Translations "
                            "are turned off.");
    // For the rest of the run, whatever the language.
    translator.UseLanguage("fr");
    EXPECT_EQ(translator.gettext("Add mark"), "Add mark");
    EXPECT_EQ(program.fPrompter.Asked().size(), 1u);
}

TEST(Translator, SearchesAgainOnlyAfterTheLanguageChanges)
{
    TProgramFixture program;
    TTranslator translator;
    translator.textdomain("Talivo");
    translator.UseLanguage("de");
    EXPECT_EQ(translator.gettext("Add mark"), "Add mark");
    BuildCatalog(cGerman, program.CatalogPath("de"));
    EXPECT_EQ(translator.gettext("Add mark"), "Add mark");
    translator.UseLanguage("de");
    EXPECT_EQ(translator.gettext("Add mark"), "Markierung hinzufügen");
}

TEST(Translator, ReportsABrokenCatalogAndTriesAgain)
{
    TProgramFixture program;
    BuildCatalog(cGerman, program.CatalogPath("de"));
    QFile file(program.CatalogPath("de"));
    const QByteArray good = [&] {
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        const QByteArray bytes = file.readAll();
        file.seek(0);
        file.write("junk");
        file.close();
        return bytes;
    }();
    TTranslator translator;
    translator.textdomain("Talivo");
    translator.UseLanguage("de");
    try {
        translator.gettext("Add mark");
        ADD_FAILURE() << "no error";
    } catch (const ETrIOError &error) {
        EXPECT_EQ(error.what(),
                  ("This file is not a valid GNU gettext mo file: " + program.CatalogPath("de"))
                      .toStdString());
    }
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(good);
    file.close();
    EXPECT_EQ(translator.gettext("Add mark"), "Markierung hinzufügen");
}

TEST(Translator, BindsADomainToAnotherFolder)
{
    TProgramFixture program;
    BuildCatalog(cGerman, program.fDir.file("elsewhere/de/LC_MESSAGES/Talivo.mo"));
    TTranslator translator;
    EXPECT_EQ(translator.DefaultDomainDirectory(), program.fDir.file("locale"));
    EXPECT_EQ(translator.getcurrenttextdomain(), "default");
    translator.UseLanguage("de");
    EXPECT_EQ(translator.dgettext("Talivo", "Add mark"), "Add mark");
    translator.bindtextdomain("Talivo", program.fDir.file("elsewhere"));
    EXPECT_EQ(translator.dgettext("Talivo", "Add mark"), "Markierung hinzufügen");
}

// An installed tree keeps the program in bin/ and its catalogs in share/talivo/locale; a build
// folder or a Windows folder keeps them beside the program, and those win.
TEST(Translator, FindsTheCatalogsOfAnInstalledTree)
{
    test::TempDir dir;
    TFixedFolders folders(dir.file("data"), dir.file("usr/bin/Talivo"));
    TScopedFolders guard(&folders);
    const QString shared = dir.file("usr/share/talivo/locale");
    BuildCatalog(cGerman, shared + "/de/LC_MESSAGES/Talivo.mo");
    // /usr/bin holds the program "locale" too.
    QDir().mkpath(dir.file("usr/bin"));
    QFile program(dir.file("usr/bin/locale"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();
    {
        TTranslator translator;
        EXPECT_EQ(translator.DefaultDomainDirectory().toStdString(), shared.toStdString());
        translator.UseLanguage("de");
        EXPECT_EQ(translator.dgettext("Talivo", "Add mark"), "Markierung hinzufügen");
    }
    QFile::remove(program.fileName());
    BuildCatalog(Po("msgid \"Add mark\"\nmsgstr \"Marke\"\n"),
                 dir.file("usr/bin/locale/de/LC_MESSAGES/Talivo.mo"));
    TTranslator translator;
    EXPECT_EQ(translator.DefaultDomainDirectory().toStdString(),
              dir.file("usr/bin/locale").toStdString());
    translator.UseLanguage("de");
    EXPECT_EQ(translator.dgettext("Talivo", "Add mark"), "Marke");
}

TEST(Translator, LoadsResourceStringsFromTheirDomainsOnly)
{
    TProgramFixture program;
    BuildCatalog(Po("msgid \"Cancel\"\nmsgstr \"Abbrechen\"\n"),
                 program.CatalogPath("de", "default"));
    BuildCatalog(Po("msgid \"Close\"\nmsgstr \"Schliessen\"\n"),
                 program.CatalogPath("de", "extra"));
    TTranslator translator;
    translator.UseLanguage("de");
    EXPECT_EQ(translator.LoadResString("Cancel"), "Abbrechen");
    EXPECT_EQ(translator.LoadResString("Close"), "Close");
    // An untranslated text comes back as given, not with carriage returns added.
    EXPECT_EQ(translator.LoadResString("Line one\nLine two"), "Line one\nLine two");
    EXPECT_EQ(translator.LoadResString(""), "");
    translator.AddDomainForResourceString("extra");
    EXPECT_EQ(translator.LoadResString("Close"), "Schliessen");
    translator.RemoveDomainForResourceString("EXTRA");
    EXPECT_EQ(translator.LoadResString("Close"), "Close");
}

TEST(FileLocator, SharesOneCatalogPerFileAndCountsItsUsers)
{
    TProgramFixture program;
    BuildCatalog(cGerman, program.CatalogPath("de"));
    TFileLocator locator(program.ProgramFile());
    EXPECT_EQ(locator.basedirectory(), program.fDir.path() + "/");
    EXPECT_TRUE(locator.FileExists(program.CatalogPath("de")));
    EXPECT_FALSE(locator.FileExists(program.CatalogPath("fr")));
    EXPECT_FALSE(locator.FileExists(program.fDir.file("locale")));
    TMoFile *first = locator.GetMoFile(program.CatalogPath("de"));
    TMoFile *second = locator.GetMoFile(program.CatalogPath("de"));
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->Users, 2);
    locator.ReleaseMoFile(first);
    EXPECT_EQ(second->Users, 1);
    locator.ReleaseMoFile(second);
    EXPECT_THROW(locator.GetMoFile(program.CatalogPath("fr")), ETrIOError);
}

} // namespace
} // namespace talivo
