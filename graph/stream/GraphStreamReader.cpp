#include "graph/stream/GraphStreamReader.h"

#include "graph/stream/GraphStreamFormat.h"
#include "graph/stream/GraphStreamIdents.h"
#include "platform/CodePage.h"

#include <QIODevice>
#include <QtEndian>

namespace talivo {

namespace {

// Large blocks arrive in pieces of this size, so a forged length costs no more memory than the
// data that really follows it.
constexpr int64_t ReadChunk = 64 * 1024;

// The smallest object record: a length, a one-character class name with its 0 byte, and a
// property stream with empty names and no properties.
constexpr int64_t MinRecordSize = 4 + 2 + 4 + 1 + 1 + 1 + 1;

[[noreturn]] void RaiseTagError(const std::string &path, uint8_t tag)
{
    throw EGraphStreamError(N_("Invalid value type %1 for property %2"),
                            {QString::number(tag), QString::fromLatin1(path)});
}

} // namespace

void TGraphStreamReader::ReadExact(char *data, int64_t size)
{
    while (size > 0) {
        const qint64 got = fStream.read(data, size);
        if (got <= 0)
            throw EGraphStreamError(N_("Unexpected end of stream"));
        data += got;
        size -= got;
    }
}

template <typename T> T TGraphStreamReader::ReadLittleEndian()
{
    char bytes[sizeof(T)];
    ReadExact(bytes, sizeof(T));
    return qFromLittleEndian<T>(bytes);
}

QByteArray TGraphStreamReader::ReadBytes(int64_t size)
{
    if (size < 0)
        throw EGraphStreamError(N_("Invalid length in stream"));
    QByteArray result;
    while (result.size() < size) {
        const qsizetype old = result.size();
        const int64_t want = std::min<int64_t>(size - old, ReadChunk);
        result.resize(old + want);
        const qint64 got = fStream.read(result.data() + old, want);
        if (got <= 0)
            throw EGraphStreamError(N_("Unexpected end of stream"));
        result.resize(old + got);
    }
    return result;
}

uint8_t TGraphStreamReader::ReadByte()
{
    return ReadLittleEndian<uint8_t>();
}

int32_t TGraphStreamReader::ReadInt32()
{
    return ReadLittleEndian<int32_t>();
}

std::string TGraphStreamReader::ReadShortName()
{
    const QByteArray bytes = ReadBytes(ReadByte());
    return bytes.toStdString();
}

std::string TGraphStreamReader::ReadClassName()
{
    const int32_t size = ReadInt32();
    if (size < 0 || size > MaxClassNameRecord)
        throw EGraphStreamError(N_("Invalid class name length in stream"));
    QByteArray bytes = ReadBytes(size);
    const qsizetype end = bytes.indexOf('\0');
    if (end < 0 && size == MaxClassNameRecord)
        throw EGraphStreamError(N_("Class name too long in stream"));
    if (end >= 0)
        bytes.truncate(end);
    return bytes.toStdString();
}

int64_t TGraphStreamReader::MaxRecordsLeft() const
{
    if (fStream.isSequential())
        return (fStream.bytesAvailable() + MinRecordSize - 1) / MinRecordSize;
    return std::max<int64_t>(0, fStream.size() - fStream.pos()) / MinRecordSize;
}

int64_t TGraphStreamReader::ReadIntegerValue(uint8_t tag, bool allow64, const std::string &path)
{
    switch (tag) {
    case vaInt8:
        return static_cast<int8_t>(ReadByte());
    case vaInt16:
        return ReadLittleEndian<int16_t>();
    case vaInt32:
        return ReadInt32();
    case vaInt64:
        if (allow64)
            return ReadLittleEndian<int64_t>();
        break;
    default:
        break;
    }
    RaiseTagError(path, tag);
}

QString TGraphStreamReader::ReadStringValue(uint8_t tag, const std::string &path)
{
    switch (tag) {
    // 8-bit strings are in the code page of the programs that wrote them, which this program
    // shares.
    case vaString:
        return FromWindows1252(ReadBytes(ReadByte()));
    case vaLString:
        return FromWindows1252(ReadBytes(ReadInt32()));
    case vaUTF8String:
        return QString::fromUtf8(ReadBytes(ReadInt32()));
    case vaWString: {
        const int32_t units = ReadInt32();
        if (units < 0)
            throw EGraphStreamError(N_("Invalid length in stream"));
        const QByteArray bytes = ReadBytes(int64_t{units} * 2);
        QString result(units, Qt::Uninitialized);
        for (int32_t i = 0; i < units; ++i)
            result[i] = QChar(qFromLittleEndian<uint16_t>(bytes.constData() + 2 * i));
        return result;
    }
    default:
        RaiseTagError(path, tag);
    }
}

std::vector<std::string> TGraphStreamReader::ReadSetNames()
{
    std::vector<std::string> names;
    for (std::string name = ReadShortName(); !name.empty(); name = ReadShortName())
        names.push_back(std::move(name));
    return names;
}

TPropValue TGraphStreamReader::ReadValue(const TPropInfo &info, const std::string &path)
{
    const uint8_t tag = ReadByte();
    const auto nameIndex = [&](const std::string &name) -> int64_t {
        for (size_t i = 0; i < info.Names.size(); ++i) {
            if (SameIdent(info.Names[i], name))
                return static_cast<int64_t>(i);
        }
        return -1;
    };
    const auto invalidIdent = [&](const std::string &name) {
        return EGraphStreamError(N_("Invalid property value %1 for property %2"),
                                 {QString::fromLatin1(name), QString::fromLatin1(path)});
    };
    switch (info.Kind) {
    case TPropKind::Integer:
        return ReadIntegerValue(tag, false, path);
    case TPropKind::Cardinal:
    case TPropKind::Int64:
        return ReadIntegerValue(tag, true, path);
    case TPropKind::Color:
    case TPropKind::Charset: {
        if (tag != vaIdent)
            return ReadIntegerValue(tag, false, path);
        const std::string name = ReadShortName();
        if (info.Kind == TPropKind::Color) {
            if (const auto color = IdentToColor(name))
                return int64_t{*color};
        } else if (const auto charset = IdentToCharset(name)) {
            return int64_t{*charset};
        }
        throw invalidIdent(name);
    }
    case TPropKind::Enum:
    case TPropKind::Bool: {
        if (tag == vaFalse || tag == vaTrue)
            return int64_t{tag == vaTrue};
        if (tag != vaIdent)
            RaiseTagError(path, tag);
        const std::string name = ReadShortName();
        const int64_t ordinal = info.Kind == TPropKind::Bool ? (SameIdent(name, "False")  ? 0
                                                                : SameIdent(name, "True") ? 1
                                                                                          : -1)
                                                             : nameIndex(name);
        if (ordinal < 0)
            throw invalidIdent(name);
        return ordinal;
    }
    case TPropKind::Set: {
        if (tag != vaSet)
            RaiseTagError(path, tag);
        int64_t bits = 0;
        for (const std::string &name : ReadSetNames()) {
            // A member this program does not know (a newer writer's option) is passed over.
            if (const int64_t index = nameIndex(name); index >= 0 && index < 64)
                bits |= int64_t{1} << index;
        }
        return bits;
    }
    case TPropKind::String:
        return ReadStringValue(tag, path);
    case TPropKind::Ident:
        if (tag != vaIdent)
            RaiseTagError(path, tag);
        return ReadBytes(ReadByte());
    case TPropKind::IdentSet: {
        if (tag != vaSet)
            RaiseTagError(path, tag);
        QByteArray names;
        for (const std::string &name : ReadSetNames()) {
            names.append(static_cast<char>(name.size()));
            names.append(name.data(), static_cast<qsizetype>(name.size()));
        }
        return names;
    }
    case TPropKind::Binary:
        if (tag != vaBinary)
            RaiseTagError(path, tag);
        return ReadBytes(ReadInt32());
    case TPropKind::Rect: {
        // Four integers in a row, the first one's tag already read.
        TRect rect;
        rect.Left = static_cast<int32_t>(ReadIntegerValue(tag, false, path));
        rect.Top = static_cast<int32_t>(ReadIntegerValue(ReadByte(), false, path));
        rect.Right = static_cast<int32_t>(ReadIntegerValue(ReadByte(), false, path));
        rect.Bottom = static_cast<int32_t>(ReadIntegerValue(ReadByte(), false, path));
        return rect;
    }
    case TPropKind::Object:
        break;
    }
    RaiseTagError(path, tag);
}

TPropEntries TGraphStreamReader::ReadPropertyStream(const TPropTable &table)
{
    return ReadPropertyStream(
        [&table](std::string_view path) { return FindStreamProp(table, path); });
}

TPropEntries TGraphStreamReader::ReadPropertyStream(
    const std::function<const TPropInfo *(std::string_view path)> &resolve)
{
    if (ReadBytes(4) != QByteArray(PropertyStreamSignature, 4))
        throw EGraphStreamError(N_("Invalid stream format"));
    uint8_t next = ReadByte();
    if (next >= 0xF0) {
        if (next & 0x02) {
            // A child position, of no meaning to graph objects.
            ReadIntegerValue(ReadByte(), false, "child position");
        }
        next = ReadByte();
    }
    ReadBytes(next); // the carrier's class name
    ReadShortName(); // the component name
    TPropEntries entries;
    for (std::string path = ReadShortName(); !path.empty(); path = ReadShortName()) {
        const TPropInfo *info = resolve(path);
        if (!info)
            throw EGraphStreamError(N_("Error reading %1: property does not exist"),
                                    {QString::fromLatin1(path)});
        TPropValue value = ReadValue(*info, path);
        entries.push_back({std::move(path), std::move(value)});
    }
    if (ReadByte() != 0)
        throw EGraphStreamError(N_("Invalid stream format: unexpected child components"));
    return entries;
}

} // namespace talivo
