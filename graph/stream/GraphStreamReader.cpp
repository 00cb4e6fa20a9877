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

[[noreturn]] void RaiseTagError(const std::string &Path, uint8_t Tag)
{
    throw EGraphStreamError(N_("Invalid value type %1 for property %2"),
                            {QString::number(Tag), QString::fromLatin1(Path)});
}

} // namespace

void TGraphStreamReader::ReadExact(char *Data, int64_t Size)
{
    while (Size > 0) {
        const qint64 Got = fStream.read(Data, Size);
        if (Got <= 0) {
            throw EGraphStreamError(N_("Unexpected end of stream"));
        }
        Data += Got;
        Size -= Got;
    }
}

template <typename T> T TGraphStreamReader::ReadLittleEndian()
{
    char Bytes[sizeof(T)];
    ReadExact(Bytes, sizeof(T));
    return qFromLittleEndian<T>(Bytes);
}

QByteArray TGraphStreamReader::ReadBytes(int64_t Size)
{
    if (Size < 0) {
        throw EGraphStreamError(N_("Invalid length in stream"));
    }
    QByteArray Result;
    while (Result.size() < Size) {
        const qsizetype Old = Result.size();
        const int64_t Want = std::min<int64_t>(Size - Old, ReadChunk);
        Result.resize(Old + Want);
        const qint64 Got = fStream.read(Result.data() + Old, Want);
        if (Got <= 0) {
            throw EGraphStreamError(N_("Unexpected end of stream"));
        }
        Result.resize(Old + Got);
    }
    return Result;
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
    const QByteArray Bytes = ReadBytes(ReadByte());
    return Bytes.toStdString();
}

std::string TGraphStreamReader::ReadClassName()
{
    const int32_t Size = ReadInt32();
    if (Size < 0 || Size > MaxClassNameRecord) {
        throw EGraphStreamError(N_("Invalid class name length in stream"));
    }
    QByteArray Bytes = ReadBytes(Size);
    const qsizetype End = Bytes.indexOf('\0');
    if (End < 0 && Size == MaxClassNameRecord) {
        throw EGraphStreamError(N_("Class name too long in stream"));
    }
    if (End >= 0) {
        Bytes.truncate(End);
    }
    return Bytes.toStdString();
}

int64_t TGraphStreamReader::MaxRecordsLeft() const
{
    if (fStream.isSequential()) {
        return (fStream.bytesAvailable() + MinRecordSize - 1) / MinRecordSize;
    }
    return std::max<int64_t>(0, fStream.size() - fStream.pos()) / MinRecordSize;
}

int64_t TGraphStreamReader::ReadIntegerValue(uint8_t Tag, bool Allow64, const std::string &Path)
{
    switch (Tag) {
    case vaInt8:
        return static_cast<int8_t>(ReadByte());
    case vaInt16:
        return ReadLittleEndian<int16_t>();
    case vaInt32:
        return ReadInt32();
    case vaInt64:
        if (Allow64) {
            return ReadLittleEndian<int64_t>();
        }
        break;
    default:
        break;
    }
    RaiseTagError(Path, Tag);
}

QString TGraphStreamReader::ReadStringValue(uint8_t Tag, const std::string &Path)
{
    switch (Tag) {
    // 8-bit strings are in the code page of the programs that wrote them, which this program
    // shares.
    case vaString:
        return FromWindows1252(ReadBytes(ReadByte()));
    case vaLString:
        return FromWindows1252(ReadBytes(ReadInt32()));
    case vaUTF8String:
        return QString::fromUtf8(ReadBytes(ReadInt32()));
    case vaWString: {
        const int32_t Units = ReadInt32();
        if (Units < 0) {
            throw EGraphStreamError(N_("Invalid length in stream"));
        }
        const QByteArray Bytes = ReadBytes(int64_t{Units} * 2);
        QString Result(Units, Qt::Uninitialized);
        for (int32_t I = 0; I < Units; ++I) {
            Result[I] = QChar(qFromLittleEndian<uint16_t>(Bytes.constData() + 2 * I));
        }
        return Result;
    }
    default:
        RaiseTagError(Path, Tag);
    }
}

std::vector<std::string> TGraphStreamReader::ReadSetNames()
{
    std::vector<std::string> Names;
    for (std::string Name = ReadShortName(); !Name.empty(); Name = ReadShortName()) {
        Names.push_back(std::move(Name));
    }
    return Names;
}

TPropValue TGraphStreamReader::ReadValue(const TPropInfo &Info, const std::string &Path)
{
    const uint8_t Tag = ReadByte();
    const auto NameIndex = [&](const std::string &Name) -> int64_t {
        for (size_t I = 0; I < Info.Names.size(); ++I) {
            if (SameIdent(Info.Names[I], Name)) {
                return static_cast<int64_t>(I);
            }
        }
        return -1;
    };
    const auto InvalidIdent = [&](const std::string &Name) {
        return EGraphStreamError(N_("Invalid property value %1 for property %2"),
                                 {QString::fromLatin1(Name), QString::fromLatin1(Path)});
    };
    switch (Info.Kind) {
    case TPropKind::Integer:
        return ReadIntegerValue(Tag, false, Path);
    case TPropKind::Cardinal:
    case TPropKind::Int64:
        return ReadIntegerValue(Tag, true, Path);
    case TPropKind::Color:
    case TPropKind::Charset: {
        if (Tag != vaIdent) {
            return ReadIntegerValue(Tag, false, Path);
        }
        const std::string Name = ReadShortName();
        if (Info.Kind == TPropKind::Color) {
            if (const auto Color = IdentToColor(Name)) {
                return int64_t{*Color};
            }
        } else if (const auto Charset = IdentToCharset(Name)) {
            return int64_t{*Charset};
        }
        throw InvalidIdent(Name);
    }
    case TPropKind::Enum:
    case TPropKind::Bool: {
        if (Tag == vaFalse || Tag == vaTrue) {
            return int64_t{Tag == vaTrue};
        }
        if (Tag != vaIdent) {
            RaiseTagError(Path, Tag);
        }
        const std::string Name = ReadShortName();
        const int64_t Ordinal = Info.Kind == TPropKind::Bool ? (SameIdent(Name, "False")  ? 0
                                                                : SameIdent(Name, "True") ? 1
                                                                                          : -1)
                                                             : NameIndex(Name);
        if (Ordinal < 0) {
            throw InvalidIdent(Name);
        }
        return Ordinal;
    }
    case TPropKind::Set: {
        if (Tag != vaSet) {
            RaiseTagError(Path, Tag);
        }
        int64_t Bits = 0;
        for (const std::string &Name : ReadSetNames()) {
            // A member this program does not know (a newer writer's option) is passed over.
            if (const int64_t Index = NameIndex(Name); Index >= 0 && Index < 64) {
                Bits |= int64_t{1} << Index;
            }
        }
        return Bits;
    }
    case TPropKind::String:
        return ReadStringValue(Tag, Path);
    case TPropKind::Ident:
        if (Tag != vaIdent) {
            RaiseTagError(Path, Tag);
        }
        return ReadBytes(ReadByte());
    case TPropKind::IdentSet: {
        if (Tag != vaSet) {
            RaiseTagError(Path, Tag);
        }
        QByteArray Names;
        for (const std::string &Name : ReadSetNames()) {
            Names.append(static_cast<char>(Name.size()));
            Names.append(Name.data(), static_cast<qsizetype>(Name.size()));
        }
        return Names;
    }
    case TPropKind::Binary:
        if (Tag != vaBinary) {
            RaiseTagError(Path, Tag);
        }
        return ReadBytes(ReadInt32());
    case TPropKind::Rect: {
        // Four integers in a row, the first one's tag already read.
        TRect Rect;
        Rect.Left = static_cast<int32_t>(ReadIntegerValue(Tag, false, Path));
        Rect.Top = static_cast<int32_t>(ReadIntegerValue(ReadByte(), false, Path));
        Rect.Right = static_cast<int32_t>(ReadIntegerValue(ReadByte(), false, Path));
        Rect.Bottom = static_cast<int32_t>(ReadIntegerValue(ReadByte(), false, Path));
        return Rect;
    }
    case TPropKind::Object:
        break;
    }
    RaiseTagError(Path, Tag);
}

TPropEntries TGraphStreamReader::ReadPropertyStream(const TPropTable &Table)
{
    return ReadPropertyStream(
        [&Table](std::string_view Path) { return FindStreamProp(Table, Path); });
}

TPropEntries TGraphStreamReader::ReadPropertyStream(
    const std::function<const TPropInfo *(std::string_view Path)> &Resolve)
{
    if (ReadBytes(4) != QByteArray(PropertyStreamSignature, 4)) {
        throw EGraphStreamError(N_("Invalid stream format"));
    }
    uint8_t Next = ReadByte();
    if (Next >= 0xF0) {
        if (Next & 0x02) {
            // A child position, of no meaning to graph objects.
            ReadIntegerValue(ReadByte(), false, "child position");
        }
        Next = ReadByte();
    }
    ReadBytes(Next); // the carrier's class name
    ReadShortName(); // the component name
    TPropEntries Entries;
    for (std::string Path = ReadShortName(); !Path.empty(); Path = ReadShortName()) {
        const TPropInfo *Info = Resolve(Path);
        if (!Info) {
            throw EGraphStreamError(N_("Error reading %1: property does not exist"),
                                    {QString::fromLatin1(Path)});
        }
        TPropValue Value = ReadValue(*Info, Path);
        Entries.push_back({std::move(Path), std::move(Value)});
    }
    if (ReadByte() != 0) {
        throw EGraphStreamError(N_("Invalid stream format: unexpected child components"));
    }
    return Entries;
}

} // namespace talivo
