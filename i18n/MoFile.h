#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class QFile;

namespace talivo {

// A GNU gettext MO catalog, in either byte order. The bytes are treated as hostile: every table
// entry is checked against the catalog's size before it is read, and an entry that points outside
// the catalog counts as a miss.
class TMoFile {
public:
    // Reads a catalog from bytes that must outlive the object. Throws ETrIOError, naming fileName,
    // when the bytes are not a catalog or its tables do not fit in them.
    TMoFile(QByteArrayView data, const QString &fileName);
    ~TMoFile();
    TMoFile(const TMoFile &) = delete;
    TMoFile &operator=(const TMoFile &) = delete;

    // Maps size bytes of the file from offset on (size -1: up to the end of the file), read-only.
    // Throws ETrIOError with the reason when the file cannot be opened, mapped or read.
    static std::unique_ptr<TMoFile> Map(const QString &fileName, qint64 offset = 0,
                                        qint64 size = -1);

    // The translation of a UTF-8 source text, found by bisection of the sorted source table;
    // nothing when the catalog has no such entry. The empty text yields the header entry.
    std::optional<QByteArrayView> gettext(QByteArrayView source) const;

    const QString &FileName() const { return fFileName; }

    // The domains that share this catalog; the locator closes it when the count falls to zero.
    int Users = 0;

private:
    uint32_t Word(qint64 at) const;
    std::optional<QByteArrayView> Entry(uint32_t table, uint32_t index) const;

    QByteArrayView fData;
    QString fFileName;
    bool fSwapped = false;
    uint32_t fCount = 0;
    uint32_t fSources = 0;
    uint32_t fTranslations = 0;
    // Keeps the mapping alive for a catalog made by Map.
    std::unique_ptr<QFile> fFile;
};

// Whether the header entry's Content-Type line declares UTF-8.
bool DeclaresUtf8(QByteArrayView header);

} // namespace talivo
