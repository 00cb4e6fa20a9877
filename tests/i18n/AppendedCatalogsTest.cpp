#include "i18n/AppendedCatalogs.h"
#include "i18n/FileLocator.h"
#include "i18n/Translator.h"
#include "platform/Platform.h"
#include "tests/i18n/CatalogSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <gtest/gtest.h>

namespace talivo {
namespace {

using test::BuildCatalog;
using test::TProgramFixture;

const QString cGerman = QString(test::cUtf8Header) + "msgid \"Add mark\"\nmsgstr \"Marke\"\n";

int RunTool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(TALIVO_APPEND_CATALOGS, arguments);
    if (!tool.waitForFinished() || tool.exitStatus() != QProcess::NormalExit)
        return -1;
    return tool.exitCode();
}

TEST(AppendedCatalogs, ToolAppendsCatalogsThatTakePrecedenceOverFiles)
{
    TProgramFixture program;
    BuildCatalog(cGerman, program.CatalogPath("de"), "big");
    BuildCatalog(cGerman, program.CatalogPath("fr"));
    ASSERT_EQ(RunTool({program.ProgramFile(), program.fDir.file("locale")}), 0);
    // Appending twice would hide the first block.
    EXPECT_EQ(RunTool({program.ProgramFile(), program.CatalogPath("de")}), 1);
    test::TempDir outside;
    BuildCatalog(cGerman, outside.file("Talivo.mo"));
    EXPECT_EQ(RunTool({program.ProgramFile(), outside.file("Talivo.mo")}), 1);

    QFile programFile(program.ProgramFile());
    ASSERT_TRUE(programFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(programFile.readAll().startsWith("a program file"));
    BuildCatalog(QString(test::cUtf8Header) + "msgid \"Add mark\"\nmsgstr \"Datei\"\n",
                 program.CatalogPath("de"));
    QFile::remove(program.CatalogPath("fr"));

    TTranslator translator;
    translator.textdomain("Talivo");
    EXPECT_EQ(translator.Locator().AppendedCount(), 2u);
    for (const char *language : {"de", "FR_fr"}) {
        translator.UseLanguage(language);
        EXPECT_EQ(translator.gettext("Add mark"), "Marke") << language;
    }
}

// Appended catalogs are found by their path beside the program, so an installed tree's share
// folder must not take their place.
TEST(AppendedCatalogs, KeepTheirPlaceBesideTheProgramInAnInstalledTree)
{
    test::TempDir dir;
    TFixedFolders folders(dir.file("data"), dir.file("bin/talivo"));
    TScopedFolders guard(&folders);
    QFile programFile(dir.file("bin/talivo"));
    QDir().mkpath(dir.file("bin"));
    ASSERT_TRUE(programFile.open(QIODevice::WriteOnly));
    programFile.write("a program file");
    programFile.close();
    BuildCatalog(cGerman, dir.file("bin/locale/de/LC_MESSAGES/Talivo.mo"));
    ASSERT_EQ(RunTool({dir.file("bin/talivo"), dir.file("bin/locale")}), 0);
    QDir(dir.file("bin/locale")).removeRecursively();
    BuildCatalog(QString(test::cUtf8Header) + "msgid \"Add mark\"\nmsgstr \"Datei\"\n",
                 dir.file("share/talivo/locale/de/LC_MESSAGES/Talivo.mo"));

    TTranslator translator;
    EXPECT_EQ(translator.DefaultDomainDirectory().toStdString(),
              dir.file("bin/locale").toStdString());
    translator.UseLanguage("de");
    EXPECT_EQ(translator.dgettext("Talivo", "Add mark"), "Marke");
}

TEST(AppendedCatalogs, ReadingStopsAtTheFirstBrokenEntry)
{
    const QByteArray block =
        AppendedCatalogsBlock({{"locale/de/LC_MESSAGES/Talivo.mo", "0123456789"},
                               {" locale\\fr\\LC_MESSAGES\\Talivo.mo\t", "abc"}});
    const QByteArray program = "program" + block + "trailer";
    const std::vector<TAppendedCatalog> found = ReadAppendedCatalogs(program);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].Path, "locale/de/LC_MESSAGES/Talivo.mo");
    EXPECT_EQ(program.mid(found[0].Info.offset, found[0].Info.size), "0123456789");
    EXPECT_EQ(found[1].Path, "locale/fr/LC_MESSAGES/Talivo.mo");
    EXPECT_EQ(program.mid(found[1].Info.offset, found[1].Info.size), "abc");

    // Data begin 7 + 39 bytes in; the first entry follows the 13 bytes of data.
    const qsizetype firstEntry = 7 + 39 + 13;
    QByteArray tooLarge = program;
    qToLittleEndian<quint64>(1000, tooLarge.data() + firstEntry + 8 + 8 + 8 + 31 + 16);
    EXPECT_EQ(ReadAppendedCatalogs(tooLarge).size(), 1u);
    QByteArray backwards = program;
    qToLittleEndian<quint64>(8, backwards.data() + firstEntry);
    EXPECT_TRUE(ReadAppendedCatalogs(backwards).empty());
    EXPECT_TRUE(ReadAppendedCatalogs(program.left(program.size() - 20)).empty());
    EXPECT_TRUE(
        ReadAppendedCatalogs(AppendedCatalogsBeginMarker() + "x" + AppendedCatalogsEndMarker())
            .empty());
}

TEST(AppendedCatalogs, MarkersDoNotOccurInTheProgramFile)
{
    EXPECT_EQ(AppendedCatalogsBeginMarker().size(), 39);
    EXPECT_EQ(AppendedCatalogsEndMarker().size(), 39);
    EXPECT_NE(AppendedCatalogsBeginMarker(), AppendedCatalogsEndMarker());
    QFile self(QCoreApplication::applicationFilePath());
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    const QByteArray bytes = self.readAll();
    EXPECT_FALSE(bytes.contains(AppendedCatalogsBeginMarker()));
    EXPECT_FALSE(bytes.contains(AppendedCatalogsEndMarker()));
}

} // namespace
} // namespace talivo
