#include "graph/stream/GraphProperties.h"

#include "graph/canvas/CanvasTools.h"

#include <limits>

namespace talivo {

namespace {

constexpr const char *BrushStyleNames[] = {"bsSolid",    "bsClear",     "bsHorizontal",
                                           "bsVertical", "bsFDiagonal", "bsBDiagonal",
                                           "bsCross",    "bsDiagCross"};
constexpr const char *PenModeNames[] = {
    "pmBlack",       "pmWhite",      "pmNop",         "pmNot",        "pmCopy",  "pmNotCopy",
    "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge",
    "pmMask",        "pmNotMask",    "pmXor",         "pmNotXor"};
constexpr const char *PenStyleNames[] = {"psSolid",       "psDash",       "psDot",
                                         "psDashDot",     "psDashDotDot", "psClear",
                                         "psInsideFrame", "psUserStyle",  "psAlternate"};
constexpr const char *FontPitchNames[] = {"fpDefault", "fpVariable", "fpFixed"};
constexpr const char *FontStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr const char *FontQualityNames[] = {"fqDefault",         "fqDraft",       "fqProof",
                                            "fqNonAntialiased",  "fqAntialiased", "fqClearType",
                                            "fqClearTypeNatural"};

[[noreturn]] void RaiseValueError(std::string_view Name)
{
    throw EGraphStreamError(N_("Invalid value for property %1"), {QString::fromLatin1(Name)});
}

bool IsIntegerKind(TPropKind Kind)
{
    switch (Kind) {
    case TPropKind::String:
    case TPropKind::Ident:
    case TPropKind::IdentSet:
    case TPropKind::Binary:
    case TPropKind::Rect:
    case TPropKind::Object:
        return false;
    default:
        return true;
    }
}

// Names each behind a length byte, none of them empty (an empty one would end a set early).
bool IsNameList(const QByteArray &Names)
{
    qsizetype At = 0;
    while (At < Names.size()) {
        const auto Length = static_cast<uint8_t>(Names[At]);
        if (Length == 0) {
            return false;
        }
        At += 1 + Length;
    }
    return At == Names.size();
}

// The value as the property's setter may take it, or an error for a value outside its type.
// Unknown set members are dropped, as a reader skips names its type does not know.
TPropValue Checked(const TPropInfo &Info, const TPropValue &Value)
{
    if (IsIntegerKind(Info.Kind)) {
        if (!std::holds_alternative<int64_t>(Value)) {
            RaiseValueError(Info.Name);
        }
        const int64_t V = std::get<int64_t>(Value);
        const auto InRange = [V](int64_t Low, int64_t High) { return V >= Low && V <= High; };
        constexpr int64_t MinInt32 = std::numeric_limits<int32_t>::min();
        constexpr int64_t MaxInt32 = std::numeric_limits<int32_t>::max();
        constexpr int64_t MaxUInt32 = std::numeric_limits<uint32_t>::max();
        bool Valid = true;
        switch (Info.Kind) {
        case TPropKind::Integer:
            Valid = InRange(MinInt32, MaxInt32);
            break;
        case TPropKind::Cardinal:
        case TPropKind::Color:
            // Written as the 32-bit pattern, so either reading of it is the same value.
            if (!InRange(MinInt32, MaxUInt32)) {
                RaiseValueError(Info.Name);
            }
            return int64_t{static_cast<uint32_t>(V)};
        case TPropKind::Charset:
            Valid = InRange(0, 255);
            break;
        case TPropKind::Enum:
            Valid = InRange(0, static_cast<int64_t>(Info.Names.size()) - 1);
            break;
        case TPropKind::Bool:
            Valid = InRange(0, 1);
            break;
        case TPropKind::Set:
            return int64_t{V & ((int64_t{1} << Info.Names.size()) - 1)};
        default:
            break;
        }
        if (!Valid) {
            RaiseValueError(Info.Name);
        }
        return Value;
    }
    const bool Valid = [&] {
        switch (Info.Kind) {
        case TPropKind::String:
            return std::holds_alternative<QString>(Value);
        case TPropKind::Ident: {
            const QByteArray *Name = std::get_if<QByteArray>(&Value);
            return Name && Name->size() <= 255;
        }
        case TPropKind::IdentSet: {
            const QByteArray *Names = std::get_if<QByteArray>(&Value);
            return Names && IsNameList(*Names);
        }
        case TPropKind::Binary:
            return std::holds_alternative<QByteArray>(Value);
        case TPropKind::Rect:
            return std::holds_alternative<TRect>(Value);
        default:
            return false;
        }
    }();
    if (!Valid) {
        RaiseValueError(Info.Name);
    }
    return Value;
}

bool NotStored(const void *)
{
    return false;
}

} // namespace

const TPropInfo *TPropTable::Find(std::string_view Name) const
{
    for (const TPropTable *Table = this; Table; Table = Table->Base) {
        for (const TPropInfo &Info : Table->Published) {
            if (Name == Info.Name) {
                return &Info;
            }
        }
    }
    for (const TPropTable *Table = this; Table; Table = Table->Base) {
        for (const TPropInfo &Info : Table->Defined) {
            if (Name == Info.Name) {
                return &Info;
            }
        }
    }
    return nullptr;
}

std::vector<const TPropInfo *> TPropTable::All() const
{
    std::vector<const TPropTable *> Chain;
    for (const TPropTable *Table = this; Table; Table = Table->Base) {
        Chain.insert(Chain.begin(), Table);
    }
    std::vector<const TPropInfo *> Result;
    for (const TPropTable *Table : Chain) {
        for (const TPropInfo &Info : Table->Published) {
            Result.push_back(&Info);
        }
    }
    for (const TPropTable *Table : Chain) {
        for (const TPropInfo &Info : Table->Defined) {
            Result.push_back(&Info);
        }
    }
    return Result;
}

int64_t PropOrdinal(const TPropValue &Value)
{
    if (const int64_t *Result = std::get_if<int64_t>(&Value)) {
        return *Result;
    }
    throw EGraphStreamError(N_("Invalid property value"));
}

void WriteProps(const TPropTable &Table, const void *Instance, const std::string &Prefix,
                TPropEntries &Entries)
{
    for (const TPropInfo *Info : Table.All()) {
        if (!Info->Stored(Instance)) {
            continue;
        }
        if (Info->Kind == TPropKind::Object) {
            // The accessor hands out the nested object for reading and writing alike; here it is
            // only read.
            const void *Nested = Info->GetObject(const_cast<void *>(Instance));
            WriteProps(Info->ObjectTable(), Nested, Prefix + Info->Name + ".", Entries);
            continue;
        }
        TPropValue Value = Info->Get(Instance);
        if (!Info->IsDefault(Value)) {
            Entries.push_back({Prefix + Info->Name, std::move(Value)});
        }
    }
}

void ReadProp(const TPropTable &Table, void *Instance, std::string_view Path,
              const TPropValue &Value)
{
    const size_t Dot = Path.find('.');
    const std::string_view Name = Path.substr(0, Dot);
    const TPropInfo *Info = Table.Find(Name);
    if (!Info) {
        throw EGraphStreamError(N_("Property %1 does not exist"), {QString::fromLatin1(Name)});
    }
    if (Dot != std::string_view::npos) {
        if (Info->Kind != TPropKind::Object) {
            throw EGraphStreamError(N_("Property %1 holds no object"), {QString::fromLatin1(Name)});
        }
        ReadProp(Info->ObjectTable(), Info->GetObject(Instance), Path.substr(Dot + 1), Value);
        return;
    }
    if (Info->Kind == TPropKind::Object || !Info->Set) {
        RaiseValueError(Info->Name);
    }
    Info->Set(Instance, Checked(*Info, Value));
}

TPropInfo ObjectProp(const char *Name, void *(*GetObject)(void *Instance),
                     const TPropTable &(*ObjectTable)(), bool (*IsStored)(const void *Instance))
{
    TPropInfo Info;
    Info.Name = Name;
    Info.Kind = TPropKind::Object;
    Info.GetObject = GetObject;
    Info.ObjectTable = ObjectTable;
    Info.IsStored = IsStored;
    return Info;
}

const TPropTable &BrushPropTable()
{
    static const TPropTable Table{
        nullptr,
        {
            Prop<&TBrush::Color, &TBrush::SetColor>("Color", TPropKind::Color, int64_t{clWhite}),
            Prop<&TBrush::Style, &TBrush::SetStyle>("Style", TPropKind::Enum, int64_t{bsSolid},
                                                    BrushStyleNames),
        },
        {}};
    return Table;
}

const TPropTable &PenPropTable()
{
    static const TPropTable Table{
        nullptr,
        {
            Prop<&TPen::Color, &TPen::SetColor>("Color", TPropKind::Color, int64_t{clBlack}),
            Prop<&TPen::Mode, &TPen::SetMode>("Mode", TPropKind::Enum, int64_t{pmCopy},
                                              PenModeNames),
            Prop<&TPen::Style, &TPen::SetStyle>("Style", TPropKind::Enum, int64_t{psSolid},
                                                PenStyleNames),
            Prop<&TPen::Width, &TPen::SetWidth>("Width", TPropKind::Integer, int64_t{1}),
        },
        {}};
    return Table;
}

const TPropTable &FontPropTable()
{
    static const TPropTable Table = [] {
        TPropInfo Size = Prop<&TFont::Size, &TFont::SetSize>("Size", TPropKind::Integer);
        // The height carries the size; a size read from an older record still sets it.
        Size.IsStored = NotStored;
        TPropInfo StyleInfo;
        StyleInfo.Name = "Style";
        StyleInfo.Kind = TPropKind::Set;
        StyleInfo.Names = FontStyleNames;
        StyleInfo.Get = [](const void *Instance) -> TPropValue {
            return int64_t{static_cast<const TFont *>(Instance)->Style().ToBits()};
        };
        StyleInfo.Set = [](void *Instance, const TPropValue &Value) {
            const auto Bits = static_cast<uint8_t>(PropOrdinal(Value) & 0x0F);
            static_cast<TFont *>(Instance)->SetStyle(TFontStyles::FromBits(Bits));
        };
        return TPropTable{
            nullptr,
            {
                Prop<&TFont::Charset, &TFont::SetCharset>("Charset", TPropKind::Charset),
                Prop<&TFont::Color, &TFont::SetColor>("Color", TPropKind::Color),
                Prop<&TFont::Height, &TFont::SetHeight>("Height", TPropKind::Integer),
                Prop<&TFont::Name, &TFont::SetName>("Name", TPropKind::String, QString()),
                Prop<&TFont::Orientation, &TFont::SetOrientation>("Orientation", TPropKind::Integer,
                                                                  int64_t{0}),
                Prop<&TFont::Pitch, &TFont::SetPitch>("Pitch", TPropKind::Enum, int64_t{fpDefault},
                                                      FontPitchNames),
                Size,
                StyleInfo,
                Prop<&TFont::Quality, &TFont::SetQuality>("Quality", TPropKind::Enum,
                                                          int64_t{fqDefault}, FontQualityNames),
            },
            {}};
    }();
    return Table;
}

} // namespace talivo
