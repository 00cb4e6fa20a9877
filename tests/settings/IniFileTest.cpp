#include "settings/IniFile.h"
#include "settings/MemIniFile.h"

#include "tests/common/TestMain.h"
#include "tests/settings/VersionFiles.h"

#include <QFile>
#include <gtest/gtest.h>

namespace talivo {
namespace {

using test::WriteFile;

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const char kSample[] = "stray=before any section\n"
                       "; a comment=not a key\n"
                       "[Group5]\n"
                       "  Description =  Red cells  \n"
                       "Color=255\n"
                       "color=0\n"
                       "no equals sign\n"
                       "\n"
                       "[ Settings ]\n"
                       "Lang=\n"
                       "Path=C:\\data;D:\\more\n"
                       "[group5]\n"
                       "Extra=1";

TEST(IniFile, ReadsLikeAPrivateProfileWhateverTheLineEnds)
{
    test::TempDir dir;
    QByteArray crLf = QByteArray(kSample).replace("\n", "\r\n");
    WriteFile(dir.file("lf.ini"), kSample);
    WriteFile(dir.file("crlf.ini"), "\xEF\xBB\xBF" + crLf);
    for (const QString name : {"lf.ini", "crlf.ini"}) {
        SCOPED_TRACE(name.toStdString());
        const TIniFile file(dir.file(name));
        EXPECT_EQ(file.ReadSections(), QStringList({"Group5", "Settings"}));
        EXPECT_EQ(file.ReadSection("GROUP5"), QStringList({"Description", "Color", "Extra"}));
        EXPECT_EQ(file.ReadString("group5", "DESCRIPTION", "x"), "Red cells");
        EXPECT_EQ(file.ReadInteger("Group5", "Color", 7), 255);
        EXPECT_EQ(file.ReadString("Group5", "Extra", ""), "1");
        EXPECT_EQ(file.ReadString("Settings", "Lang", "EN"), "");
        EXPECT_EQ(file.ReadString("Settings", "Path", ""), "C:\\data;D:\\more");
        EXPECT_EQ(file.ReadString("Settings", "Missing", "EN"), "EN");
        EXPECT_EQ(file.ReadString("Missing", "Lang", "EN"), "EN");
        EXPECT_EQ(file.ReadString("Group5", "; a comment", "-"), "-");
        EXPECT_TRUE(file.ValueExists("settings", "lang"));
        EXPECT_FALSE(file.ValueExists("Group5", "no equals sign"));
        EXPECT_TRUE(file.SectionExists("SETTINGS"));
    }
    EXPECT_EQ(TIniFile(dir.file("missing.ini")).ReadString("a", "b", "c"), "c");
    EXPECT_TRUE(TIniFile(dir.file("missing.ini")).ReadSections().isEmpty());
}

TEST(IniFile, WritesInPlaceAndKeepsEverythingElse)
{
    test::TempDir dir;
    const QString path = dir.file("groups.ini");
    WriteFile(path, "\xEF\xBB\xBF[A]\r\nx = 1\r\n\r\n; about B\r\n[B]\r\ny=2");
    TIniFile file(path);
    file.WriteString("a", "X", "10");
    file.WriteString("A", "z", "3");
    file.WriteInteger("C", "w", -4);
    EXPECT_EQ(ReadFile(path), "\xEF\xBB\xBF[A]\r\nx=10\r\nz=3\r\n\r\n; about B\r\n[B]\r\ny=2\r\n"
                              "[C]\r\nw=-4\r\n");

    const QString fresh = dir.file("fresh.ini");
    TIniFile(fresh).WriteString("Settings", "Lang", "DE");
    EXPECT_EQ(ReadFile(fresh), "[Settings]\nLang=DE\n");
    EXPECT_FALSE(QFile::exists(dir.file("missing/fresh.ini")));
    EXPECT_THROW(TIniFile(dir.file("missing/fresh.ini")).WriteString("a", "b", "c"), EIniFileError);
}

TEST(IniFile, RefusesWhatWouldNotReadBackAndLeavesTheFile)
{
    test::TempDir dir;
    const QString path = dir.file("a.ini");
    WriteFile(path, "[A]\nx=1\n");
    TIniFile file(path);
    EXPECT_THROW(file.WriteString("A", "a=b", "1"), EIniFileError);
    EXPECT_THROW(file.WriteString("A", ";x", "1"), EIniFileError);
    EXPECT_THROW(file.WriteString("A", "[x", "1"), EIniFileError);
    EXPECT_THROW(file.WriteString("A", " ", "1"), EIniFileError);
    EXPECT_THROW(file.WriteString("A", "x", "1\n[B]"), EIniFileError);
    EXPECT_THROW(file.WriteString("A\rB", "x", "1"), EIniFileError);
    EXPECT_EQ(ReadFile(path), "[A]\nx=1\n");

    // A file too large to take in is neither read nor replaced.
    const QByteArray huge = "[A]\nx=1\n" + QByteArray(TIniDocument::MaxSize, ';');
    WriteFile(path, huge);
    EXPECT_EQ(file.ReadString("A", "x", "none"), "none");
    EXPECT_THROW(file.WriteString("A", "x", "2"), EIniFileError);
    EXPECT_EQ(ReadFile(path).size(), huge.size());
    EXPECT_THROW(TIniFile(dir.path()).WriteString("A", "x", "2"), EIniFileError);
}

TEST(IniFile, ReadsHostileBytesCleanly)
{
    test::TempDir dir;
    const QString path = dir.file("junk.ini");
    // NULs, a byte-order mark of UTF-16, broken headers, an empty key, CR alone, and bytes that
    // are not UTF-8.
    const QByteArray junk = QByteArray("[A\0B]\n\xFF\xFEk\0=\0v\n", 14) +
                            "[\n]\n=\n[]\nk=v\r\r\n[\xC3\x84]\nGr\xF6\xDF\x65=1\n";
    WriteFile(path, junk);
    TMemIniFile file(path);
    EXPECT_EQ(file.ReadSections().size(), 3);
    EXPECT_EQ(file.ReadString("", "k", ""), "v");
    // Not UTF-8, so read in the Windows code page.
    EXPECT_EQ(file.ReadString("\u00C3\u201E", "Gr\u00F6\u00DFe", ""), "1");
    file.WriteString("A", "k", "v");
    EXPECT_NO_THROW(file.UpdateFile());
}

TEST(IniFile, ReadsEveryEncodingNotepadWritesAndWritesUtf8)
{
    test::TempDir dir;
    const QString text = QString::fromUtf8("[Group1]\r\nDescription=€-Zählung „Kerne“ – groß\r\n");
    const QString utf16 = QChar(0xFEFF) + text;
    const std::pair<const char *, QByteArray> files[] = {
        {"utf8.ini", text.toUtf8()},
        {"utf8-bom.ini", "\xEF\xBB\xBF" + text.toUtf8()},
        {"utf16le.ini",
         QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)},
        {"utf16be.ini",
         [&] {
             QByteArray bytes;
             for (const QChar c : utf16)
                 bytes += char(c.unicode() >> 8) + QByteArray(1, char(c.unicode() & 0xFF));
             return bytes;
         }()},
        {"ansi.ini", "[Group1]\r\nDescription=\x80-Z\xE4hlung \x84Kerne\x93 \x96 gro\xDF\r\n"},
    };
    for (const auto &[name, bytes] : files) {
        SCOPED_TRACE(name);
        const QString path = dir.file(name);
        WriteFile(path, bytes);
        TMemIniFile file(path);
        EXPECT_EQ(file.ReadString("Group1", "Description", ""),
                  QString::fromUtf8("€-Zählung „Kerne“ – groß"));
        file.WriteString("Group1", "Color", "255");
        file.UpdateFile();
        // Written back as UTF-8, marked as Unicode when it was, and the same text.
        const QByteArray written = ReadFile(path);
        const bool marked = bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
                            bytes.startsWith("\xFE\xFF");
        EXPECT_EQ(written, (marked ? "\xEF\xBB\xBF" : "") + text.toUtf8() + "Color=255\r\n");
    }
}

TEST(IniFile, ADamagedUtf16FileReadsAsItIsWrittenBack)
{
    test::TempDir dir;
    const QString path = dir.file("damaged.ini");
    // "[A]", "k=x" with a low surrogate alone after the x, and a high one alone at the end.
    const QByteArray bytes = QByteArray::fromHex("fffe5b0041005d000a006b003d007800"
                                                 "0ddc0a006c003d0079003dd8");
    WriteFile(path, bytes);
    TMemIniFile file(path);
    EXPECT_EQ(file.ReadString("A", "k", ""), QString("x") + QChar::ReplacementCharacter);
    EXPECT_EQ(file.ReadString("A", "l", ""), QString("y") + QChar::ReplacementCharacter);
    file.WriteString("A", "m", "1");
    file.UpdateFile();
    const TMemIniFile again(path);
    EXPECT_EQ(again.ReadString("A", "k", ""), file.ReadString("A", "k", ""));
    EXPECT_EQ(again.ReadString("A", "l", ""), file.ReadString("A", "l", ""));
}

TEST(IniFile, RepeatedByteOrderMarksReadTheSameAfterWritingBack)
{
    // Only the first mark names the encoding; the others are text, which makes the first line no
    // section header, in the file read and in the file written back alike.
    test::TempDir dir;
    for (const QByteArray &mark :
         {QByteArray("\xFE\xFF").repeated(3), QByteArray("\xFF\xFE").repeated(3),
          QByteArray("\xEF\xBB\xBF").repeated(3)}) {
        SCOPED_TRACE(mark.toHex().toStdString());
        const QString path = dir.file("twice.ini");
        const QString text = "[A]\nk=1\n[B]\nk=2\n";
        QByteArray bytes = mark;
        if (mark.startsWith("\xEF"))
            bytes += text.toUtf8();
        for (const QChar c : text) {
            if (mark.startsWith("\xFE"))
                bytes += char(c.unicode() >> 8) + QByteArray(1, char(c.unicode() & 0xFF));
            else if (mark.startsWith("\xFF"))
                bytes += QByteArray(1, char(c.unicode() & 0xFF)) + char(c.unicode() >> 8);
        }
        WriteFile(path, bytes);
        TMemIniFile file(path);
        EXPECT_EQ(file.ReadString("A", "k", "none"), "none");
        EXPECT_EQ(file.ReadString("B", "k", "none"), "2");
        file.WriteString("B", "m", "3");
        file.UpdateFile();
        const TMemIniFile again(path);
        EXPECT_EQ(again.ReadString("A", "k", "none"), "none");
        EXPECT_EQ(again.ReadString("B", "k", "none"), "2");
        EXPECT_EQ(again.ReadString("B", "m", "none"), "3");
    }
}

TEST(IniFile, IntegersInDecimalOrHexadecimal)
{
    EXPECT_EQ(TCustomIniFile::ToInteger(" 255 "), 255);
    EXPECT_EQ(TCustomIniFile::ToInteger("-16777201"), -16777201);
    EXPECT_EQ(TCustomIniFile::ToInteger("0x000000FF"), 255);
    EXPECT_EQ(TCustomIniFile::ToInteger("$ff"), 255);
    EXPECT_EQ(TCustomIniFile::ToInteger("-$10"), -16);
    EXPECT_EQ(TCustomIniFile::ToInteger("$FF000000"), int(0xFF000000u));
    EXPECT_EQ(TCustomIniFile::ToInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(TCustomIniFile::ToInteger("-2147483648"), INT32_MIN);
    for (const char *bad : {"", "-", "0x", "$", "12a", "1 2", "0x0x1", "$-1", "--1", "2147483648",
                            "-2147483649", "0x1FFFFFFFF", "\u0663"})
        EXPECT_EQ(TCustomIniFile::ToInteger(QString::fromUtf8(bad)), std::nullopt) << bad;
}

} // namespace
} // namespace talivo
