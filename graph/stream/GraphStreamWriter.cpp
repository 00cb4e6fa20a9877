#include "graph/stream/GraphStreamWriter.h"

#include "graph/stream/GraphStreamFormat.h"
#include "graph/stream/GraphStreamIdents.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <exception>
#include <limits>

namespace talivo {

TGraphStreamWriter::TPiece::TPiece(TGraphStreamWriter &writer) : fWriter(writer)
{
    if (fWriter.fDepth++ == 0)
        fFailuresBefore = std::uncaught_exceptions();
}

TGraphStreamWriter::TPiece::~TPiece() noexcept(false)
{
    if (--fWriter.fDepth > 0)
        return;
    QByteArray &pending = fWriter.fPending;
    // What a failed call put together never reaches the device.
    const bool failed = std::uncaught_exceptions() > fFailuresBefore;
    const qsizetype size = pending.size();
    const bool written = failed || size == 0 || fWriter.fStream.write(pending) == size;
    pending.resize(0);
    if (!written)
        throw EGraphStreamError(N_("Stream write error: %1"), {fWriter.fStream.errorString()});
}

void TGraphStreamWriter::WriteBytes(const char *data, int64_t size)
{
    const TPiece piece(*this);
    if (size > 0)
        Put(data, size);
}

void TGraphStreamWriter::WriteInt32(int32_t value)
{
    const TPiece piece(*this);
    char bytes[4];
    qToLittleEndian<int32_t>(value, bytes);
    Put(bytes, 4);
}

void TGraphStreamWriter::WriteShortName(std::string_view name)
{
    const TPiece piece(*this);
    if (name.size() > 255)
        throw EGraphStreamError(N_("Name too long for a stream: %1"),
                                {QString::fromLatin1(name.substr(0, 32))});
    WriteTag(static_cast<uint8_t>(name.size()));
    Put(name.data(), static_cast<int64_t>(name.size()));
}

void TGraphStreamWriter::WriteInteger(int64_t value)
{
    const TPiece piece(*this);
    char bytes[8];
    if (value >= std::numeric_limits<int8_t>::min() &&
        value <= std::numeric_limits<int8_t>::max()) {
        WriteTag(vaInt8);
        WriteTag(static_cast<uint8_t>(value));
    } else if (value >= std::numeric_limits<int16_t>::min() &&
               value <= std::numeric_limits<int16_t>::max()) {
        WriteTag(vaInt16);
        qToLittleEndian<int16_t>(static_cast<int16_t>(value), bytes);
        Put(bytes, 2);
    } else if (value >= std::numeric_limits<int32_t>::min() &&
               value <= std::numeric_limits<int32_t>::max()) {
        WriteTag(vaInt32);
        WriteInt32(static_cast<int32_t>(value));
    } else {
        WriteTag(vaInt64);
        qToLittleEndian<int64_t>(value, bytes);
        Put(bytes, 8);
    }
}

void TGraphStreamWriter::WriteString(const QString &value)
{
    const TPiece piece(*this);
    const QByteArray utf8 = value.toUtf8();
    const qsizetype units = value.size();
    if (utf8.size() >= 2 * units) {
        // Text that UTF-8 does not store more compactly than UTF-16 (and the empty string).
        WriteTag(vaWString);
        WriteInt32(static_cast<int32_t>(units));
        QByteArray bytes(units * 2, '\0');
        for (qsizetype i = 0; i < units; ++i)
            qToLittleEndian<uint16_t>(value[i].unicode(), bytes.data() + 2 * i);
        Put(bytes.constData(), bytes.size());
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
    Put(utf8.constData(), utf8.size());
}

void TGraphStreamWriter::WriteIdent(std::string_view name)
{
    const TPiece piece(*this);
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
    case TPropKind::IdentSet: {
        // The names as read, each behind its length byte.
        const QByteArray &names = std::get<QByteArray>(value);
        WriteTag(vaSet);
        Put(names.constData(), names.size());
        WriteTag(0);
        return;
    }
    case TPropKind::Binary: {
        const QByteArray &bytes = std::get<QByteArray>(value);
        WriteTag(vaBinary);
        WriteInt32(static_cast<int32_t>(bytes.size()));
        Put(bytes.constData(), bytes.size());
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
    const TPiece piece(*this);
    Put(PropertyStreamSignature, 4);
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
    const TPiece piece(*this);
    WriteInt32(static_cast<int32_t>(className.size() + 1));
    Put(className.data(), static_cast<int64_t>(className.size()));
    WriteTag(0);
    WritePropertyStream(table, entries);
}

} // namespace talivo
