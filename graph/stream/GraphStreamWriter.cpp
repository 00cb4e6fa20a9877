#include "graph/stream/GraphStreamWriter.h"

#include "graph/stream/GraphStreamFormat.h"
#include "graph/stream/GraphStreamIdents.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace talivo {

void TGraphStreamWriter::WriteBytes(const char *data, int64_t size)
{
    if (size > 0 && fStream.write(data, size) != size)
        throw EGraphStreamError(N_("Stream write error: %1"), {fStream.errorString()});
}

void TGraphStreamWriter::WriteInt32(int32_t value)
{
    char bytes[4];
    qToLittleEndian<int32_t>(value, bytes);
    WriteBytes(bytes, 4);
}

void TGraphStreamWriter::WriteShortName(std::string_view name)
{
    if (name.size() > 255)
        throw EGraphStreamError(N_("Name too long for a stream: %1"),
                                {QString::fromLatin1(name.substr(0, 32))});
    WriteTag(static_cast<uint8_t>(name.size()));
    WriteBytes(name.data(), static_cast<int64_t>(name.size()));
}

void TGraphStreamWriter::WriteInteger(int64_t value)
{
    char bytes[8];
    if (value >= std::numeric_limits<int8_t>::min() &&
        value <= std::numeric_limits<int8_t>::max()) {
        WriteTag(vaInt8);
        WriteTag(static_cast<uint8_t>(value));
    } else if (value >= std::numeric_limits<int16_t>::min() &&
               value <= std::numeric_limits<int16_t>::max()) {
        WriteTag(vaInt16);
        qToLittleEndian<int16_t>(static_cast<int16_t>(value), bytes);
        WriteBytes(bytes, 2);
    } else if (value >= std::numeric_limits<int32_t>::min() &&
               value <= std::numeric_limits<int32_t>::max()) {
        WriteTag(vaInt32);
        WriteInt32(static_cast<int32_t>(value));
    } else {
        WriteTag(vaInt64);
        qToLittleEndian<int64_t>(value, bytes);
        WriteBytes(bytes, 8);
    }
}

void TGraphStreamWriter::WriteString(const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    const qsizetype units = value.size();
    if (utf8.size() >= 2 * units) {
        // Text that UTF-8 does not store more compactly than UTF-16 (and the empty string).
        WriteTag(vaWString);
        WriteInt32(static_cast<int32_t>(units));
        QByteArray bytes(units * 2, '\0');
        for (qsizetype i = 0; i < units; ++i)
            qToLittleEndian<uint16_t>(value[i].unicode(), bytes.data() + 2 * i);
        WriteBytes(bytes);
        return;
    }
    const bool ascii =
        std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; });
    if (!ascii) {
        WriteTag(vaUTF8String);
        WriteInt32(static_cast<int32_t>(utf8.size()));
    } else if (utf8.size() > 255) {
        WriteTag(vaLString);
        WriteInt32(static_cast<int32_t>(utf8.size()));
    } else {
        WriteTag(vaString);
        WriteTag(static_cast<uint8_t>(utf8.size()));
    }
    WriteBytes(utf8);
}

void TGraphStreamWriter::WriteIdent(std::string_view name)
{
    WriteTag(vaIdent);
    WriteShortName(name);
}

void TGraphStreamWriter::WriteSet(int64_t bits, std::span<const char *const> names)
{
    WriteTag(vaSet);
    for (size_t i = 0; i < names.size() && i < 64; ++i) {
        if (bits & (int64_t{1} << i))
            WriteShortName(names[i]);
    }
    WriteTag(0);
}

void TGraphStreamWriter::WriteValue(const TPropInfo &info, const TPropValue &value)
{
    switch (info.Kind) {
    case TPropKind::Integer:
        WriteInteger(static_cast<int32_t>(PropOrdinal(value)));
        return;
    case TPropKind::Cardinal:
        // Written as its 32-bit pattern: numbers from 2^31 on come out negative.
        WriteInteger(static_cast<int32_t>(static_cast<uint32_t>(PropOrdinal(value))));
        return;
    case TPropKind::Int64:
        WriteInteger(PropOrdinal(value));
        return;
    case TPropKind::Color: {
        const auto color = static_cast<TColor>(PropOrdinal(value));
        if (const std::string_view name = ColorToIdent(color); !name.empty())
            WriteIdent(name);
        else
            WriteInteger(static_cast<int32_t>(color));
        return;
    }
    case TPropKind::Charset: {
        const auto charset = static_cast<TFontCharset>(PropOrdinal(value));
        if (const std::string_view name = CharsetToIdent(charset); !name.empty())
            WriteIdent(name);
        else
            WriteInteger(charset);
        return;
    }
    case TPropKind::Enum: {
        const int64_t ordinal = PropOrdinal(value);
        if (ordinal < 0 || ordinal >= static_cast<int64_t>(info.Names.size()))
            throw EGraphStreamError(N_("Invalid value for property %1"),
                                    {QString::fromLatin1(info.Name)});
        WriteIdent(info.Names[static_cast<size_t>(ordinal)]);
        return;
    }
    case TPropKind::Bool:
        WriteTag(PropOrdinal(value) ? vaTrue : vaFalse);
        return;
    case TPropKind::Set:
        WriteSet(PropOrdinal(value), info.Names);
        return;
    case TPropKind::String:
        WriteString(std::get<QString>(value));
        return;
    case TPropKind::Ident: {
        const QByteArray &name = std::get<QByteArray>(value);
        WriteIdent(std::string_view(name.constData(), static_cast<size_t>(name.size())));
        return;
    }
    case TPropKind::IdentSet:
        // The names as read, each behind its length byte.
        WriteTag(vaSet);
        WriteBytes(std::get<QByteArray>(value));
        WriteTag(0);
        return;
    case TPropKind::Binary: {
        const QByteArray &bytes = std::get<QByteArray>(value);
        WriteTag(vaBinary);
        WriteInt32(static_cast<int32_t>(bytes.size()));
        WriteBytes(bytes);
        return;
    }
    case TPropKind::Rect: {
        const TRect &rect = std::get<TRect>(value);
        for (const int32_t side : {rect.Left, rect.Top, rect.Right, rect.Bottom})
            WriteInteger(side);
        return;
    }
    case TPropKind::Object:
        break;
    }
    throw EGraphStreamError(N_("Invalid value for property %1"), {QString::fromLatin1(info.Name)});
}

void TGraphStreamWriter::WritePropertyStream(const TPropTable &table, const TPropEntries &entries)
{
    WriteBytes(PropertyStreamSignature, 4);
    WriteShortName(StreamCarrierClassName);
    WriteShortName({});
    for (const TPropEntry &entry : entries) {
        const TPropInfo *info = FindStreamProp(table, entry.Path);
        if (!info)
            throw EGraphStreamError(N_("Property %1 does not exist"),
                                    {QString::fromLatin1(entry.Path)});
        WriteShortName(entry.Path);
        WriteValue(*info, entry.Value);
    }
    WriteTag(0);
    WriteTag(0);
}

void TGraphStreamWriter::WriteObjectRecord(std::string_view className, const TPropTable &table,
                                           const TPropEntries &entries)
{
    WriteInt32(static_cast<int32_t>(className.size() + 1));
    WriteBytes(className.data(), static_cast<int64_t>(className.size()));
    WriteTag(0);
    WritePropertyStream(table, entries);
}

} // namespace talivo
