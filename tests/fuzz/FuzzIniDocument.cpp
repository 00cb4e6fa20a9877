// fuzz-library: talivo_settings
// Reads arbitrary bytes as an INI file in whatever encoding they seem to be, writes one value and
// checks that what is written reads back as the same sections, keys and values.
#include "settings/IniDocument.h"

#include "tests/fuzz/FuzzSupport.h"

#include <cstddef>
#include <cstdint>

namespace {

void RequireSameContent(const talivo::TIniDocument &a, const talivo::TIniDocument &b)
{
    Require(a.Sections() == b.Sections());
    for (const QString &section : a.Sections()) {
        Require(a.Keys(section) == b.Keys(section));
        for (const QString &key : a.Keys(section))
            Require(a.Value(section, key) == b.Value(section, key));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > size_t(talivo::TIniDocument::MaxSize))
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    talivo::TIniDocument document = talivo::TIniDocument::FromBytes(bytes);
    RequireSameContent(document, talivo::TIniDocument::FromBytes(document.ToBytes()));

    // A value under the first section and key the text names, or under fixed ones.
    const QStringList sections = document.Sections();
    const QString section = sections.isEmpty() ? QStringLiteral("Settings") : sections.first();
    const QStringList keys = document.Keys(section);
    const QString key = keys.isEmpty() ? QStringLiteral("Lang") : keys.first();
    const QString value =
        QString::fromUtf8(bytes.left(16)).section(u'\n', 0, 0).section(u'\r', 0, 0);
    try {
        document.SetValue(section, key, value);
    } catch (const talivo::EIniFileError &) {
        return 0;
    }
    const talivo::TIniDocument reread = talivo::TIniDocument::FromBytes(document.ToBytes());
    RequireSameContent(document, reread);
    Require(reread.Value(section, key) == value.trimmed());
    return 0;
}
