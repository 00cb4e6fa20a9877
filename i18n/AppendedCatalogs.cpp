#include "i18n/AppendedCatalogs.h"

#include <QtEndian>
#include <string_view>

namespace talivo {

namespace {

constexpr qsizetype cMarkerLength = 39;
constexpr qsizetype cNumberSize = 8;
// Next entry, catalog offset, catalog size.
constexpr qsizetype cEntryHead = 3 * cNumberSize;

// Read at run time, so the compiler cannot fold the markers into constants of the program file.
volatile char gMarkerKey = 0x15;

QByteArray Unscramble(const char (&scrambled)[cMarkerLength + 1])
{
    QByteArray marker(cMarkerLength, Qt::Uninitialized);
    const char key = gMarkerKey;
    for (qsizetype i = 0; i < cMarkerLength; ++i)
        marker[i] = char(scrambled[i] ^ key);
    return marker;
}

quint64 Number(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint64>(bytes.data() + at);
}

void AppendNumber(QByteArray &bytes, quint64 value)
{
    char buffer[cNumberSize];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, cNumberSize);
}

bool IsBlank(QChar c)
{
    return c.unicode() <= 0x20 || c.category() == QChar::Other_Control || c.isSpace();
}

QString TrimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.sliced(first, last - first);
}

} // namespace

QByteArray AppendedCatalogsBeginMarker()
{
    return Unscramble("))))5Aty|cz5teep{qpq5vtatyzrf5wpr|{5+++");
}

QByteArray AppendedCatalogsEndMarker()
{
    return Unscramble(")))))5Aty|cz5teep{qpq5vtatyzrf5p{q5++++");
}

std::vector<TAppendedCatalog> ReadAppendedCatalogs(QByteArrayView program)
{
    std::vector<TAppendedCatalog> catalogs;
    // Qt 6.4's QByteArrayView::lastIndexOf reads out of bounds when the text is shorter than
    // what it looks for.
    const std::string_view bytes(program.data(), size_t(program.size()));
    const size_t begin = bytes.find(AppendedCatalogsBeginMarker().toStdString());
    const size_t end = bytes.rfind(AppendedCatalogsEndMarker().toStdString());
    if (begin == bytes.npos || end == bytes.npos || end < begin + cMarkerLength + cNumberSize)
        return catalogs;
    const qsizetype base = qsizetype(begin) + cMarkerLength;
    const QByteArrayView region = program.sliced(base, qsizetype(end) - base);
    // The directory ends where the offset of its first entry begins.
    const quint64 directoryEnd = quint64(region.size() - cNumberSize);
    quint64 position = Number(region, qsizetype(directoryEnd));
    while (position < directoryEnd && directoryEnd - position >= quint64(cNumberSize)) {
        const quint64 next = Number(region, qsizetype(position));
        if (next == 0)
            break;
        if (next > directoryEnd || next < position + cEntryHead)
            break;
        const quint64 offset = Number(region, qsizetype(position + cNumberSize));
        const quint64 size = Number(region, qsizetype(position + 2 * cNumberSize));
        if (offset > quint64(region.size()) || size > quint64(region.size()) - offset)
            break;
        const qsizetype pathStart = qsizetype(position + cEntryHead);
        QString path =
            TrimBlanks(QString::fromUtf8(region.sliced(pathStart, qsizetype(next) - pathStart)));
        path.replace('\\', '/');
        if (!path.isEmpty())
            catalogs.push_back({path, {qint64(base + qsizetype(offset)), qint64(size)}});
        position = next;
    }
    return catalogs;
}

QByteArray AppendedCatalogsBlock(const std::vector<TCatalogToAppend> &catalogs)
{
    QByteArray region;
    std::vector<quint64> offsets;
    for (const TCatalogToAppend &catalog : catalogs) {
        offsets.push_back(quint64(region.size()));
        region.append(catalog.Data);
    }
    const quint64 firstEntry = quint64(region.size());
    for (size_t i = 0; i < catalogs.size(); ++i) {
        const QByteArray path = catalogs[i].Path.toUtf8();
        AppendNumber(region, quint64(region.size() + cEntryHead + path.size()));
        AppendNumber(region, offsets[i]);
        AppendNumber(region, quint64(catalogs[i].Data.size()));
        region.append(path);
    }
    AppendNumber(region, 0);
    AppendNumber(region, firstEntry);
    return AppendedCatalogsBeginMarker() + region + AppendedCatalogsEndMarker();
}

} // namespace talivo
