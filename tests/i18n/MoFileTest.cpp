#include "i18n/MoFile.h"
#include "i18n/TranslationError.h"
#include "tests/i18n/CatalogSupport.h"

#include <gtest/gtest.h>

namespace talivo {
namespace {

using test::BuildCatalogBytes;

const QString cPo = QString(test::cUtf8Header) + R"(
msgid "Add mark"
msgstr "Markierung hinzufügen"

msgid "No group available."
msgstr "Keine Gruppe vorhanden."

msgid "Line one\nLine two"
msgstr "Zeile eins\nZeile zwei"

msgid "one mark"
msgid_plural "%d marks"
msgstr[0] "eine Markierung"
msgstr[1] "%d Markierungen"
)";

QByteArray Text(const std::optional<QByteArrayView> &found)
{
    return found ? found->toByteArray() : QByteArray("<none>");
}

void PutWord(QByteArray &bytes, qsizetype at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (8 * i));
}

uint32_t GetWord(const QByteArray &bytes, qsizetype at)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= uint32_t(uchar(bytes.at(at + i))) << (8 * i);
    return value;
}

std::string ErrorOf(const QByteArray &bytes)
{
    try {
        TMoFile catalog(bytes, "broken.mo");
    } catch (const ETrIOError &error) {
        return error.what();
    }
    return "no error";
}

TEST(MoFile, ReadsMsgfmtCatalogsOfBothByteOrders)
{
    for (const char *endianness : {"little", "big"}) {
        SCOPED_TRACE(endianness);
        const QByteArray bytes = BuildCatalogBytes(cPo, endianness);
        const TMoFile catalog(bytes, "de.mo");
        EXPECT_EQ(Text(catalog.gettext("Add mark")), "Markierung hinzuf\xc3\xbcgen");
        EXPECT_EQ(Text(catalog.gettext("No group available.")), "Keine Gruppe vorhanden.");
        EXPECT_EQ(Text(catalog.gettext("Line one\nLine two")), "Zeile eins\nZeile zwei");
        EXPECT_EQ(Text(catalog.gettext("one mark")), "eine Markierung");
        EXPECT_FALSE(catalog.gettext("Add"));
        EXPECT_FALSE(catalog.gettext("Add mark "));
        EXPECT_FALSE(catalog.gettext("Zzz"));
        EXPECT_FALSE(catalog.gettext(QByteArrayView("Add mark\0x", 10)));
        EXPECT_TRUE(Text(catalog.gettext("")).contains("charset=UTF-8"));
    }
}

TEST(MoFile, RefusesBytesThatAreNoCatalog)
{
    const QByteArray good = BuildCatalogBytes(cPo);
    const std::string invalid = "This file is not a valid GNU gettext mo file: broken.mo";

    QByteArray magic = good;
    magic[0] = char(magic[0] ^ 1);
    EXPECT_EQ(ErrorOf(magic), invalid);
    EXPECT_EQ(ErrorOf(good.left(3)), invalid);
    EXPECT_EQ(ErrorOf(good.left(12)), invalid);
    EXPECT_EQ(ErrorOf(QByteArray()), invalid);

    QByteArray count = good;
    PutWord(count, 8, 0x20000000);
    EXPECT_EQ(ErrorOf(count), invalid);

    QByteArray table = good;
    PutWord(table, 16, uint32_t(good.size()) - 8);
    EXPECT_EQ(ErrorOf(table), invalid);

    // The translation table ends near the strings; cutting there leaves the tables but not all
    // strings, which then count as misses.
    const QByteArray truncated = good.left(good.size() - 4);
    const TMoFile catalog(truncated, "short.mo");
    EXPECT_FALSE(catalog.gettext("one mark"));
}

TEST(MoFile, TreatsEntriesOutsideTheCatalogAsMisses)
{
    QByteArray bytes = BuildCatalogBytes(cPo);
    const uint32_t sources = GetWord(bytes, 12);
    const uint32_t translations = GetWord(bytes, 16);
    // Sorted sources: "", "Add mark", "Line one\nLine two", "No group available.", "one mark".
    PutWord(bytes, sources + 1 * 8 + 4, 0xFFFFFFF0);
    PutWord(bytes, translations + 3 * 8, 0x7FFFFFFF);
    const TMoFile catalog(bytes, "bad.mo");
    EXPECT_FALSE(catalog.gettext("Add mark"));
    EXPECT_FALSE(catalog.gettext("No group available."));
    EXPECT_EQ(Text(catalog.gettext("Line one\nLine two")), "Zeile eins\nZeile zwei");
}

TEST(MoFile, MapReportsFilesThatCannotBeRead)
{
    test::TempDir dir;
    try {
        TMoFile::Map(dir.file("missing.mo"));
        FAIL() << "no error";
    } catch (const ETrIOError &error) {
        EXPECT_EQ(error.what(), ("Cannot open file " + dir.file("missing.mo")).toStdString());
    }
    QFile empty(dir.file("empty.mo"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_THROW(TMoFile::Map(empty.fileName()), ETrIOError);
    EXPECT_THROW(TMoFile::Map(empty.fileName(), 4, 10), ETrIOError);
}

TEST(MoFile, DeclaresUtf8OnlyInTheContentTypeLine)
{
    EXPECT_TRUE(DeclaresUtf8("Language: de\ncontent-type:   text/plain; Charset=utf-8  \n"));
    EXPECT_TRUE(DeclaresUtf8("CONTENT-TYPE: text/plain; charset=UTF-8"));
    EXPECT_FALSE(DeclaresUtf8("Content-Type: text/plain; charset=ISO-8859-1\n"));
    EXPECT_FALSE(DeclaresUtf8("Content-Type:text/plain; charset=UTF-8\n"));
    EXPECT_FALSE(DeclaresUtf8("X-Note: charset=UTF-8\n"));
    EXPECT_FALSE(DeclaresUtf8(""));
}

} // namespace
} // namespace talivo
