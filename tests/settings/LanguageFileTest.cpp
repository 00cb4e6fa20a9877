#include "settings/LanguageFile.h"

#include "i18n/Translation.h"
#include "platform/Platform.h"
#include "tests/common/TestMain.h"
#include "tests/settings/VersionFiles.h"

#include <gtest/gtest.h>

namespace talivo {
namespace {

TEST(LanguageFile, ChoosesTheCodeAsWritten)
{
    test::TempDir dir;
    TFixedFolders folders(dir.path(), dir.file("Talivo"));
    TScopedFolders guard(&folders);
    EXPECT_EQ(LanguageFileName(), dir.file("Lang.ini"));
    EXPECT_EQ(ReadLanguageFile(), "");

    test::WriteFile(dir.file("Lang.ini"), "\xEF\xBB\xBF[settings]\r\nlang = DE\r\n");
    EXPECT_EQ(ReadLanguageFile(), "DE");
    test::WriteFile(dir.file("Lang.ini"), "[Settings]\nLang=pt_BR\n");
    EXPECT_EQ(ReadLanguageFile(), "pt_BR");
    test::WriteFile(dir.file("Lang.ini"), "[Settings]\nOther=1\n");
    EXPECT_EQ(ReadLanguageFile(), "EN");
    test::WriteFile(dir.file("Lang.ini"), "[Settings]\nLang=\n");
    EXPECT_EQ(ReadLanguageFile(), "");
}

TEST(LanguageFile, SelectsOnlyANamedLanguage)
{
    test::TempDir dir;
    TFixedFolders folders(dir.path(), dir.file("Talivo"));
    TScopedFolders guard(&folders);
    const QString before = GetCurrentLanguage();
    test::WriteFile(dir.file("Lang.ini"), "[Settings]\nLang=xx_Test\n");
    ApplyLanguageFile();
    EXPECT_EQ(GetCurrentLanguage(), "xx_Test");
    test::WriteFile(dir.file("Lang.ini"), "[Settings]\nLang=\n");
    ApplyLanguageFile();
    EXPECT_EQ(GetCurrentLanguage(), "xx_Test");
    UseLanguage(before);
}

} // namespace
} // namespace talivo
