#include "i18n/MoFile.h"

#include "i18n/TranslationError.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace talivo {

namespace {

constexpr uint32_t cMagic = 0x950412DE;
constexpr uint32_t cMagicSwapped = 0xDE120495;
// Magic, revision, count and the offsets of the two tables.
constexpr qint64 cHeaderSize = 20;
constexpr uint64_t cTableEntrySize = 8;

// Byte order as msgfmt sorts: unsigned bytes, a prefix before any longer text.
int CompareBytes(QByteArrayView a, QByteArrayView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    if (common > 0) {
        if (const int order = std::memcmp(a.data(), b.data(), size_t(common)))
            return order;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace

TMoFile::TMoFile(QByteArrayView data, const QString &fileName) : fData(data), fFileName(fileName)
{
    const auto invalid = [&] {
        return ETrIOError("This file is not a valid GNU gettext mo file: " + fileName);
    };
    if (fData.size() < 4)
        throw invalid();
    const uint32_t magic = qFromLittleEndian<uint32_t>(fData.data());
    if (magic == cMagicSwapped)
        fSwapped = true;
    else if (magic != cMagic)
        throw invalid();
    if (fData.size() < cHeaderSize)
        throw invalid();
    fCount = Word(8);
    fSources = Word(12);
    fTranslations = Word(16);
    const uint64_t tableSize = uint64_t(fCount) * cTableEntrySize;
    const uint64_t size = uint64_t(fData.size());
    if (uint64_t(fSources) + tableSize > size || uint64_t(fTranslations) + tableSize > size)
        throw invalid();
}

TMoFile::~TMoFile() = default;

std::unique_ptr<TMoFile> TMoFile::Map(const QString &fileName, qint64 offset, qint64 size)
{
    auto file = std::make_unique<QFile>(fileName);
    if (!file->open(QIODevice::ReadOnly))
        throw ETrIOError("Cannot open file " + fileName);
    const qint64 fileSize = file->size();
    if (size < 0)
        size = fileSize - offset;
    if (offset < 0 || offset > fileSize || size < 0 || size > fileSize - offset)
        throw ETrIOError("Cannot create memory map on file " + fileName);
    const uchar *bytes = nullptr;
    if (size > 0) {
        bytes = file->map(offset, size);
        if (!bytes) {
            throw ETrIOError("Cannot map file " + fileName +
                             " into memory. Reason: " + file->errorString());
        }
    }
    auto catalog = std::make_unique<TMoFile>(QByteArrayView(bytes, size), fileName);
    catalog->fFile = std::move(file);
    return catalog;
}

uint32_t TMoFile::Word(qint64 at) const
{
    const char *bytes = fData.data() + at;
    return fSwapped ? qFromBigEndian<uint32_t>(bytes) : qFromLittleEndian<uint32_t>(bytes);
}

std::optional<QByteArrayView> TMoFile::Entry(uint32_t table, uint32_t index) const
{
    // The constructor checked that both tables lie inside the data.
    const qint64 at = qint64(table) + qint64(index) * qint64(cTableEntrySize);
    const uint32_t length = Word(at);
    const uint32_t offset = Word(at + 4);
    if (uint64_t(offset) + length > uint64_t(fData.size()))
        return std::nullopt;
    QByteArrayView text = fData.sliced(offset, length);
    // Plural entries hold their forms separated by NUL; the first form is the text itself, and
    // msgfmt sorts by that form alone.
    const qsizetype end = text.indexOf('\0');
    return end < 0 ? text : text.first(end);
}

std::optional<QByteArrayView> TMoFile::gettext(QByteArrayView source) const
{
    // No source text of a catalog holds a NUL.
    if (source.contains('\0'))
        return std::nullopt;
    uint32_t low = 0;
    uint32_t high = fCount;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        const std::optional<QByteArrayView> entry = Entry(fSources, middle);
        if (!entry)
            return std::nullopt;
        const int order = CompareBytes(source, *entry);
        if (order == 0)
            return Entry(fTranslations, middle);
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return std::nullopt;
}

bool DeclaresUtf8(QByteArrayView header)
{
    static constexpr QByteArrayView prefix = "Content-Type: ";
    for (qsizetype start = 0; start <= header.size();) {
        qsizetype end = header.indexOf('\n', start);
        if (end < 0)
            end = header.size();
        const QByteArrayView line = header.sliced(start, end - start);
        if (line.size() >= prefix.size() &&
            line.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0) {
            return line.sliced(prefix.size())
                .trimmed()
                .toByteArray()
                .toUpper()
                .contains("CHARSET=UTF-8");
        }
        start = end + 1;
    }
    return false;
}

} // namespace talivo
