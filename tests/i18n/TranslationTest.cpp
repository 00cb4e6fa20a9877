#include "i18n/Translation.h"
#include "i18n/SystemLanguage.h"
#include "i18n/Translator.h"
#include "tests/i18n/CatalogSupport.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QThread>
#include <gtest/gtest.h>

namespace talivo {
namespace {

TEST(SystemLanguage, JoinsTwoLetterNamesElseMapsTheLocaleIdentifier)
{
    EXPECT_EQ(LanguageOfLocale("de", "DE", 1033), "de_DE");
    EXPECT_EQ(LanguageOfLocale("No", "NO", 0), "nb_NO");
    EXPECT_EQ(LanguageOfLocale("haw", "US", 1031), "de_DE");
    EXPECT_EQ(LanguageOfLocale("pt", "", 1046), "pt_BR");
    EXPECT_EQ(LanguageOfLocale("C", "ZZ", 0x7F), "C");
    EXPECT_EQ(LanguageOfLocaleId(1034), "es_ES");
    EXPECT_EQ(LanguageOfLocaleId(3082), "es_ES");
    EXPECT_EQ(LanguageOfLocaleId(2068), "nn_NO");
    EXPECT_EQ(LanguageOfLocaleId(4103), "de_LU");
    EXPECT_EQ(LanguageOfLocaleId(1041), "C");
}

// The process-wide translator, bound for one test to catalogs in a temporary folder.
class DefaultInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fLanguage = GetCurrentLanguage();
        fDomain = getcurrenttextdomain();
        test::BuildCatalog(QString(test::cUtf8Header) +
                               "msgid \"Cancel\"\nmsgstr \"Abbrechen\"\n"
                               "msgid \"%1 already exists.\\nReplace it?\"\n"
                               "msgstr \"%1 gibt es schon.\\nErsetzen?\"\n",
                           fDir.file("de/LC_MESSAGES/default.mo"));
        test::BuildCatalog(QString(test::cUtf8Header) +
                               "msgid \"Add mark\"\nmsgstr \"Marke setzen\"\n",
                           fDir.file("de/LC_MESSAGES/Talivo.mo"));
        bindtextdomain("default", fDir.path());
        bindtextdomain("Talivo", fDir.path());
    }

    void TearDown() override
    {
        bindtextdomain("default", DefaultInstance().DefaultDomainDirectory());
        bindtextdomain("Talivo", DefaultInstance().DefaultDomainDirectory());
        UseLanguage(fLanguage);
        textdomain(fDomain);
    }

    test::TempDir fDir;
    QString fLanguage;
    QString fDomain;
};

TEST_F(DefaultInstanceTest, FreeFunctionsActOnTheDefaultInstance)
{
    textdomain("Talivo");
    UseLanguage("de");
    EXPECT_EQ(getcurrenttextdomain(), "Talivo");
    EXPECT_EQ(GetCurrentLanguage(), "de");
    EXPECT_EQ(_("Add mark"), "Marke setzen");
    EXPECT_EQ(gettext("Add mark"), "Marke setzen");
    EXPECT_EQ(dgettext("default", "Cancel"), "Abbrechen");
    EXPECT_EQ(LoadResString("Cancel"), "Abbrechen");
    EXPECT_EQ(_("Cancel"), "Cancel");
}

TEST_F(DefaultInstanceTest, QtTextsAreTranslatedOnTheGuiThreadOnly)
{
    UseLanguage("de");
    QDialogButtonBox buttons(QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "Abbrechen");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Apply"), "Apply");

    QString elsewhere;
    QThread *worker = QThread::create(
        [&] { elsewhere = QCoreApplication::translate("QPlatformTheme", "Cancel"); });
    worker->start();
    worker->wait();
    delete worker;
    EXPECT_EQ(elsewhere, "Cancel");
}

TEST_F(DefaultInstanceTest, QtTextsKeepTheirOwnLineEnds)
{
    UseLanguage("de");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "%1 already exists.\nReplace it?"),
              "%1 gibt es schon.\nErsetzen?");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "%1 already exists.\r\nReplace it?"),
              "%1 gibt es schon.\r\nErsetzen?");
    EXPECT_EQ(LoadResString("%1 already exists.\nReplace it?"), "%1 gibt es schon.\r\nErsetzen?");
}

} // namespace
} // namespace talivo
