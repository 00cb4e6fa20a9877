#include "settings/VersionInfo.h"

#include "platform/Platform.h"
#include "tests/common/TestMain.h"
#include "tests/settings/VersionFiles.h"

#include <QDir>
#include <gtest/gtest.h>

namespace talivo {
namespace {

using test::Bytes;
using test::TalivoBlock;
using test::WriteFile;

TEST(VersionInfo, BuiltProgramCarriesItsBlock)
{
    const QString program = TALIVO_PROGRAM_FILE;
    EXPECT_EQ(GetVersionInfoValue(program, vkFileVersion), "2.0.10.100");
    EXPECT_EQ(GetVersionInfoValue(program, vkProductName), "Talivo");
    EXPECT_EQ(GetVersionInfoValue(program, vkCompanyName), "Korvel GmbH");
    EXPECT_EQ(GetVersionInfoValue(program, vkFileDescription), "Korvel Talivo");
    EXPECT_EQ(GetVersionInfoValue(program, vkProductVersion), "2.0");
    EXPECT_EQ(GetVersionInfoValue(program, 12), "2.0.10.100");
    EXPECT_EQ(GetVersionInfoValue(program, -1), "2.0.10.100");
    EXPECT_EQ(GetVersionInfoValue(program, vkLegalCopyright), "");
}

TEST(VersionInfo, FindsTheBlockAnywhereInAFile)
{
    test::TempDir dir;
    // Junk before and after, the block at an odd offset, and a decoy key without a valid header.
    QByteArray bytes =
        QByteArray(7, '\xFF') +
        QByteArray::fromRawData(reinterpret_cast<const char *>(u"VS_VERSION_INFO"), 32) +
        QByteArray(5, '\0');
    bytes += Bytes(TalivoBlock()) + QByteArray(100, '\x01');
    WriteFile(dir.file("Talivo.exe"), bytes);

    EXPECT_EQ(GetVersionInfoValue(dir.file("Talivo.exe"), vkFileVersion), "2.0.10.100");

    // An empty name is the program file.
    TFixedFolders folders(dir.path(), dir.file("Talivo.exe"));
    TScopedFolders guard(&folders);
    EXPECT_EQ(GetVersionInfoValue(QString(), vkProductName), "Talivo");
    EXPECT_EQ(GetProductName(QString()), "Talivo");
}

TEST(VersionInfo, MissingPiecesGiveEmptyText)
{
    test::TempDir dir;
    EXPECT_EQ(GetVersionInfoValue(dir.file("missing.exe"), vkFileVersion), "");
    EXPECT_EQ(GetVersionInfoValue(dir.path(), vkFileVersion), "");

    WriteFile(dir.file("empty.exe"), {});
    EXPECT_EQ(GetVersionInfoValue(dir.file("empty.exe"), vkFileVersion), "");

    WriteFile(dir.file("plain.exe"), QByteArray(4096, 'x'));
    EXPECT_EQ(GetVersionInfoValue(dir.file("plain.exe"), vkFileVersion), "");

    TVersionBlockContent noTranslation = TalivoBlock();
    noTranslation.HasTranslation = false;
    WriteFile(dir.file("untranslated.exe"), Bytes(noTranslation));
    EXPECT_EQ(GetVersionInfoValue(dir.file("untranslated.exe"), vkFileVersion), "");

    // The translation names a table that the block does not have.
    TVersionBlockContent otherTable = TalivoBlock();
    QByteArray bytes = Bytes(otherTable);
    bytes.replace(QByteArray::fromRawData(reinterpret_cast<const char *>(u"040904E4"), 16),
                  QByteArray::fromRawData(reinterpret_cast<const char *>(u"040704B0"), 16));
    WriteFile(dir.file("other.exe"), bytes);
    EXPECT_EQ(GetVersionInfoValue(dir.file("other.exe"), vkFileVersion), "");

    TVersionBlockContent emptyValue = TalivoBlock();
    emptyValue.Strings.push_back({u"Comments", u""});
    WriteFile(dir.file("comments.exe"), Bytes(emptyValue));
    EXPECT_EQ(GetVersionInfoValue(dir.file("comments.exe"), vkComments), "");
    EXPECT_EQ(GetVersionInfoValue(dir.file("comments.exe"), vkInternalName), "");
    EXPECT_EQ(GetVersionInfoValue(dir.file("comments.exe"), vkFileVersion), "2.0.10.100");
}

TEST(VersionInfo, TruncatedBlocksNeverReadPastTheirEnd)
{
    const QByteArray block = Bytes(TalivoBlock());
    for (qsizetype size = 0; size < block.size(); ++size) {
        // An exact-size copy, so that a read past the end is caught by the sanitizers.
        const std::vector<uint8_t> cut(block.begin(), block.begin() + size);
        const std::u16string value = FindVersionString(cut.data(), cut.size(), u"ProductName");
        EXPECT_TRUE(value.empty() || value == u"Talivo") << size;
    }
}

TEST(VersionInfo, SettingsFolderAndFileFollowTheProductName)
{
    test::TempDir dir;
    WriteFile(dir.file("Talivo"), Bytes(TalivoBlock()));
    TFixedFolders folders(dir.file("shared"), dir.file("Talivo"));
    TScopedFolders guard(&folders);
    EXPECT_EQ(GetSettingsFolder(), dir.file("shared/Korvel/Talivo/"));
    EXPECT_EQ(GetSettingsFileName(), dir.file("shared/Korvel/Talivo/Talivo.ini"));
    EXPECT_FALSE(QDir(dir.file("shared")).exists());

    folders.SetCommonAppData(dir.path() + "/");
    EXPECT_EQ(GetSettingsFolder(), dir.file("Korvel/Talivo/"));

    // Without a product name the program file's name without extension stands in.
    TVersionBlockContent nameless = TalivoBlock();
    std::erase_if(nameless.Strings, [](const auto &s) { return s.Key == u"ProductName"; });
    WriteFile(dir.file("Counter.bin.exe"), Bytes(nameless));
    folders.SetProgramFile(dir.file("Counter.bin.exe"));
    EXPECT_EQ(GetProductName(QString()), "Counter.bin");
    EXPECT_EQ(GetSettingsFileName(), dir.file("Korvel/Counter.bin/Counter.bin.ini"));
    EXPECT_EQ(GetProductName(dir.file("missing.exe")), "");
}

} // namespace
} // namespace talivo
