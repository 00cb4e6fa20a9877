#pragma once

#include "settings/VersionBlock.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace talivo::test {

// The program's own values, as a crafted block carries them.
inline TVersionBlockContent TalivoBlock()
{
    TVersionBlockContent content;
    content.FileVersion = {2, 0, 10, 100};
    content.ProductVersion = {2, 0, 0, 0};
    content.Strings = {{u"CompanyName", u"Korvel GmbH"},
                       {u"FileDescription", u"Korvel Talivo"},
                       {u"FileVersion", u"2.0.10.100"},
                       {u"ProductName", u"Talivo"},
                       {u"ProductVersion", u"2.0"}};
    return content;
}

inline QByteArray Bytes(const TVersionBlockContent &content)
{
    const std::vector<uint8_t> block = BuildVersionBlock(content);
    return QByteArray(reinterpret_cast<const char *>(block.data()), qsizetype(block.size()));
}

inline void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace talivo::test
