#include "graph/stream/GraphStreamWriter.h"

#include "graph/stream/GraphStreamFormat.h"
#include "graph/stream/GraphStreamIdents.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace talivo {

void TGraphStreamWriter::WriteBytes(const char *Data, int64_t Size)
{
    if (Size > 0 && fStream.write(Data, Size) != Size) {
        throw EGraphStreamError(N_("Stream write error: %1"), {fStream.errorString()});
    }
}

void TGraphStreamWriter::WriteInt32(int32_t Value)
{
    char Bytes[4];
    qToLittleEndian<int32_t>(Value, Bytes);
    WriteBytes(Bytes, 4);
}

void TGraphStreamWriter::WriteShortName(std::string_view Name)
{
    if (Name.size() > 255) {
        throw EGraphStreamError(N_("Name too long for a stream: %1"),
                                {QString::fromLatin1(Name.substr(0, 32))});
    }
    WriteTag(static_cast<uint8_t>(Name.size()));
    WriteBytes(Name.data(), static_cast<int64_t>(Name.size()));
}

void TGraphStreamWriter::WriteInteger(int64_t Value)
{
    char Bytes[8];
    if (Value >= std::numeric_limits<int8_t>::min() &&
        Value <= std::numeric_limits<int8_t>::max()) {
        WriteTag(vaInt8);
        WriteTag(static_cast<uint8_t>(Value));
    } else if (Value >= std::numeric_limits<int16_t>::min() &&
               Value <= std::numeric_limits<int16_t>::max()) {
        WriteTag(vaInt16);
        qToLittleEndian<int16_t>(static_cast<int16_t>(Value), Bytes);
        WriteBytes(Bytes, 2);
    } else if (Value >= std::numeric_limits<int32_t>::min() &&
               Value <= std::numeric_limits<int32_t>::max()) {
        WriteTag(vaInt32);
        WriteInt32(static_cast<int32_t>(Value));
    } else {
        WriteTag(vaInt64);
        qToLittleEndian<int64_t>(Value, Bytes);
        WriteBytes(Bytes, 8);
    }
}

void TGraphStreamWriter::WriteString(const QString &Value)
{
    const QByteArray Utf8 = Value.toUtf8();
    const qsizetype Units = Value.size();
    if (Utf8.size() >= 2 * Units) {
        // Text that UTF-8 does not store more compactly than UTF-16 (and the empty string).
        WriteTag(vaWString);
        WriteInt32(static_cast<int32_t>(Units));
        QByteArray Bytes(Units * 2, '\0');
        for (qsizetype I = 0; I < Units; ++I) {
            qToLittleEndian<uint16_t>(Value[I].unicode(), Bytes.data() + 2 * I);
        }
        WriteBytes(Bytes);
        return;
    }
    const bool Ascii =
        std::all_of(Utf8.begin(), Utf8.end(), [](char C) { return (C & 0x80) == 0; });
    if (!Ascii) {
        WriteTag(vaUTF8String);
        WriteInt32(static_cast<int32_t>(Utf8.size()));
    } else if (Utf8.size() > 255) {
        WriteTag(vaLString);
        WriteInt32(static_cast<int32_t>(Utf8.size()));
    } else {
        WriteTag(vaString);
        WriteTag(static_cast<uint8_t>(Utf8.size()));
    }
    WriteBytes(Utf8);
}

void TGraphStreamWriter::WriteIdent(std::string_view Name)
{
    WriteTag(vaIdent);
    WriteShortName(Name);
}

void TGraphStreamWriter::WriteSet(int64_t Bits, std::span<const char *const> Names)
{
    WriteTag(vaSet);
    for (size_t I = 0; I < Names.size() && I < 64; ++I) {
        if (Bits & (int64_t{1} << I)) {
            WriteShortName(Names[I]);
        }
    }
    WriteTag(0);
}

void TGraphStreamWriter::WriteValue(const TPropInfo &Info, const TPropValue &Value)
{
    switch (Info.Kind) {
    case TPropKind::Integer:
        WriteInteger(static_cast<int32_t>(PropOrdinal(Value)));
        return;
    case TPropKind::Cardinal:
        // Written as its 32-bit pattern: numbers from 2^31 on come out negative.
        WriteInteger(static_cast<int32_t>(static_cast<uint32_t>(PropOrdinal(Value))));
        return;
    case TPropKind::Int64:
        WriteInteger(PropOrdinal(Value));
        return;
    case TPropKind::Color: {
        const auto Color = static_cast<TColor>(PropOrdinal(Value));
        if (const std::string_view Name = ColorToIdent(Color); !Name.empty()) {
            WriteIdent(Name);
        } else {
            WriteInteger(static_cast<int32_t>(Color));
        }
        return;
    }
    case TPropKind::Charset: {
        const auto Charset = static_cast<TFontCharset>(PropOrdinal(Value));
        if (const std::string_view Name = CharsetToIdent(Charset); !Name.empty()) {
            WriteIdent(Name);
        } else {
            WriteInteger(Charset);
        }
        return;
    }
    case TPropKind::Enum: {
        const int64_t Ordinal = PropOrdinal(Value);
        if (Ordinal < 0 || Ordinal >= static_cast<int64_t>(Info.Names.size())) {
            throw EGraphStreamError(N_("Invalid value for property %1"),
                                    {QString::fromLatin1(Info.Name)});
        }
        WriteIdent(Info.Names[static_cast<size_t>(Ordinal)]);
        return;
    }
    case TPropKind::Bool:
        WriteTag(PropOrdinal(Value) ? vaTrue : vaFalse);
        return;
    case TPropKind::Set:
        WriteSet(PropOrdinal(Value), Info.Names);
        return;
    case TPropKind::String:
        WriteString(std::get<QString>(Value));
        return;
    case TPropKind::Ident: {
        const QByteArray &Name = std::get<QByteArray>(Value);
        WriteIdent(std::string_view(Name.constData(), static_cast<size_t>(Name.size())));
        return;
    }
    case TPropKind::IdentSet:
        // The names as read, each behind its length byte.
        WriteTag(vaSet);
        WriteBytes(std::get<QByteArray>(Value));
        WriteTag(0);
        return;
    case TPropKind::Binary: {
        const QByteArray &Bytes = std::get<QByteArray>(Value);
        WriteTag(vaBinary);
        WriteInt32(static_cast<int32_t>(Bytes.size()));
        WriteBytes(Bytes);
        return;
    }
    case TPropKind::Rect: {
        const TRect &Rect = std::get<TRect>(Value);
        for (const int32_t Side : {Rect.Left, Rect.Top, Rect.Right, Rect.Bottom}) {
            WriteInteger(Side);
        }
        return;
    }
    case TPropKind::Object:
        break;
    }
    throw EGraphStreamError(N_("Invalid value for property %1"), {QString::fromLatin1(Info.Name)});
}

void TGraphStreamWriter::WritePropertyStream(const TPropTable &Table, const TPropEntries &Entries)
{
    WriteBytes(PropertyStreamSignature, 4);
    WriteShortName(StreamCarrierClassName);
    WriteShortName({});
    for (const TPropEntry &Entry : Entries) {
        const TPropInfo *Info = FindStreamProp(Table, Entry.Path);
        if (!Info) {
            throw EGraphStreamError(N_("Property %1 does not exist"),
                                    {QString::fromLatin1(Entry.Path)});
        }
        WriteShortName(Entry.Path);
        WriteValue(*Info, Entry.Value);
    }
    WriteTag(0);
    WriteTag(0);
}

void TGraphStreamWriter::WriteObjectRecord(std::string_view ClassName, const TPropTable &Table,
                                           const TPropEntries &Entries)
{
    WriteInt32(static_cast<int32_t>(ClassName.size() + 1));
    WriteBytes(ClassName.data(), static_cast<int64_t>(ClassName.size()));
    WriteTag(0);
    WritePropertyStream(Table, Entries);
}

} // namespace talivo
