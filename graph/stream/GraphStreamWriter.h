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
// either completes or raises EGraphStreamError (a full disk, a closed device).
class TGraphStreamWriter {
public:
    explicit TGraphStreamWriter(QIODevice &Stream) : fStream(Stream) {}

    void WriteBytes(const char *Data, int64_t Size);
    void WriteBytes(const QByteArray &Data) { WriteBytes(Data.constData(), Data.size()); }
    void WriteInt32(int32_t Value);
    // A length byte and the bytes; names longer than 255 bytes cannot be written.
    void WriteShortName(std::string_view Name);
    // The smallest of the 8, 16, 32 and 64-bit integer forms that holds the value.
    void WriteInteger(int64_t Value);
    void WriteString(const QString &Value);
    void WriteIdent(std::string_view Name);
    // The record of one object: its class name and its property stream.
    void WriteObjectRecord(std::string_view ClassName, const TPropTable &Table,
                           const TPropEntries &Entries);
    // Entries are the object's stream form (TGraphObject::SaveToEntries); Table tells the type of
    // each, which decides its value form.
    void WritePropertyStream(const TPropTable &Table, const TPropEntries &Entries);

private:
    void WriteTag(uint8_t Tag) { WriteBytes(reinterpret_cast<const char *>(&Tag), 1); }
    void WriteValue(const TPropInfo &Info, const TPropValue &Value);
    void WriteSet(int64_t Bits, std::span<const char *const> Names);

    QIODevice &fStream;
};

} // namespace talivo
