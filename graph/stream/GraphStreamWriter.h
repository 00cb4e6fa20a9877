#pragma once

#include "graph/stream/GraphProperties.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <span>
#include <string_view>

class QIODevice;

namespace talivo {

// Writes graph streams: object records and the tagged property streams inside them. Every write
// either completes or raises EGraphStreamError (a full disk, a closed device). The bytes of one
// call reach the device together when it ends: a record's tags and values are many, and the
// device's own work per write cost more than the bytes.
class TGraphStreamWriter {
public:
    explicit TGraphStreamWriter(QIODevice &stream) : fStream(stream) {}

    void WriteBytes(const char *data, int64_t size);
    void WriteBytes(const QByteArray &data) { WriteBytes(data.constData(), data.size()); }
    void WriteInt32(int32_t value);
    // A length byte and the bytes; names longer than 255 bytes cannot be written.
    void WriteShortName(std::string_view name);
    // The smallest of the 8, 16, 32 and 64-bit integer forms that holds the value.
    void WriteInteger(int64_t value);
    void WriteString(const QString &value);
    void WriteIdent(std::string_view name);
    // The record of one object: its class name and its property stream.
    void WriteObjectRecord(std::string_view className, const TPropTable &table,
                           const TPropEntries &entries);
    // entries are the object's stream form (TGraphObject::SaveToEntries); table tells the type of
    // each, which decides its value form.
    void WritePropertyStream(const TPropTable &table, const TPropEntries &entries);

private:
    // Keeps the bytes of a call and of the calls it makes, and hands them to the device when the
    // outermost one ends without failing.
    class TPiece {
    public:
        explicit TPiece(TGraphStreamWriter &writer);
        ~TPiece() noexcept(false);
        TPiece(const TPiece &) = delete;
        TPiece &operator=(const TPiece &) = delete;

    private:
        TGraphStreamWriter &fWriter;
        int fFailuresBefore = 0;
    };

    void Put(const char *data, int64_t size) { fPending.append(data, size); }
    void WriteTag(uint8_t tag) { fPending.append(static_cast<char>(tag)); }
    void WriteValue(const TPropInfo &info, const TPropValue &value);
    void WriteSet(int64_t bits, std::span<const char *const> names);

    QIODevice &fStream;
    QByteArray fPending;
    int fDepth = 0;
};

} // namespace talivo
