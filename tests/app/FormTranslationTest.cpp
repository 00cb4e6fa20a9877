#include "app/ColorBox.h"
#include "app/FormGroupSettings.h"
#include "app/FormMain.h"
#include "graph/canvas/CanvasColors.h"
#include "i18n/Translation.h"
#include "i18n/Translator.h"
#include "platform/Platform.h"
#include "platform/ScriptedPrompter.h"
#include "settings/FormInfo.h"

#include "tests/common/TestMain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>
#include <utility>

namespace talivo {
namespace {

const std::pair<const char *, const char *> cGerman[] = {
    {"File", "Datei"},
    {"Open image ...", "Bild öffnen ..."},
    {"Group", "Gruppe"},
    {"Count", "Anzahl"},
    {"Add group", "Gruppe hinzufügen"},
    {" Hide marks ", " Marken ausblenden "},
    {"Korvel Talivo", "Nicht übersetzen"},
    {"Korvel Merivo", "Nicht übersetzen"},
    {"Info", "Information"},
    {"Group settings", "Gruppeneinstellungen"},
    {"Lime", "Hellgrün"},
};

// The three windows made the way the program makes them, after a language file that selects
// German and a German catalog of the current domain.
class FormTranslationTest : public ::testing::Test {
protected:
    FormTranslationTest()
        : fFolders(fDir.file("data"), fDir.file("bin/Talivo")), fFoldersGuard(&fFolders),
          fPrompterGuard(&fPrompter), fLanguage(GetCurrentLanguage()),
          fDomain(getcurrenttextdomain())
    {
        QDir().mkpath(fDir.file("bin"));
        QDir().mkpath(fDir.file("locale/de/LC_MESSAGES"));
        WriteFile(fDir.file("bin/Lang.ini"), "[Settings]\r\nLang=de\r\n");
        QByteArray po = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n";
        for (const auto &[source, translation] : cGerman)
            po += QByteArray("msgid \"") + source + "\"\nmsgstr \"" + translation + "\"\n";
        WriteFile(fDir.file("Talivo.po"), po);
        QProcess msgfmt;
        msgfmt.start("msgfmt",
                     {"-o", fDir.file("locale/de/LC_MESSAGES/Talivo.mo"), fDir.file("Talivo.po")});
        if (!msgfmt.waitForFinished() || msgfmt.exitCode() != 0)
            throw std::runtime_error("msgfmt (package gettext) failed or is missing");
        bindtextdomain("Talivo", fDir.file("locale"));
        textdomain("Talivo");
    }

    ~FormTranslationTest() override
    {
        bindtextdomain("Talivo", DefaultInstance().DefaultDomainDirectory());
        UseLanguage(fLanguage);
        textdomain(fDomain);
    }

    static void WriteFile(const QString &name, const QByteArray &content)
    {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            throw std::runtime_error("cannot write " + name.toStdString());
    }

    test::TempDir fDir;
    TFixedFolders fFolders;
    TScopedFolders fFoldersGuard;
    TScriptedPrompter fPrompter;
    TScopedPrompter fPrompterGuard;
    QString fLanguage;
    QString fDomain;
};

TEST_F(FormTranslationTest, WindowsShowTheirDesignTextsInTheSelectedLanguage)
{
    TFormMain form;
    TFormInfo info(&form);
    TFormGroupSettings groupSettings(&form);

    EXPECT_EQ(form.menuBar()->actions().front()->text(), "Datei");
    EXPECT_EQ(form.findChild<QMenu *>("File1")->title(), "Datei");
    EXPECT_EQ(form.findChild<QAction *>("Openimage1")->text(), "Bild öffnen ...");
    EXPECT_EQ(form.findChild<QPushButton *>("ButtonAddGroup")->text(), "Gruppe hinzufügen");
    EXPECT_EQ(form.findChild<QToolButton *>("ToolButtonHide")->text(), " Marken ausblenden ");
    TGroupListView &list = form.ListViewGroups();
    EXPECT_EQ(list.model()->headerData(0, Qt::Horizontal).toString(), "Gruppe");
    EXPECT_EQ(list.model()->headerData(1, Qt::Horizontal).toString(), "Anzahl");
    EXPECT_EQ(form.windowTitle(), "Korvel Talivo");

    EXPECT_EQ(info.windowTitle(), "Information");
    EXPECT_EQ(info.findChild<QLabel *>("LabelProgram")->text(), "Korvel Merivo");

    EXPECT_EQ(groupSettings.windowTitle(), "Gruppeneinstellungen");
    TColorBox &colors = groupSettings.ColorBoxGroup();
    EXPECT_EQ(colors.currentText(), "Hellgrün");
    EXPECT_EQ(colors.Selected(), clLime);
    EXPECT_TRUE(fPrompter.Asked().empty());
}

TEST_F(FormTranslationTest, ALanguageCodeInCapitalsFindsItsCatalog)
{
    WriteFile(fDir.file("bin/Lang.ini"), "[Settings]\r\nLang=DE\r\n");
    TFormMain form;
    EXPECT_EQ(GetCurrentLanguage(), "DE");
    EXPECT_EQ(form.findChild<QMenu *>("File1")->title(), "Datei");
}

TEST_F(FormTranslationTest, ADamagedCatalogLeavesTheProgramInEnglishWithOneNotice)
{
    WriteFile(fDir.file("locale/de/LC_MESSAGES/Talivo.mo"), "not a catalog at all");
    TFormMain form;
    TFormInfo info(&form);
    TFormGroupSettings groupSettings(&form);
    EXPECT_EQ(form.findChild<QMenu *>("File1")->title(), "File");
    EXPECT_EQ(groupSettings.windowTitle(), "Group settings");
    ASSERT_EQ(fPrompter.Asked().size(), 1u);
    EXPECT_EQ(fPrompter.Asked()[0].Kind, TPromptKind::pkNotice);
    EXPECT_TRUE(fPrompter.Asked()[0].Text.startsWith(
        "The texts for the language de cannot be read, so Talivo shows them in English."))
        << fPrompter.Asked()[0].Text.toStdString();
    // Messages are English too, and nothing is reported again.
    EXPECT_EQ(_("Unsaved changes"), "Unsaved changes");
    EXPECT_EQ(fPrompter.Asked().size(), 1u);
}

} // namespace
} // namespace talivo
